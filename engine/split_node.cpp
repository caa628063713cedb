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
