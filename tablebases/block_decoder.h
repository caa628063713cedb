// Decoding one block of a compressed tablebase file into a cache buffer:
// literals and copies from a canonical code of 1024 symbols.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tablebases/compressed_file.h"

constexpr int DECODE_BLOCK_BYTES = 8192;
constexpr uint32_t DECODE_CONTEXT_MAGIC = 0x79A3F29D;

// The decoding state all compressed files share. Positions are byte
// counts from the start of the output buffer.
struct DecodeContext {
    uint8_t *output;        // buffer holding the decoded block, null before
    int32_t presetBytes;    // bytes SelectBlock placed (a stored block)
    int32_t blockSize;      // capacity of input and output
    int32_t blockNumber;    // block held in output, -1 when none
    uint8_t *outputBuffer;  // where the selected block goes
    int32_t selectedSize;
    uint8_t *readBuffer;
    int32_t compressedLength;
    int32_t outputPosition;
    int32_t copySource;
    int32_t pendingCopy;  // bytes of a copy that the output end cut
    BitReader bits;
    int32_t selectedBlock;  // -1 when none
    uint32_t magic;
    uint8_t inputBuffer[DECODE_BLOCK_BYTES];
};

[[nodiscard]] int NewDecodeContext(DecodeContext **out, int blockSize);
void FreeDecodeContext(DecodeContext *context);
[[nodiscard]] int InitDecodeContext(DecodeContext *context, int blockSize, uint8_t *outputBuffer);
// Reads the compressed bytes of block (0..blockCount-1) of the file.
[[nodiscard]] int SelectBlock(DecodeContext *context, const CompressedFileInfo *info,
                              std::FILE *file, int block);
// Decodes the selected block until the output holds size bytes.
[[nodiscard]] int DecodeBlock(DecodeContext *context, const CompressedFileInfo *info, int size);
[[nodiscard]] int ExpandBlockData(const CompressedFileInfo *info, DecodeContext *context, int end);

// Copy length of length code L (0..31), reading its extra bits.
int32_t ReadCopyLength(BitReader *reader, int lengthCode);
