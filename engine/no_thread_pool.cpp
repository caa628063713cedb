// The pool-less core: the search runs on the calling thread alone, so
// starting or resizing the pool does nothing and no move is ever handed
// to a helper (no split point, reservation or priority change).
#include "engine/thread_pool.h"

void StartThreads(int) {}

void SetThreadCount(int) {}

int SplitNode(SearchNode *, int, int *, int *, Move *, Move *, Move, SearchNode *) {
    return 0;
}

void WaitForHelpers(SearchNode *) {}

#ifdef VLM_DEBUG
bool HelpersWorkFor(const SearchNode *) {
    return false;
}
#endif
