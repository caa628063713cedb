// Threads on top of std::thread, detached at birth: the process ends
// with them still running, so nothing ever joins them.
#include "platform/threads.h"

#include <pthread.h>
#include <sched.h>

#include <chrono>
#include <system_error>
#include <thread>
#include <type_traits>

bool StartDetachedThread(ThreadEntry entry, void *argument) {
    try {
        std::thread(entry, argument).detach();
        return true;
    } catch (const std::system_error &) {
        return false;
    }
}

// Thread-specific data rather than thread_local: its values live with the
// thread itself, not in blocks a later thread may free.
static_assert(std::is_same_v<pthread_key_t, unsigned>, "a slot holds the key");

bool CreateThreadSlot(ThreadSlot *slot, ThreadValueRelease release) {
    pthread_key_t key;
    if (pthread_key_create(&key, release) != 0)
        return false;
    slot->key = key;
    return true;
}

void *ThreadSlotValue(const ThreadSlot *slot) {
    return pthread_getspecific(slot->key);
}

void SetThreadSlotValue(const ThreadSlot *slot, void *value) {
    pthread_setspecific(slot->key, value);
}

bool SetCurrentThreadPriority(int) {
    return true;
}

void SleepMs(int64_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int CountProcessorsInMask(uint64_t affinityMask) {
    return __builtin_popcountll(affinityMask & 0xFFFFFF);
}

int CountProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    uint64_t mask = 0;
    for (int cpu = 0; cpu < 24; cpu++) {
        if (CPU_ISSET(cpu, &set))
            mask |= uint64_t(1) << cpu;
    }
    return CountProcessorsInMask(mask);
}
