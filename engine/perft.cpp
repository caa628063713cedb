// Perft over the generator, make and unmake. The checks of slowChecks are
// compiled into debug builds only, so the Release count runs at full speed.
#include "engine/perft.h"

#include "engine/board_check.h"
#include "engine/debug_check.h"
#include "engine/hash_keys.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/move_gen.h"

#ifdef VLM_DEBUG
static bool KeysEqual(const HashKey &a, const HashKey &b) {
    return a.lock32 == b.lock32 && a.lock16 == b.lock16;
}
#endif

static int64_t PerftChild(SearchNode *node, Move move, int depth, bool *legal) {
#ifdef VLM_DEBUG
    PositionImage before;
    if (slowChecks)
        TakePositionImage(node->position, &before);
#endif
    SearchNode child;
    MakeMove(node, move, &child);
    int64_t count = 0;
    *legal = !MoverKingIsAttacked(&child);
    if (*legal) {
        FixCastlingRights(&child);
        UpdateNodeAfterMove(&child);
#ifdef VLM_DEBUG
        if (slowChecks) {
            HashKey scratch = ComputeNodeKey(&child);
            DEBUG_CHECK(KeysEqual(scratch, child.key));
            DEBUG_CHECK(PositionIsConsistent(child.position));
        }
#endif
        count = depth <= 1 ? 1 : Perft(&child, depth - 1);
    }
    UnmakeMove(&child);
#ifdef VLM_DEBUG
    if (slowChecks) {
        PositionImage after;
        TakePositionImage(node->position, &after);
        DEBUG_CHECK(PositionImagesEqual(&before, &after));
    }
#endif
    return count;
}

int64_t Perft(SearchNode *node, int depth) {
    return PerftDivide(node, depth, nullptr);
}

int64_t PerftDivide(SearchNode *node, int depth, void (*report)(Move move, int64_t count)) {
    if (depth <= 0)
        return 1;
    ResetMoveList(node);
    int64_t total = 0;
    Move move;
    while (NextMove(node, &move) != MOVE_NONE) {
        bool legal;
        int64_t count = PerftChild(node, move, depth, &legal);
        if (legal && report)
            report(move, count);
        total += count;
    }
    return total;
}
