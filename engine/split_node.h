// What the search shares with helper threads at split nodes: the node
// state copies, the split lock, the search generation and node totals.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/position.h"
#include "platform/sync.h"

// Guards each raise of a split node's shared alpha (with the writes of the
// killers, line and bounds that go with it, by the owner as by a helper),
// the owner's cap of a shared window and the tablebase probe. Entered
// through EnterSplitLock. May be taken while holding a merge lock (thread
// pool), never the other way round. Under it run the report and probe
// callbacks and, at the root, the shallow search of a raise; nothing under
// it splits or waits for another thread.
extern CriticalSection splitLock;
// Raised whenever a split node's shared alpha is raised; a thread whose
// Position's generation is below it abandons its subtree.
extern std::atomic<int32_t> splitGeneration;
// The node counts that helper threads have added to the root Position's
// own count (which only the root's thread writes).
extern std::atomic<int64_t> totalNodes;

// Node total of the current search: the root Position's count plus the
// helpers' additions.
int64_t TotalNodes(const Position *rootPosition);
// The total a report may show: TotalNodes of the reporting thread's
// Position, but never below an earlier report of the same search.
int64_t ReportedNodeTotal(const Position *position);
void ResetReportedNodes();

// Copies the node state (castleFlags onwards); the copy's candidate stack
// starts empty.
void CopyNodeState(SearchNode *destination, const SearchNode *source);
// The same, from a helper's root record.
void CopyRootNodeState(SearchNode *destination, const SearchNode *source);
inline bool MovesEqual(const Move *a, const Move *b) {
    return *a == *b;
}
void EnterSplitLock(const Position *position);
void LeaveSplitLock();
#ifdef VLM_DEBUG
// The thread of position holds splitLock.
bool SplitLockIsHeldBy(const Position *position);
// This thread may write the node's shared bounds, line and killers now:
// while helpers work for the node (or at a helper's root) only under
// splitLock.
bool SharedWriteIsLocked(const SearchNode *node);
#endif
