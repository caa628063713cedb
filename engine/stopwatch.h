// Millisecond stopwatches: the search's own and each side's game clock.
#pragma once

#include <cstdint>

struct Stopwatch {
    uint8_t running;    // 1 while running
    int32_t startMs;    // clock reading at the last start
    int32_t elapsedMs;  // accumulated over finished runs
};

// Each side's thinking time in the current game; the search's clock.
extern Stopwatch whiteStopwatch;
extern Stopwatch blackStopwatch;
extern Stopwatch searchStopwatch;

void StopwatchReset(Stopwatch *sw);
// Starts a run; time already accumulated is kept.
void StopwatchStart(Stopwatch *sw);
void StopwatchStop(Stopwatch *sw);
// Accumulated milliseconds, plus the current run while running.
int32_t StopwatchElapsed(const Stopwatch *sw);
