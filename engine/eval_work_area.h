// The evaluation's work area inside each Position, and the evaluation
// words of each side record. Make and unmake read the isolated-pawn
// tables and the rook open-file bonus incrementally.
#pragma once

#include <cstdint>

// Index of a colour (+1 white, -1 black) into per-side tables: 0 black, 1 white.
inline int SideIndex(int colour) { return (colour + 1) >> 1; }

struct SideEvalWords {
    int32_t unused;
};

struct EvalWorkArea {
    int32_t rookOpenFileBonus;
    int16_t isolatedSingle[2][8];  // [SideIndex][file], counts against the side
    int16_t isolatedMulti[2][8];
};

// Written by the evaluation, read by make: the tempo share of the score.
extern int32_t tempoBase;
