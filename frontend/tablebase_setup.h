// Where the program registers its endgame tablebases.
#pragma once

#include <cstdint>

// Registers the tablebases along path and hands the block cache
// cacheMb megabytes; returns the largest men count the registered
// tables cover, 0 when none is found.
int SetUpTablebases(const char *path, int64_t cacheMb);
