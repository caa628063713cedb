// Small tests that the searches share: king safety, line blocking and the
// move filter of selective nodes.
#include "engine/attacks.h"
#include "engine/search.h"

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
