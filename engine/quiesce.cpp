// Quiescence search: stand pat on the node's running score, try a few
// candidate captures, then the captures of each man in list order. Most
// captures are scored by the opponent's recaptures on the square alone;
// only children that keep their side's quiet bit are searched again.
#include <algorithm>

#include "engine/attacks.h"
#include "engine/eval_work_area.h"
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/move_gen.h"
#include "engine/search.h"

// A killer that is a capture of an enemy man here, by the rule of its kind.
static bool KillerIsCaptureHere(const SearchNode *node, Move move) {
    const Position *position = node->position;
    if (IsUnderPromotion(move))
        return false;
    int from = MoveFrom(move), to = MoveTo(move);
    const PieceRecord *mover = BoardAt(position, from);
    const PieceRecord *target = BoardAt(position, to);
    if (mover->colour != node->side || !PieceIsMan(target) || target->colour == node->side)
        return false;
    if (mover->kind == KIND_PAWN)
        return to == from + 16 * node->side + 1 || to == from + 16 * node->side - 1;
    return ManAttacksSquare(position, mover, from, to);
}

static void PushCaptureMove(SearchNode *node, int from, int to) {
    PushMove(node, MakeMoveCode(from, to));
}

static void PushStepCaptures(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    for (const int32_t *step = man->steps; step && step <= man->stepsEnd; step++) {
        int to = man->square + *step;
        if (BoardAt(position, to)->colour == node->opponent)
            PushCaptureMove(node, man->square, to);
    }
}

static void PushSliderCaptures(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    for (const int32_t *step = man->steps; step <= man->stepsEnd; step++) {
        int to = man->square + *step;
        while (BoardAt(position, to) == &position->emptyRecord)
            to += *step;
        if (BoardAt(position, to)->colour == node->opponent)
            PushCaptureMove(node, man->square, to);
    }
}

static void PushPawnCaptures(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    int from = man->square, forward = 16 * man->colour;
    bool nearLastRank = man->colour == WHITE ? from > 79 : from < 48;
    if (nearLastRank && BoardAt(position, from + forward) == &position->emptyRecord)
        PushCaptureMove(node, from, from + forward);
    for (int side : {forward - man->colour, forward + man->colour}) {
        if (BoardAt(position, from + side)->colour == node->opponent)
            PushCaptureMove(node, from, from + side);
    }
}

// The captures of one man onto the node's candidate stack; false at the
// end of the side list.
static bool PushCapturesOfMan(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    switch (man->kind) {
        case KIND_EMPTY:
            return false;
        case KIND_KING:
            if (node->nodeFlags & NODE_EP_SQUARE) {
                int ep = node->epSquare, pawnCode = node->side == WHITE ? WHITE_PAWN : BLACK_PAWN;
                int back = -16 * node->side;
                for (int from : {ep + back + node->side, ep + back - node->side}) {
                    if (BoardAt(position, from)->code == pawnCode)
                        PushCaptureMove(node, from, ep);
                }
            }
            PushStepCaptures(node, man);
            return true;
        case KIND_KNIGHT:
            PushStepCaptures(node, man);
            return true;
        case KIND_PAWN:
            PushPawnCaptures(node, man);
            return true;
        default:
            PushSliderCaptures(node, man);
            return true;
    }
}

// The child's side recaptures on the square of the move just made, each
// recapture scored by the capture search; the best result, from the
// child's view, at least lower.
static int ExchangeTest(SearchNode *child, int lower, int alpha) {
    Position *position = child->position;
    int r = child->score;
    if (lower < r) {
        if (r >= -alpha)
            return r;
        lower = r;
    }
    int square = ToSquare(child->lastMove);
    if (tempoBase + lower - child->score - BoardAt(position, square)->squareValue >= 30)
        return lower;
    for (PieceRecord *man = child->sideRecord->head.next; man != &position->emptyRecord;
         man = man->next) {
        if (!ManAttacksSquare(position, man, man->square, square))
            continue;
        SearchNode grandchild;
        grandchild.pv[0] = grandchild.pv[1] = MOVE_NONE;
        MakeMove(child, MakeMoveCode(man->square, square), &grandchild);
        int value = (grandchild.castleFlags & SCORE_FINAL)
                        ? -grandchild.score
                        : -SearchCaptures(&grandchild, -lower, alpha, nullptr);
        UnmakeMove(&grandchild);
        if (value > lower) {
            lower = value;
            if (value >= -alpha)
                break;
        }
    }
    return lower;
}

// Score of one capture from the child's view (steps of the move loop).
// moverKind is the moving man's kind before the move: a promotion has
// turned the man on the to-square into another kind.
static int ScoreQuiesceChild(SearchNode *node, SearchNode *child, Move move, int moverKind,
                             int beta, int alpha, Move *childLine) {
    if (child->castleFlags & SCORE_FINAL)
        return child->score;
    int lower = -beta;
    if (beta > 0 && (child->castleFlags & node->sideRecord->cannotWinFlag)) {
        if (alpha >= 0)
            return 0;
        lower = 0;
    }
    int quietBits = child->castleFlags & node->sideRecord->clearMask;
    bool deeper = (quietBits & (CASTLE_QUIET_WHITE | CASTLE_QUIET_BLACK)) &&
                  (move != node->threatMove || (node->castleFlags & CASTLE_NULL_CHILD));
    if (!deeper)
        return ExchangeTest(child, lower, alpha);
    int from = MoveFrom(move), to = ToSquare(move);
    const PieceRecord *mover = BoardAt(node->position, to);
    bool inCheck = NodeInCheck(node) && node->searchInfo == 0;
    bool pawnStep = moverKind == KIND_PAWN && ((to - from) & 0x0F) == 0;
    if (inCheck && !pawnStep && to != MoveFrom(node->attackSquares) && mover->kind != KIND_KING)
        return SCORE_INFINITE;
    if (FindAttacker(to, mover, 11) != NO_SQUARE && !HasThreat(child->threatMove))
        return ExchangeTest(child, lower, alpha);
    return Quiesce(child, -alpha, lower, node->pv, childLine);
}

// Killer captures, recaptures on the last move's square and the threat
// move, pushed so that the threat move comes out first.
static void PushQuiesceCandidates(SearchNode *node, const Move *killers) {
    if (IsMove(killers[0])) {
        if (IsMove(killers[1]) && !HasThreat(node->threatMove) &&
            KillerIsCaptureHere(node, killers[1]))
            PushMove(node, killers[1]);
        if (KillerIsCaptureHere(node, killers[0]))
            PushMove(node, killers[0]);
    }
    PushCaptures(node, ToSquare(node->lastMove));
    if (HasThreat(node->threatMove))
        PushMove(node, node->threatMove);
}

int Quiesce(SearchNode *node, int beta, int alpha, Move *killers, Move *pvOut) {
    Position *position = node->position;
    int standPat = node->score;
    // A capture tree can take seconds in wild positions: once the search
    // is stopped its result is thrown away, so unwind at once.
    if (stopSearch.load(std::memory_order_relaxed))
        return standPat;
    if (alpha < standPat) {
        if (standPat >= beta)
            return standPat;
        alpha = standPat;
    }
    node->futilityGap = evalMargin + alpha - standPat;
    PushQuiesceCandidates(node, killers);

    Move tried[N_CANDIDATES];
    int nTried = 0;
    bool generating = false;
    for (;;) {
        Move move;
        if (!generating && node->moveCursor > node->candidates) {
            move = *--node->moveCursor;
            tried[nTried++] = move;
            if (!CandidateIsPlayable(node, move))
                continue;
        } else {
            generating = true;
            if (node->moveCursor == node->candidates) {
                node->currentPiece = node->currentPiece->next;
                if (!PushCapturesOfMan(node, node->currentPiece))
                    return alpha;
                continue;
            }
            move = *--node->moveCursor;
            if (std::find(tried, tried + nTried, move) != tried + nTried)
                continue;
        }
        // Delta test: only captures that can lift the score past the gap.
        int from = MoveFrom(move), to = ToSquare(move);
        const PieceRecord *mover = BoardAt(position, from);
        bool enPassant =
            (node->nodeFlags & NODE_EP_SQUARE) && to == node->epSquare && mover->kind == KIND_PAWN;
        int gain =
            mover->squareTable[to] + BoardAt(position, to)->squareValue - mover->squareTable[from];
        if (!(node->futilityGap < gain || enPassant))
            continue;

        SearchNode child;
        child.pv[0] = child.pv[1] = MOVE_NONE;
        Move childLine[PV_LENGTH];
        ClearLine(childLine, PV_LENGTH);
        int moverKind = mover->kind;
        MakeMove(node, move, &child);
        int r = ScoreQuiesceChild(node, &child, move, moverKind, beta, alpha, childLine);
        UnmakeMove(&child);
        int v = -r;
        if (v <= alpha)
            continue;
        if (move != killers[0] && move != node->threatMove && to != ToSquare(node->lastMove)) {
            killers[1] = killers[0];
            killers[0] = move;
        }
        pvOut[0] = move;
        pvOut[1] = childLine[0];
        if (v >= beta)
            return v;
        node->futilityGap = v + evalMargin - node->score;
        alpha = v;
    }
}
