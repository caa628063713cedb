// Stopwatches over the wrapping millisecond clock. A stopwatch that is
// not running holds its total in elapsedMs; a running one adds the time
// since startMs.
#include "engine/stopwatch.h"

#include "platform/clock.h"

Stopwatch whiteStopwatch = {0, 0, 0};
Stopwatch blackStopwatch = {0, 0, 0};
Stopwatch searchStopwatch = {0, 0, 0};

void StopwatchReset(Stopwatch *sw) {
    sw->running = 0;
    sw->elapsedMs = 0;
}

void StopwatchStart(Stopwatch *sw) {
    sw->running = 1;
    sw->startMs = ClockMs();
}

void StopwatchStop(Stopwatch *sw) {
    if (!sw->running)
        return;
    int32_t now = ClockMs();
    sw->elapsedMs += ElapsedMs(sw->startMs, now);
    sw->startMs = now;
    sw->running = 0;
}

int32_t StopwatchElapsed(const Stopwatch *sw) {
    if (!sw->running)
        return sw->elapsedMs;
    return sw->elapsedMs + ElapsedMs(sw->startMs, ClockMs());
}
