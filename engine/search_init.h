// Search set-up for the module's init operation.
#pragma once

#include <cstdint>

// Keys, a fresh table of the given size (0: the module's default) and the
// main Position's identity; returns the table size obtained in bytes.
int64_t InitSearch(int64_t bytes);
