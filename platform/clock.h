// Millisecond clock. It wraps in 32 bits: take differences with ElapsedMs.
#pragma once

#include <cstdint>

int32_t ClockMs();
// now - start, computed without signed overflow.
int32_t ElapsedMs(int32_t startMs, int32_t nowMs);
