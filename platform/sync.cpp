// Events, semaphores and critical sections. Every semaphore is guarded by
// one shared mutex and condition variable, which makes waiting for any of
// several semaphores a plain scan under the lock.
#include "platform/sync.h"

#include <chrono>

namespace {

// Leaf lock: nothing else is taken under it, and waits release it.
std::mutex &HubMutex() {
    static std::mutex *mutex = new std::mutex;  // never destroyed: threads outlive main
    return *mutex;
}

std::condition_variable &HubSignal() {
    static std::condition_variable *signal = new std::condition_variable;
    return *signal;
}

template <typename Ready>
bool WaitUntil(std::unique_lock<std::mutex> *lock, std::condition_variable *cv,
               int64_t timeoutMs, Ready ready) {
    if (timeoutMs < 0) {
        cv->wait(*lock, ready);
        return true;
    }
    return cv->wait_for(*lock, std::chrono::milliseconds(timeoutMs), ready);
}

}  // namespace

void EventSet(Event *event) {
    std::lock_guard<std::mutex> lock(event->mutex);
    event->isSet = true;
    event->signalled.notify_one();
}

bool EventWait(Event *event, int64_t timeoutMs) {
    std::unique_lock<std::mutex> lock(event->mutex);
    if (!WaitUntil(&lock, &event->signalled, timeoutMs, [event] { return event->isSet; }))
        return false;
    event->isSet = false;
    return true;
}

void SemaphoreInit(Semaphore *semaphore, int32_t initialCount, int32_t maxCount) {
    std::lock_guard<std::mutex> lock(HubMutex());
    semaphore->count = initialCount;
    semaphore->maxCount = maxCount;
}

bool SemaphoreRelease(Semaphore *semaphore, int32_t releaseCount) {
    std::lock_guard<std::mutex> lock(HubMutex());
    if (releaseCount <= 0 || releaseCount > semaphore->maxCount - semaphore->count)
        return false;
    semaphore->count += releaseCount;
    HubSignal().notify_all();
    return true;
}

bool SemaphoreWait(Semaphore *semaphore, int64_t timeoutMs) {
    return SemaphoreWaitAny(&semaphore, 1, timeoutMs) == 0;
}

int SemaphoreWaitAny(Semaphore *const *semaphores, int nSemaphores, int64_t timeoutMs) {
    if (nSemaphores <= 0 || nSemaphores > MAX_WAIT_OBJECTS)
        return -1;
    std::unique_lock<std::mutex> lock(HubMutex());
    int taken = -1;
    auto ready = [&] {
        for (int i = 0; i < nSemaphores; i++) {
            if (semaphores[i]->count > 0) {
                taken = i;
                return true;
            }
        }
        return false;
    };
    if (!WaitUntil(&lock, &HubSignal(), timeoutMs, ready))
        return -1;
    semaphores[taken]->count--;
    return taken;
}

int32_t SemaphoreCount(Semaphore *semaphore) {
    std::lock_guard<std::mutex> lock(HubMutex());
    return semaphore->count;
}

void EnterCriticalSection(CriticalSection *section) { section->mutex.lock(); }

void LeaveCriticalSection(CriticalSection *section) { section->mutex.unlock(); }
