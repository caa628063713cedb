// The search's own words inside each Position. The thread identity
// (generation, threadId, owner, splitPoint) sits beside this block; the
// search keeps everything else in its nodes and module words.
#pragma once

#include <cstdint>

struct PositionSearchWords {
    int32_t unused;
};
