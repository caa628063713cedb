// The probe reads back exactly the entry the index function numbers, in
// the score form, for plain and compressed files, swapped colours,
// symmetric tables, en passant and 16-bit entries.
#include "tablebases/tablebase_probe.h"

#include <gtest/gtest.h>

#include <random>

#include "tablebases/block_cache.h"
#include "tablebases/endgame_descriptors.h"
#include "tablebases/index_tables.h"
#include "tablebases/tablebase_files.h"
#include "tablebases/tablebase_registration.h"
#include "tests/tablebases/tb_writer.h"

namespace {

constexpr int KRK = 4, KPKP = 6, KRKR = 15, KPPKP = 36, KRNKNN = 151;

class TablebaseProbe : public testing::Test {
   protected:
    void SetUp() override {
        BuildIndexTables();  // the expectations number positions before registering
        directory = MakeTempDirectory();
    }
    void TearDown() override {
        RegisterTablebasePaths(nullptr);
        SetTablebaseCacheSize(0);
        RemoveDirectoryTree(directory);
    }
    void Register(int expectedMen) {
        ASSERT_EQ(RegisterTablebasePaths(directory.c_str()), expectedMen);
        ASSERT_EQ(SetTablebaseCacheSize(1), 1);
    }
    std::string directory;
};

// Expected probe result: the index of the table's own function, with the
// colours swapped when the table's white men stand on black's side.
struct Expectation {
    int64_t position;
    int side;
};

Expectation Expect(int id, bool swapped, int sideToMove, const ProbeBoard &board, int ep) {
    PieceSquares white, black;
    SplitBoard(board, &white, &black);
    int side = (swapped ? 1 : 0) ^ (sideToMove < 1 ? 1 : 0);
    IndexFunction index = tablebases[id].indexFunction[side];
    int64_t position = swapped ? index(&black, &white, ep == 0 ? 127 : ep, 1)
                               : index(&white, &black, ep == 0 ? 127 : ep, 0);
    return {position, side};
}

// Random placements of the listed pieces: white's first, then black's.
ProbeBoard RandomBoard(std::mt19937 *random, const char *pieces) {
    for (;;) {
        std::string text;
        std::vector<int> used;
        for (const char *p = pieces; *p != '\0'; p++) {
            int square;
            bool pawn = *p == 'P' || *p == 'p';
            do {
                square = (*random)() % 64;
            } while (std::find(used.begin(), used.end(), square) != used.end() ||
                     (pawn && (square < 8 || square > 55)));
            used.push_back(square);
            text += *p;
            text += static_cast<char>('a' + square % 8);
            text += static_cast<char>('1' + square / 8);
            text += ' ';
        }
        return BoardOf(text.c_str());
    }
}

// Probes random boards of one material and compares with the bytes.
void CheckRandomProbes(int id, bool swapped, const char *pieces, const std::vector<uint8_t> *tables,
                       int nProbes, uint32_t seed) {
    std::mt19937 random(seed);
    int nHits = 0;
    for (int i = 0; i < nProbes; i++) {
        ProbeBoard board = RandomBoard(&random, pieces);
        int sideToMove = (i & 1) ? -1 : 1;
        Expectation expected = Expect(id, swapped, sideToMove, board, 0);
        int score = 12345, wanted = 0;
        int hit = LookUpTablebaseScore(board.squares, sideToMove, 0, &score);
        int fileSide = FileSide(id, expected.side);
        bool known = expected.position >= 0 &&
                     expected.position < tablebases[id].positionCount[fileSide] &&
                     ScoreOfByte(static_cast<int8_t>(tables[fileSide][expected.position]), &wanted);
        ASSERT_EQ(hit, known ? 1 : 0) << i;
        EXPECT_EQ(score, known ? wanted : 12345) << i;
        nHits += hit;
    }
    EXPECT_GT(nHits, nProbes / 2);
}

}  // namespace

TEST(TablebaseProbeValues, BytesWidenToStoredValuesAndScores) {
    EXPECT_EQ(WidenByteEntry(0), 0);
    EXPECT_EQ(WidenByteEntry(1), 32641);
    EXPECT_EQ(WidenByteEntry(126), 32766);
    EXPECT_EQ(WidenByteEntry(127), TB_UNKNOWN);
    EXPECT_EQ(WidenByteEntry(-1), -32641);
    EXPECT_EQ(WidenByteEntry(-126), -32766);
    EXPECT_EQ(WidenByteEntry(-127), -32640);
    EXPECT_EQ(WidenByteEntry(-128), 32640);
    EXPECT_EQ(ScoreOfStoredValue(32766), 1);    // mate in one
    EXPECT_EQ(ScoreOfStoredValue(-32767), -1);  // mated now
    EXPECT_EQ(ScoreOfStoredValue(-32766), -2);
    EXPECT_EQ(ScoreOfStoredValue(32640), 127);
    EXPECT_EQ(ScoreOfStoredValue(-32640), -128);
    EXPECT_EQ(ScoreOfStoredValue(-32639), -129);
    EXPECT_EQ(ScoreOfStoredValue(0), 0);
    EXPECT_EQ(pieceCodeToCount[1], 9);
    EXPECT_EQ(pieceCodeToCount[7], 0);
    EXPECT_EQ(pieceCodeToCount[12], -1);
}

TEST_F(TablebaseProbe, PlainFilesBothWaysRound) {
    std::vector<uint8_t> tables[2] = {HashedTable(27030, 21), HashedTable(28644, 22)};
    WriteFileBytes(directory + "/krk.nbw", tables[0]);
    WriteFileBytes(directory + "/krk.nbb", tables[1]);
    Register(3);
    int32_t hitsBefore = tbHits.load();
    CheckRandomProbes(KRK, false, "KRk", tables, 400, 1);
    // Black's rook: the table is found as -4 and read with colours swapped.
    CheckRandomProbes(KRK, true, "Kkr", tables, 400, 2);
    EXPECT_GT(tbHits.load() - hitsBefore, 400);
}

TEST_F(TablebaseProbe, CompressedFilesReadTheSame) {
    std::vector<uint8_t> tables[2] = {HashedTable(27030, 23), HashedTable(28644, 24)};
    for (uint8_t &b : tables[1])
        b = static_cast<uint8_t>(b % 9 - 4);  // coded blocks on one side
    WriteFileBytes(directory + "/krk.nbw.emd", EncodeCompressedTable(tables[0]));
    WriteFileBytes(directory + "/krknbb.emd", EncodeCompressedTable(tables[1]));
    Register(3);
    CheckRandomProbes(KRK, false, "KRk", tables, 300, 3);
    CheckRandomProbes(KRK, true, "Kkr", tables, 300, 4);
}

TEST_F(TablebaseProbe, SymmetricTableReadsItsOneFile) {
    std::vector<uint8_t> table = HashedTable(1649196, 25);
    std::vector<uint8_t> tables[2] = {table, table};
    WriteFileBytes(directory + "/krkr.nbw", table);
    Register(4);
    CheckRandomProbes(KRKR, false, "KRkr", tables, 300, 5);
}

TEST_F(TablebaseProbe, NotFoundLeavesTheScore) {
    std::vector<uint8_t> table(27030, 127);
    WriteFileBytes(directory + "/krk.nbw", table);
    Register(3);
    int score = 777;
    ProbeBoard board = BoardOf("Ke1 Ra1 ke8");
    // The byte 127 holds no value; black to move has no file.
    EXPECT_EQ(LookUpTablebaseScore(board.squares, 1, 0, &score), 0);
    EXPECT_EQ(LookUpTablebaseScore(board.squares, -1, 0, &score), 0);
    EXPECT_EQ(LookUpTablebaseScore(BoardOf("Ke1 ke8").squares, 1, 0, &score), 0);
    EXPECT_EQ(LookUpTablebaseScore(BoardOf("Ke1 Qa1 ke8").squares, 1, 0, &score), 0);
    // Kings that touch or a missing king cannot be numbered.
    EXPECT_EQ(LookUpTablebaseScore(BoardOf("Ke1 Ra1 ke2").squares, 1, 0, &score), 0);
    EXPECT_EQ(LookUpTablebaseScore(BoardOf("Ra1 Rb1 ke8").squares, 1, 0, &score), 0);
    ProbeBoard odd = board;
    odd.squares[20] = 99;  // not a piece code: read as empty
    EXPECT_EQ(LookUpTablebaseScore(odd.squares, 1, 0, &score), 0);
    EXPECT_EQ(score, 777);
    // With the cache off nothing is read.
    SetTablebaseCacheSize(0);
    EXPECT_EQ(ReadTablebaseValue(KRK, 0, 0), TB_UNKNOWN);
}

TEST_F(TablebaseProbe, ByteEntriesInScoreForm) {
    std::vector<uint8_t> table(27030, 127);
    ProbeBoard board = BoardOf("Kc3 Rh7 kd5");
    int64_t position = Expect(KRK, false, 1, board, 0).position;
    ASSERT_GE(position, 0);
    const int8_t bytes[6] = {0, 126, -128, -127, -126, -1};
    const int scores[6] = {0, 1, 127, -128, -2, -127};
    for (int i = 0; i < 6; i++) {
        table[position] = static_cast<uint8_t>(bytes[i]);
        WriteFileBytes(directory + "/krk.nbw", table);
        Register(3);
        int score = 0;
        EXPECT_EQ(LookUpTablebaseScore(board.squares, 1, 0, &score), 1) << i;
        EXPECT_EQ(score, scores[i]) << i;
    }
}

TEST_F(TablebaseProbe, EnPassantSquareIsPassedOn) {
    // kpkp is found with colours swapped whatever the board.
    std::vector<uint8_t> tables[2] = {HashedTable(3863492, 26), HashedTable(3863492, 27)};
    WriteFileBytes(directory + "/kpkp.nbw", tables[0]);
    WriteFileBytes(directory + "/kpkp.nbb", tables[1]);
    Register(4);
    // Black's d-pawn has just passed white's e-pawn; d6 = 43.
    ProbeBoard board = BoardOf("Kg1 Pe5 kb8 pd5");
    Expectation withEp = Expect(KPKP, true, 1, board, 43);
    Expectation without = Expect(KPKP, true, 1, board, 0);
    ASSERT_GE(withEp.position, 0);
    ASSERT_NE(withEp.position, without.position);
    for (auto [ep, expected] : {std::pair{43, withEp}, std::pair{0, without}}) {
        int score = 0, wanted = 0;
        bool known =
            ScoreOfByte(static_cast<int8_t>(tables[expected.side][expected.position]), &wanted);
        EXPECT_EQ(LookUpTablebaseScore(board.squares, 1, ep, &score), known ? 1 : 0) << ep;
        if (known) {
            EXPECT_EQ(score, wanted) << ep;
        }
    }
    std::vector<uint8_t> both[2] = {tables[0], tables[1]};
    CheckRandomProbes(KPKP, true, "KPkp", both, 300, 6);
}

TEST_F(TablebaseProbe, LongLossesOfKppkpNeedNoRead) {
    // An all-draw black-to-move file of kppkp, compressed.
    TableContent content;
    content.nBytes = 89391280;
    content.distinct.push_back(std::vector<uint8_t>(8192, 0));
    content.blockKind = [](int64_t) { return 0; };
    WriteFileBytes(directory + "/kppkp.nbb.emd", EncodeCompressedTable(content, {}));
    Register(5);
    for (int64_t position : {56802428, 56811076, 56849992, 56858640, 59592489, 67775659, 71071628})
        EXPECT_EQ(ReadTablebaseValue(KPPKP, 1, position), -32639) << position;
    EXPECT_EQ(ReadTablebaseValue(KPPKP, 1, 56802429), 0);
    EXPECT_EQ(ReadTablebaseValue(KPPKP, 1, 89391279), 0);
    EXPECT_EQ(ReadTablebaseValue(KPPKP, 1, 89391280), TB_UNKNOWN);
    EXPECT_EQ(ReadTablebaseValue(KPPKP, 0, 56802428), TB_UNKNOWN);
}

// A 16-bit table of 2.7 billion positions, held as a compressed file of a
// few distinct blocks.
TEST_F(TablebaseProbe, WordEntriesReadLowByteFirst) {
    auto valueOf = [](int64_t position) {
        int kind = static_cast<int>((position >> 12) % 3);
        int64_t i = position & 0xFFF;
        // Short periods keep each coded block a few bytes long.
        if (kind == 0)
            return 0;
        return kind == 1 ? static_cast<int>(32766 - (i % 4) * 37) : static_cast<int>(i % 2 - 32767);
    };
    TableContent content;
    content.nBytes = tablebases[KRNKNN].positionCount[0] * 2;
    for (int kind = 0; kind < 3; kind++) {
        std::vector<uint8_t> block(8192);
        for (int i = 0; i < 4096; i++) {
            uint16_t value = static_cast<uint16_t>(valueOf(int64_t(kind) * 4096 + i));
            block[2 * i] = static_cast<uint8_t>(value & 0xFF);
            block[2 * i + 1] = static_cast<uint8_t>(value >> 8);
        }
        content.distinct.push_back(block);
    }
    content.blockKind = [](int64_t b) { return static_cast<int>(b % 3); };
    WriteFileBytes(directory + "/krnknn.nbw.emd", EncodeCompressedTable(content, {}));
    Register(6);
    std::mt19937 random(8);
    for (int i = 0; i < 200; i++) {
        int64_t position = (int64_t(random()) * 641) % tablebases[KRNKNN].positionCount[0];
        EXPECT_EQ(ReadTablebaseValue(KRNKNN, 0, position), valueOf(position)) << position;
    }
    ProbeBoard board = BoardOf("Ka1 Rc4 Nf5 kh8 nb7 ng2");
    Expectation expected = Expect(KRNKNN, false, 1, board, 0);
    ASSERT_GE(expected.position, 0);
    int score = 0;
    ASSERT_EQ(LookUpTablebaseScore(board.squares, 1, 0, &score), 1);
    EXPECT_EQ(score, ScoreOfStoredValue(valueOf(expected.position)));
}
