// Tablebase probe. No tablebase files are registered yet, so every
// position is "not found".
#include "tablebases/tablebase_probe.h"

int LookUpTablebaseScore(const int8_t *, int, int, int *) { return 0; }
