// The probe the engine module calls through the program's callbacks.
#pragma once

#include <cstdint>

// board: 64 piece codes, a1 = 0; side +1/-1; epSquare 0..63 or 0.
// Returns 1 with *score written when the position is found, else 0.
int LookUpTablebaseScore(const int8_t *board, int side, int epSquare, int *score);
