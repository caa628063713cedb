// Make and unmake: the special moves, captured men returning to their
// place, counters and the final-score outcomes; keys made incrementally
// against keys from scratch.
#include "engine/make_move.h"

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "engine/board_check.h"
#include "engine/hash_keys.h"

namespace {

struct MadeMove {
    SearchNode child;
    PositionImage before;
};

// Makes move from node, checking the key against one from scratch.
void MakeChecked(SearchNode *node, const char *text, MadeMove *made, Move raw = 0) {
    TakePositionImage(node->position, &made->before);
    MakeMove(node, raw ? raw : MoveFromText(text), &made->child);
    UpdateNodeAfterMove(&made->child);
    FixCastlingRights(&made->child);
    HashKey scratch = ComputeNodeKey(&made->child);
    EXPECT_EQ(scratch.lock32, made->child.key.lock32) << text;
    EXPECT_EQ(scratch.lock16, made->child.key.lock16) << text;
    EXPECT_TRUE(PositionIsConsistent(made->child.position)) << text;
}

void UnmakeChecked(MadeMove *made) {
    UnmakeMove(&made->child);
    PositionImage after;
    TakePositionImage(made->child.position, &after);
    EXPECT_TRUE(PositionImagesEqual(&made->before, &after));
}

char LetterOn(const Position *position, const char *square) {
    return BoardAt(position, SquareFromText(square))->letter;
}

TEST(MakeMove, CastlingMovesTheRook) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1"));
    MadeMove made;
    MakeChecked(&board.root, "e1g1", &made);
    EXPECT_EQ(LetterOn(&board.position, "f1"), 'R');
    EXPECT_EQ(LetterOn(&board.position, "g1"), 'K');
    EXPECT_EQ(LetterOn(&board.position, "h1"), 'E');
    EXPECT_EQ(made.child.castleFlags & CASTLE_ALL,
              CASTLE_BLACK_KING_SIDE | CASTLE_BLACK_QUEEN_SIDE);
    EXPECT_TRUE(made.child.nodeFlags & NODE_SPECIAL_MOVE);
    UnmakeChecked(&made);
    EXPECT_EQ(LetterOn(&board.position, "h1"), 'R');
    EXPECT_EQ(LetterOn(&board.position, "f1"), 'E');
    // Black's queen side.
    ASSERT_TRUE(SetUpBoard(&board, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1"));
    MakeChecked(&board.root, "e8c8", &made);
    EXPECT_EQ(LetterOn(&board.position, "d8"), 'r');
    EXPECT_EQ(LetterOn(&board.position, "a8"), 'E');
    UnmakeChecked(&made);
}

TEST(MakeMove, EnPassantTakesThePawnBehind) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1"));
    MadeMove made;
    MakeChecked(&board.root, "e5d6", &made);
    EXPECT_EQ(LetterOn(&board.position, "d5"), 'E');
    EXPECT_EQ(LetterOn(&board.position, "d6"), 'P');
    EXPECT_EQ(board.position.kinds[BLACK_PAWN].count, 0);
    EXPECT_EQ(made.child.halfMoves, 0);
    UnmakeChecked(&made);
    EXPECT_EQ(LetterOn(&board.position, "d5"), 'p');
    EXPECT_EQ(LetterOn(&board.position, "d6"), 'E');
    EXPECT_EQ(BoardAt(&board.position, SquareFromText("d5"))->square, SquareFromText("d5"));
}

TEST(MakeMove, DoubleStepSetsTheEnPassantSquare) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    MadeMove made;
    MakeChecked(&board.root, "e2e4", &made);
    EXPECT_TRUE(made.child.nodeFlags & NODE_EP_SQUARE);
    EXPECT_EQ(made.child.epSquare, 0x24);
    UnmakeChecked(&made);
}

TEST(MakeMove, CapturePromotionToKnight) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r3k3/1P6/8/8/8/8/8/4K3 w - - 0 1"));
    const Position *p = &board.position;
    MadeMove made;
    MakeChecked(&board.root, "b7a8", &made, MakeMoveCode(0x61, 0xA0));
    EXPECT_EQ(LetterOn(p, "a8"), 'N');
    EXPECT_EQ(p->kinds[WHITE_KNIGHT].count, 1);
    EXPECT_EQ(p->kinds[WHITE_PAWN].count, 0);
    EXPECT_EQ(p->kinds[BLACK_ROOK].count, 0);
    EXPECT_EQ(PawnsOnFile(&p->whiteSide, 1), 0);
    EXPECT_EQ(PawnsOnFile(&p->whiteSide, 0), 0);
    EXPECT_EQ(p->pieceMaterial, p->kinds[WHITE_KNIGHT].value);
    EXPECT_TRUE(made.child.nodeFlags & NODE_SPECIAL_MOVE);
    UnmakeChecked(&made);
    EXPECT_EQ(LetterOn(p, "b7"), 'P');
    EXPECT_EQ(LetterOn(p, "a8"), 'r');
    EXPECT_EQ(p->kinds[WHITE_KNIGHT].count, 0);
    EXPECT_EQ(p->kinds[WHITE_PAWN].count, 1);
    EXPECT_EQ(PawnsOnFile(&p->whiteSide, 1), 1);
}

TEST(MakeMove, ReversibleMovesCount) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/4p3/8/8/8/8/4P3/4K1N1 w - - 0 1"));
    MadeMove a, b, c;
    MakeChecked(&board.root, "g1f3", &a);
    EXPECT_EQ(a.child.halfMoves, 1);
    MakeChecked(&a.child, "e8d8", &b);
    EXPECT_EQ(b.child.halfMoves, 2);
    MakeChecked(&b.child, "e2e4", &c);  // a pawn move starts the count again
    EXPECT_EQ(c.child.halfMoves, 0);
    UnmakeChecked(&c);
    MakeChecked(&b.child, "f3g1", &c);
    EXPECT_EQ(c.child.halfMoves, 3);
    EXPECT_EQ(c.child.reversals, 1);
    UnmakeChecked(&c);
    UnmakeChecked(&b);
    UnmakeChecked(&a);
}

TEST(MakeMove, SixthReversalIsAFinalDraw) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/4p3/8/8/8/8/4P3/4K1N1 w - - 0 1"));
    const char *shuffle[8] = {"g1f3", "e8d8", "f3g1", "d8e8", "g1f3", "e8d8", "f3g1", "d8e8"};
    static MadeMove made[8];
    SearchNode *node = &board.root;
    for (int i = 0; i < 8; i++) {
        TakePositionImage(node->position, &made[i].before);
        MakeMove(node, MoveFromText(shuffle[i]), &made[i].child);
        node = &made[i].child;
        EXPECT_EQ(node->reversals, i < 2 ? 0 : i - 1) << i;
        EXPECT_EQ((node->castleFlags & SCORE_FINAL) != 0, i == 7) << i;
    }
    EXPECT_EQ(made[7].child.score, 0);
    for (int i = 7; i >= 0; i--)
        UnmakeChecked(&made[i]);
}

TEST(MakeMove, KingCaptureIsFinal) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k2R/8/8/8/8/8/8/4K3 w - - 0 1"));
    SearchNode child;
    PositionImage before, after;
    TakePositionImage(&board.position, &before);
    MakeMove(&board.root, MoveFromText("h8e8"), &child);
    EXPECT_EQ(child.score, -SCORE_MATE);
    EXPECT_TRUE(child.castleFlags & SCORE_FINAL);
    EXPECT_EQ(board.position.kinds[BLACK_KING].count, 0);
    UnmakeMove(&child);
    TakePositionImage(&board.position, &after);
    EXPECT_TRUE(PositionImagesEqual(&before, &after));
}

TEST(MakeMove, HundredQuietPliesMeanTheSideToMoveCannotWin) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/4p3/8/8/8/8/4P3/4K3 w - - 0 1"));
    board.root.halfMoves = 99;
    MadeMove made;
    MakeChecked(&board.root, "e1d1", &made);
    EXPECT_EQ(made.child.halfMoves, 100);
    EXPECT_EQ(made.child.castleFlags & (WHITE_CANNOT_WIN | BLACK_CANNOT_WIN), BLACK_CANNOT_WIN);
    UnmakeChecked(&made);
}

TEST(MakeMove, CaptureLeavingBareMinorsFlagsCannotWin) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/3r4/4KB2 w - - 0 1"));
    EXPECT_EQ(board.root.castleFlags & (WHITE_CANNOT_WIN | BLACK_CANNOT_WIN), WHITE_CANNOT_WIN);
    MadeMove made;
    MakeChecked(&board.root, "e1d2", &made);
    EXPECT_TRUE(made.child.castleFlags & BLACK_CANNOT_WIN);
    EXPECT_TRUE(made.child.castleFlags & WHITE_CANNOT_WIN);
    UnmakeChecked(&made);
}

TEST(MakeMove, NullMovePassesTheTurn) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    board.root.matedScore = -9999;
    SearchNode child;
    MakeNullMove(&board.root, &child);
    EXPECT_EQ(child.side, BLACK);
    EXPECT_EQ(child.sideRecord, &board.position.blackSide);
    EXPECT_EQ(child.lastMove, MOVE_NONE);
    EXPECT_EQ(child.matedScore, -9998);
    EXPECT_EQ(child.halfMoves, 1);
    HashKey scratch = ComputeNodeKey(&child);
    EXPECT_EQ(scratch.lock32, child.key.lock32);
}

TEST(FixCastlingRights, DropsRightsWithoutTheirRook) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r3k3/8/8/8/8/8/8/4K2R w KQkq - 0 1"));
    FixCastlingRights(&board.root);
    EXPECT_EQ(board.root.castleFlags & CASTLE_ALL,
              CASTLE_WHITE_KING_SIDE | CASTLE_BLACK_QUEEN_SIDE);
}

}  // namespace
