// Make and unmake: a move changes the shared Position in place and fills
// the child node with its running score, counters and flags.
#pragma once

#include "engine/position.h"

// Plays a pseudo-legal move of node.side into child. A move that leaves
// the mover's king attacked is allowed: the child captures the king.
void MakeMove(SearchNode *node, Move move, SearchNode *child);
// Restores the Position to the state before the MakeMove that filled child.
void UnmakeMove(SearchNode *child);
// child.key from child.parent.key after a MakeMove.
void UpdateNodeAfterMove(SearchNode *child);
// Clears castling rights whose rook is not on its corner.
void FixCastlingRights(SearchNode *node);
// Fills child as the position after a pass; nothing to unmake.
void MakeNullMove(SearchNode *node, SearchNode *child);
// A rook's square value: its map entry, the rook kind's effective value and
// the open-file bonus when no pawn of either side stands on its file.
int32_t RookSquareValue(const Position *position, int square);
