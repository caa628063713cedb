// Canonical prefix codes: codes sorted by length, then by symbol, read most
// significant bit first. A decode table is accepted only when its code is
// complete, so every lookup ends at a symbol inside the table.
#include "tablebases/huffman_code.h"

#include <cstring>

// Marks a table entry that no code reached yet; tree links are -t with t
// at most 10239, so they never collide with it.
constexpr int16_t ENTRY_UNSET = INT16_MIN;

void InitBitReader(BitReader *reader, const uint8_t *data, int64_t length) {
    reader->data = data;
    reader->length = length;
    reader->nextByte = 0;
    reader->window = 0;
    reader->bitCount = 0;
    reader->bitsUsed = 0;
}

static void RefillBits(BitReader *reader) {
    while (reader->bitCount <= 56) {
        uint64_t byte = reader->nextByte < reader->length ? reader->data[reader->nextByte] : 0;
        reader->nextByte++;
        reader->window |= byte << (56 - reader->bitCount);
        reader->bitCount += 8;
    }
}

static uint32_t PeekBits(BitReader *reader, int nBits) {
    if (reader->bitCount < nBits)
        RefillBits(reader);
    return nBits == 0 ? 0 : static_cast<uint32_t>(reader->window >> (64 - nBits));
}

static void SkipBits(BitReader *reader, int nBits) {
    reader->window <<= nBits;
    reader->bitCount -= nBits;
    reader->bitsUsed += nBits;
}

uint32_t ReadBits(BitReader *reader, int nBits) {
    uint32_t value = PeekBits(reader, nBits);
    SkipBits(reader, nBits);
    return value;
}

bool BitReaderOverran(const BitReader *reader) {
    return reader->bitsUsed > reader->length * 8;
}

int DecodeSymbol(const int16_t *table, int tableSize, int lookupBits, BitReader *reader) {
    int entry = table[PeekBits(reader, lookupBits)];
    if (entry >= 0) {
        SkipBits(reader, entry & 31);
        return entry >> 5;
    }
    SkipBits(reader, lookupBits);
    for (int depth = lookupBits; depth < MAX_CODE_LENGTH; depth++) {
        int node = -entry;
        if (entry == ENTRY_UNSET || node + 1 >= tableSize)
            return -1;
        entry = table[node + ReadBits(reader, 1)];
        if (entry >= 0)
            return entry;
    }
    return -1;
}

// Lengths of the nested section: a width, then values, each 0 followed by
// a 4-bit count of further zeros.
static int ReadNestedLengths(BitReader *reader, uint8_t *lengths, int count) {
    int width = static_cast<int>(ReadBits(reader, 5));
    if (width == 0)
        return TbError(TB_ERROR_BROKEN, 1);
    for (int i = 0; i < count;) {
        uint32_t value = ReadBits(reader, width);
        if (value > MAX_CODE_LENGTH)
            return TbError(TB_ERROR_BROKEN, 2);
        lengths[i++] = static_cast<uint8_t>(value);
        if (value != 0) {
            continue;
        }
        int zeros = static_cast<int>(ReadBits(reader, 4));
        if (zeros > count - i)
            return TbError(TB_ERROR_BROKEN, 3);
        memset(lengths + i, 0, zeros);
        i += zeros;
    }
    return 0;
}

// Run length of a repeat symbol from its code f of the second alphabet;
// -1 for codes no valid section uses.
static int ReadRunLength(BitReader *reader, int f) {
    if (f < 0 || f > 41)
        return -1;
    if (f <= 32)
        return f + 2;
    int nBits = f - 32;
    int g = (1 << nBits) + static_cast<int>(ReadBits(reader, nBits)) + 31;
    return g + 2;
}

int ReadCodeLengths(BitReader *reader, uint8_t *lengths, int count) {
    if (ReadBits(reader, 1) == 1) {
        memset(lengths, 0, count);
        return 0;
    }
    if (count <= 2 * LENGTH_SYMBOLS)
        return ReadNestedLengths(reader, lengths, count);
    uint8_t nested[2 * LENGTH_SYMBOLS];
    int error = ReadCodeLengths(reader, nested, 2 * LENGTH_SYMBOLS);
    if (error != 0)
        return error;
    constexpr int SIZE = DecodeTableSize(LENGTH_SYMBOLS, LENGTH_LOOKUP_BITS);
    int16_t lengthTable[SIZE], runTable[SIZE];
    if ((error = BuildDecodeTable(lengthTable, nested, LENGTH_SYMBOLS, LENGTH_LOOKUP_BITS)) != 0 ||
        (error = BuildDecodeTable(runTable, nested + LENGTH_SYMBOLS, LENGTH_SYMBOLS,
                                  LENGTH_LOOKUP_BITS)) != 0)
        return error;
    for (int i = 0; i < count;) {
        int e = DecodeSymbol(lengthTable, SIZE, LENGTH_LOOKUP_BITS, reader);
        if (e < 0)
            return TbError(TB_ERROR_BROKEN, 4);
        if (e < 32) {
            lengths[i++] = static_cast<uint8_t>(e);
            continue;
        }
        int run = ReadRunLength(reader, DecodeSymbol(runTable, SIZE, LENGTH_LOOKUP_BITS, reader));
        if (run < 0 || run > count - i)
            return TbError(TB_ERROR_BROKEN, 5);
        memset(lengths + i, e - 32, run);
        i += run;
    }
    return 0;
}

// Kraft sum of a complete code: pairing codes from the longest length up
// must leave exactly one root.
static bool CodeIsComplete(const int32_t *nOfLength) {
    int64_t pending = 0;
    for (int length = MAX_CODE_LENGTH; length >= 1; length--) {
        pending += nOfLength[length];
        if (pending & 1)
            return false;
        pending /= 2;
    }
    return pending == 1;
}

// Hangs a code longer than the lookup into the tree after the direct
// entries, allocating node pairs from *nextFree.
static int PlaceLongCode(int16_t *table, int tableSize, int lookupBits, uint32_t code, int length,
                         int symbol, int *nextFree) {
    int16_t *slot = &table[code >> (length - lookupBits)];
    for (int bit = length - lookupBits - 1; bit >= 0; bit--) {
        if (*slot == ENTRY_UNSET) {
            if (*nextFree + 2 > tableSize)
                return TbError(TB_ERROR_BROKEN, 10);
            table[*nextFree] = table[*nextFree + 1] = ENTRY_UNSET;
            *slot = static_cast<int16_t>(-*nextFree);
            *nextFree += 2;
        } else if (*slot >= 0) {
            return TbError(TB_ERROR_BROKEN, 11);
        }
        slot = &table[-*slot + ((code >> bit) & 1)];
    }
    if (*slot != ENTRY_UNSET)
        return TbError(TB_ERROR_BROKEN, 12);
    *slot = static_cast<int16_t>(symbol);
    return 0;
}

int BuildDecodeTable(int16_t *table, const uint8_t *lengths, int count, int lookupBits) {
    // 1. Count the codes of each length.
    int32_t nOfLength[MAX_CODE_LENGTH + 1] = {};
    int nUsed = 0, lastUsed = 0;
    for (int symbol = 0; symbol < count; symbol++) {
        if (lengths[symbol] > MAX_CODE_LENGTH)
            return TbError(TB_ERROR_BROKEN, 13);
        if (lengths[symbol] != 0) {
            nOfLength[lengths[symbol]]++;
            nUsed++;
            lastUsed = symbol;
        }
    }
    int nDirect = 1 << lookupBits, tableSize = DecodeTableSize(count, lookupBits);
    // 2. No code, or one symbol of length 1: it is decoded from no bits.
    if (nUsed <= 1) {
        if (nUsed == 1 && lengths[lastUsed] != 1)
            return TbError(TB_ERROR_BROKEN, 14);
        for (int i = 0; i < nDirect; i++)
            table[i] = static_cast<int16_t>(nUsed == 1 ? lastUsed * 32 : 0);
        return 0;
    }
    // 3. Anything but a complete code could leave lookups without a symbol.
    if (!CodeIsComplete(nOfLength))
        return TbError(TB_ERROR_BROKEN, 15);
    // 4. Canonical codes: shorter codes first, then by symbol.
    uint32_t nextCode[MAX_CODE_LENGTH + 1] = {};
    uint32_t code = 0;
    for (int length = 1; length <= MAX_CODE_LENGTH; length++) {
        code = (code + nOfLength[length - 1]) << 1;
        nextCode[length] = code;
    }
    for (int i = 0; i < nDirect; i++)
        table[i] = ENTRY_UNSET;
    int nextFree = nDirect;
    for (int symbol = 0; symbol < count; symbol++) {
        int length = lengths[symbol];
        if (length == 0)
            continue;
        uint32_t symbolCode = nextCode[length]++;
        if (length > lookupBits) {
            int error =
                PlaceLongCode(table, tableSize, lookupBits, symbolCode, length, symbol, &nextFree);
            if (error != 0)
                return error;
            continue;
        }
        int first = static_cast<int>(symbolCode << (lookupBits - length));
        for (int i = 0; i < (1 << (lookupBits - length)); i++)
            table[first + i] = static_cast<int16_t>(symbol * 32 + length);
    }
    return 0;
}
