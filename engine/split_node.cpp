// Node copies, the split lock (whose holder the debug builds track) and the
// words shared with helper threads. The node state is the block from
// castleFlags to the end of SearchNode; its candidate stack pointer is
// rebased onto the copy so a copy never pops its source's moves.
#include "engine/split_node.h"

#include <cstddef>
#include <cstring>

#include "engine/thread_pool.h"

CriticalSection splitLock;
std::atomic<int32_t> splitGeneration{1};
std::atomic<int64_t> totalNodes{0};

int64_t TotalNodes(const Position *rootPosition) {
    return rootPosition->nodes + totalNodes.load(std::memory_order_relaxed);
}

// A helper reporting a root line knows its own count and what others
// handed in, but not the main thread's running count: keep the reported
// total from ever falling back.
static std::atomic<int64_t> reportedNodes{0};

int64_t ReportedNodeTotal(const Position *position) {
    int64_t total = TotalNodes(position);
    int64_t previous = reportedNodes.load(std::memory_order_relaxed);
    while (total > previous &&
           !reportedNodes.compare_exchange_weak(previous, total, std::memory_order_relaxed)) {
    }
    return total > previous ? total : previous;
}

void ResetReportedNodes() { reportedNodes.store(0, std::memory_order_relaxed); }

void CopyNodeState(SearchNode *destination, const SearchNode *source) {
    constexpr size_t start = offsetof(SearchNode, castleFlags);
    memcpy(reinterpret_cast<char *>(destination) + start,
           reinterpret_cast<const char *>(source) + start, sizeof(SearchNode) - start);
    destination->moveCursor = destination->candidates;
}

void CopyRootNodeState(SearchNode *destination, const SearchNode *source) {
    CopyNodeState(destination, source);
}

#ifdef VLM_DEBUG
// The holder's threadId, 0 when free, and how often it entered: the lock
// is recursive (a tablebase probe below a raise enters it again).
static std::atomic<int32_t> splitLockHolder{0};
static int32_t nSplitLockEntries = 0;  // the holder's alone
#endif

void EnterSplitLock([[maybe_unused]] const Position *position) {
    EnterCriticalSection(&splitLock);
#ifdef VLM_DEBUG
    if (nSplitLockEntries++ == 0)
        splitLockHolder.store(position->threadId, std::memory_order_relaxed);
#endif
}

void LeaveSplitLock() {
#ifdef VLM_DEBUG
    if (--nSplitLockEntries == 0)
        splitLockHolder.store(0, std::memory_order_relaxed);
#endif
    LeaveCriticalSection(&splitLock);
}

#ifdef VLM_DEBUG
// Only the holder stores its own id, so a thread reads its own id back
// exactly while it holds the lock.
bool SplitLockIsHeldBy(const Position *position) {
    return splitLockHolder.load(std::memory_order_relaxed) == position->threadId;
}

bool SharedWriteIsLocked(const SearchNode *node) {
    bool shared = (node->nodeFlags & NODE_HELPER) || HelpersWorkFor(node);
    return !shared || SplitLockIsHeldBy(node->position);
}
#endif
