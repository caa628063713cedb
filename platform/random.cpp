// Fixed-formula generator, seeded with 0 at load. One state per binary:
// the module and the program each draw their own identical sequence.
#include "platform/random.h"

#include <atomic>

static std::atomic<uint32_t> randomState{0};

void RandomSeed(uint32_t seed) { randomState.store(seed, std::memory_order_relaxed); }

int RandomNext() {
    uint32_t state = randomState.load(std::memory_order_relaxed) * 214013u + 2531011u;
    randomState.store(state, std::memory_order_relaxed);
    return int((state >> 16) & RANDOM_MAX);
}
