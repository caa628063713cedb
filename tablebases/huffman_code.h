// Canonical prefix codes of the compressed tablebase files: the bit
// reader, the code-length section and the decode tables built from it.
#pragma once

#include <cstdint>

// Error codes of the file layer: the low byte is the kind, the bits above
// name the failing check.
constexpr int TB_ERROR_READ = 2;
constexpr int TB_ERROR_MEMORY = 5;
constexpr int TB_ERROR_BROKEN = 6;
constexpr int TB_ERROR_ARGUMENT = 7;
constexpr int TB_ERROR_KIND_MASK = 0xFF;

constexpr int TbError(int kind, int check) {
    return kind | (check << 8);
}

constexpr int MAX_CODE_LENGTH = 31;
constexpr int BLOCK_SYMBOLS = 1024;
constexpr int BLOCK_LOOKUP_BITS = 13;
constexpr int LENGTH_SYMBOLS = 64;  // each of the two alphabets of the length section
constexpr int LENGTH_LOOKUP_BITS = 8;

// Direct entries for a k-bit lookup, then node pairs for longer codes.
constexpr int DecodeTableSize(int count, int lookupBits) {
    return (1 << lookupBits) + 2 * count;
}
constexpr int BLOCK_DECODE_TABLE_SIZE = DecodeTableSize(BLOCK_SYMBOLS, BLOCK_LOOKUP_BITS);

// Bits are taken most significant first. Bytes past the end read as zero,
// and bitsUsed tells whether a stream needed them.
struct BitReader {
    const uint8_t *data;
    int64_t length;
    int64_t nextByte;
    uint64_t window;  // unread bits, left aligned
    int32_t bitCount;
    int64_t bitsUsed;
};

void InitBitReader(BitReader *reader, const uint8_t *data, int64_t length);
uint32_t ReadBits(BitReader *reader, int nBits);  // nBits 0..32
// True when the stream used bits past its last byte.
bool BitReaderOverran(const BitReader *reader);

// Decodes one symbol; -1 when the table leads nowhere (never for a table
// that BuildDecodeTable accepted).
int DecodeSymbol(const int16_t *table, int tableSize, int lookupBits, BitReader *reader);

// count 1024 for the block alphabet, at most 128 for the nested call.
[[nodiscard]] int ReadCodeLengths(BitReader *reader, uint8_t *lengths, int count);
// table holds DecodeTableSize(count, lookupBits) entries.
[[nodiscard]] int BuildDecodeTable(int16_t *table, const uint8_t *lengths, int count,
                                   int lookupBits);
