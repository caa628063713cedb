// Large blocks: allocation on huge pages where the system offers them, and
// keeping a block resident.
#pragma once

#include <cstddef>

// A zeroed block of at least `bytes`, or null. Blocks of 2 MiB and more are
// aligned to 2 MiB and offered to the kernel for transparent huge pages
// (fewer TLB misses on random access); where it declines, the block simply
// stays on ordinary pages. Free it with FreeLargeBlock and the same size.
void *AllocateLargeBlock(size_t bytes);
// A zeroed block of at least `bytes`, or null, on ordinary pages that are
// all mapped at once: for a block used at once and at random, where taking
// its pages one fault at a time costs more. Free it with FreeLargeBlock.
void *AllocateMappedBlock(size_t bytes);
void FreeLargeBlock(void *block, size_t bytes);
// Best effort: raises the locked-memory limit as far as allowed and locks
// the block. Returns true when the block is locked.
bool PinMemory(void *block, size_t bytes);
void UnpinMemory(void *block, size_t bytes);
