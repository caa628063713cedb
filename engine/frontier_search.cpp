// Frontier search: alpha-beta at one ply or less to go. Quiet moves below
// the node's futility gap are counted without being made; selective nodes
// look only at recaptures, threat squares and winning captures. Attacks
// that stay on the board after a move are carried into the child.
#include <algorithm>

#include "engine/attacks.h"
#include "engine/eval_weights.h"
#include "engine/eval_work_area.h"
#include "engine/make_move.h"
#include "engine/move_gen.h"
#include "engine/search.h"

namespace {

// What one pass over a move needs besides the node.
struct FrontierMove {
    Move move;
    int from, to;
    bool enPassant;
    bool firstSearch;
    Move carried;  // attack carried into the child; to byte 12 when none
};

}  // namespace

static void PushFrontierCandidates(SearchNode *node, const Move *killers) {
    if (!(node->nodeFlags & NODE_SELECTIVE)) {
        if (IsMove(killers[0])) {
            if (IsMove(killers[1]) && !HasThreat(node->threatMove))
                PushIfPseudoLegal(node, killers[1]);
            PushIfPseudoLegal(node, killers[0]);
        }
        if (node->nodeFlags & NODE_ATTACKED) {
            Move reply = node->sideRecord->replyMoves[MoveTo(node->attackSquares) + 8];
            if (IsMove(reply))
                PushIfPseudoLegal(node, reply);
        }
        PushCaptures(node, ToSquare(node->lastMove));
    }
    if (HasThreat(node->threatMove) && !(node->nodeFlags & NODE_THREAT_PUSHED))
        PushMove(node, node->threatMove);
}

// Whether the move is worth making at the frontier.
static bool FrontierMoveIsSearched(const SearchNode *node, int depth, const FrontierMove &fm) {
    const Position *position = node->position;
    const PieceRecord *mover = BoardAt(position, fm.from);
    if (depth >= 1 && node->futilityGap < -19)
        return true;
    int gain = mover->squareTable[fm.to] + BoardAt(position, fm.to)->squareValue -
               mover->squareTable[fm.from];
    if (node->futilityGap < gain || fm.enPassant)
        return true;
    return depth >= 1 && FindAttacker(fm.to, mover, 11) == KingSquare(position, node->opponent);
}

// The attack (a, v) on the node's side stays standing after the move
// unless the move captures the attacker, moves the attacked man, takes
// the attacking pawn en passant or blocks the line. Returns false when
// the move is to be skipped because it leaves a check unanswered.
static bool CarryAttack(const SearchNode *node, FrontierMove *fm) {
    fm->carried = MakeMoveCode(NO_SQUARE, NO_SQUARE);
    if (!(node->nodeFlags & NODE_ATTACKED))
        return true;
    int a = MoveFrom(node->attackSquares), v = MoveTo(node->attackSquares);
    if (fm->to == a || fm->from == v)
        return true;
    if (fm->enPassant && fm->to - 16 * node->side == a)
        return true;
    if (BlocksLine(fm->to, a, v))
        return true;
    if (NodeInCheck(node) && BoardAt(node->position, fm->to)->kind != KIND_KING)
        return false;
    fm->carried = node->attackSquares;
    return true;
}

// The carried attack no longer works when the man that defends its
// target can recapture at a profit.
static void RetestCarriedAttack(const SearchNode *node, SearchNode *child, FrontierMove *fm) {
    if (!(node->searchInfo & 0x03) || !HasThreat(fm->carried))
        return;
    Position *position = node->position;
    int v = MoveTo(fm->carried);
    int masks = BoardAt(position, fm->to)->attackMask | child->capturedPiece->attackMask;
    if (!(AttackMaskFor(v - fm->to) & masks))
        return;
    SearchNode grandchild;
    grandchild.pv[0] = grandchild.pv[1] = MOVE_NONE;
    MakeMove(child, fm->carried, &grandchild);
    int w = std::max(grandchild.score, 9 - child->score);
    int r = SearchCaptures(&grandchild, w + 1, w, nullptr);
    UnmakeMove(&grandchild);
    if (r > w)
        fm->carried = MakeMoveCode(NO_SQUARE, NO_SQUARE);
}

// Attack fields of the child from an attack by man (on square from) on
// target square r, with the searchInfo rules of the frontier.
static void SetChildAttack(const SearchNode *node, SearchNode *child, const PieceRecord *man,
                           int from, int r, int alpha, const FrontierMove &fm) {
    Position *position = node->position;
    const PieceRecord *attacked = BoardAt(position, r);
    child->attackSquares = MakeMoveCode(from, r);
    child->attackedPiece = BoardAt(position, r);
    child->nodeFlags |= NODE_ATTACKED;
    bool promotionThreat = man->kind == KIND_PAWN && r == from + 16 * man->colour;
    if (!(node->nodeFlags & NODE_COUNTER_ATTACK) && attacked->kind != KIND_KING &&
        !promotionThreat) {
        child->searchInfo = 4;
        return;
    }
    int gain = man->squareTable[r] + attacked->squareValue - man->squareTable[from];
    if (fm.firstSearch && node->movesSeen > 0 && gain <= alpha + child->score) {
        child->searchInfo = 4;
        child->nodeFlags |= NODE_REDUCED | NODE_ATTACKED;
    }
}

// Threat and attack fields of a child at depth 1 or more.
static void SetChildThreats(const SearchNode *node, SearchNode *child, FrontierMove *fm,
                            int alpha) {
    Position *position = node->position;
    if ((node->nodeFlags & NODE_ATTACKED) && !HasThreat(fm->carried)) {
        int a = MoveFrom(node->attackSquares), v = MoveTo(node->attackSquares);
        const PieceRecord *attacker = BoardAt(position, a);
        if (attacker->colour == node->opponent) {
            int r = FindAttacker(a, attacker, 6);
            if (r != NO_SQUARE && !(r == v && fm->to != v))
                fm->carried = MakeMoveCode(a, r);
        }
    }
    child->threatMove = fm->carried;
    child->searchInfo = 0;
    const PieceRecord *mover = BoardAt(position, fm->to);
    int threshold = (!HasThreat(fm->carried) || node->searchInfo == 4) ? 6 : 11;
    int r = FindAttacker(fm->to, mover, threshold);
    if (r != NO_SQUARE) {
        SetChildAttack(node, child, mover, fm->to, r, alpha, *fm);
        return;
    }
    if (!(node->nodeFlags & (NODE_COUNTER_ATTACK | NODE_THREAT_CHILD)) ||
        !HasThreat(node->threatMove))
        return;
    int threatFrom = MoveFrom(node->threatMove);
    if (threatFrom == fm->from || ToSquare(node->threatMove) == fm->to)
        return;
    const PieceRecord *x = BoardAt(position, threatFrom);
    if (!PieceIsMan(x))
        return;
    r = FindAttacker(threatFrom, x, 6);
    if (r != NO_SQUARE)
        SetChildAttack(node, child, x, threatFrom, r, alpha, *fm);
}

// Makes the move into the child, sets its flags and searches it. Returns
// the child's score from its own view.
static int SearchFrontierChild(SearchNode *node, int depth, int beta, int alpha, FrontierMove *fm,
                               SearchNode *child, Move *childLine) {
    Position *position = node->position;
    ClearLine(childLine, PV_LENGTH);
    MakeMove(node, fm->move, child);
    if (child->castleFlags & SCORE_FINAL)
        return child->score;
    int childDepth = 0;
    // 1. The carried attack, re-tested, and at depth >= 1 the new attacks.
    RetestCarriedAttack(node, child, fm);
    // Below depth 1 the child gets no attack of its own, but the evasion
    // re-search may still raise it to depth 1, where searchInfo is read.
    if (depth >= 1) {
        SetChildThreats(node, child, fm, alpha);
    } else {
        child->threatMove = fm->carried;
        child->searchInfo = 0;
    }
    // 2. Counter-attack: the move attacks a man while an attack stands.
    if (!(node->nodeFlags & (NODE_THREAT_CHILD | NODE_SELECTIVE)) &&
        !(HasThreat(node->threatMove) && fm->to == ToSquare(node->threatMove)) &&
        HasThreat(child->threatMove) && ToSquare(child->threatMove) != fm->to &&
        (child->nodeFlags & NODE_ATTACKED)) {
        child->nodeFlags |= NODE_COUNTER_ATTACK;
        if (!(node->nodeFlags & NODE_EXTENDED)) {
            if (fm->firstSearch) {
                child->nodeFlags |= NODE_REDUCED | NODE_SELECTIVE;
            } else {
                child->nodeFlags |= NODE_EXTENDED;
                childDepth = depth;
            }
        }
    }
    // 3. Draw cap when the node's side cannot win.
    int childBeta = -alpha, childAlpha = -beta;
    if (beta > 0 &&
        (child->reversals > 0 || (child->castleFlags & node->sideRecord->cannotWinFlag))) {
        if (alpha >= 0)
            return 0;
        childAlpha = 0;
    }
    // 4. Check evasions that leave the attacker standing are tried reduced.
    int material = position->pieceMaterial;
    int32_t queenThreshold = QueenMaterialThreshold();
    bool evasionRule =
        (material >= queenThreshold && !(node->castleFlags & CASTLE_EVASION_SEARCHED)) ||
        (material < queenThreshold && depth == 1);
    if (NodeInCheck(node) && QueenOnBoard(position) && evasionRule &&
        fm->to != MoveFrom(node->attackSquares) &&
        !(node->nodeFlags & (NODE_EXTENDED | NODE_SELECTIVE))) {
        if (fm->firstSearch) {
            child->nodeFlags |= NODE_REDUCED;
        } else {
            child->nodeFlags |= NODE_EXTENDED;
            if (depth < 1)
                child->castleFlags |= CASTLE_EVASION_SEARCHED;
            childDepth = 1;
            childAlpha = std::max(childAlpha, child->score);
        }
    }
    // 5. Window and search.
    if (child->nodeFlags & NODE_REDUCED)
        childAlpha = childBeta - 1;
    child->matedScore = node->matedScore + 1;
    if (childDepth >= 1)
        return SearchFrontier(child, childDepth, childBeta, childAlpha, node->pv, childLine);
    if ((child->nodeFlags & NODE_ATTACKED) && child->searchInfo <= 2) {
        child->castleFlags |= CASTLE_NULL_CHILD;
        return SearchFrontier(child, 0, childBeta, childAlpha, node->pv, childLine);
    }
    return Quiesce(child, childBeta, childAlpha, node->pv, childLine);
}

static void RememberKiller(const SearchNode *node, Move *killers, Move move, int to) {
    if (move == killers[0])
        return;
    if (node->parent && (move == node->threatMove || to == ToSquare(node->lastMove)))
        return;
    killers[1] = killers[0];
    killers[0] = move;
}

// The next move: pushed candidates first, then generated moves that were
// not among them. MOVE_NONE at the end.
Move NextSearchMove(SearchNode *node, bool *generating, Move *tried, int *nTried) {
    while (!*generating && node->moveCursor > node->candidates) {
        Move move = *--node->moveCursor;
        if (*nTried < N_CANDIDATES)
            tried[(*nTried)++] = move;
        if (CandidateIsPlayable(node, move))
            return move;
    }
    *generating = true;
    for (;;) {
        Move move = MOVE_NONE;
        NextMove(node, &move);
        if (!IsMove(move) || std::find(tried, tried + *nTried, move) == tried + *nTried)
            return move;
    }
}

int SearchFrontier(SearchNode *node, int depth, int beta, int alpha, Move *killers, Move *pvOut) {
    Position *position = node->position;
    int flags = node->nodeFlags;
    bool selective = flags & NODE_SELECTIVE;
    if (depth >= 1 && (flags & (NODE_COUNTER_ATTACK | NODE_THREAT_CHILD)) && !selective)
        node->futilityGap = -SCORE_INFINITE;
    else
        node->futilityGap = evalMargin + alpha - node->score;
    PushFrontierCandidates(node, killers);
    node->movesSeen = 0;
    int best = alpha;
    Move tried[N_CANDIDATES];
    int nTried = 0;
    bool generating = false;
    for (;;) {
        FrontierMove fm;
        fm.move = NextSearchMove(node, &generating, tried, &nTried);
        if (!IsMove(fm.move)) {
            if (selective || (best > -SCORE_INFINITE && node->movesSeen > 0))
                return best;
            return KingIsAttacked(node) ? node->matedScore : 0;
        }
        fm.from = MoveFrom(fm.move);
        fm.to = ToSquare(fm.move);
        const PieceRecord *mover = BoardAt(position, fm.from);
        const PieceRecord *target = BoardAt(position, fm.to);
        fm.enPassant =
            (flags & NODE_EP_SQUARE) && fm.to == node->epSquare && mover->kind == KIND_PAWN;
        if (selective && !SelectiveNodeSearches(node, mover, target, fm.to))
            continue;
        if (!FrontierMoveIsSearched(node, depth, fm)) {
            node->movesSeen++;
            continue;
        }
        if (!CarryAttack(node, &fm))
            continue;
        fm.firstSearch = true;
        for (;;) {
            SearchNode spare;
            SearchNode *child = ChildRecord(node, &spare);
            Move childLine[PV_LENGTH];
            int childScore = SearchFrontierChild(node, depth, beta, best, &fm, child, childLine);
            UnmakeMove(child);
            int score = -childScore;
            if (childScore < SCORE_INFINITE)
                node->movesSeen++;
            if (score <= best)
                break;
            if ((child->nodeFlags & NODE_REDUCED) && fm.firstSearch) {
                fm.firstSearch = false;
                continue;
            }
            RememberKiller(node, killers, fm.move, fm.to);
            pvOut[0] = fm.move;
            pvOut[1] = childLine[0];
            best = score;
            if (best >= beta)
                return best;
            CopyLine(pvOut + 2, childLine + 1, 9);
            if (node->futilityGap != -SCORE_INFINITE)
                node->futilityGap = evalMargin + best - node->score;
            break;
        }
    }
}
