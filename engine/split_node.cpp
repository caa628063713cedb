// Node copies and the words shared with helper threads. The node state is
// the block from castleFlags to the end of SearchNode; its candidate stack
// pointer is rebased onto the copy so a copy never pops its source's moves.
#include "engine/split_node.h"

#include <cstddef>
#include <cstring>

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

void LeaveSplitLock() {
    LeaveCriticalSection(&splitLock);
}
