// The search's own words inside each Position.
#pragma once

#include <cstdint>

struct PositionSearchWords {
    int32_t unused;
};
