// The plan of one index function: which men form the king block, which
// trail it and in what order, derived once from the endgame's name. Shared
// by the ordinary and the en-passant numbering.
#pragma once

#include <cstdint>

#include "tablebases/index_functions.h"
#include "tablebases/index_tables.h"

// Man types in the order of PieceSquares: slot = 3 * type.
enum ManType { MAN_PAWN, MAN_KNIGHT, MAN_BISHOP, MAN_ROOK, MAN_QUEEN, MAN_TYPES };
// Roles of the two sides: the side to move and the other side.
enum SideRole { ROLE_MOVER, ROLE_OTHER, SIDE_ROLES };

struct BlockGroup {
    int8_t kind;  // SquareKind of its men
    int8_t role;
    int8_t type;
    int8_t nMen;
};

// Men numbered beside the king pair; groups least significant first.
struct BlockPlan {
    int8_t nGroups;
    BlockGroup groups[3];
    int8_t variant;              // OffsetVariant
    const OffsetTable *offsets;  // null for an empty block
    int64_t range;
};

struct TrailingUnit {
    int8_t role;
    int8_t type;
    int8_t nMen;
    int64_t radix;
};

struct EnPassantPlan {
    BlockPlan block;  // the mover's pieces
    int8_t nUnits;    // the other side's pieces, descending kind
    TrailingUnit units[3];
    int64_t radixProduct;  // of the units and the other pawns
    int64_t range;         // numbers used above the ordinary range
};

struct IndexPlan {
    int8_t usable;       // false for id 0
    int8_t moverColour;  // 0 white, 1 black
    int8_t hasPawns;
    int8_t delegateToWtm;  // Btm of symmetric material with pawns
    int8_t flipBlock;      // block worked out upside down
    int8_t nMen[SIDE_ROLES][MAN_TYPES];
    BlockPlan block;
    int8_t nUnits;  // trailing units in placement order
    TrailingUnit units[4];
    int8_t significance[4];  // unit indices, most significant first
    int64_t ordinaryRange;
    int8_t hasEnPassant;
    EnPassantPlan enPassant;
};

// The men after the frame, by role; epSquare framed too.
struct FramedMen {
    int32_t king[SIDE_ROLES];
    int32_t men[SIDE_ROLES][MAN_TYPES][3];
    int32_t epSquare;
};

// offsets[kp] + the mixed-radix digits of the block's groups; kS and kO in
// the block's own frame, squares[g] the men of group g in that frame.
int64_t BlockValue(const BlockPlan *block, int kS, int kO, const int32_t (*squares)[3]);

// Number of a unit of identical men: each man's square less base and less
// the occupied squares below it, combined over the unit.
int64_t UnitDigit(const int32_t *squares, int nMen, int base, const int32_t *occupied,
                  int nOccupied);

// Number of a position with an e.p. square, or -1 when no pawn of the side
// to move can capture there.
int64_t EnPassantIndex(const IndexPlan *plan, const FramedMen *men);

void BuildEnPassantPlan(IndexPlan *plan);

// Fills a block from its groups given in ascending kind: singles become
// the low digits by ascending kind, an identical group the top digit.
void SetBlockGroups(BlockPlan *block, int variant, const BlockGroup *groups, int nGroups);
