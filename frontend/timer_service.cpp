// Timer service on the platform's one-shot timers. Each timer carries a
// token and an expiry whose token no slot holds does nothing, so re-arming
// and cancelling only drop tokens; they wait for an expiry of that timer
// running on another thread, never for one running on their own.
#include "frontend/timer_service.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

#include "frontend/engine_link.h"
#include "frontend/output.h"
#include "platform/timer_queue.h"

struct TimerState {
    // Held by module threads in setTimer and released while a drop waits;
    // under it only the timer queue's lock and the output lock are taken,
    // and the module is never called.
    std::mutex lock;
    std::condition_variable expiryDone;
    uintptr_t timerA = 0;  // token armed by a negative request; 0: none
    uintptr_t timerB = 0;  // token armed by a positive request
    uintptr_t nextToken = 1;
    uintptr_t runningToken = 0;  // the expiry in progress
    std::thread::id runningThread;
    bool allowed = false;
};

static TimerState &Timers() {
    static TimerState *state = new TimerState;  // timer threads outlive main
    return *state;
}

static void OnTimerFired(void *argument) {
    TimerState &timers = Timers();
    uintptr_t token = reinterpret_cast<uintptr_t>(argument);
    {
        std::lock_guard<std::mutex> guard(timers.lock);
        if (token != timers.timerA && token != timers.timerB)
            return;
        timers.runningToken = token;
        timers.runningThread = std::this_thread::get_id();
    }
    engineOps.timerExpired();
    std::lock_guard<std::mutex> guard(timers.lock);
    timers.runningToken = 0;
    timers.expiryDone.notify_all();
}

// Empties a slot; an expiry of its timer running on another thread is
// waited for, one running on this thread (the caller) is not.
static void DropSlot(std::unique_lock<std::mutex> *held, uintptr_t *slot) {
    TimerState &timers = Timers();
    uintptr_t token = *slot;
    *slot = 0;
    if (token == 0 || std::this_thread::get_id() == timers.runningThread)
        return;
    timers.expiryDone.wait(*held, [&] { return timers.runningToken != token; });
}

void RequestTimer(int ms) {
    TimerState &timers = Timers();
    std::unique_lock<std::mutex> held(timers.lock);
    if (ms == 0) {
        DropSlot(&held, &timers.timerB);
        DropSlot(&held, &timers.timerA);
        return;
    }
    if (!timers.allowed)
        return;
    uintptr_t *slot = ms > 0 ? &timers.timerB : &timers.timerA;
    DropSlot(&held, slot);
    uintptr_t token = timers.nextToken++;
    if (timers.nextToken == 0)
        timers.nextToken = 1;
    int64_t delayMs = ms > 0 ? int64_t(ms) : -int64_t(ms);
    if (TimerStart(delayMs, OnTimerFired, reinterpret_cast<void *>(token)) == 0) {
        ReportError("CreateTimerQueueTime", "");
        return;
    }
    *slot = token;
}

void AllowTimers() {
    std::lock_guard<std::mutex> guard(Timers().lock);
    Timers().allowed = true;
}

void EndTimers() {
    TimerState &timers = Timers();
    std::unique_lock<std::mutex> held(timers.lock);
    timers.allowed = false;
    DropSlot(&held, &timers.timerB);
    DropSlot(&held, &timers.timerA);
}
