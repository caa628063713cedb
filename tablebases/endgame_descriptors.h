// The static record of every endgame that can be probed: name, flags,
// index functions and position counts per side to move. Ids 1-5 hold
// 3 men, 6-35 4 men, 36-145 5 men and 146-440 6 men.
#pragma once

#include <cstdint>

#include "tablebases/index_functions.h"

constexpr int TB_SYMMETRIC = 1;     // one file serves both sides to move
constexpr int TB_WORD_ENTRIES = 2;  // two bytes per position, low byte first
constexpr int TB_SPLIT = 4;         // extent files of 2^31 bytes
constexpr int32_t TB_UNKNOWN = 32767;
constexpr int TABLEBASE_COUNT = 441;
constexpr int LAST_THREE_MEN_ID = 5;
constexpr int LAST_FOUR_MEN_ID = 35;
constexpr int LAST_FIVE_MEN_ID = 145;

// The constant part of a descriptor; what registration learns about files
// is kept beside it, per id.
struct TablebaseDescriptor {
    int32_t id;
    uint8_t flags;
    IndexFunction indexFunction[2];  // [0] white to move, [1] black to move
    char name[8];                    // "k", white's men, "k", black's men; q r b n p
    int64_t positionCount[2];
};

extern const TablebaseDescriptor tablebases[TABLEBASE_COUNT];
