// Make and unmake keep every man's square value and the node's running
// score incrementally. A perft walk recomputes both from scratch at every
// node: the square values by their rule, the score change of each move as
// the change of the men's sum.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/board.h"
#include "engine/eval_work_area.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/move_gen.h"
#include "eval_fixture.h"

namespace {

bool IsStartingRook(const Position *position, const PieceRecord *man) {
    for (int record : STARTING_ROOK_RECORDS) {
        if (&position->men[record] == man)
            return true;
    }
    return false;
}

bool FileHasPawn(const Position *position, int file) {
    for (int rank = 0; rank < 8; rank++) {
        if (BoardAt(position, rank * 16 + file)->kind == KIND_PAWN)
            return true;
    }
    return false;
}

// What the man's square value must be; false for a rook made by promotion,
// whose value is whatever it got when it was made or last moved.
bool RuleSquareValue(const Position *position, const PieceRecord *man, int32_t *value) {
    if (man->kind != KIND_ROOK) {
        *value = man->squareTable[man->square] + man->effectiveValue;
        return true;
    }
    if (!IsStartingRook(position, man))
        return false;
    *value = man->squareTable[man->square] + position->kinds[WHITE_ROOK].effectiveValue;
    if (!FileHasPawn(position, FileOf(man->square)))
        *value += position->evalArea.rookOpenFileBonus;
    return true;
}

// The men's square values summed from colour's view; every value that has
// a rule is checked against it.
int32_t MenSum(const Position *position, int colour, bool *valuesOk) {
    int32_t sum = 0;
    for (const SideRecord *side : {&position->whiteSide, &position->blackSide}) {
        for (const PieceRecord *man = side->head.next; man != &position->emptyRecord;
             man = man->next) {
            int32_t rule;
            if (RuleSquareValue(position, man, &rule) && rule != man->squareValue)
                *valuesOk = false;
            sum += man->colour == colour ? man->squareValue : -man->squareValue;
        }
    }
    return sum;
}

struct Walk {
    int64_t leaves = 0;
    int64_t badValues = 0;
    int64_t badScores = 0;
    int64_t badRestores = 0;
};

void WalkTree(SearchNode *node, int depth, Walk *walk) {
    Position *position = node->position;
    int32_t saved[N_MEN_RECORDS];
    for (int i = 0; i < N_MEN_RECORDS; i++)
        saved[i] = position->men[i].squareValue;
    bool ok = true;
    int32_t before = MenSum(position, node->side, &ok);
    walk->badValues += !ok;
    ResetMoveList(node);
    Move move;
    while (NextMove(node, &move) != MOVE_NONE) {
        SearchNode child;
        MakeMove(node, move, &child);
        if (!(child.castleFlags & SCORE_FINAL)) {
            ok = true;
            int32_t after = MenSum(position, node->side, &ok);
            walk->badValues += !ok;
            int32_t expected = tempoBase - node->score - (after - before);
            if ((node->castleFlags & NO_PROGRESS_PULL_ON) &&
                !(child.castleFlags & NO_PROGRESS_PULL_ON))
                expected += child.opponent == rootSide ? -position->noProgressPull
                                                       : position->noProgressPull;
            walk->badScores += child.score != expected;
            if (!MoverKingIsAttacked(&child)) {
                if (depth > 1)
                    WalkTree(&child, depth - 1, walk);
                else
                    walk->leaves++;
            }
        }
        UnmakeMove(&child);
        for (int i = 0; i < N_MEN_RECORDS; i++)
            walk->badRestores += position->men[i].squareValue != saved[i];
    }
}

struct WalkCase {
    const char *fen;
    int depth;
    int64_t leaves;  // perft count
};

TEST(IncrementalScore, SquareValuesAndScoreMatchFromScratchAtEveryNode) {
    const WalkCase cases[] = {
        // Files open and close under both sides' rooks.
        {"1n2k1nq/ppp1rppp/8/3p4/4P3/8/PPP1RPPP/QN2K1N1 w - - 0 1", 4, 410716},
        {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 3, 97862},
        // Promotions, to rooks among them.
        {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", 3, 9467},
        {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10", 3, 89890},
    };
    static TestBoard board;
    for (const WalkCase &c : cases) {
        ResetEvaluationForTest();
        ASSERT_TRUE(SetUpBoard(&board, c.fen)) << c.fen;
        rootSide = board.root.side;
        Evaluate(&board.root, 1);
        // The pawn terms are charged along the path (a pawn that leaves a
        // doubled isolated file gives back a single pawn's share, a pawn
        // that captures keeps its pawn-table term), so no function of the
        // position matches them; leave them out.
        EvalWorkArea *area = &board.position.evalArea;
        memset(area->isolatedSingle, 0, sizeof area->isolatedSingle);
        memset(area->isolatedMulti, 0, sizeof area->isolatedMulti);
        memset(board.position.whiteSide.pawnSquareTable, 0,
               sizeof board.position.whiteSide.pawnSquareTable);
        memset(board.position.blackSide.pawnSquareTable, 0,
               sizeof board.position.blackSide.pawnSquareTable);
        ASSERT_NE(area->rookOpenFileBonus, 0) << c.fen;
        Walk walk;
        WalkTree(&board.root, c.depth, &walk);
        EXPECT_EQ(walk.leaves, c.leaves) << c.fen;
        EXPECT_EQ(walk.badValues, 0) << c.fen;
        EXPECT_EQ(walk.badScores, 0) << c.fen;
        EXPECT_EQ(walk.badRestores, 0) << c.fen;
    }
}

}  // namespace
