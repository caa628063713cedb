// Evaluation weights: exact values of every built weight at the default
// percentages and at the edges, built once per module, guarded against
// percentages that would overflow.
#include "engine/eval_weights.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "eval_fixture.h"

namespace {

uint32_t Sum8(const int32_t *t) {
    uint32_t s = 0;
    for (int i = 0; i < 8; i++)
        s = s * 31 + uint32_t(t[i]);
    return s;
}

TEST(EvalWeights, DefaultPercentagesGiveTheBaseValues) {
    ResetEvaluationForTest();
    static Position pos;
    BuildWeightTables(&pos);
    EXPECT_EQ(builtValue[WHITE_PAWN], 60);
    EXPECT_EQ(builtValue[BLACK_KNIGHT], 228);
    EXPECT_EQ(builtValue[WHITE_BISHOP], 242);
    EXPECT_EQ(builtValue[BLACK_ROOK], 350);
    EXPECT_EQ(builtValue[WHITE_QUEEN], 732);
    EXPECT_EQ(builtValue[BLACK_KING], 14000);
    EXPECT_EQ(builtEndgameValue[WHITE_PAWN], 87);
    EXPECT_EQ(builtEndgameValue[WHITE_KNIGHT], 308);
    EXPECT_EQ(builtEndgameValue[BLACK_BISHOP], 319);
    EXPECT_EQ(builtEndgameValue[WHITE_ROOK], 519);
    EXPECT_EQ(builtEndgameValue[BLACK_QUEEN], 995);
    EXPECT_EQ(pos.kinds[BLACK_QUEEN].value, 732);
    EXPECT_EQ(pos.kinds[WHITE_PAWN].endgameValue, 87);
    EXPECT_EQ(QueenMaterialThreshold(), 2433);
    EXPECT_EQ(endgameMaterialThreshold, 974);
    EXPECT_EQ(materialTwoRooksTwoBishops, 1184);
    EXPECT_EQ(materialQueenRookBishop, 1324);
    const int32_t full[] = {kingSafety8a,     kingSafety8b,     kingSafety10a,    kingSafety10b,
                            kingSafety7,      kingSafety41,     kingSafety53,     pawnAttackPenalty,
                            backRankWeight,   centreBonus,      pawnStructure20a, pawnStructure20b,
                            pawnStructure50a, pawnStructure50b, pawnSquareBonus,  endgameKing25,
                            endgameKing10,    endgameKing12,    endgameKing8a,    endgameKing8b,
                            endgameKing16,    passedPawn7,      passedPawn8};
    const int32_t expected[] = {8, 8, 10, 10, 7,  41, 53, 4, 3,  3, 5, 5,
                                2, 2, 9,  4,  10, 12, 8,  8, 16, 7, 8};
    for (size_t i = 0; i < sizeof full / sizeof full[0]; i++)
        EXPECT_EQ(full[i], expected[i]) << "weight " << i;
    const int32_t plain[8] = {0, 1, 1, 20, 49, 86, 137, 0};
    const int32_t strong[8] = {0, 5, 5, 10, 41, 89, 153, 0};
    EXPECT_EQ(Sum8(passedPawnBonus), Sum8(plain));
    EXPECT_EQ(Sum8(passedPawnBonusStrong), Sum8(strong));

    BuildEndgameWeightTables(&pos);
    EXPECT_EQ(pos.kinds[WHITE_PAWN].value, 49);
    EXPECT_EQ(pos.kinds[BLACK_PAWN].value, 49);
    EXPECT_EQ(QueenMaterialThreshold(), 2433);
    const int32_t endgame[] = {endgameZeroWeight,
                               egPawnStructure6,
                               egPawnStructure1,
                               egPawnStructure7,
                               pawnSquareBonusEndgame,
                               egKing12,
                               egKing15,
                               egKing7,
                               egKing11,
                               egKing3,
                               egPassedPawn18,
                               egPassedPawn7,
                               egPassedPawn25};
    const int32_t expectedEndgame[] = {0, 6, 1, 7, 23, 12, 15, 7, 11, 3, 18, 7, 4};
    for (size_t i = 0; i < sizeof endgame / sizeof endgame[0]; i++)
        EXPECT_EQ(endgame[i], expectedEndgame[i]) << "endgame weight " << i;
    const int32_t eg[8] = {0, 6, 6, 33, 79, 87, 132, 0};
    EXPECT_EQ(Sum8(passedPawnBonusEndgame), Sum8(eg));
}

TEST(EvalWeights, PercentagesScaleWithTruncation) {
    ResetEvaluationForTest();
    static Position pos;
    settings.Pieces_value_pct = 150;
    settings.Pawn_value_pct = 30;
    settings.Passed_pawn_value_pct = 30;
    settings.Endgame_king_position_pct = 299;
    BuildWeightTables(&pos);
    EXPECT_EQ(builtValue[WHITE_KNIGHT], 342);
    EXPECT_EQ(builtEndgameValue[WHITE_KNIGHT], 462);
    EXPECT_EQ(builtValue[WHITE_BISHOP], 363);
    EXPECT_EQ(builtEndgameValue[WHITE_BISHOP], 478);
    EXPECT_EQ(builtValue[WHITE_ROOK], 525);
    EXPECT_EQ(builtEndgameValue[WHITE_ROOK], 778);
    EXPECT_EQ(builtValue[WHITE_QUEEN], 1098);
    EXPECT_EQ(builtEndgameValue[WHITE_QUEEN], 1492);
    EXPECT_EQ(builtValue[WHITE_KING], 14000);
    EXPECT_EQ(builtValue[WHITE_PAWN], 18);
    EXPECT_EQ(builtEndgameValue[WHITE_PAWN], 26);
    const int32_t passed[8] = {0, 0, 0, 6, 14, 25, 41, 0};
    EXPECT_EQ(Sum8(passedPawnBonus), Sum8(passed));
    EXPECT_EQ(endgameKing25, 11);
    EXPECT_EQ(endgameKing16, 47);
    BuildEndgameWeightTables(&pos);
    EXPECT_EQ(pos.kinds[WHITE_PAWN].value, 14);
}

TEST(EvalWeights, ExtremePercentagesStayBounded) {
    ResetEvaluationForTest();
    static Position pos;
    settings.Pieces_value_pct = 2000000000;
    settings.Pawn_value_pct = -2000000000;
    settings.King_safety_value_pct = 2147483647;
    settings.Passed_pawn_value_pct = -2147483647 - 1;
    BuildWeightTables(&pos);
    EXPECT_EQ(builtValue[WHITE_QUEEN], WEIGHT_LIMIT);
    EXPECT_EQ(builtValue[WHITE_PAWN], -WEIGHT_LIMIT);
    EXPECT_EQ(kingSafety53, WEIGHT_LIMIT);
    EXPECT_EQ(passedPawnBonusStrong[6], -WEIGHT_LIMIT);
    EXPECT_EQ(ScaledWeight(0, 53, 100), 0);
    EXPECT_EQ(ScaledWeight(-299, 1, 25), -11);  // truncation toward zero
}

TEST(EvalWeights, FirstUseBuildsOnceAndLaterSettingsDoNotRebuild) {
    ResetEvaluationForTest();
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    Evaluate(&board.root, 1);
    EXPECT_EQ(fullWeightsDirty.load(), 0);
    EXPECT_EQ(board.position.kinds[WHITE_PAWN].value, 60);
    settings.Pawn_value_pct = 200;
    settings.Pieces_value_pct = 50;
    Evaluate(&board.root, 0);
    EXPECT_EQ(board.position.kinds[WHITE_PAWN].value, 60);
    EXPECT_EQ(board.position.kinds[WHITE_QUEEN].value, 732);
    EXPECT_EQ(QueenMaterialThreshold(), 2433);
}

TEST(EvalWeights, BuiltValuesPersistAcrossSetUpAndEndgameBuild) {
    ResetEvaluationForTest();
    settings.Pieces_value_pct = 150;
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    Evaluate(&board.root, 1);
    EXPECT_EQ(board.position.kinds[WHITE_KNIGHT].value, 342);
    EXPECT_EQ(board.position.pieceMaterial, 2 * (2 * 342 + 2 * 363 + 2 * 525 + 1098));
    // A new set-up copies the templates again; the next evaluation puts the
    // built values back and the material with them.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/4P3/3NK3 w - -"));
    EXPECT_EQ(board.position.pieceMaterial, 228);
    Evaluate(&board.root, 0);
    EXPECT_EQ(board.position.pieceMaterial, 342);
    EXPECT_EQ(endgameWeightsDirty.load(), 0);
    EXPECT_EQ(board.position.kinds[WHITE_PAWN].value, 60);  // the full set persists
}

TEST(EvalWeights, ThreadsReachingTheFirstEvaluationTogetherBuildOnce) {
    ResetEvaluationForTest();
    constexpr int N_THREADS = 4;
    static TestBoard boards[N_THREADS];
    for (auto &board : boards)
        ASSERT_TRUE(SetUpBoard(&board, nullptr));
    std::vector<std::thread> threads;
    int scores[N_THREADS];
    for (int i = 0; i < N_THREADS; i++)
        threads.emplace_back([i, &scores] {
            Evaluate(&boards[i].root, 0);
            scores[i] = boards[i].root.score;
        });
    for (auto &t : threads)
        t.join();
    for (int i = 1; i < N_THREADS; i++)
        EXPECT_EQ(scores[i], scores[0]);
    EXPECT_EQ(QueenMaterialThreshold(), 2433);
}

}  // namespace
