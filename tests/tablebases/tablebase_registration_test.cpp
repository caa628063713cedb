// Registration along a directory list: the first directory holding a file
// wins, names are tried in their fixed order, and broken files end the
// program with their "***" line.
#include "tablebases/tablebase_registration.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tablebases/block_cache.h"
#include "tablebases/compressed_file.h"
#include "tablebases/tablebase_files.h"
#include "tests/tablebases/tb_writer.h"

namespace {

constexpr int KPK = 1, KRK = 4, KQK = 5, KRKR = 15, KNNKNN = 146, KRNKBN = 186;

class TablebaseRegistration : public testing::Test {
   protected:
    void SetUp() override {
        first = MakeTempDirectory();
        second = MakeTempDirectory();
    }
    void TearDown() override {
        RegisterTablebasePaths(nullptr);
        RemoveDirectoryTree(first);
        RemoveDirectoryTree(second);
    }
    void WriteTable(const std::string &directory, const char *fileName, int64_t nBytes,
                    uint32_t seed = 1) {
        WriteFileBytes(directory + "/" + fileName, HashedTable(nBytes, seed));
    }
    std::string first, second;
};

std::string NameOf(int id, int side, int extent = 0) {
    const char *name = tablebaseFiles[id].fileName[side][extent];
    return name != nullptr ? name : "";
}

}  // namespace

TEST_F(TablebaseRegistration, FirstDirectoryOfTheListWins) {
    WriteTable(first, "krk.nbw", 27030);
    WriteTable(second, "krk.nbw", 27030);
    WriteTable(second, "krk.nbb", 28644);
    std::string list = first + "/missing;" + first + "," + second;
    EXPECT_EQ(RegisterTablebasePaths(list.c_str()), 3);
    EXPECT_EQ(NameOf(KRK, 0), first + "/krk.nbw");
    EXPECT_EQ(NameOf(KRK, 1), second + "/krk.nbb");
    EXPECT_EQ(IsTablebaseRegistered(KRK, 1), 1);
    EXPECT_EQ(IsTablebaseRegistered(KQK, 0), 0);
    EXPECT_EQ(filesOpened, 2);  // the second krk.nbw is never opened
    // A trailing slash gets no second one; a null list forgets everything.
    std::string slashed = second + "/";
    EXPECT_EQ(RegisterTablebasePaths(slashed.c_str()), 3);
    EXPECT_EQ(NameOf(KRK, 0), second + "/krk.nbw");
    EXPECT_EQ(RegisterTablebasePaths(nullptr), 0);
    EXPECT_EQ(IsTablebaseRegistered(KRK, 0), 0);
    EXPECT_EQ(tablebaseFiles[KRK].cacheChains[0], nullptr);
}

TEST_F(TablebaseRegistration, MenCountOfTheLargestTable) {
    WriteTable(first, "kqk.nbb", 28644);
    EXPECT_EQ(RegisterTablebases(first.c_str()), 3);
    WriteTable(second, "krkr.nbw", 1649196);
    std::string list = first + ";" + second;
    EXPECT_EQ(RegisterTablebasePaths(list.c_str()), 4);
    // A symmetric table registers side 0 only and serves both.
    EXPECT_EQ(IsTablebaseRegistered(KRKR, 1), 1);
    EXPECT_EQ(NameOf(KRKR, 1), "");
    EXPECT_EQ(RegisterTablebasePaths("/no/such/directory"), 0);
}

TEST_F(TablebaseRegistration, NamesAreTriedInTheirOrder) {
    ASSERT_EQ(RegisterTablebasePaths(first.c_str()), 0);
    // Black to move of krk: plain, .emd, two '_' spellings, the short name.
    int before = filesTried;
    EXPECT_EQ(RegisterTablebaseFile(first.c_str(), KRK, 1, 0), 0);
    EXPECT_EQ(filesTried - before, 5);
    // Six men, not split: no short name.
    before = filesTried;
    EXPECT_EQ(RegisterTablebaseSide(first.c_str(), KNNKNN, 0), 0);
    EXPECT_EQ(filesTried - before, 4);
    // Split: the plain and the .emd name of extent 0.
    before = filesTried;
    EXPECT_EQ(RegisterTablebaseSide(first.c_str(), KRNKBN, 1), 0);
    EXPECT_EQ(filesTried - before, 2);
    EXPECT_EQ(PlainTablebaseName(first.c_str(), KRNKBN, 1, 11), first + "/krnkbn.b.nbb");
    EXPECT_EQ(PlainTablebaseName("", KRK, 0, 0), "krk.nbw");

    std::vector<uint8_t> compressed = EncodeCompressedTable(HashedTable(28644, 2));
    const char *spellings[4] = {"krk.nbb.emd", "krk_nbb.emd", "krk_nbb_emd", "krknbb.emd"};
    for (int i = 0; i < 4; i++) {
        std::string path = first + "/" + spellings[i];
        WriteFileBytes(path, compressed);
        ASSERT_EQ(RegisterTablebasePaths(first.c_str()), 3);
        EXPECT_EQ(NameOf(KRK, 1), path);
        EXPECT_NE(tablebaseFiles[KRK].compressedFile[1][0], nullptr);
        EXPECT_NE(decodeContext, nullptr);
        std::filesystem::remove(path);
    }
}

TEST_F(TablebaseRegistration, EmptyEntryIsTheCurrentDirectory) {
    WriteTable(second, "kqk.nbw", 25629);
    char saved[4096];
    ASSERT_NE(getcwd(saved, sizeof saved), nullptr);
    ASSERT_EQ(chdir(second.c_str()), 0);
    std::string list = first + ";";
    int men = RegisterTablebasePaths(list.c_str());
    std::string name = NameOf(KQK, 0);
    ASSERT_EQ(chdir(saved), 0);
    EXPECT_EQ(men, 3);
    EXPECT_EQ(name, "kqk.nbw");
}

TEST_F(TablebaseRegistration, SplitTableKeepsItsFirstExtent) {
    // Extent 0 of a split table is full size: 2^31 bytes. A compressed
    // file of 2^18 identical blocks stands for it.
    TableContent content;
    content.nBytes = int64_t(1) << 31;
    content.distinct.push_back(std::vector<uint8_t>(8192, 0));
    content.blockKind = [](int64_t) { return 0; };
    WriteFileBytes(first + "/krnkbn.0.nbw.emd", EncodeCompressedTable(content, {}));
    EXPECT_EQ(RegisterTablebasePaths(first.c_str()), 6);
    EXPECT_EQ(NameOf(KRNKBN, 0, 0), first + "/krnkbn.0.nbw.emd");
    EXPECT_EQ(NameOf(KRNKBN, 0, 1), "");
    EXPECT_EQ(ExtentCount(KRNKBN, 0), 6);  // 16-bit entries: 2^30 positions each
    EXPECT_EQ(IsTablebaseRegistered(KRNKBN, 0), 1);
}

// The "***" lines go to standard output; the death tests send it to
// standard error to match it.
#define EXPECT_REGISTRATION_ENDS(list, pattern)     \
    EXPECT_EXIT(                                    \
        {                                           \
            dup2(2, 1);                             \
            RegisterTablebasePaths((list).c_str()); \
        },                                          \
        testing::ExitedWithCode(1), pattern)

TEST_F(TablebaseRegistration, BrokenFilesEndTheProgram) {
    // The child must not make directories of its own: it runs only the
    // statement, with the files written here.
    GTEST_FLAG_SET(death_test_style, "fast");
    WriteTable(first, "kpk.nbw", 81663);
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* .*/kpk.nbw corrupted 81664 81664 81663");
    std::filesystem::remove(first + "/kpk.nbw");

    std::vector<uint8_t> good = EncodeCompressedTable(HashedTable(28644, 3));
    std::vector<uint8_t> bad = good;
    bad[100] ^= 1;
    WriteFileBytes(first + "/krk.nbb.emd", bad);
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* Unable to read .*/krk.nbb.emd - file broken");
    bad = std::vector<uint8_t>(good.begin(), good.begin() + 90);
    WriteFileBytes(first + "/krk.nbb.emd", bad);
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* Unable to read .*/krk.nbb.emd - out of memory");
    bad = good;
    bad[0] = 'X';
    WriteFileBytes(first + "/krk.nbb.emd", bad);
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* Unable to read .*/krk.nbb.emd - read error");
    // One block of 4096 bytes: a header of 132 bytes, sizes and distances
    // in 12-bit fields (the block's is 1, the rest 0), all code lengths 0.
    bad.assign(133, 0);
    std::copy(compressedFileBanner, compressedFileBanner + 64, bad.begin());
    bad[67] = 132;
    bad[70] = 12;
    bad[71] = 24;
    bad[75] = 1;
    std::copy(compressedHeaderTag, compressedHeaderTag + 4, bad.begin() + 76);
    bad[89] = 0x10;
    bad[127] = 0x80;
    uint32_t checksum = ComputeChecksum(bad.data(), 128);
    for (int i = 0; i < 4; i++)
        bad[128 + i] = static_cast<uint8_t>(checksum >> (24 - 8 * i));
    WriteFileBytes(first + "/krk.nbb.emd", bad);
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* .*/krk.nbb.emd: Unsupported block size 4096");
    // A compressed table of the wrong length.
    WriteFileBytes(first + "/krk.nbb.emd", EncodeCompressedTable(HashedTable(28643, 3)));
    EXPECT_REGISTRATION_ENDS(first, "\\*\\*\\* .*/krk.nbb.emd corrupted 28644 28644 28643");
}
