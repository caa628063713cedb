// The pool of helper threads. The program's copy of the core links a
// stand-in where the pool is absent: nothing is ever handed to a helper.
#pragma once

#include "engine/position.h"

// Builds the thread records and starts the helpers for nThreads.
void StartThreads(int nThreads);
// Changes how many threads may search at once.
void SetThreadCount(int nThreads);
// Hands the move of a node to an idle helper: 1 when handed over.
int SplitNode(SearchNode *node, int depth, int *beta, int *alpha, Move *killers, Move *pvOut,
              Move move, SearchNode *child);
// Waits until every helper working for the node is back.
void WaitForHelpers(SearchNode *node);
