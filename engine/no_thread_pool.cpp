// The pool-less core: the search runs on the calling thread alone, so
// starting or resizing the pool does nothing.
#include "engine/thread_pool.h"

void StartThreads(int) {}

void SetThreadCount(int) {}
