// Board set-up. Empty squares and list ends point at emptyRecord (the
// start of the Position), every other slot at offBoardRecord; kind records
// come from fixed templates and each man carries a copy of its kind.
#include "engine/board.h"

#include <cstring>

#include "engine/hash_keys.h"

const int32_t stepDirections[16] = {1,  -1,  16, -16, 17, -17, 15, -15,
                                    18, -18, 14, -14, 33, -33, 31, -31};

struct KindTemplate {
    int32_t kind;
    int32_t rank;
    char letter;
    int32_t colour;
    int32_t attackMask;
    int32_t value;
    int32_t endgameValue;
    int32_t firstStep;  // -1: no steps
    int32_t lastStep;
};

static const KindTemplate kindTemplates[N_PIECE_CODES] = {
    {KIND_KING, 12, 'k', BLACK, ATTACK_KING, 14000, 14000, 0, 7},
    {KIND_QUEEN, 11, 'q', BLACK, ATTACK_QUEEN, 732, 995, 0, 7},
    {KIND_ROOK, 10, 'r', BLACK, ATTACK_ROOK, 350, 519, 0, 3},
    {KIND_BISHOP, 9, 'b', BLACK, ATTACK_BISHOP, 242, 319, 4, 7},
    {KIND_KNIGHT, 9, 'n', BLACK, ATTACK_KNIGHT, 228, 308, 8, 15},
    {KIND_PAWN, 7, 'p', BLACK, ATTACK_BLACK_PAWN, 60, 87, -1, -1},
    {KIND_EMPTY, 6, 'E', 0, 0, 0, 0, -1, -1},
    {KIND_PAWN, 7, 'P', WHITE, ATTACK_WHITE_PAWN, 60, 87, -1, -1},
    {KIND_KNIGHT, 9, 'N', WHITE, ATTACK_KNIGHT, 228, 308, 8, 15},
    {KIND_BISHOP, 9, 'B', WHITE, ATTACK_BISHOP, 242, 319, 4, 7},
    {KIND_ROOK, 10, 'R', WHITE, ATTACK_ROOK, 350, 519, 0, 3},
    {KIND_QUEEN, 11, 'Q', WHITE, ATTACK_QUEEN, 732, 995, 0, 7},
    {KIND_KING, 12, 'K', WHITE, ATTACK_KING, 14000, 14000, 0, 7},
};

// Starting kinds of the 33 records: black K Q R R B B N N and eight pawns,
// the separator, white eight pawns and N N B B R R Q K.
static const int8_t startingCodes[N_MEN_RECORDS] = {
    BLACK_KING,   BLACK_QUEEN, BLACK_ROOK, BLACK_ROOK,  BLACK_BISHOP, BLACK_BISHOP, BLACK_KNIGHT,
    BLACK_KNIGHT, BLACK_PAWN,  BLACK_PAWN, BLACK_PAWN,  BLACK_PAWN,   BLACK_PAWN,   BLACK_PAWN,
    BLACK_PAWN,   BLACK_PAWN,  EMPTY_CODE, WHITE_PAWN,  WHITE_PAWN,   WHITE_PAWN,   WHITE_PAWN,
    WHITE_PAWN,   WHITE_PAWN,  WHITE_PAWN, WHITE_PAWN,  WHITE_KNIGHT, WHITE_KNIGHT, WHITE_BISHOP,
    WHITE_BISHOP, WHITE_ROOK,  WHITE_ROOK, WHITE_QUEEN, WHITE_KING};

// A kind's square map: the evaluation's map of its kind, seen from its
// colour's half (black reads entry s + 8).
static int16_t *KindSquareTable(Position *position, int code) {
    EvalWorkArea *area = &position->evalArea;
    int16_t *maps[6] = {area->kingMap,   area->queenMap,  area->rookMap,
                        area->bishopMap, area->knightMap, area->pawnMap};
    if (code == EMPTY_CODE)
        return position->emptySquareMap;
    if (code < EMPTY_CODE)
        return maps[code] + 8;
    return maps[12 - code];
}

void ResetKinds(Position *position) {
    EnsureHashKeys();
    for (int code = 0; code < N_PIECE_CODES; code++) {
        const KindTemplate *t = &kindTemplates[code];
        PieceKindRecord *kind = &position->kinds[code];
        kind->next = code + 1 < N_PIECE_CODES ? &position->kinds[code + 1] : nullptr;
        kind->code = code;
        kind->kind = t->kind;
        kind->rank = t->rank;
        kind->letter = t->letter;
        kind->colour = t->colour;
        kind->attackMask = t->attackMask;
        kind->value = t->value;
        kind->endgameValue = t->endgameValue;
        kind->steps = t->firstStep < 0 ? nullptr : &stepDirections[t->firstStep];
        kind->stepsEnd = t->firstStep < 0 ? nullptr : &stepDirections[t->lastStep];
        kind->squareTable = KindSquareTable(position, code);
        kind->keyTable = KeyTableOfCode(code);
        kind->count = 0;
        kind->effectiveValue = t->value;
    }
}

void SetPieceKind(PieceRecord *man, PieceKindRecord *kind) {
    man->kindRecord = kind;
    man->code = kind->code;
    man->kind = kind->kind;
    man->rank = kind->rank;
    man->letter = kind->letter;
    man->attackMask = kind->attackMask;
    man->value = kind->value;
    man->endgameValue = kind->endgameValue;
    man->steps = kind->steps;
    man->stepsEnd = kind->stepsEnd;
    man->squareTable = kind->squareTable;
    man->keyTable = kind->keyTable;
    man->effectiveValue = kind->effectiveValue;
}

PieceKindRecord *FindPieceKind(Position *position, char letter, int colour) {
    char upper = (letter >= 'a' && letter <= 'z') ? char(letter - 32) : letter;
    for (PieceKindRecord *kind = &position->kinds[0]; kind; kind = kind->next) {
        char kindUpper =
            (kind->letter >= 'a' && kind->letter <= 'z') ? char(kind->letter - 32) : kind->letter;
        if (kind->colour == colour && kindUpper == upper && kind->kind >= KIND_KNIGHT &&
            kind->kind <= KIND_QUEEN)
            return kind;
    }
    return nullptr;
}

static void InitSideRecord(Position *position, SideRecord *side, SideRecord *opponent) {
    PieceRecord *empty = &position->emptyRecord;
    side->opponent = opponent;
    SetPieceKind(&side->head, &position->kinds[EMPTY_CODE]);
    side->head.next = empty;
    side->head.prev = empty;
    side->head.square = NO_SQUARE;
    side->head.squareValue = 0;
    side->head.colour = 0;
    side->head.position = position;
}

void WirePosition(Position *position) {
    position->sideByColour[0] = &position->blackSide;
    position->sideByColour[1] = nullptr;
    position->sideByColour[2] = &position->whiteSide;
    for (int i = 0; i < 3; i++)
        position->sideTable[i] = position->sideByColour[i];
    position->kingByColour[0] = &position->men[0];
    position->kingByColour[1] = nullptr;
    position->kingByColour[2] = &position->men[N_MEN_RECORDS - 1];
    position->whiteSide.opponent = &position->blackSide;
    position->blackSide.opponent = &position->whiteSide;
}

void InitWorkAreas(Position *position) {
    ResetKinds(position);
    WirePosition(position);
    ClearBoard(position);
    position->threadId = 1;
    position->generation = 0;
    position->owner = nullptr;
    position->splitPoint = nullptr;
    position->plyNodes = nullptr;
    position->nodes = 0;
    position->nRepetitions = 0;
}

static void ResetMan(Position *position, PieceRecord *man, int code) {
    SetPieceKind(man, &position->kinds[code]);
    man->colour = 0;
    man->square = NO_SQUARE;
    man->squareValue = 0;
    man->position = position;
    man->next = &position->emptyRecord;
    man->prev = &position->emptyRecord;
}

void ClearBoard(Position *position) {
    PieceRecord *empty = &position->emptyRecord;
    for (int i = 0; i < N_MEN_RECORDS; i++)
        ResetMan(position, &position->men[i], startingCodes[i]);
    // Sentinels are copies of the separator, out of play on square 12.
    position->offBoardRecord = position->men[SEPARATOR_RECORD];
    position->emptyRecord = position->offBoardRecord;
    InitSideRecord(position, &position->whiteSide, &position->blackSide);
    InitSideRecord(position, &position->blackSide, &position->whiteSide);
    for (int index = -BOARD_OFFSET; index < BOARD_SLOTS - BOARD_OFFSET; index++)
        BoardAt(position, index) = SquareIsOnBoard(index) ? empty : &position->offBoardRecord;
    BoardAt(position, NO_SQUARE) = empty;
}

void InitRootNode(SearchNode *node, Position *position) {
    node->pv[0] = MOVE_NONE;
    node->pv[1] = MOVE_NONE;
    node->position = position;
    node->parent = nullptr;
    node->ply = 0;
    node->moveCursor = node->candidates;
}
