// Large blocks straight from mmap, and memory pinning with mlock. Huge
// pages and pinning are both best effort: a refusal is silent.
#include "platform/memory.h"

#include <stdint.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <unistd.h>

static const size_t HUGE_PAGE_BYTES = size_t(2) << 20;

static size_t PageBytes() {
    long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? size_t(page) : 4096;
}

// bytes rounded up to a multiple of unit (a power of two); 0 on overflow.
static size_t RoundUp(size_t bytes, size_t unit) {
    return bytes > SIZE_MAX - (unit - 1) ? 0 : (bytes + unit - 1) & ~(unit - 1);
}

void *AllocateLargeBlock(size_t bytes) {
    size_t size = RoundUp(bytes, PageBytes());
    if (size == 0)
        return nullptr;
    bool huge = size >= HUGE_PAGE_BYTES;
    // Map a huge page more than needed, then trim both ends to alignment.
    size_t mapped = huge ? size + HUGE_PAGE_BYTES : size;
    if (mapped < size)
        return nullptr;
    void *raw = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED)
        return nullptr;
    if (!huge)
        return raw;
    uintptr_t start = uintptr_t(raw);
    uintptr_t aligned = (start + HUGE_PAGE_BYTES - 1) & ~uintptr_t(HUGE_PAGE_BYTES - 1);
    if (aligned > start)
        munmap(raw, aligned - start);
    size_t tail = mapped - (aligned - start) - size;
    if (tail > 0)
        munmap(reinterpret_cast<void *>(aligned + size), tail);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
#endif
    return reinterpret_cast<void *>(aligned);
}

void *AllocateMappedBlock(size_t bytes) {
    size_t size = RoundUp(bytes, PageBytes());
    if (size == 0)
        return nullptr;
    void *block = mmap(nullptr, size, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    return block == MAP_FAILED ? nullptr : block;
}

void FreeLargeBlock(void *block, size_t bytes) {
    if (block)
        munmap(block, RoundUp(bytes, PageBytes()));
}

bool PinMemory(void *block, size_t bytes) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_MEMLOCK, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_MEMLOCK, &limit);
    }
    return mlock(block, bytes) == 0;
}

void UnpinMemory(void *block, size_t bytes) {
    munlock(block, bytes);
}
