// Threat detection: what the opponent would play if the side to move
// passed, recorded in the node as the attack to answer; and the shallow
// search that finds the best move other than the current best.
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/search.h"
#include "engine/split_node.h"

void FindThreat(SearchNode *node, int alpha, int depth) {
    if (node->castleFlags & SCORE_FINAL)
        return;
    SearchNode child;
    CopyNodeState(&child, node);
    MakeNullMove(node, &child);
    child.castleFlags |= CASTLE_NULL_CHILD;
    child.pv[0] = child.pv[1] = MOVE_NONE;
    int bound = child.score + settings.Minimum_threat_value_pct * 16 / 100;
    if (alpha > bound)
        bound = alpha;
    Move killers[2] = {MOVE_NONE, MOVE_NONE};
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    int score;
    if (depth >= 2) {
        score = Search(&child, depth, SCORE_INFINITE, bound, killers, line, nullptr);
    } else if (depth == 1) {
        child.castleFlags &= child.sideRecord->clearMask;
        score = SearchFrontier(&child, 1, SCORE_INFINITE, bound, killers, line);
    } else {
        score = Quiesce(&child, SCORE_INFINITE, bound, killers, line);
    }
    Move threat = line[0];
    const Position *position = node->position;
    const PieceRecord *attacker = IsMove(threat) ? BoardAt(position, MoveFrom(threat)) : nullptr;
    bool castling =
        attacker && attacker->kind == KIND_KING &&
        (MoveTo(threat) - MoveFrom(threat) == 2 || MoveFrom(threat) - MoveTo(threat) == 2);
    if (!attacker || IsUnderPromotion(threat) || castling) {
        node->nodeFlags = (node->nodeFlags & ~NODE_ATTACKED) | NODE_NO_THREAT;
        return;
    }
    node->attackSquares = threat;
    node->attackedPiece = BoardAt(node->position, MoveTo(threat));
    node->nodeFlags |= NODE_ATTACKED;
    node->searchInfo = node->attackedPiece->kind <= attacker->kind ? 1 : 0;
    if (score >= MATE_THRESHOLD)
        node->nodeFlags |= NODE_MATE_THREAT;
}

void ShallowSearchForMove(SearchNode *node, int depth, int beta, int alpha, const Move pv[2]) {
    SearchNode local;
    CopyNodeState(&local, node);
    Move excludedList[2] = {MOVE_NONE, pv[0]};
    Move killers[2] = {pv[1], MOVE_NONE};
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    Search(&local, depth - 3, beta, alpha, killers, line, &excludedList[1]);
    if (IsMove(line[0]))
        PushMove(node, line[0]);
}
