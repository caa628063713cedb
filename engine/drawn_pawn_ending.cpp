// Drawn pawn endings: a side with a single pawn (and at most a bishop that
// does not control the promotion square) cannot win when the defending king
// stands in front of the pawn, or in the corner of a rook pawn. Each side
// is tested on its own; a flag is only ever added.
#include "engine/drawn_pawn_ending.h"

#include "engine/attacks.h"
#include "engine/module_state.h"

enum EndingVerdict { VERDICT_SKIP, VERDICT_FLAG, VERDICT_ROOK_PAWN };

// Odd parity of s + b + b / 16: for a white pawn on s, a bishop on b that
// controls the promotion square; for a black pawn, one that does not.
static bool BishopParity(int s, int b) {
    return ((s + b + b / 16) & 1) != 0;
}

// The rook-pawn rule: defending king d at least 14 squares ahead of pawn s
// (distance counted towards promotion), in the corner files, or with
// kings and pawns only next to them while the attacking king a, on the
// pawn's file and ahead of the pawn, shuts itself in.
static bool RookPawnIsDrawn(int s, int d, int a, int distance, bool attackerAhead, bool noPieces) {
    if (distance < 14)
        return false;
    if (FileOf(s) == 0) {
        if (FileOf(d) <= 1)
            return true;
        return noPieces && FileOf(d) == 2 && FileOf(a) == 0 && attackerAhead;
    }
    if (FileOf(s) == 7) {
        if (FileOf(d) >= 6)
            return true;
        return noPieces && FileOf(d) == 5 && FileOf(a) == 7 && attackerAhead;
    }
    return false;
}

static EndingVerdict WhiteVerdict(const Position *position, int s, int w, int b) {
    // 1: a black pawn next to the pawn's front can capture it.
    if (BoardAt(position, s + 15)->code == BLACK_PAWN ||
        BoardAt(position, s + 17)->code == BLACK_PAWN)
        return VERDICT_SKIP;
    const PieceRecord *pawn = BoardAt(position, s);
    if (position->pieceMaterial != 0) {
        // 2: only a bishop that does not control the promotion square.
        const PieceRecord *bishop = pawn->next;
        if (bishop->kind != KIND_BISHOP || BishopParity(s, bishop->square))
            return VERDICT_SKIP;
        if (RankOf(b) != 7 && RankOf(w) >= RankOf(b))
            return VERDICT_SKIP;
        if (!settings.setupFlag)
            return VERDICT_SKIP;
        return VERDICT_ROOK_PAWN;
    }
    // 3: kings and pawns only.
    if (b == s + 16)
        return RankOf(b) < 7 ? VERDICT_FLAG : VERDICT_ROOK_PAWN;
    if (b == s + 32) {
        if (RankOf(b) == 7)
            return VERDICT_ROOK_PAWN;
        if (position->kinds[BLACK_PAWN].count == 0)
            return VERDICT_FLAG;
    }
    return VERDICT_ROOK_PAWN;
}

static EndingVerdict BlackVerdict(const Position *position, int s, int w, int b) {
    if (BoardAt(position, s - 15)->code == WHITE_PAWN ||
        BoardAt(position, s - 17)->code == WHITE_PAWN)
        return VERDICT_SKIP;
    const PieceRecord *pawn = BoardAt(position, s);
    if (position->pieceMaterial != 0) {
        const PieceRecord *bishop = pawn->next;
        if (bishop->kind != KIND_BISHOP || !BishopParity(s, bishop->square))
            return VERDICT_SKIP;
        if (RankOf(w) != 0 && RankOf(w) >= RankOf(b))
            return VERDICT_SKIP;
        if (!settings.setupFlag)
            return VERDICT_SKIP;
        return VERDICT_ROOK_PAWN;
    }
    if (s - w == 16)
        return RankOf(w) > 0 ? VERDICT_FLAG : VERDICT_ROOK_PAWN;
    if (s - w == 32) {
        if (RankOf(w) == 0)
            return VERDICT_ROOK_PAWN;
        if (position->kinds[WHITE_PAWN].count == 0)
            return VERDICT_FLAG;
    }
    return VERDICT_ROOK_PAWN;
}

// The flag is set unless the king of node.opponent stands attacked by its
// own side's men (the walk covers node.opponent's list).
static void FlagUnlessKingAttacked(SearchNode *node, int flag) {
    const Position *position = node->position;
    int kingSquare = position->kingByColour[node->opponent + 1]->square;
    if (!IsSquareAttacked(node, kingSquare))
        node->castleFlags |= flag;
}

void FlagDrawnPawnEndings(SearchNode *node) {
    Position *position = node->position;
    int w = position->kingByColour[WHITE + 1]->square;
    int b = position->kingByColour[BLACK + 1]->square;
    bool noPieces = position->pieceMaterial == 0;
    if (position->kinds[WHITE_PAWN].count == 1) {
        int s = position->whiteSide.head.next->square;
        EndingVerdict verdict = WhiteVerdict(position, s, w, b);
        if (verdict == VERDICT_ROOK_PAWN && RookPawnIsDrawn(s, b, w, b - s, w > s, noPieces))
            verdict = VERDICT_FLAG;
        if (verdict == VERDICT_FLAG)
            FlagUnlessKingAttacked(node, WHITE_CANNOT_WIN);
    }
    if (position->kinds[BLACK_PAWN].count == 1) {
        int s = position->blackSide.head.next->square;
        EndingVerdict verdict = BlackVerdict(position, s, w, b);
        if (verdict == VERDICT_ROOK_PAWN && RookPawnIsDrawn(s, w, b, s - w, b < s, noPieces))
            verdict = VERDICT_FLAG;
        if (verdict == VERDICT_FLAG)
            FlagUnlessKingAttacked(node, BLACK_CANNOT_WIN);
    }
}
