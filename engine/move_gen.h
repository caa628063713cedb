// Candidate moves: a small stack per node, filled with the pseudo-legal
// moves of one man at a time in side-list order.
#pragma once

#include "engine/position.h"

// Writes the next move to *out and returns it; MOVE_NONE when the side has
// no more. After MOVE_NONE, ResetMoveList before calling again.
Move NextMove(SearchNode *node, Move *out);
// Pushes move only when it is a pseudo-legal move of node.side here.
void PushIfPseudoLegal(SearchNode *node, Move move);
// Pushes the captures of the man on square by the two least valuable
// attackers of the side to move, the cheaper one handed out first.
void PushCaptures(SearchNode *node, int square);
