// Board set-up: the piece-kind templates, wiring a Position's fixed
// structure, sentinels, piece records and the root node.
#pragma once

#include "engine/position.h"

// The sixteen step directions: rook 0..3, bishop 4..7, king and queen
// 0..7, knight 8..15.
extern const int32_t stepDirections[16];

// Links side records, side tables and the kind chain, and sets the thread
// identity of the main search thread (threadId 1, no owner, node count 0).
void InitWorkAreas(Position *position);
// Links sideByColour, sideTable, kingByColour and the side records.
void WirePosition(Position *position);
// Rebuilds the 13 kind records from the templates, pointing each at its
// key table and its colour's half of its square map.
void ResetKinds(Position *position);
// The kind record of a code in this Position.
inline PieceKindRecord *KindOf(Position *position, int code) {
    return &position->kinds[code];
}
// Gives a man a kind: the kind pointer and a fresh copy of its fields.
void SetPieceKind(PieceRecord *man, PieceKindRecord *kind);
// The first kind of the colour whose upper-cased letter matches and that is
// a knight, bishop, rook or queen; NULL when none.
PieceKindRecord *FindPieceKind(Position *position, char letter, int colour);
// Fresh board: every slot off board, the squares and slot 12 empty, the 33
// men out of play with their starting kinds, both lists empty.
void ClearBoard(Position *position);
// Root node at load: no PV, the given Position, empty candidate stack.
void InitRootNode(SearchNode *node, Position *position);

// The four records that start every set-up as rooks: white, white, black, black.
constexpr int STARTING_ROOK_RECORDS[4] = {29, 30, 2, 3};
