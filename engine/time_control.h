// Time allocation before a search and the two-stage timer that stops it.
#pragma once

#include <atomic>
#include <cstdint>

// Soft target that the root driver compares its used time with (>= 1).
extern std::atomic<int32_t> allottedMs;
// The two timer stages; kept after arming so a ponder hit can arm them.
extern std::atomic<int32_t> pendingFirstMs;
extern std::atomic<int32_t> pendingSecondMs;
// Length of the second stage while the first runs; 0 when none is due.
extern std::atomic<int32_t> pendingTimerMs;

// Turns the limits set by the program into the three numbers above.
// usedMs: the side to move's thinking time in this game so far.
void AllocateTime(int32_t usedMs);
// Arms the first timer stage through the program; (0, 0) cancels both.
void ArmFrontEndTimers(int firstMs, int secondMs);
// One timer expiry: stop, or arm the second stage.
void TimerExpired();
