// The evaluation snapshots of the move search: before a child is
// evaluated, the parent's evaluation state is saved in a slot of a shared
// pool and copied back when the child's search is over.
#pragma once

#include <atomic>

#include "engine/position.h"

constexpr int N_EVAL_SNAPSHOTS = 400;

struct EvalSnapshot {
    std::atomic<Position *> owner;  // null while free
    EvalWorkArea evalArea;
    SideEvalWords sideWords[2];  // [SideIndex]
    int32_t effectiveValue[N_PIECE_CODES];
    int32_t squareValue[N_MEN_RECORDS];
    int32_t noProgressPull;
};

extern EvalSnapshot evalSnapshots[N_EVAL_SNAPSHOTS];

// Claims a free slot for the position and saves its evaluation state into
// it; null when every slot is taken.
EvalSnapshot *SaveEvalSnapshot(Position *position);
// Copies the state back and frees the slot.
void RestoreEvalSnapshot(EvalSnapshot *snapshot, Position *position);
// Frees every slot (at the start of each search).
void ReleaseEvalSnapshots();
