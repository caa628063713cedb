// Block cache: slot counts from the area size, least recently used
// eviction, hits without file access, and a failed read that retires only
// its extent.
#include "tablebases/block_cache.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "tablebases/tablebase_files.h"
#include "tablebases/tablebase_registration.h"
#include "tests/tablebases/tb_writer.h"

namespace {

constexpr int KRK = 4, KRKR = 15;

class BlockCache : public testing::Test {
   protected:
    void SetUp() override { directory = MakeTempDirectory(); }
    void TearDown() override {
        RegisterTablebasePaths(nullptr);
        SetTablebaseCacheSize(0);
        RemoveDirectoryTree(directory);
    }
    std::string directory;
    std::vector<uint8_t> area;
};

int ExpectedByte(const std::vector<uint8_t> &table, int64_t block, int offset) {
    return static_cast<int8_t>(table[block * 8192 + offset]);
}

}  // namespace

TEST_F(BlockCache, SlotsFollowTheAreaSize) {
    area.resize(4 << 20);
    EXPECT_EQ(SetTablebaseCache(area.data(), 1 << 20), 1);
    EXPECT_EQ(cacheBlockCount, 126u);
    EXPECT_EQ(SetTablebaseCache(area.data(), 4 << 20), 1);
    EXPECT_EQ(cacheBlockCount, 506u);
    EXPECT_EQ(SetTablebaseCache(area.data(), 55), 0);
    EXPECT_EQ(cacheBlockCount, 0u);
    // Between a record and a slot: set up, but without a slot to read into.
    EXPECT_EQ(SetTablebaseCache(area.data(), 8283), 1);
    EXPECT_EQ(cacheBlockCount, 0u);
    EXPECT_EQ(SetTablebaseCache(area.data(), 8284), 1);
    EXPECT_EQ(cacheBlockCount, 1u);
    // The program's entry honours sizes past the printed 4 MB, clamps to
    // 1..1024 MB in 64 bits and turns the cache off at 0.
    EXPECT_EQ(SetTablebaseCacheSize(1), 1);
    EXPECT_EQ(cacheBlockCount, 126u);
    EXPECT_EQ(SetTablebaseCacheSize(16), 1);
    EXPECT_EQ(cacheBlockCount, 2025u);
    EXPECT_EQ(SetTablebaseCacheSize((int64_t(1) << 32) + 16), 1);
    EXPECT_EQ(cacheBlockCount, 129616u);
    EXPECT_EQ(SetTablebaseCacheSize(0), 0);
    EXPECT_EQ(cacheBlockCount, 0u);
}

TEST_F(BlockCache, OneSlotRereadsAlternatingBlocks) {
    std::vector<uint8_t> table = HashedTable(1649196, 7);
    WriteFileBytes(directory + "/krkr.nbw", table);
    ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), 4);
    area.resize(8284);
    ASSERT_EQ(SetTablebaseCache(area.data(), 8284), 1);
    for (int round = 0; round < 4; round++) {
        for (int64_t block : {0, 1, 200, 1}) {
            int offset = static_cast<int>((block * 977 + round * 31) % 8192);
            EXPECT_EQ(ReadBlockByte(KRKR, 0, block, offset), ExpectedByte(table, block, offset));
            EXPECT_EQ(lruHead, lruTail);
        }
    }
    // No registered file: the other side has no chains.
    EXPECT_EQ(ReadBlockByte(KRKR, 1, 0, 0), TB_UNKNOWN);
}

TEST_F(BlockCache, ManyBlocksThroughASmallCache) {
    std::vector<uint8_t> table = HashedTable(1649196, 8);
    WriteFileBytes(directory + "/krkr.nbw.emd", EncodeCompressedTable(table));
    ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), 4);
    area.resize(5 * 8284);
    ASSERT_EQ(SetTablebaseCache(area.data(), 5 * 8284), 1);
    std::mt19937 random(3);
    // Blocks chosen from a few chains so that chains hold several slots.
    for (int i = 0; i < 400; i++) {
        int64_t block = (random() % 4) * 32 + random() % 3 + (random() % 2) * 64;
        int offset = random() % 8192;
        ASSERT_EQ(ReadBlockByte(KRKR, 0, block, offset), ExpectedByte(table, block, offset)) << i;
    }
    // The recency list holds every slot once.
    int n = 0;
    for (CacheBlock *slot = lruHead; slot != nullptr; slot = slot->lruNext)
        n++;
    EXPECT_EQ(n, 5);
    EXPECT_EQ(freeBlocks, nullptr);
}

TEST_F(BlockCache, ShortLastBlockOfAPlainFile) {
    std::vector<uint8_t> table = HashedTable(27030, 9);
    WriteFileBytes(directory + "/krk.nbw", table);
    ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), 3);
    ASSERT_EQ(SetTablebaseCacheSize(1), 1);
    // 27030 = 3 * 8192 + 2454.
    EXPECT_EQ(ReadBlockByte(KRK, 0, 3, 2453), ExpectedByte(table, 3, 2453));
    EXPECT_EQ(ReadBlockByte(KRK, 0, 3, 2454), TB_UNKNOWN);
    EXPECT_EQ(IsTablebaseRegistered(KRK, 0), 1);
}

TEST_F(BlockCache, DeletedFileRetiresItsExtentButNotItsCachedBlocks) {
    std::vector<uint8_t> table = HashedTable(1649196, 10);
    std::string path = directory + "/krkr.nbw";
    WriteFileBytes(path, table);
    ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), 4);
    ASSERT_EQ(SetTablebaseCacheSize(1), 1);
    EXPECT_EQ(ReadBlockByte(KRKR, 0, 5, 100), ExpectedByte(table, 5, 100));
    // Closing the files (a new cache would) and deleting the file leaves
    // the block readable from memory.
    CloseTablebaseFiles();
    std::filesystem::remove(path);
    EXPECT_EQ(ReadBlockByte(KRKR, 0, 5, 101), ExpectedByte(table, 5, 101));
    EXPECT_EQ(ReadBlockByte(KRKR, 0, 6, 0), TB_UNKNOWN);
    EXPECT_EQ(IsTablebaseRegistered(KRKR, 0), 0);
    EXPECT_EQ(ReadBlockByte(KRKR, 0, 5, 102), ExpectedByte(table, 5, 102));
}

TEST_F(BlockCache, DamagedCompressedBlockRetiresItsExtent) {
    std::vector<uint8_t> table = HashedTable(28644, 11);
    for (size_t i = 0; i < table.size(); i++)
        table[i] %= 6;  // compressible, so the blocks are coded
    CompressedTableOptions options;
    options.copyBeforeBlockStart = true;
    WriteFileBytes(directory + "/krk.nbb.emd", EncodeCompressedTable(table, options));
    ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), 3);
    ASSERT_EQ(SetTablebaseCacheSize(1), 1);
    EXPECT_EQ(ReadBlockByte(KRK, 1, 1, 7), ExpectedByte(table, 1, 7));
    EXPECT_EQ(ReadBlockByte(KRK, 1, 0, 7), TB_UNKNOWN);
    EXPECT_EQ(IsTablebaseRegistered(KRK, 1), 0);
    // Past the last block of the table side.
    EXPECT_EQ(ReadBlockByte(KRK, 1, 1, 8192), TB_UNKNOWN);
}
