// Legal moves: the generator's pseudo-legal moves that do not leave the
// mover's king attacked, in the generator's order.
#pragma once

#include "engine/position.h"

// Room for every legal move of any position.
constexpr int MAX_LEGAL_MOVES = 256;

// After MakeMove: true when the king of the side that moved is attacked.
bool MoverKingIsAttacked(const SearchNode *child);
// Fills moves with node's legal moves; returns their number. The node's
// candidate stack must be empty; it is empty again afterwards.
int GenerateLegalMoves(SearchNode *node, Move moves[MAX_LEGAL_MOVES]);
// True when move is one of node's legal moves.
bool MoveIsLegal(SearchNode *node, Move move);
