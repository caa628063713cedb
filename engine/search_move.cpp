// The search of one move at a node: settle it at once where possible
// (excluded, illegal, tablebase, final), classify it (threat, bad move,
// evasion, quiet move) into the child's depth and flags, search the child,
// search again after a reduced or capped search fails high, and raise the
// node's alpha, killers, line and bound flags.
#include <algorithm>

#include "engine/attacks.h"
#include "engine/debug_check.h"
#include "engine/drawn_pawn_ending.h"
#include "engine/eval_snapshot.h"
#include "engine/eval_weights.h"
#include "engine/eval_work_area.h"
#include "engine/evaluate.h"
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"
#include "engine/search.h"
#include "engine/split_node.h"
#include "engine/stopwatch.h"
#include "engine/transposition_table.h"

namespace {

// One pass over the move.
struct MovePass {
    Move move;
    int from, to;
    PieceRecord *mover;
    int depth;       // the node's depth
    int d;           // the child's depth
    int attackMode;  // FindAttacker threshold for the child's attack test
    bool first;      // a search again of the same move
    bool settled;    // the child's score is known without a search
    int childScore;  // from the child's view
    EvalSnapshot *snapshot;
    Move childLine[PV_LENGTH];
};

constexpr int SCORE_REFUSED = SCORE_INFINITE;  // an excluded or illegal move

}  // namespace

#ifdef VLM_DEBUG
std::atomic<int64_t> nIllegalRaises{0};
#endif

static void Settle(MovePass *pass, int score) {
    pass->settled = true;
    pass->childScore = score;
}

static bool MoverKingAttacked(const SearchNode *node, const SearchNode *child) {
    int king = KingSquare(node->position, node->side);
    return FindAttackerOfSquare(king, child->sideRecord) != NO_SQUARE;
}

#ifdef VLM_DEBUG
// A move that leaves its own king attacked, unless it takes the enemy
// king: the capture ends the game before the attack matters.
static bool MoveIsIllegal(const SearchNode *node, const SearchNode *child) {
    const PieceRecord *captured = child->capturedPiece;
    return MoverKingAttacked(node, child) && !(PieceIsMan(captured) && captured->kind == KIND_KING);
}
#endif

// The flags word of a current-move report.
static int CurrentMoveInfo(const SearchNode *child, bool first) {
    const Position *position = child->position;
    int info = std::max(position->threadId / 2 - 2, 0);
    if (first)
        info |= 0x80;
    if (child->nodeFlags & NODE_SPECIAL_MOVE)
        info |= BoardAt(position, MoveTo(child->lastMove))->letter << 8;
    return info;
}

// Excluded root moves, illegal root moves and the current-move report of
// the first line at deep iterations.
static void CheckExclusionAndRoot(SearchNode *node, SearchNode *child, const Move *excluded,
                                  MovePass *pass) {
    for (const Move *m = excluded; *m != MOVE_NONE; m--) {
        if (*m == pass->move) {
            Settle(pass, SCORE_REFUSED);
            return;
        }
    }
    if (node->parent)
        return;
    // Refused at every depth: a shallow child need not take the king, and
    // the root's line is the move the program plays.
    if (MoverKingAttacked(node, child)) {
        Settle(pass, SCORE_REFUSED);
        return;
    }
    if (pass->depth != rootDepth || !reportCurrentMoveHook || pass->depth < 10)
        return;
    if (*excluded == MOVE_NONE) {
        if (frontEnd.reportCurrentMove)
            frontEnd.reportCurrentMove(pass->depth, child->lastMove,
                                       CurrentMoveInfo(child, pass->first));
        rootFirstMove = pass->move == node->bestMove;
    }
}

// The en-passant square of a probe, 0..63, or 0 when no pawn of the side
// to move can take there.
static int ProbeEpSquare(const SearchNode *child) {
    if (!(child->nodeFlags & NODE_EP_SQUARE))
        return 0;
    const Position *position = child->position;
    int ep = child->epSquare, pawnCode = child->side == WHITE ? WHITE_PAWN : BLACK_PAWN;
    int behind = ep - 16 * child->side;
    if (BoardAt(position, behind - 1)->code != pawnCode &&
        BoardAt(position, behind + 1)->code != pawnCode)
        return 0;
    return (ep & 7) | ((ep & 0x70) >> 1);
}

static void ProbeEndgameTable(SearchNode *node, SearchNode *child, MovePass *pass) {
    Position *position = node->position;
    if (MoverKingAttacked(node, child)) {
        Settle(pass, SCORE_REFUSED);
        return;
    }
    int epSquare = ProbeEpSquare(child);
    int8_t board[64];
    int found = 0, s = 0;
    EnterSplitLock(position);
    BuildProbeBoard(position, board);
    if (frontEnd.probeTablebase)
        found = frontEnd.probeTablebase(board, child->side, epSquare, &s);
    LeaveSplitLock();
    if (found != 1)
        return;
    // The score is the child's, so its mate distance counts from the child.
    int m = node->matedScore + 1;
    Settle(pass, s == 0 ? 0 : s > 0 ? 1 - m - 2 * s : m - 2 * s - 2);
}

// The men of local's side that attack square recapture there one by one;
// the best result from local's view, starting at floor, stopping at the
// first that beats it. *bestCapture gets the capture that beat it.
static int BestRecapture(SearchNode *local, int square, int floor, Move *bestCapture) {
    Position *position = local->position;
    int best = floor;
    for (PieceRecord *man = local->sideRecord->head.next; man != &position->emptyRecord;
         man = man->next) {
        if (!ManAttacksSquare(position, man, man->square, square))
            continue;
        Move capture = MakeMoveCode(man->square, square);
        SearchNode next;
        next.pv[0] = next.pv[1] = MOVE_NONE;
        MakeMove(local, capture, &next);
        int score = (next.castleFlags & SCORE_FINAL)
                        ? -next.score
                        : -SearchCaptures(&next, -best, ~floor, nullptr);
        UnmakeMove(&next);
        if (score > best) {
            best = score;
            if (bestCapture)
                *bestCapture = capture;
            if (score >= floor + 1)
                break;
        }
    }
    return best;
}

// A pending threat that the moved man (or the man it took) could have
// answered is played out: when the node's side then wins the exchange on
// the threatened square, the threat is dropped.
static void RetestPendingThreat(SearchNode *node, SearchNode *child, const MovePass *pass) {
    if (node->auxSquare2 == NO_SQUARE || !(node->searchInfo & 0x03))
        return;
    Position *position = node->position;
    int a = uint8_t(node->auxSquare1), v = uint8_t(node->auxSquare2);
    int masks = BoardAt(position, pass->to)->attackMask | child->capturedPiece->attackMask;
    if (!(AttackMaskFor(v - pass->to) & masks))
        return;
    SearchNode local;
    local.pv[0] = local.pv[1] = MOVE_NONE;
    MakeMove(child, MakeMoveCode(a, v), &local);
    int m = std::max(9 - child->score, local.score);
    int best = m;
    if (!(local.castleFlags & SCORE_FINAL) &&
        m + tempoBase - local.score - BoardAt(position, v)->squareValue <= 29)
        best = BestRecapture(&local, v, m, nullptr);
    UnmakeMove(&local);
    if (best > m)
        node->auxSquare2 = NO_SQUARE;
}

// The attack standing against the node's side after the move.
static void UpdateStandingThreat(SearchNode *node, const MovePass *pass) {
    if (!(node->nodeFlags & NODE_ATTACKED) || node->auxSquare2 != NO_SQUARE)
        return;
    Position *position = node->position;
    int a = MoveFrom(node->attackSquares), v = MoveTo(node->attackSquares);
    const PieceRecord *attacker = BoardAt(position, a);
    if (attacker->colour != node->opponent)
        return;
    int target = FindAttacker(a, attacker, pass->attackMode);
    if (target == NO_SQUARE || (target == v && v != pass->to))
        return;
    node->auxSquare1 = int8_t(a);
    node->auxSquare2 = int8_t(target);
}

// A move whose man the opponent simply wins is searched shallower and
// selectively, with the refutation tried first; returns false when the
// move is settled instead.
static void TestBadMove(SearchNode *node, SearchNode *child, MovePass *pass) {
    if (pass->d <= 1 || (node->nodeFlags & NODE_SELECTIVE) || pass->move == node->bestMove ||
        pass->first)
        return;
    Position *position = node->position;
    int l = std::max(settings.Bad_move_threshold_pct * 29 / 100 - node->score, child->score);
    const PieceRecord *moved = BoardAt(position, pass->to);
    if ((l - child->score) - (moved->squareValue - tempoBase) >= 30)
        return;
    Move refutation = MOVE_NONE;
    BestRecapture(child, pass->to, l, &refutation);
    if (!IsMove(refutation))
        return;
    if (moved->kind == KIND_KING) {
        Settle(pass, SCORE_REFUSED);
        return;
    }
    if ((node->nodeFlags & NODE_REDUCED) && pass->move != node->threatMove &&
        pass->move != node->bestMove) {
        Settle(pass, SCORE_INFINITE - 1);
        return;
    }
    child->nodeFlags |= NODE_REDUCED | NODE_SELECTIVE;
    pass->d = pass->depth - 2;
    bool attackedMoved = (node->nodeFlags & NODE_ATTACKED) && node->attackedPiece == pass->mover;
    if (!HasThreat(child->threatMove) && attackedMoved) {
        child->threatMove = refutation;
        return;
    }
    if (HasThreat(child->threatMove) && !(node->nodeFlags & NODE_MATE_THREAT) &&
        node->attackedPiece && node->attackedPiece->squareValue < pass->mover->squareValue) {
        PushMove(child, child->threatMove);
        child->nodeFlags |= NODE_THREAT_PUSHED;
    }
    PushMove(child, refutation);
}

// The square standing for a king in the shelter terms: a king near its
// corner counts as castled there; elsewhere its own square.
static int KingZoneOf(int square, int colour) {
    int home = colour == WHITE ? 0x00 : 0x70, next = colour == WHITE ? 0x10 : 0x60;
    int rank = square & 0xF0, file = FileOf(square);
    bool homeRanks = rank == home || rank == next;
    if (homeRanks && (file == 5 || file == 7 || (file == 6 && rank == next)))
        return home + 6;
    if (homeRanks && (file == 0 || file == 2 || (file == 1 && rank == next)))
        return home + 1;
    return square;
}

static bool ChildNeedsEvaluation(const SearchNode *node, const SearchNode *child,
                                 const MovePass *pass) {
    if ((child->nodeFlags & NODE_SELECTIVE) || pass->d < 3)
        return false;
    bool reduced = node->nodeFlags & NODE_REDUCED;
    bool capture = PieceIsMan(child->capturedPiece);
    if (pass->d == 3)
        return !reduced && capture && child->capturedPiece->kind == KIND_QUEEN;
    if (reduced)
        return pass->d >= 9;
    bool quietPiece = !capture && pass->mover->kind != KIND_PAWN && pass->d <= 8 &&
                      !(child->nodeFlags & NODE_SPECIAL_MOVE);
    if (!quietPiece)
        return true;
    if (pass->from == SQUARE_H1 && (node->castleFlags & CASTLE_WHITE_KING_SIDE))
        return true;
    if (pass->from == SQUARE_H8 && (node->castleFlags & CASTLE_BLACK_KING_SIDE))
        return true;
    if (pass->mover->kind == KIND_KING) {
        int colour = pass->mover->colour;
        if (KingZoneOf(pass->from, colour) != KingZoneOf(pass->to, colour) || NodeInCheck(node))
            return true;
    }
    return false;
}

// The parent's evaluation state is saved, then the child evaluated. With
// every slot taken the child keeps its running score.
static void EvaluateChild(SearchNode *node, SearchNode *child, MovePass *pass) {
    pass->snapshot = nullptr;
    if (!ChildNeedsEvaluation(node, child, pass))
        return;
    pass->snapshot = SaveEvalSnapshot(node->position);
    if (pass->snapshot)
        Evaluate(child, 0);
}

static void RestoreEvaluation(SearchNode *node, MovePass *pass) {
    if (pass->snapshot)
        RestoreEvalSnapshot(pass->snapshot, node->position);
    pass->snapshot = nullptr;
}

// Attack fields of the child from an attack of man (on square from) on
// the target; a quiet attack that gains nothing is searched reduced.
static void SetChildTarget(const SearchNode *node, SearchNode *child, const PieceRecord *man,
                           int from, int target, const MovePass *pass) {
    const PieceRecord *attacked = BoardAt(node->position, target);
    child->nodeFlags |= NODE_ATTACKED;
    child->attackSquares = MakeMoveCode(from, target);
    child->attackedPiece = BoardAt(node->position, target);
    if (pass->first || node->movesSeen == 0)
        return;
    int gain = man->squareTable[target] + attacked->squareValue - man->squareTable[from];
    if (child->score + node->threatScore >= gain) {
        child->searchInfo = 4;
        child->nodeFlags |= NODE_REDUCED | NODE_ATTACKED;
    }
}

// What the moved man attacks now.
static void TestChildAttack(SearchNode *node, SearchNode *child, const MovePass *pass, int mode) {
    Position *position = node->position;
    const PieceRecord *moved = BoardAt(position, pass->to);
    int target = FindAttacker(pass->to, moved, mode);
    if (target != NO_SQUARE) {
        SetChildTarget(node, child, moved, pass->to, target, pass);
        return;
    }
    int threatFrom = MoveFrom(node->threatMove);
    bool threatStands = HasThreat(node->threatMove) && threatFrom != pass->from &&
                        ToSquare(node->threatMove) != pass->to && SquareIsOnBoard(threatFrom) &&
                        PieceIsMan(BoardAt(position, threatFrom));
    if ((node->nodeFlags & NODE_THREAT_CHILD) && threatStands) {
        const PieceRecord *man = BoardAt(position, threatFrom);
        target = FindAttacker(threatFrom, man, mode);
        if (target != NO_SQUARE)
            SetChildTarget(node, child, man, threatFrom, target, pass);
        return;
    }
    if (pass->d > 1 && !(node->nodeFlags & NODE_SELECTIVE) && !(child->nodeFlags & NODE_SELECTIVE))
        child->nodeFlags |= NODE_REDUCED;
}

// 10.1-10.2: threat detection in the child, or its attack test.
static void ClassifyThreats(SearchNode *node, SearchNode *child, MovePass *pass) {
    bool childSelective = child->nodeFlags & NODE_SELECTIVE;
    int mode = (pass->d < 3 || childSelective) ? 6 : 7;
    if (pass->d <= 1 || (node->nodeFlags & NODE_SELECTIVE)) {
        child->searchInfo = 0;
        TestChildAttack(node, child, pass, mode);
        return;
    }
    bool capture = PieceIsMan(child->capturedPiece);
    bool noThreat = !HasThreat(child->threatMove);
    if (settings.Use_threat_detection && !childSelective &&
        (noThreat || capture || ((node->nodeFlags & NODE_ATTACKED) && node->searchInfo == 4) ||
         pass->first)) {
        int f = (pass->d > 3 && (noThreat || QueenOnBoard(node->position) || pass->first)) ? 1 : 0;
        FindThreat(child, node->threatScore, f);
        return;
    }
    child->searchInfo = 0;
    TestChildAttack(node, child, pass, mode);
}

// 10.3-10.6: extensions, the threat-child flag, evasions, root recaptures.
static void ExtendChild(SearchNode *node, SearchNode *child, MovePass *pass) {
    Position *position = node->position;
    bool childSelective = child->nodeFlags & NODE_SELECTIVE;
    bool queenTaken = PieceIsMan(child->capturedPiece) &&
                      child->capturedPiece->kind == KIND_QUEEN && !QueenOnBoard(position);
    if (!(node->nodeFlags & NODE_EXTENDED) && !childSelective &&
        ((child->nodeFlags & NODE_MATE_THREAT) || NodeInCheck(child) || queenTaken)) {
        child->nodeFlags |= NODE_EXTENDED;
        pass->d++;
    }
    childSelective = child->nodeFlags & NODE_SELECTIVE;
    bool nodeSelective = node->nodeFlags & NODE_SELECTIVE;
    if (!(node->nodeFlags & NODE_THREAT_CHILD) && HasThreat(child->threatMove) &&
        !(HasThreat(node->threatMove) && pass->to == ToSquare(node->threatMove)) &&
        !childSelective && !nodeSelective && (child->nodeFlags & NODE_ATTACKED) &&
        ToSquare(child->threatMove) != MoveFrom(child->attackSquares) && child->searchInfo == 0)
        child->nodeFlags |= NODE_THREAT_CHILD;
    if (NodeInCheck(node) && position->pieceMaterial >= QueenMaterialThreshold() &&
        pass->to != MoveFrom(node->attackSquares) && !(node->nodeFlags & NODE_EXTENDED)) {
        if (pass->first || pass->move == node->bestMove) {
            pass->d = pass->depth;
            child->nodeFlags |= NODE_EXTENDED;
        } else {
            child->nodeFlags |= NODE_REDUCED;
        }
    }
    if (!node->parent && !(child->nodeFlags & NODE_SELECTIVE) &&
        (pass->to == ToSquare(node->lastMove) ||
         ((node->nodeFlags & NODE_ATTACKED) && pass->to == MoveFrom(node->attackSquares))))
        pass->d = pass->depth;
}

// 10.7: the moves that keep the half ply.
static bool KeepsHalfPly(const SearchNode *node, const SearchNode *child, const MovePass *pass) {
    const Position *position = node->position;
    bool childSelective = child->nodeFlags & NODE_SELECTIVE;
    if (PieceIsMan(child->capturedPiece))
        return true;
    if (!childSelective && child->score <= -node->score - 43)
        return true;
    if ((child->nodeFlags & NODE_ATTACKED) && child->searchInfo <= 2)
        return true;
    if (pass->mover->kind == KIND_PAWN &&
        (node->sideRecord->eval.pawnFlags[pass->from] & PAWN_PASSED_4) &&
        (!QueenOnBoard(position) || position->pieceMaterial < QueenMaterialThreshold()))
        return true;
    if (!node->parent && QueenOnBoard(position) && pass->move != node->bestMove && pass->first)
        return true;
    return (node->nodeFlags & NODE_ATTACKED) && (!HasThreat(child->threatMove) || pass->first);
}

static void ReduceChild(SearchNode *node, SearchNode *child, MovePass *pass) {
    Position *position = node->position;
    if (settings.Use_half_ply_heuristic && KeepsHalfPly(node, child, pass))
        return;
    if (!node->parent && QueenOnBoard(position) && pass->move != node->bestMove && !pass->first)
        child->nodeFlags |= NODE_REDUCED;
    pass->d--;
    if (HasThreat(child->threatMove)) {
        if (pass->first)
            return;
        bool wasSelective = child->nodeFlags & NODE_SELECTIVE;
        child->nodeFlags |= NODE_REDUCED | NODE_SELECTIVE;
        if (!wasSelective)
            child->nodeFlags |= NODE_NO_RECAPTURE;
    }
    if (pass->move == node->bestMove || pass->first)
        return;
    int minimum = (child->nodeFlags & NODE_NO_THREAT) ? 0 : 1;
    bool deepEnough = pass->d > minimum && ((settings.Use_history_pruning && node->movesSeen > 2) ||
                                            50 - node->score < child->score);
    bool kingWalk = pass->mover->kind == KIND_KING && !(child->nodeFlags & NODE_SPECIAL_MOVE) &&
                    position->pieceMaterial >= 3600;
    if (deepEnough || kingWalk) {
        child->nodeFlags |= NODE_REDUCED;
        pass->d--;
    }
}

// 10.8: king-and-pawn endings with one pawn on a side.
static void FlagPawnEnding(SearchNode *child, const MovePass *pass) {
    const Position *position = child->position;
    int material = position->pieceMaterial;
    bool onePawn = position->kinds[WHITE_PAWN].count == 1 || position->kinds[BLACK_PAWN].count == 1;
    if ((material == 0 || material == position->kinds[WHITE_BISHOP].value) && onePawn &&
        pass->d < 30)
        FlagDrawnPawnEndings(child);
}

// 11-12: draw bounds and the child's search. Returns false when the
// search was stopped or made obsolete.
static bool SearchChild(SearchNode *node, SearchNode *child, int *beta, int *alpha,
                        MovePass *pass) {
    Position *position = node->position;
    int a = LoadAlpha(alpha);
    int b = LoadBound(beta);
    int childBeta = -a, childAlpha = -b;
    if (b > 0) {
        if (child->reversals > 0) {
            if (a >= 0) {
                Settle(pass, 0);
                return true;
            }
            childAlpha = 0;
            if (pass->d + 1 < pass->depth) {
                if (pass->first)
                    pass->d++;
                else
                    child->nodeFlags |= NODE_REDUCED;
            }
        }
        if (child->castleFlags & node->sideRecord->cannotWinFlag) {
            if (a >= 0) {
                Settle(pass, 0);
                return true;
            }
            childAlpha = 0;
        }
    }
    if (child->nodeFlags & NODE_REDUCED)
        childAlpha = childBeta - 1;
    child->matedScore = node->matedScore + 1;
    int d = pass->d;
    if (d < 1 && (!(child->nodeFlags & NODE_ATTACKED) || child->searchInfo > 2)) {
        pass->childScore = Quiesce(child, childBeta, childAlpha, node->pv, pass->childLine);
        return true;
    }
    if (child->nodeFlags & NODE_NO_PIECES) {
        bool queenTaken =
            PieceIsMan(child->capturedPiece) && child->capturedPiece->kind == KIND_QUEEN;
        d = position->pieceMaterial != 0 ? d - 4 : d + (queenTaken ? 4 : 3);
        d = std::min(d, MAX_DEPTH);
    }
    if (d < 2) {
        pass->childScore =
            SearchFrontier(child, d, childBeta, childAlpha, node->pv, pass->childLine);
    } else {
        UpdateNodeAfterMove(child);
        PrefetchHashBucket(&hashTable, &child->key);
        pass->childScore =
            Search(child, d, childBeta, childAlpha, node->pv, pass->childLine, nullptr);
    }
    return !stopSearch && position->generation >= splitGeneration;
}

// 13.7: at the root, the first line watches its score against the last
// iteration and the line is reported. beta is the one the raise to alpha
// met, before any widening.
static bool ReportRootLine(SearchNode *node, int beta, int alpha, Move *killers, Move *pvOut,
                           const Move *excluded, const MovePass *pass) {
    if (node->parent)
        return true;
    Position *position = node->position;
    if (pass->depth == rootDepth && excluded && *excluded == MOVE_NONE) {
        if (pass->move == node->bestMove) {
            int drop = settings.Score_drop_threshold_pct * 15 / 100;
            if (alpha <= previousIterationScore - drop) {
                iterationDone = 0;
                if (pass->depth > 4) {
                    ShallowSearchForMove(node, pass->depth, beta, alpha, killers);
                    if (stopSearch || position->generation < splitGeneration)
                        return false;
                }
            }
        } else if (alpha < previousIterationScore) {
            iterationDone = 0;
        }
    }
    if (!reportPvHook || !(pass->depth > 3 || pass->depth == rootDepth))
        return true;
    // Several lines fill one slot each: a shallower root search (the
    // reference search) would show its line over the iteration's.
    if (linesWanted > 1 && pass->depth != rootDepth)
        return true;
    CopyLine(pvOut + 1, pass->childLine, PV_LENGTH - 2);
    if (frontEnd.reportNodes)
        frontEnd.reportNodes(ReportedNodeTotal(position));
    if (IsMove(pvOut[0]) && frontEnd.reportPv)
        frontEnd.reportPv(linesDone, pass->depth, alpha, StopwatchElapsed(&searchStopwatch), pvOut,
                          alpha >= beta ? 1 : 0);
    return true;
}

// A raise to v that reaches beta cuts the node, unless beta was capped
// below the saved beta (and v stays below that too): the move is then
// searched again with the saved beta.
static bool RaiseMeetsCap(const SearchNode *node, int depth, int beta, int v) {
    return v >= beta && depth > 2 && beta < node->savedBeta && v < node->savedBeta;
}

// 13.3: a raise of a shared alpha, at a helper's root or at the owner's
// split node, goes under the lock and starts a new search generation: the
// other threads drop what they searched under the lower bound. A raise
// that meets a capped beta widens it first, so that no thread reading the
// window ever sees the node cut by it. *betaMet gets the beta the raise
// met. Returns false when another thread got there first.
static bool RaiseAlpha(SearchNode *node, int *beta, int *alpha, int v, int depth, int *betaMet,
                       bool *locked) {
    *locked = false;
    if (!BoundsAreShared(node)) {
        DEBUG_CHECK(SharedWriteIsLocked(node));
        *betaMet = LoadBound(beta);
        StoreBound(alpha, v);
        return true;
    }
    EnterSplitLock(node->position);
    if (LoadBound(alpha) >= v) {
        LeaveSplitLock();
        return false;
    }
    *betaMet = LoadBound(beta);
    if (RaiseMeetsCap(node, depth, *betaMet, v))
        StoreBound(beta, node->savedBeta);
    StoreRaisedAlpha(alpha, v);
    node->position->generation = ++splitGeneration;
    *locked = true;
    return true;
}

static void UpdateKillersAndReplies(SearchNode *node, const SearchNode *child, Move *killers,
                                    const MovePass *pass) {
    bool belowRoot = node->parent != nullptr;
    if (pass->move != killers[0] &&
        !(belowRoot && (pass->move == node->threatMove || pass->to == ToSquare(node->lastMove)))) {
        killers[1] = killers[0];
        killers[0] = pass->move;
    }
    if ((node->nodeFlags & NODE_ATTACKED) && !HasThreat(child->threatMove) &&
        pass->to != MoveFrom(node->attackSquares)) {
        Move *replies = node->sideRecord->replyMoves;
        int attacked = MoveTo(node->attackSquares);
        replies[attacked] = replies[attacked + 8];
        replies[attacked + 8] = pass->move;
    }
}

// 13.3-13.10: the move beat alpha. Raises alpha, killers, replies, the
// line and the bound flags; returns true when the move is to be searched
// again with the node's full window. No other thread writes the window
// meanwhile (it is this thread's alone, or this thread holds the lock), so
// alpha stays v and beta the one met, bar this raise's own widening.
static bool TakeBetterMove(SearchNode *node, int *beta, int *alpha, Move *killers, Move *pvOut,
                           const Move *excluded, const SearchNode *child, MovePass *pass, int v) {
    bool locked;
    int betaMet;
    if (!RaiseAlpha(node, beta, alpha, v, pass->depth, &betaMet, &locked)) {
        node->movesSeen++;
        return false;
    }
    // The killers, line, bounds and root report of the raise go under the
    // lock that alpha went under.
    DEBUG_CHECK(SharedWriteIsLocked(node));
    UpdateKillersAndReplies(node, child, killers, pass);
    pvOut[0] = pass->move;
    pvOut[1] = MOVE_NONE;
    bool again = false;
    if (!ReportRootLine(node, betaMet, v, killers, pvOut, excluded, pass)) {
        // stopped or made obsolete: the move is dropped
    } else if (v < betaMet) {
        node->hashFlags = HASH_EXACT;
        CopyLine(pvOut + 1, pass->childLine, PV_LENGTH - 1);
        if (node->futilityGap != -SCORE_INFINITE)
            node->futilityGap = v + evalMargin - node->score;
        node->threatScore = std::max(node->threatScore, v);
        node->movesSeen++;
    } else if (!RaiseMeetsCap(node, pass->depth, betaMet, v)) {
        node->movesSeen++;
        node->hashFlags = HASH_LOWER;
    } else {
        // The window was capped: search again with the saved beta.
        StoreBound(beta, node->savedBeta);
        if (node->parent && rootFirstMove)
            iterationDone = 0;
        again = true;
    }
    if (locked)
        LeaveSplitLock();
    return again;
}

// Steps 2 to 10 of a pass: settle the move or set up the child.
static void PrepareChild(SearchNode *node, SearchNode *child, const Move *excluded, int *alpha,
                         MovePass *pass) {
    Position *position = node->position;
    if (excluded) {
        CheckExclusionAndRoot(node, child, excluded, pass);
        if (pass->settled)
            return;
    }
    if (child->castleFlags & SCORE_FINAL) {
        Settle(pass, child->score);
        return;
    }
    if (pass->d > 7) {
        if (probeTablebaseHook && position->menCount <= maxTablebaseMen) {
            ProbeEndgameTable(node, child, pass);
            if (pass->settled)
                return;
        }
        pass->first |= LoadBound(alpha) == -SCORE_INFINITE;
    }
    RetestPendingThreat(node, child, pass);
    UpdateStandingThreat(node, pass);
    child->threatMove = node->auxSquare2 == NO_SQUARE
                            ? MakeMoveCode(NO_SQUARE, NO_SQUARE)
                            : MakeMoveCode(uint8_t(node->auxSquare1), uint8_t(node->auxSquare2));
    TestBadMove(node, child, pass);
    if (pass->settled)
        return;
    EvaluateChild(node, child, pass);
    ClassifyThreats(node, child, pass);
    ExtendChild(node, child, pass);
    ReduceChild(node, child, pass);
    FlagPawnEnding(child, pass);
}

void SearchMove(SearchNode *node, int depth, int *beta, int *alpha, Move *killers, Move *pvOut,
                Move move, SearchNode *child, const Move *excluded) {
    Position *position = node->position;
    MovePass pass;
    pass.move = move;
    pass.from = MoveFrom(move);
    pass.to = ToSquare(move);
    pass.mover = BoardAt(position, pass.from);
    pass.depth = depth;
    pass.attackMode = depth - 1 > 1 ? 7 : 6;
    pass.first = false;
    // A reduced child that fails high is searched again; the bound keeps a
    // child that stays reduced from being searched for ever.
    int nReducedSearches = 0;
    for (;;) {
        // 1-10. Make the move; settle it or set up the child.
        pass.d = depth - 1;
        pass.settled = false;
        pass.snapshot = nullptr;
        ClearLine(pass.childLine, PV_LENGTH);
        MakeMove(node, move, child);
        PrepareChild(node, child, excluded, alpha, &pass);
        // 11-12. Search the child.
        if (!pass.settled && !SearchChild(node, child, beta, alpha, &pass)) {
            RestoreEvaluation(node, &pass);
            UnmakeMove(child);
            if (!(node->nodeFlags & NODE_HELPER) || stopSearch || WindowIsClosed(beta, alpha))
                return;
            if (node->futilityGap != -SCORE_INFINITE)
                node->futilityGap = LoadBound(alpha) + evalMargin - node->score;
            node->threatScore = std::max(node->threatScore, LoadBound(alpha));
            position->generation = splitGeneration;
            pass.first = true;
            continue;
        }
        // 13. Take the move back and judge its score.
#ifdef VLM_DEBUG
        bool illegal = MoveIsIllegal(node, child);
#endif
        RestoreEvaluation(node, &pass);
        UnmakeMove(child);
        int v = -pass.childScore;
        if (v <= LoadBound(alpha)) {
            if (pass.childScore != SCORE_REFUSED)
                node->movesSeen++;
            return;
        }
        if ((child->nodeFlags & NODE_REDUCED) && !pass.settled && nReducedSearches++ < 3) {
            pass.first = true;
            continue;
        }
#ifdef VLM_DEBUG
        if (illegal)
            nIllegalRaises.fetch_add(1, std::memory_order_relaxed);
#endif
        if (!TakeBetterMove(node, beta, alpha, killers, pvOut, excluded, child, &pass, v))
            return;
        pass.first = true;
    }
}
