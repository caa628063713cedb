// The compressed file index: the checksum is pinned, every corrupt header
// is refused with its kind before anything large is allocated, and block
// offsets come back as the writer laid them out.
#include "tablebases/compressed_file.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/tablebases/tb_writer.h"

namespace {

std::FILE *FileOf(const std::vector<uint8_t> &bytes) {
    std::FILE *file = tmpfile();
    fwrite(bytes.data(), 1, bytes.size(), file);
    rewind(file);
    return file;
}

// Error code of opening bytes; the info is freed again.
int OpenResult(const std::vector<uint8_t> &bytes, CompressedFileInfo **kept = nullptr) {
    std::FILE *file = FileOf(bytes);
    CompressedFileInfo *info = reinterpret_cast<CompressedFileInfo *>(1);
    int error = OpenCompressedFile(&info, file);
    fclose(file);
    EXPECT_EQ(error == 0, info != nullptr);
    if (kept != nullptr)
        *kept = info;
    else
        FreeCompressedFile(info);
    return error;
}

std::vector<uint8_t> RandomBytes(size_t n, uint32_t seed, int spread) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(n);
    for (uint8_t &b : bytes)
        b = static_cast<uint8_t>(random() % spread);
    return bytes;
}

void PutBigEndian32(std::vector<uint8_t> *bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++)
        (*bytes)[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

}  // namespace

TEST(CompressedFileChecksum, IsPinned) {
    BuildChecksumTable();
    EXPECT_EQ(checksumTable[0], 0x2D02EF8Du);
    EXPECT_EQ(checksumTable[255], 0u);
    const uint8_t abc[3] = {'a', 'b', 'c'};
    EXPECT_EQ(ComputeChecksum(abc, 3), 0xCADBBEC2u);
    EXPECT_EQ(ComputeChecksum(abc, 0), 0u);
}

TEST(CompressedFileIndex, CorruptHeadersAreRefusedByKind) {
    std::vector<uint8_t> good = EncodeCompressedTable(RandomBytes(40000, 1, 9));
    ASSERT_EQ(OpenResult(good), 0);
    // A header of 79 bytes and a foreign banner read as read errors.
    EXPECT_EQ(OpenResult(std::vector<uint8_t>(good.begin(), good.begin() + 79)) & 0xFF, 2);
    std::vector<uint8_t> bad = good;
    bad[10] ^= 1;
    EXPECT_EQ(OpenResult(bad) & 0xFF, 2);
    // Any changed byte of header or index fails the checksum.
    uint32_t headerLength = (good[64] << 24) | (good[65] << 16) | (good[66] << 8) | good[67];
    for (size_t at :
         {size_t(68), size_t(83), size_t(headerLength - 10), size_t(headerLength - 1)}) {
        bad = good;
        bad[at] ^= 0x10;
        EXPECT_EQ(OpenResult(bad) & 0xFF, 6) << at;
    }
    // A file cut inside its index is a short read, reported as memory.
    EXPECT_EQ(
        OpenResult(std::vector<uint8_t>(good.begin(), good.begin() + headerLength - 2)) & 0xFF, 5);
}

TEST(CompressedFileIndex, ImpossibleSizesAreRefusedBeforeAllocation) {
    std::vector<uint8_t> good = EncodeCompressedTable(RandomBytes(20000, 2, 5));
    std::vector<uint8_t> bad = good;
    PutBigEndian32(&bad, 64, 0xFFFFFFF0u);  // header past the end of the file
    EXPECT_EQ(OpenResult(bad) & 0xFF, 5);
    bad = good;
    PutBigEndian32(&bad, 64, 83);
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
    bad = good;
    PutBigEndian32(&bad, 72, 0x10000000u);  // more blocks than the header holds
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
    bad = good;
    PutBigEndian32(&bad, 72, 0);
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
    bad = good;
    bad[70] = 17;
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
    bad = good;
    bad[71] = 23;
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
    bad = good;
    bad[79] = 0xF6;
    EXPECT_EQ(OpenResult(bad) & 0xFF, 6);
}

TEST(CompressedFileIndex, CodeLengthsThatFormNoCodeAreRefused) {
    CompressedTableOptions options;
    options.oversubscribedCode = true;
    EXPECT_EQ(OpenResult(EncodeCompressedTable(RandomBytes(9000, 3, 7), options)) & 0xFF, 6);
}

TEST(CompressedFileIndex, OneBlockFile) {
    std::vector<int64_t> offsets;
    std::vector<uint8_t> file =
        EncodeCompressedTable(ContentOfBytes(RandomBytes(5000, 4, 3)), {}, &offsets);
    CompressedFileInfo *info = nullptr;
    ASSERT_EQ(OpenResult(file, &info), 0);
    EXPECT_EQ(info->blockCount, 1);
    EXPECT_EQ(info->blockSize, 8192);
    EXPECT_EQ(info->log2BlockSize, 13);
    EXPECT_EQ(info->lastBlockSize, 5000);
    EXPECT_EQ(GetBlockOffset(info, 0), offsets[0]);
    EXPECT_EQ(GetBlockOffset(info, 1), static_cast<int64_t>(file.size()));
    EXPECT_EQ(info->distances[0], -1);
    EXPECT_EQ(info->distances[23], -1024);
    FreeCompressedFile(info);
}

TEST(CompressedFileIndex, OffsetsFollowTheAnchors) {
    // 20 blocks of different sizes: block 8 counts back from block 16.
    std::vector<uint8_t> bytes;
    for (int b = 0; b < 20; b++) {
        std::vector<uint8_t> block = RandomBytes(8192, 10 + b, 2 + b * 13);
        bytes.insert(bytes.end(), block.begin(), block.end());
    }
    for (bool stored : {false, true}) {
        CompressedTableOptions options;
        options.storeEveryBlock = stored;
        std::vector<int64_t> offsets;
        std::vector<uint8_t> file = EncodeCompressedTable(ContentOfBytes(bytes), options, &offsets);
        CompressedFileInfo *info = nullptr;
        ASSERT_EQ(OpenResult(file, &info), 0);
        ASSERT_EQ(info->blockCount, 20);
        // Eight stored blocks before an anchor span 65536 bytes.
        for (int b = 0; b <= 20; b++)
            EXPECT_EQ(GetBlockOffset(info, b), offsets[b]) << b << (stored ? " stored" : "");
        FreeCompressedFile(info);
    }
}
