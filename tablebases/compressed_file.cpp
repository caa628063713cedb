// Reader of the compressed file index. Every length, count and offset read
// from the file is checked before use; a rejected file leaves nothing
// allocated. Block offsets are kept as anchors per 16 blocks plus deltas.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64  // 64-bit offsets in the 32-bit build too
#endif
#include "tablebases/compressed_file.h"

#include <sys/types.h>

#include <cstdlib>
#include <cstring>

const char compressedFileBanner[BANNER_BYTES + 1] =
    "Velmorat compressed endgame table                             \r\n";
static_assert(sizeof(compressedFileBanner) == BANNER_BYTES + 1);

int64_t decodeBytesAllocated = 0;
uint32_t checksumTable[256];
static bool checksumTableBuilt = false;

// The temporary size array never shrinks below this many entries.
constexpr int64_t MIN_SIZE_ENTRIES = 1 << 20;

bool SeekTablebaseFile(std::FILE *file, int64_t offset) {
    return offset >= 0 && fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
}

int64_t TablebaseFileSize(std::FILE *file) {
    off_t here = ftello(file);
    if (here < 0 || fseeko(file, 0, SEEK_END) != 0)
        return -1;
    off_t size = ftello(file);
    if (fseeko(file, here, SEEK_SET) != 0)
        return -1;
    return size;
}

// Reflected table whose rule XORs the polynomial on a 0 bit shifted out.
void BuildChecksumTable() {
    if (checksumTableBuilt)
        return;
    for (uint32_t i = 0; i < 256; i++) {
        uint32_t v = i;
        for (int step = 0; step < 8; step++)
            v = (v & 1) ? v >> 1 : (v >> 1) ^ 0xEDB88320u;
        checksumTable[i] = v;
    }
    checksumTableBuilt = true;
}

uint32_t ComputeChecksum(const uint8_t *data, int64_t length) {
    BuildChecksumTable();
    uint32_t checksum = 0;
    for (int64_t i = 0; i < length; i++)
        checksum = checksumTable[(checksum ^ data[i]) & 0xFF] ^ (checksum >> 8);
    return checksum;
}

static uint32_t BigEndian32(const uint8_t *bytes) {
    return (uint32_t(bytes[0]) << 24) | (uint32_t(bytes[1]) << 16) | (uint32_t(bytes[2]) << 8) |
           bytes[3];
}

int64_t GetBlockOffset(const CompressedFileInfo *info, int64_t b) {
    if (b & 8)
        return info->anchors[(b >> 4) + 1] - info->deltas[b];
    return info->anchors[b >> 4] + info->deltas[b];
}

void FreeCompressedFile(CompressedFileInfo *info) {
    free(info);
}

// Header fields that decide every later size; 0 when they are usable.
static int CheckHeader(const uint8_t *header, int64_t fileSize) {
    if (memcmp(header, compressedFileBanner, BANNER_BYTES) != 0)
        return TbError(TB_ERROR_READ, 2);
    int64_t headerLength = BigEndian32(header + 64), n = BigEndian32(header + 72);
    int w = header[70];
    if (headerLength < COMPRESSED_HEADER_BYTES + 4 || w > MAX_LOG2_BLOCK_SIZE)
        return TbError(TB_ERROR_BROKEN, 3);
    if (header[71] != COPY_DISTANCES)
        return TbError(TB_ERROR_BROKEN, 4);
    if (memcmp(header + 76, compressedHeaderTag, 4) != 0)
        return TbError(TB_ERROR_BROKEN, 5);
    // A header past the end of the file is a short read.
    if (headerLength > fileSize)
        return TbError(TB_ERROR_MEMORY, 6);
    // The block list, the packed fields and the checksum must fit the header.
    int64_t packedBytes = (w * (n + COPY_DISTANCES + 1) + 7) / 8;
    if (n == 0 || COMPRESSED_HEADER_BYTES + 8 * n + packedBytes + 4 > headerLength)
        return TbError(TB_ERROR_BROKEN, 7);
    return 0;
}

// Reads the packed sizes, distances and code lengths from the checked
// header into info; sizes gets n + 1 block sizes.
static int ReadIndex(const uint8_t *header, int64_t headerLength, CompressedFileInfo *info,
                     int32_t *sizes) {
    int w = header[70];
    int64_t n = BigEndian32(header + 72);
    int64_t packedStart = COMPRESSED_HEADER_BYTES + 8 * n;
    int64_t lengthsStart = packedStart + (w * (n + COPY_DISTANCES + 1) + 7) / 8;
    BitReader reader;
    InitBitReader(&reader, header + packedStart, lengthsStart - packedStart);
    for (int64_t b = 0; b <= n; b++) {
        int32_t size = static_cast<int32_t>(ReadBits(&reader, w));
        sizes[b] = size == 0 ? 1 << w : size;
    }
    for (int d = 0; d < COPY_DISTANCES; d++)
        info->distances[d] = -static_cast<int32_t>(ReadBits(&reader, w));
    uint8_t lengths[BLOCK_SYMBOLS];
    InitBitReader(&reader, header + lengthsStart, headerLength - 4 - lengthsStart);
    if (ReadCodeLengths(&reader, lengths, BLOCK_SYMBOLS) != 0 || BitReaderOverran(&reader))
        return TbError(TB_ERROR_BROKEN, 8);
    if (BuildDecodeTable(info->decodeTable, lengths, BLOCK_SYMBOLS, BLOCK_LOOKUP_BITS) != 0)
        return TbError(TB_ERROR_BROKEN, 9);
    info->log2BlockSize = w;
    info->blockSize = 1 << w;
    info->blockCount = static_cast<int32_t>(n);
    info->lastBlockSize = sizes[n];
    return 0;
}

// Offsets from the sizes: block 0 starts after the header; the last size
// field is the last block's uncompressed length and is not summed.
static void FillBlockOffsets(CompressedFileInfo *info, int64_t headerLength, const int32_t *sizes) {
    int64_t n = info->blockCount;
    int64_t offset = headerLength;
    int64_t nAnchors = n / 16 + 2;
    for (int64_t b = 0; b <= n; b++) {
        if ((b & 15) == 0)
            info->anchors[b >> 4] = offset;
        if (b < n)
            offset += sizes[b];
    }
    // Anchors past the last block all stand for the end of the data.
    for (int64_t k = (n >> 4) + 1; k < nAnchors; k++)
        info->anchors[k] = offset;
    offset = headerLength;
    for (int64_t b = 0; b <= n; b++) {
        int64_t delta =
            (b & 8) ? info->anchors[(b >> 4) + 1] - offset : offset - info->anchors[b >> 4];
        info->deltas[b] = static_cast<uint32_t>(delta);
        if (b < n)
            offset += sizes[b];
    }
}

// The info with its offset tables, from a checked header.
static int BuildFileInfo(const uint8_t *header, int64_t headerLength, CompressedFileInfo **out) {
    int64_t n = BigEndian32(header + 72);
    int64_t nSizes = n + 1 > MIN_SIZE_ENTRIES ? n + 1 : MIN_SIZE_ENTRIES;
    int32_t *sizes = static_cast<int32_t *>(malloc(nSizes * sizeof(int32_t)));
    int64_t nAnchors = n / 16 + 2;
    size_t infoBytes =
        sizeof(CompressedFileInfo) + nAnchors * sizeof(int64_t) + (n + 1) * sizeof(uint32_t);
    CompressedFileInfo *info = static_cast<CompressedFileInfo *>(malloc(infoBytes));
    if (sizes == nullptr || info == nullptr) {
        free(sizes);
        free(info);
        return TbError(TB_ERROR_MEMORY, 10);
    }
    info->anchors = reinterpret_cast<int64_t *>(info + 1);
    info->deltas = reinterpret_cast<uint32_t *>(info->anchors + nAnchors);
    int error = ReadIndex(header, headerLength, info, sizes);
    if (error == 0) {
        FillBlockOffsets(info, headerLength, sizes);
        info->magic = COMPRESSED_FILE_MAGIC;
        decodeBytesAllocated += static_cast<int64_t>(infoBytes);
        *out = info;
    } else {
        free(info);
    }
    free(sizes);
    return error;
}

int OpenCompressedFile(CompressedFileInfo **out, std::FILE *file) {
    // 1. The fixed header.
    if (out == nullptr || file == nullptr)
        return TbError(TB_ERROR_ARGUMENT, 1);
    BuildChecksumTable();
    *out = nullptr;
    uint8_t fixed[COMPRESSED_HEADER_BYTES];
    if (fread(fixed, 1, COMPRESSED_HEADER_BYTES, file) != COMPRESSED_HEADER_BYTES)
        return TbError(TB_ERROR_READ, 1);
    // 2. Banner, lengths and counts, checked against the file before any allocation.
    int error = CheckHeader(fixed, TablebaseFileSize(file));
    if (error != 0)
        return error;
    // 3. Header and index in one buffer.
    int64_t headerLength = BigEndian32(fixed + 64);
    uint8_t *header = static_cast<uint8_t *>(malloc(headerLength));
    if (header == nullptr)
        return TbError(TB_ERROR_MEMORY, 11);
    memcpy(header, fixed, COMPRESSED_HEADER_BYTES);
    int64_t rest = headerLength - COMPRESSED_HEADER_BYTES;
    if (static_cast<int64_t>(fread(header + COMPRESSED_HEADER_BYTES, 1, rest, file)) != rest)
        error = TbError(TB_ERROR_MEMORY, 12);
    // 4. The checksum guards header and index.
    else if (ComputeChecksum(header, headerLength - 4) != BigEndian32(header + headerLength - 4))
        error = TbError(TB_ERROR_BROKEN, 13);
    // 5. Sizes, distances, code and offsets.
    else
        error = BuildFileInfo(header, headerLength, out);
    free(header);
    return error;
}
