// En-passant numbering pinned on single positions: the capture code, the
// choice between two capturers, the trailing radixes, and the fall-back to
// ordinary numbering when no pawn can really capture.
#include <gtest/gtest.h>

#include <cstring>

#include "tablebases/endgame_descriptors.h"
#include "tablebases/index_tables.h"

namespace {

enum : int {
    A1 = 0,
    H1 = 7,
    A2 = 8,
    C2 = 10,
    E2 = 12,
    A3 = 16,
    C3 = 18,
    E3 = 20,
    H3 = 23,
    A4 = 24,
    D4 = 27,
    E4 = 28,
    H4 = 31,
    A5 = 32,
    B5 = 33,
    C5 = 34,
    D5 = 35,
    E5 = 36,
    G5 = 38,
    H5 = 39,
    A6 = 40,
    C6 = 42,
    H6 = 47,
    C7 = 50,
    F7 = 53,
    A8 = 56,
    D8 = 59,
    F8 = 61,
    H8 = 63
};

PieceSquares Record(int king, std::initializer_list<int> pawns, int queen = -1) {
    PieceSquares record;
    for (int &square : record.squares)
        square = -5;
    record.squares[SLOT_KING] = king;
    int slot = SLOT_PAWNS;
    for (int pawn : pawns)
        record.squares[slot++] = pawn;
    record.squares[SLOT_QUEENS] = queen;
    return record;
}

const TablebaseDescriptor &Table(const char *name) {
    int id = 1;
    while (id < TABLEBASE_COUNT - 1 && strcmp(tablebases[id].name, name) != 0)
        id++;
    return tablebases[id];
}

class EnPassantIndex : public testing::Test {
   protected:
    static void SetUpTestSuite() { BuildIndexTables(); }
};

TEST_F(EnPassantIndex, LastKpkpNumberIsTheLastEntry) {
    // d8/h8, white g5 takes h5 on h6: the last king pair, capture code 13.
    PieceSquares white = Record(D8, {G5}), black = Record(H8, {H5});
    ASSERT_EQ(pawnKingPairIndex[D8][H8], 1805);
    const TablebaseDescriptor &kpkp = Table("kpkp");
    EXPECT_EQ(kpkp.indexFunction[0](&white, &black, H6, 0), 3863491);
    EXPECT_EQ(kpkp.positionCount[0], 3863491 + 1);
}

TEST_F(EnPassantIndex, CaptureCodeNamesFileAndDirection) {
    const TablebaseDescriptor &kpkp = Table("kpkp");
    int64_t kp = pawnKingPairIndex[A1][H8];
    PieceSquares white = Record(A1, {B5});
    PieceSquares towardsH = Record(H8, {C5}), towardsA = Record(H8, {A5});
    EXPECT_EQ(kpkp.indexFunction[0](&white, &towardsH, C6, 0), 3838208 + kp * 14 + 8);
    EXPECT_EQ(kpkp.indexFunction[0](&white, &towardsA, A6, 0), 3838208 + kp * 14 + 0);
    // Black to move: d4 takes e4 on e3, towards the h-file.
    PieceSquares blackMover = Record(A8, {D4}), whiteStepper = Record(H1, {E4});
    EXPECT_EQ(kpkp.indexFunction[1](&whiteStepper, &blackMover, E3, 0),
              3838208 + pawnKingPairIndex[A8][H1] * 14 + 3 + 7);
}

TEST_F(EnPassantIndex, LowerOfTwoCapturersCaptures) {
    // b5 and d5 can both take c5 on c6: b5 is P1, d5 the other pawn among 44.
    const TablebaseDescriptor &kppkp = Table("kppkp");
    PieceSquares white = Record(A1, {D5, B5}), black = Record(H8, {C5});
    int64_t otherPawn = D5 - 8 - 2;  // b5 and c5 lie below d5
    EXPECT_EQ(kppkp.indexFunction[0](&white, &black, C6, 0),
              83106866 + pawnKingPairIndex[A1][H8] * 616 + otherPawn * 14 + 8);
}

TEST_F(EnPassantIndex, OtherSidePiecesTrailAmongFreeSquares) {
    // Black to move, e.p. e3: the white queen is placed among 58 squares.
    const TablebaseDescriptor &kqpkp = Table("kqpkp");
    PieceSquares white = Record(H1, {E4}, F7), black = Record(A8, {D4});
    int64_t queen = F7 - 5;  // h1, d4, e4, e3 and e2 lie below f7
    EXPECT_EQ(kqpkp.indexFunction[1](&white, &black, E3, 0),
              230292480 + pawnKingPairIndex[A8][H1] * 812 + queen * 14 + 10);
    EXPECT_EQ(OrdinaryIndexRange(kqpkp.id, 1), 230292480);
}

TEST_F(EnPassantIndex, NoCaptureAcrossTheBoardEdge) {
    // h4 + 9 = a6 and h3 - 7 = a3 are squares of the other wing: no
    // capturer, so the ordinary number stands.
    const TablebaseDescriptor &kpkp = Table("kpkp");
    PieceSquares white = Record(C2, {H4}), black = Record(F8, {A5});
    int64_t ordinary = kpkp.indexFunction[0](&white, &black, TB_NO_SQUARE, 0);
    EXPECT_LT(ordinary, OrdinaryIndexRange(kpkp.id, 0));
    EXPECT_EQ(kpkp.indexFunction[0](&white, &black, A6, 0), ordinary);
    PieceSquares whiteStepper = Record(F8, {A4}), blackMover = Record(C2, {H3});
    ordinary = kpkp.indexFunction[1](&whiteStepper, &blackMover, TB_NO_SQUARE, 0);
    EXPECT_EQ(kpkp.indexFunction[1](&whiteStepper, &blackMover, A3, 0), ordinary);
}

TEST_F(EnPassantIndex, SquareWithoutCaptureFallsBackToOrdinary) {
    const TablebaseDescriptor &kpkp = Table("kpkp");
    PieceSquares white = Record(C2, {E5}), black = Record(F8, {A5});
    int64_t ordinary = kpkp.indexFunction[0](&white, &black, TB_NO_SQUARE, 0);
    EXPECT_EQ(kpkp.indexFunction[0](&white, &black, A6, 0), ordinary);  // nobody beside a5
    EXPECT_EQ(kpkp.indexFunction[0](&white, &black, C6, 0), ordinary);  // nobody moved to c5
    EXPECT_EQ(kpkp.indexFunction[0](&white, &black, 200, 0), ordinary);
    // Tables with pawns on one side only ignore the square.
    const TablebaseDescriptor &kpk = Table("kpk");
    EXPECT_EQ(kpk.indexFunction[0](&white, &black, A6, 0),
              kpk.indexFunction[0](&white, &black, TB_NO_SQUARE, 0));
}

TEST_F(EnPassantIndex, SymmetricTableAnswersBlackFromWhite) {
    const TablebaseDescriptor &kppkpp = Table("kppkpp");
    PieceSquares white = Record(H1, {E4, C2}), black = Record(A8, {D4, F7});
    for (int invert = 0; invert < 2; invert++) {
        int64_t blackToMove = kppkpp.indexFunction[1](&white, &black, E3, invert);
        EXPECT_EQ(blackToMove, kppkpp.indexFunction[0](&black, &white, E3, 1 - invert));
    }
    EXPECT_GE(kppkpp.indexFunction[1](&white, &black, E3, 0), OrdinaryIndexRange(kppkpp.id, 1));
}

}  // namespace
