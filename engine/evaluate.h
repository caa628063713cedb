// The evaluation entry and its two paths.
#pragma once

#include "engine/position.h"

// Static score of the node from the side to move's view, left in node->score.
// Answered from the thread's evaluation cache when it holds the node.
void Evaluate(SearchNode *node, int resetSnapshots);
// The same evaluation made afresh (verify mode, tests); the weights must
// already be built, as Evaluate builds them.
void EvaluateWithoutCache(SearchNode *node);
// The full evaluation, white's view; sets or clears bit 0x400 of *castleFlags.
int EvaluateFull(Position *pos, int *castleFlags, int halfMoves);
// The endgame path; called by Evaluate when little piece material is left.
void EvaluateEndgame(SearchNode *node, int resetSnapshots);
// The endgame body, white minus black; sets or clears bit 0x400 of *nodeFlags.
int ScoreEndgame(Position *pos, unsigned *nodeFlags, int reversibleCount, int side);

// Frees every evaluation snapshot slot at the start of a search; the
// snapshot pool's own release unless a caller installs another.
typedef void (*ReleaseSnapshotsHook)();
extern ReleaseSnapshotsHook releaseEvalSnapshots;

// Tests only: weights and globals back to a freshly loaded module.
void ResetEvaluationState();
