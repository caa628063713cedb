// Detached threads, per-thread values, priorities, sleeping and the
// processor count.
#pragma once

#include <cstdint>

typedef void (*ThreadEntry)(void *argument);

// Starts a thread that is never joined; returns false when none could start.
[[nodiscard]] bool StartDetachedThread(ThreadEntry entry, void *argument);
// One pointer per thread under a slot; release runs on a thread's pointer
// (when not null) as that thread ends. Returns false when no slot can be had.
typedef void (*ThreadValueRelease)(void *value);
struct ThreadSlot {
    unsigned key;
};
[[nodiscard]] bool CreateThreadSlot(ThreadSlot *slot, ThreadValueRelease release);
void *ThreadSlotValue(const ThreadSlot *slot);  // null until set
void SetThreadSlotValue(const ThreadSlot *slot, void *value);
// Priority requests are accepted and have no effect here.
bool SetCurrentThreadPriority(int priority);
void SleepMs(int64_t ms);
// Processors in the affinity mask, counting CPUs 0..23 only.
int CountProcessors();
// The rule behind CountProcessors, for a given mask.
int CountProcessorsInMask(uint64_t affinityMask);
