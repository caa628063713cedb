// A single timer thread keeps a list of pending timers ordered by due
// time and runs each expired callback outside the lock. Cancelling waits
// for a callback in progress unless the caller is that callback itself.
#include "platform/timer_queue.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

typedef std::chrono::steady_clock SteadyClock;

struct PendingTimer {
    TimerId id;
    TimerCallback callback;
    void *argument;
};

struct TimerQueue {
    std::mutex mutex;  // leaf lock: callbacks run without it
    std::condition_variable changed;
    std::multimap<SteadyClock::time_point, PendingTimer> pending;
    TimerId nextId = 1;
    TimerId runningId = 0;
    std::thread::id threadId;
    bool started = false;
};

TimerQueue &Queue() {
    static TimerQueue *queue = new TimerQueue;  // outlives main with its thread
    return *queue;
}

void RunTimerThread() {
    TimerQueue &queue = Queue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (;;) {
        if (queue.pending.empty()) {
            queue.changed.wait(lock);
            continue;
        }
        auto first = queue.pending.begin();
        // Wait on a copy: a cancel may erase the entry while we sleep.
        SteadyClock::time_point due = first->first;
        if (SteadyClock::now() < due) {
            queue.changed.wait_until(lock, due);
            continue;
        }
        PendingTimer timer = first->second;
        queue.pending.erase(first);
        queue.runningId = timer.id;
        lock.unlock();
        timer.callback(timer.argument);
        lock.lock();
        queue.runningId = 0;
        queue.changed.notify_all();
    }
}

}  // namespace

TimerId TimerStart(int64_t delayMs, TimerCallback callback, void *argument) {
    TimerQueue &queue = Queue();
    std::lock_guard<std::mutex> lock(queue.mutex);
    if (!queue.started) {
        std::thread thread(RunTimerThread);
        queue.threadId = thread.get_id();
        thread.detach();
        queue.started = true;
    }
    if (delayMs < 0)
        delayMs = 0;
    TimerId id = queue.nextId++;
    auto due = SteadyClock::now() + std::chrono::milliseconds(delayMs);
    queue.pending.emplace(due, PendingTimer{id, callback, argument});
    queue.changed.notify_all();
    return id;
}

bool TimerCancel(TimerId id) {
    if (id == 0)
        return false;
    TimerQueue &queue = Queue();
    std::unique_lock<std::mutex> lock(queue.mutex);
    for (auto it = queue.pending.begin(); it != queue.pending.end(); ++it) {
        if (it->second.id == id) {
            queue.pending.erase(it);
            queue.changed.notify_all();
            return true;
        }
    }
    if (std::this_thread::get_id() != queue.threadId) {
        queue.changed.wait(lock, [&] { return queue.runningId != id; });
    }
    return false;
}
