// MakeMove and UnmakeMove. Captured men leave their list but keep their
// links, so unmaking relinks them in place; counts, material, pawn files and
// square values change only for the men involved. Keys are not touched here.
#include "engine/make_move.h"

#include "engine/attacks.h"
#include "engine/board.h"
#include "engine/board_check.h"
#include "engine/debug_check.h"
#include "engine/module_state.h"

int32_t RookSquareValue(const Position *position, int square) {
    int32_t value =
        BoardAt(position, square)->squareTable[square] + position->kinds[WHITE_ROOK].effectiveValue;
    int file = FileOf(square);
    if (PawnsOnFile(&position->whiteSide, file) == 0 &&
        PawnsOnFile(&position->blackSide, file) == 0)
        value += position->evalArea.rookOpenFileBonus;
    return value;
}

// Recomputes the four starting rooks on file (a file opened or closed).
// The sum is in white's favour.
static int32_t RecomputeRooksOnFile(Position *position, int file) {
    int32_t sum = 0;
    for (int record : STARTING_ROOK_RECORDS) {
        PieceRecord *rook = &position->men[record];
        if ((rook->square & 0x0F) != file)
            continue;
        int32_t old = rook->squareValue;
        rook->squareValue = RookSquareValue(position, rook->square);
        sum += rook->colour == WHITE ? rook->squareValue - old : old - rook->squareValue;
    }
    return sum;
}

static int32_t IsolationChange(const EvalWorkArea *area, int x, const SideRecord *own, int file) {
    int32_t change = 0;
    for (int direction = -1; direction <= 1; direction += 2) {
        int neighbour = file + direction;
        int outer = file + 2 * direction;
        int32_t n = PawnsOnFile(own, neighbour);
        if (PawnsOnFile(own, outer) == 0 && n > 0)
            change +=
                n == 1 ? area->isolatedSingle[x][neighbour] : area->isolatedMulti[x][neighbour];
    }
    return change;
}

// A pawn of colour leaves file f: the change in colour's favour.
static int32_t PawnLeavesFile(Position *position, int colour, int f) {
    SideRecord *own = position->sideByColour[colour + 1];
    const SideRecord *other = own->opponent;
    const EvalWorkArea *area = &position->evalArea;
    int x = SideIndex(colour);
    int32_t r = 0;
    if (PawnsOnFile(own, f - 1) == 0 && PawnsOnFile(own, f + 1) == 0)
        r = area->isolatedSingle[x][f];
    if (--PawnsOnFile(own, f) > 0)
        return r;
    r -= IsolationChange(area, x, own, f);
    if (PawnsOnFile(other, f) == 0) {
        int32_t sum = RecomputeRooksOnFile(position, f);
        r += colour == WHITE ? sum : -sum;
    }
    return r;
}

// A pawn of colour enters file f: the change in colour's favour.
static int32_t PawnEntersFile(Position *position, int colour, int f) {
    SideRecord *own = position->sideByColour[colour + 1];
    const SideRecord *other = own->opponent;
    const EvalWorkArea *area = &position->evalArea;
    int x = SideIndex(colour);
    int32_t r = 0;
    if (PawnsOnFile(own, f - 1) == 0 && PawnsOnFile(own, f + 1) == 0)
        r = -area->isolatedSingle[x][f];
    if (PawnsOnFile(own, f)++ > 0)
        return r;
    r += IsolationChange(area, x, own, f);
    if (PawnsOnFile(other, f) == 0) {
        int32_t sum = RecomputeRooksOnFile(position, f);
        r += colour == WHITE ? sum : -sum;
    }
    return r;
}

// Unmake's pawn-file count change, with the rooks recomputed when the file
// turns between open and not open.
static void AdjustPawnFile(Position *position, int colour, int file, int delta) {
    SideRecord *own = position->sideByColour[colour + 1];
    bool wasOpen = PawnsOnFile(own, file) == 0 && PawnsOnFile(own->opponent, file) == 0;
    PawnsOnFile(own, file) += delta;
    bool isOpen = PawnsOnFile(own, file) == 0 && PawnsOnFile(own->opponent, file) == 0;
    if (wasOpen != isOpen)
        RecomputeRooksOnFile(position, file);
}

static SideRecord *SideOf(Position *position, const PieceRecord *man) {
    return position->sideByColour[man->colour + 1];
}

static void UnlinkMan(Position *position, PieceRecord *man) {
    man->prev->next = man->next;
    if (man->next == &position->emptyRecord)
        SideOf(position, man)->head.prev = man->prev;
    else
        man->next->prev = man->prev;
}

static void RelinkMan(Position *position, PieceRecord *man) {
    man->prev->next = man;
    if (man->next == &position->emptyRecord)
        SideOf(position, man)->head.prev = man;
    else
        man->next->prev = man;
}

// Cannot-win flags after a capture: a side without pawns, rooks and queens
// whose minor pieces cannot mate.
static void FlagInsufficientMaterial(const Position *position, SearchNode *child) {
    const PieceKindRecord *k = position->kinds;
    if (k[WHITE_PAWN].count + k[WHITE_ROOK].count + k[WHITE_QUEEN].count == 0) {
        int minors = k[WHITE_BISHOP].count + k[WHITE_KNIGHT].count;
        if ((k[WHITE_BISHOP].count == 0 && k[WHITE_KNIGHT].count <= 2 &&
             k[BLACK_PAWN].count == 0) ||
            minors <= 1)
            child->castleFlags |= WHITE_CANNOT_WIN;
    }
    if (k[BLACK_PAWN].count + k[BLACK_ROOK].count + k[BLACK_QUEEN].count == 0) {
        int minors = k[BLACK_BISHOP].count + k[BLACK_KNIGHT].count;
        if ((k[BLACK_BISHOP].count == 0 && k[BLACK_KNIGHT].count <= 2 &&
             k[WHITE_PAWN].count == 0) ||
            minors <= 1)
            child->castleFlags |= BLACK_CANNOT_WIN;
    }
}

// The first irreversible move takes the no-progress pull out of the score.
static void DropNoProgressPull(const Position *position, SearchNode *child) {
    if (!(child->castleFlags & NO_PROGRESS_PULL_ON))
        return;
    child->castleFlags &= ~NO_PROGRESS_PULL_ON;
    if (child->opponent == rootSide)
        child->score -= position->noProgressPull;
    else
        child->score += position->noProgressPull;
}

// Step 5 of MakeMove: the capture. Returns false when the child is final
// (a king was captured).
static bool MakeCapture(Position *position, const SearchNode *node, SearchNode *child,
                        PieceRecord *mover, int from, int to) {
    PieceRecord *captured = child->capturedPiece;
    child->score -= captured->squareValue;
    UnlinkMan(position, captured);
    captured->square += 8;
    captured->kindRecord->count--;
    position->menCount--;
    if (captured->kind == KIND_PAWN) {
        const SideRecord *side = position->sideByColour[child->side + 1];
        child->score += PawnLeavesFile(position, child->side, to & 7);
        child->score -= side->pawnSquareTable[to] + side->pawnSquareTable[to + 8];
    } else {
        position->pieceMaterial -= captured->value;
        if (position->pieceMaterial == 0)
            child->nodeFlags |= NODE_NO_PIECES;
    }
    if (mover->kind == KIND_PAWN) {
        child->score -= PawnEntersFile(position, node->side, to & 7);
        child->score -= PawnLeavesFile(position, node->side, from & 7);
    }
    if (captured->kind == KIND_KING) {
        child->score = -SCORE_MATE;
        child->castleFlags |= SCORE_FINAL;
        return false;
    }
    FlagInsufficientMaterial(position, child);
    child->halfMoves = 0;
    DropNoProgressPull(position, child);
    return true;
}

// Step 6 of MakeMove: a quiet move counts towards the fifty-move limit and
// the reversal draw. Returns false when the child is final.
static bool CountReversibleMove(const SearchNode *node, SearchNode *child, const PieceRecord *mover,
                                int from, int to) {
    child->halfMoves = node->halfMoves + 1;
    if (child->halfMoves < 3)
        return true;
    if (child->halfMoves >= 100 && mover->kind != KIND_PAWN)
        child->castleFlags |= child->side == WHITE ? WHITE_CANNOT_WIN : BLACK_CANNOT_WIN;
    const SearchNode *grandparent = node->parent;
    if (!grandparent || MoveFrom(grandparent->lastMove) != to ||
        MoveTo(grandparent->lastMove) != from)
        return true;
    // A piece that returns onto the path the opponent's last move just
    // crossed does not undo anything.
    int pf = MoveFrom(node->lastMove);
    int pt = RealSquare(MoveTo(node->lastMove));
    int d = StepFor(pt - pf);
    if (StepFor(pt - to) == d && StepFor(to - pf) == d)
        return true;
    child->reversals = node->reversals + 1;
    if (child->reversals >= 6) {
        child->score = 0;
        child->castleFlags |= SCORE_FINAL;
        return false;
    }
    return true;
}

static PieceKindRecord *PromotedKind(Position *position, int toByte, int colour) {
    if (toByte < 0x80)
        return &position->kinds[colour == WHITE ? WHITE_QUEEN : BLACK_QUEEN];
    if (toByte < 0x90)
        return &position->kinds[WHITE_ROOK];
    if (toByte < 0xA0)
        return &position->kinds[WHITE_BISHOP];
    if (toByte < 0xD0)
        return &position->kinds[WHITE_KNIGHT];
    if (toByte < 0xE0)
        return &position->kinds[BLACK_KNIGHT];
    if (toByte < 0xF0)
        return &position->kinds[BLACK_BISHOP];
    return &position->kinds[BLACK_ROOK];
}

static void MakePromotion(Position *position, const SearchNode *node, SearchNode *child,
                          PieceRecord *mover, int toByte, int to) {
    mover->kindRecord->count--;
    PieceKindRecord *kind = PromotedKind(position, toByte, node->side);
    child->nodeFlags |= NODE_SPECIAL_MOVE;
    if (position->pieceMaterial == 0)
        child->nodeFlags |= NODE_NO_PIECES;
    kind->count++;
    SetPieceKind(mover, kind);
    int32_t old = mover->squareValue;
    mover->squareValue = mover->squareTable[to] + mover->effectiveValue;
    child->score += old - mover->squareValue;
    position->pieceMaterial += mover->value;
    child->score -= PawnLeavesFile(position, node->side, to & 7);
}

static void MakeCastle(Position *position, SearchNode *child, int from, int to) {
    int rookFrom = to == from + 2 ? to + 1 : to - 2;
    int rookTo = to == from + 2 ? to - 1 : to + 1;
    PieceRecord *rook = BoardAt(position, rookFrom);
    BoardAt(position, rookFrom) = &position->emptyRecord;
    BoardAt(position, rookTo) = rook;
    rook->square = rookTo;
    child->nodeFlags |= NODE_SPECIAL_MOVE;
    int32_t old = rook->squareValue;
    rook->squareValue = RookSquareValue(position, rookTo);
    child->score += old - rook->squareValue;
}

// Step 7 of MakeMove: what the mover's kind adds.
static void MakeKindEffects(Position *position, const SearchNode *node, SearchNode *child,
                            PieceRecord *mover, int from, int toByte, int to) {
    switch (mover->kind) {
        case KIND_PAWN: {
            if (RankOf(to) == 7 || RankOf(to) == 0)
                MakePromotion(position, node, child, mover, toByte, to);
            else if (to - from == 32 * node->side) {
                child->nodeFlags |= NODE_EP_SQUARE;
                child->epSquare = to - 16 * node->side;
            }
            if (child->capturedPiece == &position->emptyRecord) {
                const SideRecord *side = position->sideByColour[node->side + 1];
                child->score += side->pawnSquareTable[from] - side->pawnSquareTable[to];
                child->halfMoves = 0;
                DropNoProgressPull(position, child);
            }
            break;
        }
        case KIND_ROOK: {
            int32_t old = mover->squareValue;
            mover->squareValue = RookSquareValue(position, to);
            child->score += old - mover->squareValue;
            break;
        }
        case KIND_KING:
            if (to == from + 2 || to == from - 2)
                MakeCastle(position, child, from, to);
            child->castleFlags &= node->side == WHITE
                                      ? ~(CASTLE_WHITE_KING_SIDE | CASTLE_WHITE_QUEEN_SIDE)
                                      : ~(CASTLE_BLACK_KING_SIDE | CASTLE_BLACK_QUEEN_SIDE);
            break;
        default:
            break;
    }
}

void MakeMove(SearchNode *node, Move move, SearchNode *child) {
    Position *position = node->position;
    int from = MoveFrom(move);
    int toByte = MoveTo(move);
    int to = RealSquare(toByte);
    DEBUG_CHECK(SquareIsOnBoard(from) && SquareIsOnBoard(to));
    DEBUG_CHECK(BoardAt(position, from)->colour == node->side);
    // Step 1: child basics.
    position->nodes++;
    child->castleFlags = node->castleFlags;
    child->nodeFlags = 0;
    child->side = node->opponent;
    child->opponent = node->side;
    child->sideRecord = node->sideRecord->opponent;
    child->parent = node;
    child->ply = node->ply + 1;
    child->position = position;
    child->reversals = 0;
    child->epSquare = NO_SQUARE;
    child->moveCursor = child->candidates;
    child->currentPiece = &child->sideRecord->head;
    // Step 2: the board.
    PieceRecord *mover = BoardAt(position, from);
    BoardAt(position, from) = &position->emptyRecord;
    child->capturedPiece = BoardAt(position, to);
    BoardAt(position, to) = mover;
    mover->square = to;
    // Step 3: square value and running score.
    child->savedSquareValue = mover->squareValue;
    mover->squareValue = mover->squareTable[to] + mover->effectiveValue;
    child->score = tempoBase - node->score - (mover->squareValue - child->savedSquareValue);
    child->threatMove = MOVE_NONE;
    child->lastMove = move;
    // Step 4: en passant takes the pawn behind the target square.
    if ((node->nodeFlags & NODE_EP_SQUARE) && to == node->epSquare && mover->kind == KIND_PAWN) {
        int victim = to + 16 * child->side;
        child->capturedPiece = BoardAt(position, victim);
        BoardAt(position, victim) = &position->emptyRecord;
        child->nodeFlags |= NODE_SPECIAL_MOVE;
    }
    // Steps 5 and 6: capture, or a reversible move.
    if (child->capturedPiece != &position->emptyRecord) {
        if (!MakeCapture(position, node, child, mover, from, to))
            return;
    } else if (!CountReversibleMove(node, child, mover, from, to)) {
        return;
    }
    // Step 7: the mover's kind.
    MakeKindEffects(position, node, child, mover, from, toByte, to);
    DEBUG_CHECK(PositionIsOk(position));
}

static void UnmakeSpecialMove(Position *position, const SearchNode *child, PieceRecord *mover,
                              int from, int to) {
    if (mover->kind == KIND_KING) {
        int rookHome = to == from + 2 ? to + 1 : to - 2;
        int rookNow = to == from + 2 ? to - 1 : to + 1;
        PieceRecord *rook = BoardAt(position, rookNow);
        BoardAt(position, rookNow) = &position->emptyRecord;
        BoardAt(position, rookHome) = rook;
        rook->square = rookHome;
        rook->squareValue = RookSquareValue(position, rookHome);
    } else if (mover->kind == KIND_PAWN) {
        BoardAt(position, to) = &position->emptyRecord;
        BoardAt(position, to + 16 * child->side) = child->capturedPiece;
    } else {
        mover->kindRecord->count--;
        position->pieceMaterial -= mover->value;
        PieceKindRecord *pawn = &position->kinds[mover->colour == WHITE ? WHITE_PAWN : BLACK_PAWN];
        SetPieceKind(mover, pawn);
        pawn->count++;
        AdjustPawnFile(position, mover->colour, to & 7, +1);
    }
}

void UnmakeMove(SearchNode *child) {
    Position *position = child->position;
    int from = MoveFrom(child->lastMove);
    int to = RealSquare(MoveTo(child->lastMove));
    PieceRecord *mover = BoardAt(position, to);
    PieceRecord *captured = child->capturedPiece;
    // Step 1: the mover goes back.
    BoardAt(position, from) = mover;
    BoardAt(position, to) = captured;
    mover->square = from;
    // Step 2: castling rook, en-passant victim, or the promoted man.
    if (child->nodeFlags & NODE_SPECIAL_MOVE)
        UnmakeSpecialMove(position, child, mover, from, to);
    // Step 3: the captured man returns to its list.
    if (captured != &position->emptyRecord) {
        RelinkMan(position, captured);
        captured->square -= 8;
        captured->kindRecord->count++;
        position->menCount++;
        if (captured->kind == KIND_PAWN)
            AdjustPawnFile(position, captured->colour, to & 7, +1);
        else
            position->pieceMaterial += captured->value;
        if (mover->kind == KIND_PAWN) {
            AdjustPawnFile(position, mover->colour, from & 7, +1);
            AdjustPawnFile(position, mover->colour, to & 7, -1);
        }
    }
    // Step 4.
    mover->squareValue = child->savedSquareValue;
    DEBUG_CHECK(PositionIsOk(position));
}

void UpdateNodeAfterMove(SearchNode *child) {
    const SearchNode *parent = child->parent;
    const Position *position = child->position;
    int from = MoveFrom(child->lastMove);
    int to = RealSquare(MoveTo(child->lastMove));
    const PieceRecord *mover = BoardAt(position, to);
    const PieceRecord *captured = child->capturedPiece;
    HashKey key = parent->key;
    XorKey(&key, &mover->keyTable[from]);
    XorKey(&key, &mover->keyTable[to]);
    key.lock32 ^= KEY_BLACK_TO_MOVE;
    if (captured != &position->emptyRecord)
        XorKey(&key, &captured->keyTable[to]);
    if (child->nodeFlags & NODE_SPECIAL_MOVE) {
        if (mover->kind == KIND_PAWN) {
            // En passant: move the victim's term to its real square.
            XorKey(&key, &captured->keyTable[to - 16 * child->opponent]);
            XorKey(&key, &captured->keyTable[to]);
        } else if (mover->kind == KIND_KING) {
            const HashKey *rookKeys = BoardAt(position, to == from + 2 ? to - 1 : to + 1)->keyTable;
            XorKey(&key, &rookKeys[to == from + 2 ? to + 1 : to - 2]);
            XorKey(&key, &rookKeys[to == from + 2 ? to - 1 : to + 1]);
        } else {
            // Promotion: the pawn, not the new kind, stood on from.
            XorKey(&key, &mover->keyTable[from]);
            const PieceKindRecord *pawn =
                &position->kinds[mover->colour == WHITE ? WHITE_PAWN : BLACK_PAWN];
            XorKey(&key, &pawn->keyTable[from]);
        }
    }
    child->key = key;
}

void FixCastlingRights(SearchNode *node) {
    const Position *position = node->position;
    if (node->castleFlags & (CASTLE_WHITE_KING_SIDE | CASTLE_WHITE_QUEEN_SIDE)) {
        if (BoardAt(position, SQUARE_A1)->code != WHITE_ROOK)
            node->castleFlags &= ~CASTLE_WHITE_QUEEN_SIDE;
        if (BoardAt(position, SQUARE_H1)->code != WHITE_ROOK)
            node->castleFlags &= ~CASTLE_WHITE_KING_SIDE;
    }
    if (node->castleFlags & (CASTLE_BLACK_KING_SIDE | CASTLE_BLACK_QUEEN_SIDE)) {
        if (BoardAt(position, SQUARE_A8)->code != BLACK_ROOK)
            node->castleFlags &= ~CASTLE_BLACK_QUEEN_SIDE;
        if (BoardAt(position, SQUARE_H8)->code != BLACK_ROOK)
            node->castleFlags &= ~CASTLE_BLACK_KING_SIDE;
    }
}

void MakeNullMove(SearchNode *node, SearchNode *child) {
    Position *position = node->position;
    child->castleFlags = node->castleFlags;
    child->position = position;
    child->nodeFlags = 0;
    child->side = node->opponent;
    child->opponent = node->side;
    child->sideRecord = node->sideRecord->opponent;
    child->parent = node;
    child->ply = node->ply + 1;
    child->matedScore = node->matedScore + 1;
    child->capturedPiece = &position->emptyRecord;
    child->moveCursor = child->candidates;
    child->currentPiece = &child->sideRecord->head;
    child->reversals = 0;
    child->score = tempoBase - node->score;
    child->threatMove = (node->nodeFlags & NODE_ATTACKED) ? node->attackSquares : MOVE_NONE;
    child->lastMove = MOVE_NONE;
    child->halfMoves = node->halfMoves + 1;
    child->savedSquareValue = 0;
    child->epSquare = NO_SQUARE;
    child->key = node->key;
    child->key.lock32 ^= KEY_BLACK_TO_MOVE;
}
