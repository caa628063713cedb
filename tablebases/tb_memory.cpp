// Counted allocation for the tablebase code. tbBytesAllocated grows by the
// size of every block handed out; blocks are never returned through here,
// so the count is the subsystem's heap footprint since the last reset.
#include "tablebases/tb_memory.h"

#include <cstdio>
#include <cstdlib>

uint64_t tbBytesAllocated = 0;

void *AllocateCounted(size_t size) {
    // A zero-byte request still yields a distinct block.
    void *block = malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        // Printed as a 64-bit number: the text is the same for every size
        // an int holds, and a larger request is not shown wrapped.
        printf("*** Cannot allocate %lld bytes of memory\n", static_cast<long long>(size));
        fflush(stdout);
        exit(1);
    }
    tbBytesAllocated += size;
    return block;
}
