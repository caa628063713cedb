// The evaluation cache: a hit leaves exactly what evaluating leaves, the
// verify comparison notices a wrong restore, and changed settings or
// weights keep stale results from being answered.
#include "engine/eval_cache.h"

#include <gtest/gtest.h>

#include "engine/eval_weights.h"
#include "engine/make_move.h"
#include "eval_fixture.h"

namespace {

// A child evaluated, then its sibling (which rewrites everything the
// evaluation keeps), then the child reached again: the child's entry must
// bring back all of its evaluation.
struct CacheCase {
    const char *fen;
    const char *move;
    const char *sibling;
    int halfMoves;
};

const CacheCase CASES[] = {
    // A bishop takes the rook on h1: castling repair and the hanging man.
    {"r3k2r/pppppppp/8/8/8/8/PPPPPPbP/R3K2R b KQkq -", "g2h1", "g2f3", 0},
    // Middlegame with the full king safety.
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R b KQkq -", "a6e2", "b4c3", 0},
    // Queen against rook and bishop: drawish scaling of every table.
    {"4k3/8/8/8/8/8/8/2rbKQ2 w - -", "f1f2", "f1g2", 30},
    // Pawn ending: the endgame path with the no-progress pull.
    {"8/5pk1/6p1/2p5/2P5/6P1/5PK1/8 w - -", "g2f3", "g2h3", 12},
};

TEST(EvalCache, HitLeavesWhatEvaluatingLeaves) {
    for (const CacheCase &c : CASES) {
        SCOPED_TRACE(c.fen);
        ResetEvaluationForTest();
        static TestBoard board;
        ASSERT_TRUE(SetUpBoard(&board, c.fen));
        board.root.halfMoves = c.halfMoves;
        Evaluate(&board.root, 1);
        static SearchNode child, made, sibling;
        MakeMove(&board.root, MoveFromText(c.move), &child);
        made = child;
        Evaluate(&child, 0);
        UnmakeMove(&child);
        MakeMove(&board.root, MoveFromText(c.sibling), &sibling);
        Evaluate(&sibling, 0);
        UnmakeMove(&sibling);
        MakeMove(&board.root, MoveFromText(c.move), &child);
        EvalCacheProbe probe;
        ProbeEvalCache(&child, &probe);
        ASSERT_TRUE(probe.hit);
        EXPECT_EQ(EvalCacheHitMismatch(&child, probe.entry, EvaluateWithoutCache), -1);
        // A restored output that is wrong is seen, wherever it lies.
        for (int32_t *wrong : {&probe.entry->score, &probe.entry->squareValue[1][0],
                               &probe.entry->evalArea.contemptScale}) {
            child = made;
            ProbeEvalCache(&child, &probe);
            ASSERT_TRUE(probe.hit);
            *wrong += 1;
            EXPECT_GE(EvalCacheHitMismatch(&child, probe.entry, EvaluateWithoutCache), 0);
            *wrong -= 1;
        }
        child = made;
        probe.entry->pawnSquareTable[1][0x33] ^= 1;
        EXPECT_GE(EvalCacheHitMismatch(&child, probe.entry, EvaluateWithoutCache), 0);
        UnmakeMove(&child);
    }
    ResetEvaluationForTest();  // the tampered entry goes with the weights
}

// Evaluate through the cache and afresh from the same node: equal scores.
void ExpectFreshScore(const SearchNode &node) {
    SearchNode cached = node, fresh = node;
    Evaluate(&cached, 0);
    EvaluateWithoutCache(&fresh);
    EXPECT_EQ(cached.score, fresh.score);
}

TEST(EvalCache, ChangedSettingsOrWeightsAreNotAnsweredFromIt) {
    ResetEvaluationForTest();
    settings.Advanced_contempt = 0;
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/PPP5/4K3 w - -"));
    SearchNode node = board.root;
    Evaluate(&node, 1);
    int score = node.score;
    // The same node again is a hit.
    EvalCacheStats before = ReadEvalCacheStats();
    node = board.root;
    Evaluate(&node, 0);
    EXPECT_EQ(node.score, score);
    EXPECT_EQ(ReadEvalCacheStats().hits, before.hits + 1);
    // A setting read live.
    settings.Contempt = 15;
    node = board.root;
    Evaluate(&node, 0);
    EXPECT_EQ(node.score, score + 15);
    ExpectFreshScore(board.root);
    // Weights built anew from other percentages, the settings as they were.
    settings.Pawn_value_pct = 150;
    BuildEndgameWeightTables(&board.position);
    BuildWeightTables(&board.position);
    settings.Pawn_value_pct = 100;
    ExpectFreshScore(board.root);
    ResetEvaluationForTest();
}

}  // namespace
