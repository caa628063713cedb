// The runtime's random generator: a 32-bit linear congruential sequence
// whose values the hash keys and the opening book depend on.
#pragma once

#include <cstdint>

constexpr int RANDOM_MAX = 0x7FFF;

void RandomSeed(uint32_t seed);
// state = state * 214013 + 2531011; returns (state >> 16) & 0x7FFF.
int RandomNext();
