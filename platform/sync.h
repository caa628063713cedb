// Events, semaphores and critical sections for the engine's threads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

// Timeout value meaning "wait for ever".
constexpr int64_t WAIT_FOREVER = -1;

// Auto-reset event: a successful wait consumes the signal.
struct Event {
    std::mutex mutex;
    std::condition_variable signalled;
    bool isSet = false;
};

// Counting semaphore with a ceiling; all semaphores share one hub so that
// a thread can wait for any of several.
struct Semaphore {
    int32_t count = 0;
    int32_t maxCount = 1;
};

// Recursive lock, entered and left by the same thread.
struct CriticalSection {
    std::recursive_mutex mutex;
};

constexpr int MAX_WAIT_OBJECTS = 48;

void EventSet(Event *event);
// Returns true when the event was signalled within timeoutMs.
[[nodiscard]] bool EventWait(Event *event, int64_t timeoutMs);

void SemaphoreInit(Semaphore *semaphore, int32_t initialCount, int32_t maxCount);
// Adds releaseCount; fails (returns false, count unchanged) past the maximum.
[[nodiscard]] bool SemaphoreRelease(Semaphore *semaphore, int32_t releaseCount);
[[nodiscard]] bool SemaphoreWait(Semaphore *semaphore, int64_t timeoutMs);
// Takes one count from the lowest-indexed signalled semaphore and returns
// its index, or -1 on timeout (0 polls). Up to MAX_WAIT_OBJECTS semaphores.
int SemaphoreWaitAny(Semaphore *const *semaphores, int nSemaphores, int64_t timeoutMs);
int32_t SemaphoreCount(Semaphore *semaphore);

void EnterCriticalSection(CriticalSection *section);
void LeaveCriticalSection(CriticalSection *section);
