// Index tables: king-pair numbering, square numberings and offset totals
// pinned to their known values, built once from counted memory.
#include "tablebases/index_tables.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tablebases/endgame_descriptors.h"
#include "tablebases/tb_memory.h"

namespace {

constexpr uint64_t CHECKSUM_PAWN = 4166817076470627317u;
constexpr uint64_t CHECKSUM_PAWNLESS = 10854348537376965737u;

enum : int { A1 = 0, B1 = 1, B2 = 9, A3 = 16, D4 = 27, A8 = 56, H8 = 63 };

class IndexTables : public testing::Test {
   protected:
    static void SetUpTestSuite() { BuildIndexTables(); }
};

int CountValid(const KingPairTable &table, int *highest, bool *rowMajor) {
    int n = 0, last = -1;
    *rowMajor = true;
    for (int k = 0; k < 64; k++) {
        for (int o = 0; o < 64; o++) {
            if (table[k][o] == KING_PAIR_INVALID)
                continue;
            *rowMajor = *rowMajor && table[k][o] == last + 1;
            last = table[k][o];
            n++;
        }
    }
    *highest = last;
    return n;
}

TEST(KingPairTables, NumberValidPairsInRowMajorOrder) {
    int highest;
    bool rowMajor;
    EXPECT_EQ(CountValid(pawnKingPairIndex, &highest, &rowMajor), 1806);
    EXPECT_EQ(highest, 1805);
    EXPECT_TRUE(rowMajor);
    EXPECT_EQ(CountValid(pawnlessKingPairIndex, &highest, &rowMajor), 462);
    EXPECT_EQ(highest, 461);
    EXPECT_TRUE(rowMajor);
    EXPECT_NE(pawnlessKingPairIndex[D4][H8], KING_PAIR_INVALID);
    EXPECT_EQ(pawnlessKingPairIndex[D4][A8], KING_PAIR_INVALID);
    EXPECT_EQ(pawnlessKingPairIndex[A1][B2], KING_PAIR_INVALID);
    EXPECT_EQ(pawnKingPairIndex[A1][B1], KING_PAIR_INVALID);
    EXPECT_EQ(pawnKingPairIndex[4][A1], KING_PAIR_INVALID);  // e1 is mirrored first
}

TEST(SymmetryTables, MapSquaresAsNamed) {
    int triangle = 0, sum = 0;
    for (int s = 0; s < 64; s++) {
        triangle += diagonalTest[0][s];
        EXPECT_EQ(transposeSquare[transposeSquare[s]], s);
        EXPECT_EQ(diagonalTest[1][s], transposeSquare[s] != s);
        int quartered = s ^ pawnlessMirrorMask[s];
        EXPECT_TRUE((quartered & 7) <= 3 && (quartered >> 3) <= 3);
        EXPECT_LE((s ^ pawnMirrorMask[s]) & 7, 3);
        sum += pawnlessMirrorMask[s];
    }
    EXPECT_EQ(triangle, 10);
    EXPECT_EQ(sum, 16 * (0 + 7 + 0x38 + 0x3F));
    EXPECT_EQ(invertMask[1], 0x38);
    EXPECT_EQ(transposeSquare[1], 8);
}

TEST_F(IndexTables, SquareNumberingsCountAllowedSquares) {
    EXPECT_EQ(squareCount[KIND_FREE_PAWN][A1], 48);
    EXPECT_EQ(squareCount[KIND_PAWN][A1], 48);
    EXPECT_EQ(squareCount[KIND_PAWN][A3], 46);
    EXPECT_EQ(squareNumbering[KIND_PAWN][A3][B2], 255);
    EXPECT_EQ(squareNumbering[KIND_PAWN][A3][A3], 255);
    EXPECT_EQ(squareCount[KIND_FREE_PAWN][A3], 47);
    EXPECT_EQ(squareCount[KIND_KNIGHT][A1], 61);
    EXPECT_EQ(squareCount[KIND_KNIGHT][B1], 60);
    EXPECT_EQ(squareCount[KIND_QUEEN][A1], 60);
    EXPECT_EQ(squareCount[KIND_QUEEN][B2], 55);
    EXPECT_EQ(squareCount[KIND_QUEEN][H8], 60);
    EXPECT_EQ(squareCount[KIND_ROOK][H8], 61);
    EXPECT_EQ(squareCount[KIND_BISHOP][H8], 62);
    EXPECT_EQ(squareCount[KIND_KNIGHT][H8], 61);
    for (int kind = 0; kind < SQUARE_KINDS; kind++) {
        for (int king = 0; king < 64; king++) {
            int next = 0;
            for (int s = 0; s < 64; s++) {
                int number = squareNumbering[kind][king][s];
                if (number != 255) {
                    EXPECT_EQ(number, next++);
                }
            }
            EXPECT_EQ(next, squareCount[kind][king]);
        }
    }
}

TEST_F(IndexTables, OffsetTotalsArePinned) {
    const int64_t pawnTotals[SQUARE_KINDS] = {84012, 81664, 102748, 106500, 105684, 100212};
    for (int kind = 0; kind < SQUARE_KINDS; kind++)
        EXPECT_EQ(pieceOffsets[OFFSETS_PAWN][kind].total, pawnTotals[kind]) << kind;
    EXPECT_EQ(pieceOffsets[OFFSETS_PAWNLESS][KIND_KNIGHT].total, 26282);
    EXPECT_EQ(pieceOffsets[OFFSETS_PAWNLESS][KIND_BISHOP].total, 27243);
    EXPECT_EQ(pieceOffsets[OFFSETS_PAWNLESS][KIND_ROOK].total, 27036);
    EXPECT_EQ(pieceOffsets[OFFSETS_PAWNLESS][KIND_QUEEN].total, 25635);
    // Files that hold a block alone: kppk and kqqk with black to move.
    EXPECT_EQ(pairOffsets[OFFSETS_PAWN][KIND_FREE_PAWN][KIND_FREE_PAWN].total, 1912372);
    EXPECT_EQ(pairOffsets[OFFSETS_PAWNLESS][KIND_QUEEN][KIND_QUEEN].total, 699072);
}

// Every offset table that exists, in a fixed order.
std::vector<const OffsetTable *> OffsetTables(int variant) {
    std::vector<const OffsetTable *> tables;
    for (int a = 0; a < SQUARE_KINDS; a++) {
        if (pieceOffsets[variant][a].offsets)
            tables.push_back(&pieceOffsets[variant][a]);
        for (int b = 0; b < SQUARE_KINDS; b++) {
            if (pairOffsets[variant][a][b].offsets)
                tables.push_back(&pairOffsets[variant][a][b]);
            for (int c = 0; c < SQUARE_KINDS; c++) {
                if (tripleOffsets[variant][a][b][c].offsets)
                    tables.push_back(&tripleOffsets[variant][a][b][c]);
            }
        }
    }
    return tables;
}

TEST_F(IndexTables, OffsetTablesArePinned) {
    const int nPairs[OFFSET_VARIANTS] = {PAWN_KING_PAIRS, PAWNLESS_KING_PAIRS};
    const size_t nTables[OFFSET_VARIANTS] = {58, 34};
    const uint64_t checksums[OFFSET_VARIANTS] = {CHECKSUM_PAWN, CHECKSUM_PAWNLESS};
    for (int variant = 0; variant < OFFSET_VARIANTS; variant++) {
        std::vector<const OffsetTable *> tables = OffsetTables(variant);
        EXPECT_EQ(tables.size(), nTables[variant]);
        uint64_t checksum = 0;
        for (const OffsetTable *table : tables) {
            EXPECT_EQ(table->offsets[0], 0);
            for (int p = 1; p < nPairs[variant]; p++)
                ASSERT_LT(table->offsets[p - 1], table->offsets[p]);
            ASSERT_LT(table->offsets[nPairs[variant] - 1], table->total);
            for (int p = 0; p < nPairs[variant]; p++)
                checksum = checksum * 1000003 + static_cast<uint32_t>(table->offsets[p]);
            checksum = checksum * 1000003 + static_cast<uint64_t>(table->total);
        }
        EXPECT_EQ(checksum, checksums[variant]);
    }
}

// Reports what the first build costs, on a process that built nothing.
void ReportFirstBuild() {
    // Before the build every function refuses instead of reading.
    PieceSquares white = {}, black = {};
    white.squares[SLOT_KING] = 0;
    black.squares[SLOT_KING] = 63;
    int64_t unbuilt = tablebases[4].indexFunction[0](&white, &black, TB_NO_SQUARE, 0);
    uint64_t before = tbBytesAllocated;
    BuildIndexTables();
    uint64_t first = tbBytesAllocated - before;
    BuildIndexTables();
    fprintf(stderr, "unbuilt %lld built %llu again %llu\n", static_cast<long long>(unbuilt),
            static_cast<unsigned long long>(first),
            static_cast<unsigned long long>(tbBytesAllocated - before - first));
    exit(0);
}

// The threadsafe style runs the test again in a fresh process.
TEST(IndexTablesMemory, FirstBuildTakes506400CountedBytesAndOnlyOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(ReportFirstBuild(), testing::ExitedWithCode(0), "unbuilt -1 built 506400 again 0");
}

}  // namespace
