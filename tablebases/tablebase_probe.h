// The probe the engine module calls through the program's callbacks.
#pragma once

#include <atomic>
#include <cstdint>

// Probes that found their position; the program shows and resets it.
extern std::atomic<int32_t> tbHits;
// The Use_tablebases switch: while off every probe answers "not found".
extern std::atomic<bool> tablebaseProbing;
void SetTablebaseProbing(bool on);
// Piece code 0..12 -> slot in the material counts, -1 for kings and empty.
extern const int32_t pieceCodeToCount[13];

// board: 64 piece codes, a1 = 0; side > 0 white to move; epSquare 0..63,
// 0 for none. Returns 1 with *score written when the position is found:
// 0 draw, n > 0 the side to move mates with its n-th move, -n it is mated
// after n - 1 moves of its own. Else 0, *score untouched.
int LookUpTablebaseScore(const int8_t *board, int side, int epSquare, int *score);

// The stored value of a position (0 draw, 32767 - n win, n - 32767 loss),
// or TB_UNKNOWN.
int ReadTablebaseValue(int id, int side, int64_t position);
// A byte entry widened to the stored value.
int WidenByteEntry(int byte);
// The score form of a stored value other than TB_UNKNOWN.
int ScoreOfStoredValue(int value);
