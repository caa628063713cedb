// Mirror property of the evaluation: the colour-mirrored position, with the
// engine's side mirrored too, evaluates to the negated white-view score,
// except where the evaluation is deliberately one-sided.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>

#include "engine/eval_weights.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "eval_fixture.h"

namespace {

#ifdef VLM_DEBUG
constexpr int TREE_DEPTH = 1;
#else
constexpr int TREE_DEPTH = 2;
#endif

const char *const MIRROR_ROOTS[] = {
    nullptr,
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq -",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
    "2r3k1/pp3ppp/4p3/3n4/3P4/2N2N2/PP3PPP/3R2K1 w - -",
    "8/5pk1/6p1/2p5/2P5/6P1/5PK1/8 w - -",
    "4k3/8/8/3PP3/8/8/8/4K3 w - -",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ -",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -",
    "3q2k1/5ppp/8/8/8/8/5PPP/3Q2K1 b - -",
};

// The white-view score and the entry's score of a node.
struct Scores {
    int full;
    int entry;
};

bool OneSided(const Position *pos) {
    // Terms of the evaluation that are one-sided on purpose: the lone-bishop
    // pawn colours, white kinds in the piece balance, the white-knight and
    // white-one-piece rules, front-pawn runs and scaled negative sums.
    const EvalWorkArea *area = &pos->evalArea;
    // bishopColour is set when a side had exactly one bishop while the
    // evaluation ran (a hanging bishop leaves its count for that time).
    if (area->bishopColour[0] >= 0 || area->bishopColour[1] >= 0)
        return true;
    if (pos->pieceMaterial <= endgameMaterialThreshold)
        return true;
    if (area->drawishness > 0 || pos->noProgressPull != 0)
        return true;
    bool wQ = pos->kinds[WHITE_QUEEN].count > 0, bQ = pos->kinds[BLACK_QUEEN].count > 0;
    bool wR = pos->kinds[WHITE_ROOK].count > 0, bR = pos->kinds[BLACK_ROOK].count > 0;
    return !area->fullKingSafety && (wQ != bQ || wR != bR);
}

class MirrorWalk {
   public:
    int nExact = 0, nBounded = 0, worst = 0;

    void Compare(SearchNode *a, SearchNode *b) {
        int rootA = rootSide;
        int sideA = a->side;
        SearchNode copyA = *a, copyB = *b;
        rootSide = sideA;
        int32_t flagsA = copyA.castleFlags, flagsB = copyB.castleFlags;
        Evaluate(&copyA, 0);
        bool oneSided = OneSided(a->position);
        rootSide = -sideA;
        Evaluate(&copyB, 0);
        oneSided = oneSided || OneSided(b->position);
        int fullA = EvaluateFull(a->position, &flagsA, a->halfMoves);
        int fullB = EvaluateFull(b->position, &flagsB, b->halfMoves);
        rootSide = rootA;
        if (oneSided) {
            nBounded++;
            worst = std::max(worst, std::abs(copyA.score - copyB.score));
            EXPECT_LE(std::abs(copyA.score - copyB.score), 160) << where;
        } else {
            nExact++;
            EXPECT_EQ(copyA.score, copyB.score) << where;
            if (a->position->pieceMaterial > endgameMaterialThreshold) {
                EXPECT_EQ(fullA, -fullB) << where;
            }
        }
    }

    void Walk(SearchNode *a, SearchNode *b, int depth) {
        Compare(a, b);
        if (depth == 0 || ::testing::Test::HasFailure())
            return;
        Move movesA[MAX_LEGAL_MOVES], movesB[MAX_LEGAL_MOVES];
        int nA = GenerateLegalMoves(a, movesA), nB = GenerateLegalMoves(b, movesB);
        ASSERT_EQ(nA, nB) << where;
        std::map<std::string, Move> byText;
        for (int i = 0; i < nB; i++)
            byText[MoveText(movesB[i])] = movesB[i];
        SearchNode childA, childB;
        for (int i = 0; i < nA; i++) {
            std::string text = MoveText(movesA[i]);
            auto it = byText.find(MirrorMoveText(text));
            ASSERT_NE(it, byText.end()) << where << " " << text;
            std::string saved = where;
            where += " " + text;
            MakeMove(a, movesA[i], &childA);
            MakeMove(b, it->second, &childB);
            Walk(&childA, &childB, depth - 1);
            UnmakeMove(&childB);
            UnmakeMove(&childA);
            where = saved;
        }
    }

    std::string where;
};

TEST(EvalMirror, MirroredPositionsNegateTheScore) {
    MirrorWalk walk;
    for (const char *fen : MIRROR_ROOTS) {
        ResetEvaluationForTest();
        std::string text = fen ? fen : "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";
        static TestBoard a, b;
        ASSERT_TRUE(SetUpBoard(&a, text.c_str())) << text;
        ASSERT_TRUE(SetUpBoard(&b, MirrorFen(text).c_str())) << MirrorFen(text);
        walk.where = text;
        walk.Walk(&a.root, &b.root, TREE_DEPTH);
    }
    EXPECT_GT(walk.nExact, 20);
    printf("mirror: %d exact, %d bounded (worst difference %d)\n", walk.nExact, walk.nBounded,
           walk.worst);
}

}  // namespace
