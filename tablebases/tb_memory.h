// The one allocator of the tablebase code: every block it hands out is
// counted, and a failure ends the program.
#pragma once

#include <cstddef>
#include <cstdint>

// Bytes handed out by AllocateCounted since the last reset.
extern uint64_t tbBytesAllocated;

// Never returns null: prints "*** Cannot allocate %d bytes of memory" and
// exits with status 1 when the heap refuses.
void *AllocateCounted(size_t size);
