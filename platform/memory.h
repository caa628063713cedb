// Keeping a large block resident.
#pragma once

#include <cstddef>

// Best effort: raises the locked-memory limit as far as allowed and locks
// the block. Returns true when the block is locked.
bool PinMemory(void *block, size_t bytes);
void UnpinMemory(void *block, size_t bytes);
