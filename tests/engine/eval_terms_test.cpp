// Single terms of the evaluation pinned by hand: file runs, the pawn
// scans, king shelters, the castling entry, trapped pieces, the scale
// clamp and the settings read live at every evaluation.
#include "engine/eval_terms.h"

#include <gtest/gtest.h>

#include "engine/eval_weights.h"
#include "engine/make_move.h"
#include "eval_fixture.h"

namespace {

uint32_t Checksum(const int16_t *table) {
    uint32_t sum = 0;
    for (int i = 0; i < 128; i++)
        sum = sum * 7 + uint32_t(table[i]);
    return sum;
}

TEST(EvalTerms, FileRunsStayOnTheirFile) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/4K3 w - -"));
    Position *pos = &board.position;
    ClearEvalWorkArea(pos);
    int16_t *white = pos->whiteSide.pawnSquareTable, *black = pos->blackSide.pawnSquareTable;
    int before = Checksum(white) + Checksum(black);
    AddFileRun(pos, 1, 4, 8, 5);
    AddFileRun(pos, -1, 2, -1, 5);
    AddFileRun(pos, 1, 1, 3, 5);  // a pawn on its second rank: empty run
    EXPECT_EQ(Checksum(white) + Checksum(black), before);
    AddFileRun(pos, 1, 4, 3, 5);  // d2, d3, d4
    EXPECT_EQ(white[0x13], 5);
    EXPECT_EQ(white[0x33], 5);
    EXPECT_EQ(white[0x43], 0);
    AddFileRun(pos, -1, 4, 0, -7);  // a6, a7 in black's right half
    EXPECT_EQ(black[0x50 + 8], 7);
    EXPECT_EQ(black[0x60 + 8], 7);
    EXPECT_EQ(black[0x40 + 8], 0);
}

TEST(EvalTerms, EndgamePawnScanLimits) {
    ResetEvaluationForTest();
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/3p4/8/4P3/8/8/8/4K3 w - -"));
    Position *pos = &board.position;
    unsigned flags = 0;
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(PawnFile(&pos->evalArea, WHITE, 4).passedLimit, 5);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/3p4/4P3/8/8/8/4K3 w - -"));
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(PawnFile(&pos->evalArea, WHITE, 4).passedLimit, 4);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/R3K3 w - -"));
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(pos->evalArea.pawnSpan, -9);
    EXPECT_EQ(PawnFile(&pos->evalArea, WHITE, 3).rearRank, 7);
    EXPECT_EQ(PawnFile(&pos->evalArea, BLACK, 3).passedLimit, 7);
    // Three open files: bonus 9; four: none.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/pppp1p2/8/8/8/8/1PPP4/R3K3 w - -"));
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(pos->evalArea.openFiles, 3);
    EXPECT_EQ(pos->evalArea.rookOpenFileBonus, 9);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/ppp2p2/8/8/8/8/1PP5/R3K3 w - -"));
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(pos->evalArea.openFiles, 4);
    EXPECT_EQ(pos->evalArea.rookOpenFileBonus, 0);
}

TEST(EvalTerms, FrontPawnRunsStartByTheBlockerSide) {
    ResetEvaluationForTest();
    static TestBoard board;
    unsigned flags = 0;
    // White pawn e4, one black pawn above it on d6: black's run on d from e4's
    // rank + 2 (d6, d7); on f6 instead: from rank + 1 (f5, f6, f7).
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/3p4/8/4P3/8/8/4K3 w - -"));
    Position *pos = &board.position;
    ScoreEndgame(pos, &flags, 0, WHITE);
    int v = (passedPawnBonusEndgame[3] * 53 + 32) >> 6;
    const int16_t *black = pos->blackSide.pawnSquareTable;
    EXPECT_EQ(black[0x43], 0);
    EXPECT_EQ(black[0x53], v);
    EXPECT_EQ(black[0x63], v);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/5p2/8/4P3/8/8/4K3 w - -"));
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(black[0x45], v);
    EXPECT_EQ(black[0x65], v);
}

TEST(EvalTerms, KingSheltersAndTheCastlingEntry) {
    ResetEvaluationForTest();
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r1bqkb1r/pppppppp/2n2n2/8/8/2N2N2/PPPPPPPK/R1BQ1B1R w kq -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    EXPECT_EQ(board.position.evalArea.kingZoneSquare[1], 0x06);  // h2 reads as g1
    EXPECT_EQ(board.position.evalArea.kingZoneSquare[0], 0x76);  // the k right gives g8
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    Evaluate(&board.root, 1);
    // Shelter g1; e1 holds kw * 4 (rank 1 centre) plus (2 - 4) * -8 - 53.
    EXPECT_EQ(board.position.evalArea.kingZoneSquare[1], 0x06);
    EXPECT_EQ(board.position.evalArea.kingMap[SQUARE_E1], -8 * 4 + (2 - 4) * -8 - 53);
    EXPECT_EQ(board.position.men[32].squareValue, 14000 - 32 - 37);
    ASSERT_TRUE(SetUpBoard(&board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - -"));
    Evaluate(&board.root, 1);
    EXPECT_EQ(board.position.evalArea.kingZoneSquare[1], SQUARE_E1);
    // Piece material at or below queen + rook + bishop: no shelters.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/pppppppp/8/8/8/8/PPPPPPPP/2BQK2r w - -"));
    Evaluate(&board.root, 1);
    EXPECT_EQ(board.position.evalArea.kingZoneSquare[1], NO_SQUARE);
}

TEST(EvalTerms, TrappedBishopEntriesGoNegative) {
    ResetEvaluationForTest();
    static TestBoard board;
    // White pawn b3 that no black pawn attacks: black's bishop map at a2
    // loses 90.
    ASSERT_TRUE(SetUpBoard(&board, "rn1qkbnr/pppppppp/8/8/8/1P6/P1PPPPPP/RNBQKBNR w KQkq -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    EXPECT_LT(board.position.evalArea.bishopMap[0x10 + 8], 0);
}

TEST(EvalTerms, LongReversibleRunsDoNotFlipTheSign) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Two pieces in all and pawns: the no-progress scale is 37 out of 64,
    // ((100 - 50) * 37 + 150) / 100 = 20 after 50 plies, and would go
    // below zero after 105 plies; it stops at 0.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/p7/8/8/8/8/P7/R2QK3 w - -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    int flags = board.root.castleFlags;
    int fifty = EvaluateFull(&board.position, &flags, 50);
    EXPECT_TRUE(flags & NO_PROGRESS_PULL_ON);
    EXPECT_GT(fifty, 0);
    EXPECT_EQ(board.position.kinds[WHITE_QUEEN].effectiveValue, (995 * 20 + 32) >> 6);
    EXPECT_EQ(EvaluateFull(&board.position, &flags, 150), 0);
    EXPECT_EQ(board.position.noProgressPull, 150 * 10 * 100 / 100);
}

TEST(EvalTerms, LiveSettingsFollowAtOnce) {
    ResetEvaluationForTest();
    static TestBoard board;
    const char *fen = "r1bqkb1r/pppp1ppp/2n2n2/4p3/4P3/2N2N2/PPPP1PPP/R1BQKB1R w KQkq -";
    ASSERT_TRUE(SetUpBoard(&board, fen));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    int flags = board.root.castleFlags;
    int base = EvaluateFull(&board.position, &flags, 0);
    int16_t knight = board.position.evalArea.knightMap[0x22];
    settings.Mobility_value_pct = 0;
    EvaluateFull(&board.position, &flags, 0);
    EXPECT_NE(board.position.evalArea.knightMap[0x22], knight);
    settings.Mobility_value_pct = 100;
    EXPECT_EQ(EvaluateFull(&board.position, &flags, 0), base);
    // The no-progress percentage is read live; 0 switches the pull off.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/p7/8/8/8/8/P7/R2QK3 w - -"));
    flags = 0;
    EvaluateFull(&board.position, &flags, 10);
    EXPECT_EQ(board.position.noProgressPull, 100);
    settings.No_progress_penalty_pct = 0;
    EvaluateFull(&board.position, &flags, 10);
    EXPECT_EQ(board.position.noProgressPull, 0);
}

TEST(EvalTerms, HugePercentagesStayInsideTheMaps) {
    ResetEvaluationForTest();
    settings.King_safety_value_pct = 2147483647;
    settings.Mobility_value_pct = -2147483647;
    settings.Space_value_pct = 2147483647;
    settings.No_progress_penalty_pct = -2147483647;
    settings.Contempt = 2147483647;
    static TestBoard board;
    ASSERT_TRUE(
        SetUpBoard(&board, "r1bqkb1r/pppp1ppp/2n2n2/4p3/4P3/2N2N2/PPPP1PPP/R1BQKB1R w KQkq -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    EXPECT_LT(board.root.score, 2000000);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/p7/8/8/8/8/P6p/4K3 w - -"));
    Evaluate(&board.root, 1);
    EXPECT_GT(board.root.score, -2000000);
}

}  // namespace

namespace {

TEST(EvalTerms, UnderPromotionIsDecodedForTheHangingMan) {
    ResetEvaluationForTest();
    static TestBoard board, fresh;
    rootSide = WHITE;
    // b7xa8=N (to byte 0xA0): the new knight stands on a8 next to the black
    // king with no defender, so it is counted lost for the evaluation.
    ASSERT_TRUE(SetUpBoard(&board, "rk6/1P6/8/8/8/8/8/4K3 w - -"));
    Evaluate(&board.root, 1);
    static SearchNode child;
    MakeMove(&board.root, MakeMoveCode(0x61, 0xA0), &child);
    ASSERT_EQ(board.position.kinds[WHITE_KNIGHT].count, 1);
    Evaluate(&child, 0);
    EXPECT_EQ(board.position.kinds[WHITE_KNIGHT].count, 1);
    ASSERT_TRUE(SetUpBoard(&fresh, "Nk6/8/8/8/8/8/8/4K3 b - -"));
    Evaluate(&fresh.root, 0);
    EXPECT_NE(child.score, fresh.root.score);
}

}  // namespace

namespace {

TEST(EvalTerms, IsolatedPawnTablesInAQueenlessEnding) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Active kings double the rook-file growth: 8 + 20 on the d-file, where
    // black has rooks and no pawn; 5 + 10 for the single pawn.
    ASSERT_TRUE(SetUpBoard(&board, "2r1kr2/pp3ppp/8/8/8/8/PP1P1PPP/2R1KR2 w - -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    const EvalWorkArea *area = &board.position.evalArea;
    ASSERT_EQ(area->activeKings, 1);
    ASSERT_EQ(area->drawishness, 0);
    EXPECT_EQ(area->isolatedMulti[1][3], 28);
    EXPECT_EQ(area->isolatedSingle[1][3], 15);
    EXPECT_EQ(area->isolatedMulti[1][0], 8);  // black has a pawn on a
    EXPECT_EQ(area->isolatedSingle[1][0], 5);
}

TEST(EvalTerms, EndgameKnightMapCountsPawnTargets) {
    ResetEvaluationForTest();
    static TestBoard board;
    // A knight on d3 reaches the two black pawns c5 and e5.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/2p1p3/8/3N4/PP6/4K3 w - -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    EXPECT_EQ(board.position.evalArea.drawishness, 0);
    EXPECT_EQ(board.position.evalArea.knightMap[0x23], 2 * 23);
}

}  // namespace
