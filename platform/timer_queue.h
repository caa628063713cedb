// One-shot timers run on a timer thread of their own.
#pragma once

#include <cstdint>

typedef void (*TimerCallback)(void *argument);
typedef uint64_t TimerId;  // 0 is never a live timer

// Arms a timer that calls callback(argument) once, after delayMs.
TimerId TimerStart(int64_t delayMs, TimerCallback callback, void *argument);
// Cancels a timer. When its callback is running on another thread, waits
// for it to finish; called from inside a callback it does not wait.
// Returns true when the callback had not started.
bool TimerCancel(TimerId id);
