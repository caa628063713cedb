// Whole positions whose evaluation is worked out by hand, and the entry's
// own rules: path choice, castling repair, the hanging man, contempt, the
// no-progress pull and the bias against the engine's side.
#include <gtest/gtest.h>

#include "engine/eval_terms.h"
#include "engine/eval_weights.h"
#include "engine/make_move.h"
#include "eval_fixture.h"

namespace {

int EvaluateFen(TestBoard *board, const char *fen, int engineSide) {
    EXPECT_TRUE(SetUpBoard(board, fen)) << fen;
    rootSide = engineSide;
    Evaluate(&board->root, 1);
    return board->root.score;
}

TEST(EvalPositions, StartPosition) {
    ResetEvaluationForTest();
    static TestBoard board;
    // White view 0 by symmetry; bias 8 against the engine (queens and full
    // material), no tempo share while evalNoise is 0.
    EXPECT_EQ(EvaluateFen(&board, nullptr, WHITE), -8);
    const EvalWorkArea *area = &board.position.evalArea;
    EXPECT_EQ(area->fullKingSafety, 1);
    EXPECT_EQ(area->fullArmies, 1);
    EXPECT_EQ(area->openFiles, 0);
    EXPECT_EQ(area->drawishness, 0);
    EXPECT_EQ(area->contemptScale, 89);  // 92 before the cap
    int flags = board.root.castleFlags;
    EXPECT_EQ(EvaluateFull(&board.position, &flags, 0), 0);
    EXPECT_EQ(area->contemptScale, 92);
    EXPECT_EQ(tempoBase, 1);
    EXPECT_EQ(evalMargin, -9);
    // Square values by hand: e4 has 3 + the centre 3 and secondary 3; a white
    // knight on f3 sums e1 3, g1 3, d2 0, h2 0, d4 9, h4 6, e5 9, g5 6, plus
    // 8 for standing in black's king zone.
    EXPECT_EQ(area->weightMap[0x34], 6);
    EXPECT_EQ(area->totalWeightMap[0x34], 9);
    EXPECT_EQ(area->knightMap[0x25], 36 + 8);
    // White's pawn on e4 would get the advance share (2 * 22) >> 2 with the
    // contempt scale at 92, and 7 as the chain square of d5. On e2 the
    // shelter of g1 gives 10 twice: as a square at distance 2 and as the
    // square behind f3.
    EXPECT_EQ(area->pawnMap[0x34], 11 + 7);
    EXPECT_EQ(area->pawnMap[0x14], 10 + 10);
    EXPECT_EQ(BoardAt(&board.position, 0x14)->squareValue, 60 + 20);
    // The engine playing black: the bias favours white, black to move sees -8.
    EXPECT_EQ(EvaluateFen(&board, "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR b KQkq -", BLACK),
              -8);
}

TEST(EvalPositions, StartPositionContempt) {
    ResetEvaluationForTest();
    static TestBoard board;
    settings.Contempt = 20;
    // Advanced: t = 89/200, e = exp(8/70); 20 * 0.6378 truncates to 12.
    EXPECT_EQ(EvaluateFen(&board, nullptr, WHITE), -8 + 12);
    // The engine's opponent to move: subtracted.
    EXPECT_EQ(EvaluateFen(&board, nullptr, BLACK), 8 - 12);
    settings.Advanced_contempt = 0;
    EXPECT_EQ(EvaluateFen(&board, nullptr, WHITE), -8 + 20);
    settings.Contempt = 0;
    settings.Advanced_contempt = 1;
    EXPECT_EQ(EvaluateFen(&board, nullptr, WHITE), -8);
}

TEST(EvalPositions, BareKings) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Endgame path: dead drawn, kings' tables scaled by 11/64 cancel; the
    // bare engine side loses 30 and the fixed 2.
    EXPECT_EQ(EvaluateFen(&board, "4k3/8/8/8/8/8/8/4K3 w - -", WHITE), -32);
    EXPECT_EQ(board.position.evalArea.drawishness, 2);
    EXPECT_EQ(board.position.evalArea.pawnSpan, -9);
    EXPECT_EQ(board.position.evalArea.contemptScale, -77);
    EXPECT_EQ(EvaluateFen(&board, "4k3/8/8/8/8/8/8/4K3 b - -", BLACK), -32);
    EXPECT_EQ(EvaluateFen(&board, "4k3/8/8/8/8/8/8/4K3 b - -", WHITE), 32);
    EXPECT_EQ(board.position.men[32].squareValue, 14000 + ((12 * 3 * 11 + 32) >> 6));
}

TEST(EvalPositions, KingAndPawnAgainstKing) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Pawn 134 + 31 (two thirds of the lead less 87 carried by the pawn),
    // pawn map -12 (table 6, c..f -18), isolated -6; king tables 36 and
    // 36 + 3 (escort square of the pawn); lead taken off: -31; bare engine -30.
    EXPECT_EQ(EvaluateFen(&board, "4k3/8/8/8/8/8/4P3/4K3 w - -", WHITE), 81);
    const Position *pos = &board.position;
    EXPECT_EQ(pos->kinds[WHITE_PAWN].effectiveValue, 165);
    EXPECT_EQ(pos->evalArea.pawnMap[0x14], -12);
    EXPECT_EQ(pos->evalArea.kingMap[0x74 + 8], 39);
    EXPECT_EQ(BoardAt(pos, 0x14)->squareValue, 153);
}

TEST(EvalPositions, KingAndRookAgainstKing) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Drawish class 1 (both sides at most one pawn): rook 519 and kings'
    // 36 scaled by 35/64 to 284 and 20; no open-file bonus with 8 open files.
    EXPECT_EQ(EvaluateFen(&board, "4k3/8/8/8/8/8/8/R3K3 w - -", WHITE), 282);
    EXPECT_EQ(board.position.evalArea.drawishness, 1);
    EXPECT_EQ(board.position.evalArea.rookOpenFileBonus, 0);
    EXPECT_EQ(board.position.kinds[WHITE_ROOK].effectiveValue, 284);
}

TEST(EvalPositions, KingAndBishopAgainstKingIsDeadDrawn) {
    ResetEvaluationForTest();
    static TestBoard board;
    int score = EvaluateFen(&board, "4k3/8/8/8/8/8/8/2B1K3 w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.drawishness, 2);
    // 319 less two thirds (213) is 106, scaled by 11/64 to 18.
    EXPECT_EQ(board.position.kinds[WHITE_BISHOP].effectiveValue, (319 * 11 + 32) >> 6);
    EXPECT_LT(score, 60);
}

TEST(EvalPositions, EndgameThresholdTakesTheEndgamePath) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Queen and bishop: 974 = the threshold, endgame path (fixed 2, no cap).
    EvaluateFen(&board, "4k3/8/8/8/8/8/8/2BQK3 w - -", WHITE);
    EXPECT_EQ(board.position.pieceMaterial, 974);
    EXPECT_EQ(board.position.evalArea.passedPawnTable, passedPawnBonusEndgame);
    EvaluateFen(&board, "4k3/8/8/8/8/8/8/1NBQK3 w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.passedPawnTable, passedPawnBonusStrong);
    EvaluateFen(&board, "4k3/8/8/8/8/8/8/1NBRK2R w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.passedPawnTable, passedPawnBonus);
}

TEST(EvalPositions, CastlingRightWithoutItsRookIsRepaired) {
    ResetEvaluationForTest();
    static TestBoard board;
    EvaluateFen(&board, "r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K1N1 w KQkq -", WHITE);
    EXPECT_EQ(board.root.castleFlags & 0x1E, 0x08 | 0x04 | 0x10);
}

TEST(EvalPositions, HangingManIsTakenOutAndPutBack) {
    ResetEvaluationForTest();
    static TestBoard board, after;
    // The black queen takes on d4, where a white pawn attacks it: lost for
    // the evaluation even though a black pawn defends d4. The man stays on
    // the board; only its count and material leave, so black is left with
    // one piece and the full king safety falls away.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/pppp1ppp/8/4p2r/3N3q/2P5/PP1PPPPP/R2QK3 b - -"));
    rootSide = WHITE;
    Evaluate(&board.root, 1);
    static SearchNode child;
    MakeMove(&board.root, MoveFromText("h4d4"), &child);
    int material = board.position.pieceMaterial;
    Evaluate(&child, 0);
    EXPECT_EQ(board.position.evalArea.fullKingSafety, 0);
    EXPECT_EQ(board.position.pieceMaterial, material);
    EXPECT_EQ(board.position.kinds[BLACK_QUEEN].count, 1);
    EvaluateFen(&after, "4k3/pppp1ppp/8/4p2r/3q4/2P5/PP1PPPPP/R2QK3 w - -", WHITE);
    EXPECT_EQ(after.position.evalArea.fullKingSafety, 1);
    // A king that moves is never counted.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/4p3/3p4/4K3 w - -"));
    Evaluate(&board.root, 1);
    MakeMove(&board.root, MoveFromText("e1d2"), &child);
    int kingScore = (Evaluate(&child, 0), child.score);
    ASSERT_TRUE(SetUpBoard(&after, "4k3/8/8/8/8/4p3/3K4/8 b - -"));
    Evaluate(&after.root, 0);
    EXPECT_EQ(kingScore, after.root.score);
}

TEST(EvalPositions, ContemptScaleDecayAndCap) {
    ResetEvaluationForTest();
    static TestBoard board;
    // A rook up in the middlegame: |score| > 120, scale above 8 decays.
    EvaluateFen(&board, "rnbqkbn1/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQq -", WHITE);
    const EvalWorkArea *area = &board.position.evalArea;
    int flags = board.root.castleFlags;
    int s = EvaluateFull(&board.position, &flags, 0);
    int before = area->contemptScale;
    ASSERT_GT(s, 120);
    ASSERT_EQ(area->drawishness, 0);
    Evaluate(&board.root, 0);
    int expected = before * 9 / 10 - 2;
    EXPECT_EQ(area->contemptScale, expected > 89 ? 89 : expected);
}

}  // namespace

namespace {

TEST(EvalDrawish, QueenAgainstRookAndBishopWithoutPawns) {
    ResetEvaluationForTest();
    static TestBoard board;
    // T = 995 - 519 - 319 = 157: two thirds (104) come off, dead drawn,
    // the rest scaled by 13/64.
    EvaluateFen(&board, "4k3/8/8/8/8/8/8/2rbKQ2 w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.drawishness, 2);
    EXPECT_EQ(board.position.kinds[WHITE_QUEEN].effectiveValue, (995 * 13 + 32) >> 6);
}

TEST(EvalDrawish, QueenAgainstRookWithPawnsOnlyOnTheRookSide) {
    ResetEvaluationForTest();
    static TestBoard board;
    EvaluateFen(&board, "4k3/ppp5/8/8/8/8/8/3QK2r w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.drawishness, 2);
}

TEST(EvalDrawish, OppositeBishopsWithRooks) {
    ResetEvaluationForTest();
    static TestBoard board;
    // Three pawns each on files c to f: drawish class 1, scale 38/64.
    EvaluateFen(&board, "r1b1k3/8/2p1pp2/8/8/2PP1P2/8/2B1K2R w - -", WHITE);
    const EvalWorkArea *area = &board.position.evalArea;
    EXPECT_EQ(area->oppositeBishops, 1);
    EXPECT_EQ(area->pawnSpan, 3);
    EXPECT_EQ(area->drawishness, 1);
    EXPECT_EQ(board.position.kinds[WHITE_ROOK].effectiveValue, (519 * 38 + 32) >> 6);
    EXPECT_LE(area->contemptScale, 14);
}

TEST(EvalDrawish, BishopPairWithoutQueens) {
    ResetEvaluationForTest();
    static TestBoard board;
    EvaluateFen(&board, "1nb1k2r/pppp1ppp/8/8/8/8/PPPP1PPP/2BBK2R w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.drawishness, 0);
    // Endgame value, 6 with an own rook, 32 for the pair.
    EXPECT_EQ(board.position.kinds[WHITE_BISHOP].effectiveValue, 319 + 6 + 32);
    EXPECT_EQ(board.position.kinds[BLACK_BISHOP].effectiveValue, 319 + 6);
}

TEST(EvalEndgame, PawnEndingSquareAndPull) {
    ResetEvaluationForTest();
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/3P4/8/8/8/4K3 w - -"));
    Evaluate(&board.root, 1);
    Position *pos = &board.position;
    unsigned flags = 0;
    // White to move: h1 is outside the d5 pawn's square for black's king.
    ScoreEndgame(pos, &flags, 0, WHITE);
    EXPECT_EQ(pos->kinds[WHITE_PAWN].effectiveValue, 87 + 47 + (2 * (134 - 87)) / 3);
    EXPECT_EQ(pos->evalArea.kingMap[0x07 + 8], 12 * 2 - 50);
    // Black to move: h1 is within reach, only the far-file 11 applies.
    ScoreEndgame(pos, &flags, 0, BLACK);
    EXPECT_EQ(pos->evalArea.kingMap[0x07 + 8], 12 * 2 - 11);
    // The pull doubles without pieces.
    ScoreEndgame(pos, &flags, 5, WHITE);
    EXPECT_TRUE(flags & NO_PROGRESS_PULL_ON);
    EXPECT_EQ(pos->noProgressPull, 100);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/3P4/8/8/8/4K1N1 w - -"));
    Evaluate(&board.root, 1);
    ScoreEndgame(pos, &flags, 5, WHITE);
    EXPECT_EQ(pos->noProgressPull, 50);
}

TEST(EvalEndgame, WrongBishopForTheRookPawn) {
    ResetEvaluationForTest();
    static TestBoard board;
    // a8 is a light square; a dark-squared bishop cannot help.
    EvaluateFen(&board, "8/8/1k6/8/P7/8/8/2B1K3 w - -", WHITE);
    EXPECT_EQ(board.position.evalArea.drawishness, 2);
    EvaluateFen(&board, "8/8/1k6/8/P7/8/8/1B2K3 w - -", WHITE);
    EXPECT_LT(board.position.evalArea.drawishness, 2);
}

}  // namespace
