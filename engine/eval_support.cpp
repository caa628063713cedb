// Board reads shared by the evaluation files: attacker walks over a side
// list, the king centralisation table, and the work-area reset that every
// evaluation starts from. Map pointers always point into the Position.
#include <cstring>

#include "engine/eval_terms.h"

bool ManAttacks(const Position *pos, const PieceRecord *man, int target) {
    int difference = target - man->square;
    if (difference < -119 || difference > 119 || difference == 0)
        return false;
    if (!(LineMask(difference) & man->attackMask))
        return false;
    if (!(man->attackMask & ATTACK_SLIDERS))
        return true;
    int step = LineStep(difference);
    int square = man->square + step;
    while (square != target) {
        if (!SquareIsEmpty(pos, square))
            return false;
        square += step;
    }
    return true;
}

const PieceRecord *FirstAttacker(const Position *pos, int square, int colour) {
    const SideRecord *side = SideOf(pos, colour);
    for (const PieceRecord *man = side->head.next; !ListEnd(pos, man); man = man->next)
        if (ManAttacks(pos, man, square))
            return man;
    return nullptr;
}

// Rows -1..8, symmetric top to bottom; a shifted read stays inside.
static const int8_t KING_CENTRE[10][8] = {
    {0, 1, 2, 3, 3, 2, 1, 0}, {2, 2, 3, 4, 4, 3, 2, 2}, {2, 3, 4, 5, 5, 4, 3, 2},
    {3, 4, 5, 6, 6, 5, 4, 3}, {4, 5, 6, 7, 7, 6, 5, 4}, {4, 5, 6, 7, 7, 6, 5, 4},
    {3, 4, 5, 6, 6, 5, 4, 3}, {2, 3, 4, 5, 5, 4, 3, 2}, {2, 2, 3, 4, 4, 3, 2, 2},
    {0, 1, 2, 3, 3, 2, 1, 0},
};

int KingCentreValue(int index) {
    int row = (index + 16) >> 4;  // index - 16 of a1 gives row -1
    int file = index & 7;
    if (row < 0 || row > 9)
        return 0;
    return KING_CENTRE[row][file];
}

void LinkEvalSquareTables(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int16_t *byKind[6] = {area->pawnMap, area->knightMap, area->bishopMap,
                          area->rookMap, area->queenMap,  area->kingMap};
    for (int kind = KIND_PAWN; kind <= KIND_KING; kind++) {
        pos->kinds[kind].squareTable = byKind[kind - KIND_PAWN];
        pos->kinds[12 - kind].squareTable = byKind[kind - KIND_PAWN] + 8;
    }
    pos->kinds[EMPTY_CODE].squareTable = pos->emptySquareMap;
    for (int i = 0; i < N_MEN_RECORDS; i++)
        if (pos->men[i].kindRecord)
            pos->men[i].squareTable = pos->men[i].kindRecord->squareTable;
}

void ClearEvalWorkArea(Position *pos) {
    memset(&pos->evalArea, 0, sizeof pos->evalArea);
    for (int colour = -1; colour <= 1; colour += 2) {
        SideRecord *side = SideOf(pos, colour);
        memset(side->eval.pawnFlags, 0, sizeof side->eval.pawnFlags);
        memset(side->pawnSquareTable, 0, sizeof side->pawnSquareTable);
    }
}

void CountOpenFiles(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    const SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    area->openFiles = 0;
    area->symmetricFiles = 1;
    for (int file = 0; file < 8; file++) {
        int w = PawnsOnFile(white, file) > 0, b = PawnsOnFile(black, file) > 0;
        area->openFiles += !w && !b;
        if (w != b)
            area->symmetricFiles = 0;
    }
}

// Rank by rank, eight entries at a time, so that the compiler can scale a
// whole rank in one vector. With 0 <= f <= 64 a scaled entry never grows,
// so it always fits its 16 bits.
void ScaleKindValues(Position *pos, int f) {
    for (int code = 0; code < N_PIECE_CODES; code++) {
        if (code == EMPTY_CODE)
            continue;
        PieceKindRecord *kind = &pos->kinds[code];
        if (kind->kind != KIND_KING)
            kind->effectiveValue = ScaleBy(kind->effectiveValue, f);
        for (int rank = 0; rank < 8; rank++) {
            int16_t *row = kind->squareTable + 16 * rank;
            for (int file = 0; file < 8; file++)
                row[file] = int16_t(ScaleBy(row[file], f));
        }
    }
}

MaterialCounts CountMaterial(const Position *pos) {
    MaterialCounts c;
    c.wQ = KindCount(pos, WHITE_QUEEN), c.wR = KindCount(pos, WHITE_ROOK);
    c.wB = KindCount(pos, WHITE_BISHOP), c.wN = KindCount(pos, WHITE_KNIGHT);
    c.wP = KindCount(pos, WHITE_PAWN);
    c.bQ = KindCount(pos, BLACK_QUEEN), c.bR = KindCount(pos, BLACK_ROOK);
    c.bB = KindCount(pos, BLACK_BISHOP), c.bN = KindCount(pos, BLACK_KNIGHT);
    c.bP = KindCount(pos, BLACK_PAWN);
    c.wPieces = c.wQ + c.wR + c.wB + c.wN;
    c.bPieces = c.bQ + c.bR + c.bB + c.bN;
    return c;
}

void ScaleFileTable(int16_t table[2][8], int f) {
    for (int c = 0; c < 2; c++)
        for (int file = 0; file < 8; file++)
            table[c][file] = int16_t(ScaleBy(table[c][file], f));
}
