// Detached threads, priorities, sleeping and the processor count.
#pragma once

#include <cstdint>

typedef void (*ThreadEntry)(void *argument);

// Starts a thread that is never joined; returns false when none could start.
[[nodiscard]] bool StartDetachedThread(ThreadEntry entry, void *argument);
// Priority requests are accepted and have no effect here.
bool SetCurrentThreadPriority(int priority);
void SleepMs(int64_t ms);
// Processors in the affinity mask, counting CPUs 0..23 only.
int CountProcessors();
// The rule behind CountProcessors, for a given mask.
int CountProcessorsInMask(uint64_t affinityMask);
