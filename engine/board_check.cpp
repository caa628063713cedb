// Position consistency: every board square against the side lists, and
// the counts, material, men and pawn files recomputed from the lists.
// Used by DEBUG_CHECK after make and unmake and by the perft tests.
#include "engine/board_check.h"

#include <cstring>

bool slowChecks = false;

static bool SideListIsOk(const Position *position, const SideRecord *side, int colour,
                         int32_t counts[N_PIECE_CODES], int32_t *material, int32_t *men,
                         int32_t pawns[12]) {
    const PieceRecord *previous = &side->head;
    int n = 0;
    for (const PieceRecord *man = side->head.next; man != &position->emptyRecord; man = man->next) {
        if (++n > 16 || man->prev != previous || man->colour != colour)
            return false;
        if (!SquareIsOnBoard(man->square) || BoardAt(position, man->square) != man)
            return false;
        if (man->kindRecord != &position->kinds[man->code] || man->kindRecord->colour != colour)
            return false;
        counts[man->code]++;
        (*men)++;
        if (man->kind == KIND_PAWN)
            pawns[FileOf(man->square) + PAWN_FILE_GUARD]++;
        else if (man->kind != KIND_KING)
            *material += man->value;
        previous = man;
    }
    return side->head.prev == previous || (n == 0 && side->head.prev == &position->emptyRecord);
}

bool PositionIsConsistent(const Position *position) {
    int32_t counts[N_PIECE_CODES] = {};
    int32_t material = 0, men = 0;
    int32_t whitePawns[12] = {}, blackPawns[12] = {};
    if (!SideListIsOk(position, &position->whiteSide, WHITE, counts, &material, &men, whitePawns) ||
        !SideListIsOk(position, &position->blackSide, BLACK, counts, &material, &men, blackPawns))
        return false;
    int onBoard = 0;
    for (int square = 0; square < 128; square++) {
        const PieceRecord *slot = BoardAt(position, square);
        if (!SquareIsOnBoard(square)) {
            if (square != NO_SQUARE && slot != &position->offBoardRecord)
                return false;
            continue;
        }
        if (slot == &position->emptyRecord)
            continue;
        if (slot->square != square || slot->colour == 0)
            return false;
        onBoard++;
    }
    if (onBoard != men || BoardAt(position, NO_SQUARE) != &position->emptyRecord)
        return false;
    for (int code = 0; code < N_PIECE_CODES; code++) {
        if (code != EMPTY_CODE && position->kinds[code].count != counts[code])
            return false;
    }
    return material == position->pieceMaterial && men == position->menCount &&
           memcmp(whitePawns, position->whiteSide.pawnsOnFile, sizeof whitePawns) == 0 &&
           memcmp(blackPawns, position->blackSide.pawnsOnFile, sizeof blackPawns) == 0;
}

bool PositionIsOk(const Position *position) {
    return !slowChecks || PositionIsConsistent(position);
}

static void TakeManImage(const PieceRecord *man, PositionImage::ManImage *image) {
    image->next = man->next;
    image->prev = man->prev;
    image->square = man->square;
    image->colour = man->colour;
    image->code = man->code;
    image->kindRecord = man->kindRecord;
}

void TakePositionImage(const Position *position, PositionImage *image) {
    memset(image, 0, sizeof *image);
    for (int i = 0; i < BOARD_SLOTS; i++)
        image->board[i] = position->board[i];
    for (int i = 0; i < N_MEN_RECORDS; i++)
        TakeManImage(&position->men[i], &image->men[i]);
    TakeManImage(&position->whiteSide.head, &image->men[N_MEN_RECORDS]);
    TakeManImage(&position->blackSide.head, &image->men[N_MEN_RECORDS + 1]);
    for (int code = 0; code < N_PIECE_CODES; code++)
        image->counts[code] = position->kinds[code].count;
    image->pieceMaterial = position->pieceMaterial;
    image->menCount = position->menCount;
    memcpy(image->pawnsOnFile[0], position->blackSide.pawnsOnFile, sizeof image->pawnsOnFile[0]);
    memcpy(image->pawnsOnFile[1], position->whiteSide.pawnsOnFile, sizeof image->pawnsOnFile[1]);
}

bool PositionImagesEqual(const PositionImage *a, const PositionImage *b) {
    return memcmp(a, b, sizeof *a) == 0;
}
