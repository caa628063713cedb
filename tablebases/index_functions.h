// The 880 index functions: one per endgame and side to move, turning the
// men of a position into the number under which the endgame's file
// stores it. All of them run one interpreter over a plan per table side.
#pragma once

#include <cstdint>

constexpr int32_t TB_NO_SQUARE = 127;
// Refusal of a placement the tables cannot number: a missing or adjacent
// king, a square off the board, a pawn on the first or last rank.
constexpr int64_t TB_INDEX_INVALID = -1;

enum PieceSquareSlot {
    SLOT_PAWNS = 0,
    SLOT_KNIGHTS = 3,
    SLOT_BISHOPS = 6,
    SLOT_ROOKS = 9,
    SLOT_QUEENS = 12,
    SLOT_KING = 15
};

// One side's men: three slots per kind in the order p n b r q, then the
// king. Identical men in any order; slots of absent men are not read.
struct PieceSquares {
    int32_t squares[16];
};

// (white, black, epSquare or TB_NO_SQUARE, invert 0/1) -> position number.
// invert 1: the records come with colours swapped; with pawns on the board
// the function then turns the board upside down.
typedef int64_t (*IndexFunction)(const PieceSquares *white, const PieceSquares *black,
                                 int32_t epSquare, int32_t invert);

// Builds the plans of all tables; called by BuildIndexTables once the
// offset tables exist.
void BuildIndexPlans();

// The interpreter behind every index function.
int64_t ComputeTablebaseIndex(int id, int side, const PieceSquares *white,
                              const PieceSquares *black, int32_t epSquare, int32_t invert);

// Numbers of ordinary positions (no e.p. square) of a table side, and the
// numbers above them that e.p. positions use (0 for tables without pawns
// on both sides).
int64_t OrdinaryIndexRange(int id, int side);
int64_t EnPassantIndexRange(int id, int side);
