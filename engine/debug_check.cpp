// Failure path of DEBUG_CHECK: name the broken expression and stop.
#include "engine/debug_check.h"

#include <cstdio>
#include <cstdlib>

void DebugCheckFailed(const char *expression, const char *file, int line) {
    fflush(stdout);
    fprintf(stderr, "debug check failed: %s (%s:%d)\n", expression, file, line);
    abort();
}
