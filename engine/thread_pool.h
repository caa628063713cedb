// The pool of helper threads. The program's copy of the core links a
// stand-in where the pool is absent: nothing is ever handed to a helper.
#pragma once

#include <cstdint>

#include "engine/position.h"

// What the pool did since its start or the last reset, for tests and
// measurements. A hand-over "after a merge" is one made at a split where
// a helper had already finished; it may then see that helper's move seen
// in the split node, or its killer pair in the owner's child.
struct ThreadPoolStats {
    int64_t helperNodes[48];  // nodes each helper record searched
    int32_t nHelperRecords;
    int64_t nSplits;
    int64_t nHandOvers;
    int64_t nHandOversAfterMerge;
    int64_t nHandOversSeeingMoves;
    int64_t nHandOversSeeingKillers;
};

// Builds the thread records and starts the helpers for nThreads.
void StartThreads(int nThreads);
// Changes how many threads may search at once.
void SetThreadCount(int nThreads);
// Hands the move of a node to an idle helper: 1 when handed over.
int SplitNode(SearchNode *node, int depth, int *beta, int *alpha, Move *killers, Move *pvOut,
              Move move, SearchNode *child);
// Waits until every helper working for the node is back.
void WaitForHelpers(SearchNode *node);
#ifdef VLM_DEBUG
// A helper works for the node right now.
bool HelpersWorkFor(const SearchNode *node);
#endif
// The statistics exist in the module's pool only, not in the stand-in.
void ReadThreadPoolStats(ThreadPoolStats *stats);
void ResetThreadPoolStats();
