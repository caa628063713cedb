// Small tests that the searches share: king safety, line blocking and the
// move filter of selective nodes; and the reset of a thread's node records.
#include "engine/attacks.h"
#include "engine/search.h"

void ClearPlyNodeKillers(Position *position) {
    if (!position->plyNodes)
        return;
    for (int i = 0; i < N_PLY_NODES; i++)
        position->plyNodes[i].pv[0] = position->plyNodes[i].pv[1] = MOVE_NONE;
}

bool KingIsAttacked(const SearchNode *node) {
    return IsSquareAttacked(node, KingSquare(node->position, node->side)) != 0;
}

bool BlocksLine(int t, int a, int v) {
    int step = StepFor(v - a);
    if (step != StepFor(t - a))
        return false;
    return t == v || step == StepFor(v - t);
}

bool SelectiveNodeSearches(const SearchNode *node, const PieceRecord *mover,
                           const PieceRecord *target, int to) {
    if (to == ToSquare(node->lastMove) && !(node->nodeFlags & NODE_NO_RECAPTURE))
        return true;
    if (HasThreat(node->threatMove) && to == ToSquare(node->threatMove))
        return true;
    return mover->kind < target->kind;
}
