// Book lookup and the weighted pick, on book files the tests write.
#include "frontend/opening_book.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

struct Record {
    uint32_t lock32;
    uint16_t lock16;
    Move move;
    int16_t weight;
};

std::string BookPath(const std::string &name) {
    return (std::filesystem::temp_directory_path() /
            ("vlm_book_" + std::to_string(getpid()) + "_" + name))
        .string();
}

// Writes the records as given (the caller keeps them sorted).
std::string WriteBook(const std::string &name, const std::vector<Record> &records,
                      int extraBytes = 0) {
    std::string path = BookPath(name);
    FILE *file = fopen(path.c_str(), "wb");
    for (const Record &r : records) {
        uint8_t bytes[12] = {uint8_t(r.lock32),
                             uint8_t(r.lock32 >> 8),
                             uint8_t(r.lock32 >> 16),
                             uint8_t(r.lock32 >> 24),
                             uint8_t(r.lock16),
                             uint8_t(r.lock16 >> 8),
                             0xEE,
                             0xEE,
                             uint8_t(r.move),
                             uint8_t(r.move >> 8),
                             uint8_t(r.weight),
                             uint8_t(uint16_t(r.weight) >> 8)};
        fwrite(bytes, 1, sizeof bytes, file);
    }
    for (int i = 0; i < extraBytes; i++)
        fputc(0x55, file);
    fclose(file);
    return path;
}

struct BookFixture : testing::Test {
    Book testBook = {nullptr, 0, 0};
    std::vector<std::string> paths;
    void Open(const std::string &name, const std::vector<Record> &records, int extra = 0) {
        paths.push_back(WriteBook(name, records, extra));
        ASSERT_TRUE(OpenBook(&testBook, paths.back().c_str()));
    }
    void TearDown() override {
        if (testBook.file)
            fclose(testBook.file);
        for (const std::string &path : paths)
            std::filesystem::remove(path);
    }
};

// Seeds spread over the whole range, so that the draws do too.
uint32_t SpreadSeed(uint32_t i) {
    return i * 2654435761u;
}

// The generator step the pick makes, and the draw it gives for a total.
int DrawFor(uint32_t seed, int64_t total) {
    seed = seed * 214013u + 2531011u;
    return int((int64_t((seed >> 16) & 0x7FFF) * total) >> 15);
}

const Move E2E4 = 0x3414, D2D4 = 0x3313, G1F3 = 0x2506;

TEST_F(BookFixture, KeysCompareAsLittleEndianBytes) {
    uint8_t key[6] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00};
    uint8_t entry[6] = {0x00, 0x01, 0x00, 0x00, 0x00, 0x00};
    EXPECT_GT(CompareBookKey(key, entry), 0);  // 1 sorts after 256 byte-wise
    EXPECT_EQ(CompareBookKey(key, key), 0);
}

TEST_F(BookFixture, WeightsPickInProportion) {
    Open("prop", {{0x100, 7, E2E4, 10}, {0x100, 7, D2D4, 20}, {0x100, 7, G1F3, 70}});
    EXPECT_EQ(testBook.entryCount, 3);
    int seen[3] = {0, 0, 0};
    for (uint32_t i = 0; i < 400; i++) {
        uint32_t seed = SpreadSeed(i);
        testBook.seed = seed;
        int r = DrawFor(seed, 100);
        Move expected = r < 10 ? E2E4 : r < 30 ? D2D4 : G1F3;
        Move move = ProbeBook(&testBook, 0x100, 7, 10);
        ASSERT_EQ(move, expected) << "seed " << seed;
        seen[r < 10 ? 0 : r < 30 ? 1 : 2]++;
        EXPECT_EQ(testBook.seed, seed * 214013u + 2531011u);
    }
    EXPECT_GT(seen[0], 0);
    EXPECT_GT(seen[1], 0);
    EXPECT_GT(seen[2], 0);
}

TEST_F(BookFixture, SelectivityKeepsOnlyTheHeaviest) {
    Open("sel", {{0x100, 7, E2E4, 10}, {0x100, 7, D2D4, 20}, {0x100, 7, G1F3, 70}});
    for (uint32_t seed = 0; seed < 100; seed++) {
        testBook.seed = seed;
        EXPECT_EQ(ProbeBook(&testBook, 0x100, 7, 50), G1F3);
    }
}

TEST_F(BookFixture, EqualHeaviestShareTheChoice) {
    Open("equal", {{0x100, 7, E2E4, 40}, {0x100, 7, D2D4, 40}, {0x100, 7, G1F3, 20}});
    int nFirst = 0, nSecond = 0;
    for (uint32_t i = 0; i < 400; i++) {
        testBook.seed = SpreadSeed(i);
        Move move = ProbeBook(&testBook, 0x100, 7, 300);
        ASSERT_NE(move, G1F3);
        nFirst += move == E2E4;
        nSecond += move == D2D4;
    }
    EXPECT_GT(nFirst, 100);
    EXPECT_GT(nSecond, 100);
}

TEST_F(BookFixture, FirstAndLastPositionsAreFoundWhole) {
    std::vector<Record> records = {{0x01, 0, E2E4, 5}, {0x01, 0, D2D4, 5}};
    for (uint32_t k = 2; k < 40; k++)
        records.push_back({k, 0, G1F3, 1});
    records.push_back({0xFF, 0, D2D4, 9});
    records.push_back({0xFF, 0, E2E4, 9});
    Open("ends", records, 7);  // a trailing partial record is ignored
    EXPECT_EQ(testBook.entryCount, int32_t(records.size()));
    for (uint32_t seed = 0; seed < 50; seed++) {
        testBook.seed = seed;
        Move first = ProbeBook(&testBook, 0x01, 0, 0);
        EXPECT_TRUE(first == E2E4 || first == D2D4);
        Move last = ProbeBook(&testBook, 0xFF, 0, 0);
        EXPECT_TRUE(last == E2E4 || last == D2D4);
    }
    EXPECT_EQ(ProbeBook(&testBook, 0x50, 0, 0), MOVE_NONE);
    EXPECT_EQ(ProbeBook(&testBook, 0x00, 0, 0), MOVE_NONE);
    EXPECT_EQ(ProbeBook(&testBook, 17, 0, 0), G1F3);
}

TEST_F(BookFixture, EmptyAndZeroWeightBooksGiveNoMove) {
    Open("empty", {}, 11);
    EXPECT_EQ(testBook.entryCount, 0);
    EXPECT_EQ(ProbeBook(&testBook, 0, 0, 50), MOVE_NONE);
    Open("zero", {{0x100, 7, E2E4, 0}, {0x100, 7, D2D4, 0}});
    EXPECT_EQ(ProbeBook(&testBook, 0x100, 7, 50), MOVE_NONE);
}

TEST_F(BookFixture, HeavyWeightsSumBeyondSixteenBits) {
    // 30000 + 30000 overflows 16 bits; the draw must still use both.
    Open("heavy", {{0x100, 7, E2E4, 30000}, {0x100, 7, D2D4, 30000}});
    int nFirst = 0;
    for (uint32_t i = 0; i < 200; i++) {
        testBook.seed = SpreadSeed(i);
        Move move = ProbeBook(&testBook, 0x100, 7, 0);
        ASSERT_TRUE(move == E2E4 || move == D2D4);
        nFirst += move == E2E4;
    }
    EXPECT_GT(nFirst, 50);
    EXPECT_LT(nFirst, 150);
}

TEST_F(BookFixture, ManyRecordsOfOnePositionStayInTheList) {
    std::vector<Record> records(150, Record{0x100, 7, E2E4, 1});
    Open("many", records);
    EXPECT_EQ(ProbeBook(&testBook, 0x100, 7, 0), E2E4);
}

TEST_F(BookFixture, MissingFileIsRefused) {
    EXPECT_FALSE(OpenBook(&testBook, BookPath("does_not_exist").c_str()));
    EXPECT_EQ(testBook.file, nullptr);
    EXPECT_EQ(ProbeBook(&testBook, 0, 0, 0), MOVE_NONE);
}

}  // namespace
