// Random hash keys per piece code and 0x88 square, drawn from the runtime
// generator seeded with 0 so that every run and both deliverables agree.
#pragma once

#include "engine/debug_check.h"
#include "engine/position.h"

// Storage: one block of 128 keys per code 0..6; code c + 7 shares the
// block of code c, shifted by eight slots into its off-board half.
constexpr int N_KEY_BLOCKS = 7;
extern HashKey keyStorage[N_KEY_BLOCKS][128];

// Zeroes the storage and draws every key again (same values each time).
void InitHashKeys();
// Draws the keys unless they already exist.
void EnsureHashKeys();
// The key table of a piece code, indexed by 0x88 square.
const HashKey *KeyTableOfCode(int code);
// A node's key from scratch: every man's key on its square, black to move
// flipping bit 31 of lock32.
HashKey ComputeNodeKey(const SearchNode *node);
