// Move generation. The stack is read from the top, so a man's moves come
// out in reverse push order; men come in list order, except that an
// attacked man of the side to move goes first. Castling is the only move
// tested for attacked squares; everything else is pseudo-legal.
#include "engine/move_gen.h"

#include "engine/attacks.h"
#include "engine/debug_check.h"

static inline bool TargetIsOpen(const Position *position, const PieceRecord *target, int opponent) {
    return target == &position->emptyRecord || target->colour == opponent;
}

static void PushStepMoves(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    int from = man->square;
    for (const int32_t *step = man->steps; step <= man->stepsEnd; step++) {
        int to = from + *step;
        if (TargetIsOpen(position, BoardAt(position, to), node->opponent))
            PushMove(node, MakeMoveCode(from, to));
    }
}

static void PushSliderMoves(SearchNode *node, const PieceRecord *man) {
    const Position *position = node->position;
    const PieceRecord *empty = &position->emptyRecord;
    int from = man->square;
    for (const int32_t *step = man->steps; step <= man->stepsEnd; step++) {
        int to = from + *step;
        const PieceRecord *target;
        while ((target = BoardAt(position, to)) == empty) {
            PushMove(node, MakeMoveCode(from, to));
            to += *step;
        }
        if (target->colour == node->opponent)
            PushMove(node, MakeMoveCode(from, to));
    }
}

static bool CastlingPathIsSafe(const SearchNode *node, int king, int crossed) {
    return !IsSquareAttacked(node, king) && !IsSquareAttacked(node, crossed);
}

static void PushKingMoves(SearchNode *node, const PieceRecord *king) {
    const Position *position = node->position;
    const PieceRecord *empty = &position->emptyRecord;
    int g = king->square;
    int side = node->side;
    int kingSideRight = side == WHITE ? CASTLE_WHITE_KING_SIDE : CASTLE_BLACK_KING_SIDE;
    int queenSideRight = side == WHITE ? CASTLE_WHITE_QUEEN_SIDE : CASTLE_BLACK_QUEEN_SIDE;
    int ownRook = side == WHITE ? WHITE_ROOK : BLACK_ROOK;
    if ((node->castleFlags & kingSideRight) && BoardAt(position, g + 1) == empty &&
        BoardAt(position, g + 2) == empty && BoardAt(position, g + 3)->code == ownRook &&
        CastlingPathIsSafe(node, g, g + 1))
        PushMove(node, MakeMoveCode(g, g + 2));
    if ((node->castleFlags & queenSideRight) && BoardAt(position, g - 1) == empty &&
        BoardAt(position, g - 2) == empty && BoardAt(position, g - 3) == empty &&
        BoardAt(position, g - 4)->code == ownRook && CastlingPathIsSafe(node, g, g - 1))
        PushMove(node, MakeMoveCode(g, g - 2));
    // En passant comes with the king, the last man of the list.
    if (node->nodeFlags & NODE_EP_SQUARE) {
        int e = node->epSquare;
        int ownPawn = side == WHITE ? WHITE_PAWN : BLACK_PAWN;
        int near = side == WHITE ? e - 15 : e + 15;
        int far = side == WHITE ? e - 17 : e + 17;
        if (BoardAt(position, near)->code == ownPawn)
            PushMove(node, MakeMoveCode(near, e));
        if (BoardAt(position, far)->code == ownPawn)
            PushMove(node, MakeMoveCode(far, e));
    }
    PushStepMoves(node, king);
}

// Under-promotions move the to byte off the board: +0x10 rook, +0x20
// bishop, +0x30 knight on rank 8, subtracted on rank 1.
static void PushPawnMove(SearchNode *node, int from, int to, bool promotes) {
    if (promotes) {
        int sign = node->side;
        for (int offset = 0x10; offset <= 0x30; offset += 0x10)
            PushMove(node, MakeMoveCode(from, (to + sign * offset) & 0xFF));
    }
    PushMove(node, MakeMoveCode(from, to));
}

static void PushPawnMoves(SearchNode *node, const PieceRecord *pawn) {
    const Position *position = node->position;
    const PieceRecord *empty = &position->emptyRecord;
    int g = pawn->square;
    int side = node->side;
    int ahead = 16 * side;
    bool promotes = side == WHITE ? RankOf(g) == 6 : RankOf(g) == 1;
    bool home = side == WHITE ? RankOf(g) == 1 : RankOf(g) == 6;
    if (BoardAt(position, g + ahead) == empty) {
        PushPawnMove(node, g, g + ahead, promotes);
        if (home && BoardAt(position, g + 2 * ahead) == empty)
            PushMove(node, MakeMoveCode(g, g + 2 * ahead));
    }
    for (int to : {g + 15 * side, g + 17 * side}) {
        if (BoardAt(position, to)->colour == node->opponent)
            PushPawnMove(node, g, to, promotes);
    }
}

static void PushMovesOfMan(SearchNode *node, const PieceRecord *man) {
    switch (man->kind) {
        case KIND_KING:
            PushKingMoves(node, man);
            break;
        case KIND_KNIGHT:
            PushStepMoves(node, man);
            break;
        case KIND_PAWN:
            PushPawnMoves(node, man);
            break;
        default:
            PushSliderMoves(node, man);
            break;
    }
}

// The next man of the walk: an attacked man of the side to move first,
// then the list from its head without it.
static PieceRecord *NextMan(SearchNode *node) {
    PieceRecord *head = &node->sideRecord->head;
    PieceRecord *current = node->currentPiece;
    PieceRecord *attacked = node->attackedPiece;
    if ((node->nodeFlags & NODE_ATTACKED) && attacked && attacked->colour == node->side) {
        PieceRecord *next = current == head       ? attacked
                            : current == attacked ? head->next
                                                  : current->next;
        if (next == attacked && current != head)
            next = next->next;
        return next;
    }
    return current->next;
}

Move NextMove(SearchNode *node, Move *out) {
    const PieceRecord *empty = &node->position->emptyRecord;
    while (node->moveCursor == node->candidates) {
        if (node->currentPiece == empty) {
            *out = MOVE_NONE;
            return MOVE_NONE;
        }
        node->currentPiece = NextMan(node);
        if (node->currentPiece == empty) {
            *out = MOVE_NONE;
            return MOVE_NONE;
        }
        PushMovesOfMan(node, node->currentPiece);
    }
    *out = *--node->moveCursor;
    return *out;
}

static bool PawnMoveIsPseudoLegal(const Position *position, int side, int from, int to) {
    const PieceRecord *empty = &position->emptyRecord;
    int e = from + 16 * side;
    // Captures must take an enemy man: an en-passant capture is refused.
    if (to == e + 1 || to == e - 1)
        return BoardAt(position, to)->colour == -side;
    if (BoardAt(position, to) != empty)
        return false;
    if (to == e)
        return true;
    int fromRank = RankOf(from);
    return BoardAt(position, e) == empty && to - e == 16 * side && (fromRank <= 1 || fromRank >= 6);
}

void PushIfPseudoLegal(SearchNode *node, Move move) {
    const Position *position = node->position;
    int side = node->side;
    int from = MoveFrom(move);
    int to = MoveTo(move);
    // Moves from other positions may carry any bytes: both ends must be
    // squares before any table is indexed by their difference.
    if (IsUnderPromotion(move) || !SquareIsOnBoard(from) || !SquareIsOnBoard(to))
        return;
    const PieceRecord *man = BoardAt(position, from);
    if (man->colour != side || BoardAt(position, to)->colour == side)
        return;
    bool accepted;
    if (man->kind == KIND_PAWN)
        accepted = PawnMoveIsPseudoLegal(position, side, from, to);
    else
        accepted = ManAttacksSquare(position, man, from, to);
    if (accepted)
        PushMove(node, move);
}

void PushCaptures(SearchNode *node, int square) {
    if (!SquareIsOnBoard(square))  // also NO_SQUARE
        return;
    const Position *position = node->position;
    const PieceRecord *empty = &position->emptyRecord;
    const PieceRecord *first = node->sideRecord->head.next;
    while (first != empty && !ManAttacksSquare(position, first, first->square, square))
        first = first->next;
    if (first == empty)
        return;
    const PieceRecord *second = first->next;
    while (second != empty && !ManAttacksSquare(position, second, second->square, square))
        second = second->next;
    if (second != empty)
        PushMove(node, MakeMoveCode(second->square, square));
    PushMove(node, MakeMoveCode(first->square, square));
}
