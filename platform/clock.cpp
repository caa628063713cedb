// Millisecond clock from the monotonic clock, truncated to 32 bits.
#include "platform/clock.h"

#include <chrono>

int32_t ClockMs() {
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    uint64_t ms = uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    return int32_t(uint32_t(ms));
}

int32_t ElapsedMs(int32_t startMs, int32_t nowMs) {
    return int32_t(uint32_t(nowMs) - uint32_t(startMs));
}
