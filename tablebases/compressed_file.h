// Compressed tablebase files: header, block index and checksum, read into
// a CompressedFileInfo through which the cache finds and decodes a block.
#pragma once

#include <cstdint>
#include <cstdio>

#include "tablebases/huffman_code.h"

constexpr int COMPRESSED_HEADER_BYTES = 80;
constexpr int BANNER_BYTES = 64;
constexpr int COPY_DISTANCES = 24;
constexpr int MAX_LOG2_BLOCK_SIZE = 16;
constexpr uint32_t COMPRESSED_FILE_MAGIC = 0x5ABC947F;
// 64 ASCII bytes ending CR LF; files with another banner are refused.
extern const char compressedFileBanner[BANNER_BYTES + 1];
constexpr uint8_t compressedHeaderTag[4] = {0x00, 0x40, 0x01, 0xF5};  // bytes 76-79

struct CompressedFileInfo {
    int16_t decodeTable[BLOCK_DECODE_TABLE_SIZE];
    int32_t distances[COPY_DISTANCES];  // negated
    int64_t *anchors;                   // file offset of block min(16k, n), k = 0..n/16+1
    uint32_t *deltas;                   // n + 1 of them, from the anchor before or after
    int32_t log2BlockSize;
    int32_t blockSize;
    int32_t lastBlockSize;
    int32_t blockCount;
    uint32_t magic;
};

// Bytes of every CompressedFileInfo and decoding context since the last
// registration.
extern int64_t decodeBytesAllocated;

// Reads and checks header and index of a file positioned at its start;
// *out is a new info on success and null otherwise.
[[nodiscard]] int OpenCompressedFile(CompressedFileInfo **out, std::FILE *file);
void FreeCompressedFile(CompressedFileInfo *info);
// File offset of block b, 0..blockCount (blockCount: the end of the data).
int64_t GetBlockOffset(const CompressedFileInfo *info, int64_t b);

void BuildChecksumTable();
uint32_t ComputeChecksum(const uint8_t *data, int64_t length);
extern uint32_t checksumTable[256];

// 64-bit seek and size for files past 2^31 bytes; false on failure.
[[nodiscard]] bool SeekTablebaseFile(std::FILE *file, int64_t offset);
int64_t TablebaseFileSize(std::FILE *file);
