// Consistency checks of a Position (debug builds and tests): everything
// kept incrementally is recomputed from the board and compared.
#pragma once

#include "engine/position.h"

// Set by perft tests: PositionIsOk then recomputes everything.
extern bool slowChecks;

// With slowChecks: board against lists, counts, material, men, pawn files.
// Without: true.
bool PositionIsOk(const Position *position);
// The full recompute, whatever slowChecks says.
bool PositionIsConsistent(const Position *position);

// What unmake must restore exactly: board slots, list links, squares,
// colours and kinds of the men, kind counts, material and pawn files.
struct PositionImage {
    const PieceRecord *board[BOARD_SLOTS];
    struct ManImage {
        const PieceRecord *next;
        const PieceRecord *prev;
        int32_t square;
        int32_t colour;
        int32_t code;
        const PieceKindRecord *kindRecord;
    } men[N_MEN_RECORDS + 2];  // the men, then the two side heads
    int32_t counts[N_PIECE_CODES];
    int32_t pieceMaterial;
    int32_t menCount;
    int32_t pawnsOnFile[2][12];
};

void TakePositionImage(const Position *position, PositionImage *image);
bool PositionImagesEqual(const PositionImage *a, const PositionImage *b);
