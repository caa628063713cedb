// Memory pinning with mlock. Failure is harmless: the block simply stays
// pageable.
#include "platform/memory.h"

#include <sys/mman.h>
#include <sys/resource.h>

bool PinMemory(void *block, size_t bytes) {
    struct rlimit limit;
    if (getrlimit(RLIMIT_MEMLOCK, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_MEMLOCK, &limit);
    }
    return mlock(block, bytes) == 0;
}

void UnpinMemory(void *block, size_t bytes) { munlock(block, bytes); }
