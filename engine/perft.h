// Perft: the number of legal move paths of a given depth, the yardstick
// of the board code. Not a search: no evaluation, no table.
#pragma once

#include <cstdint>

#include "engine/position.h"

// Counts the leaves depth plies below node. Each move is made, kept when
// the mover's king is not attacked (castling rights fixed as for game
// moves), counted or recursed into, and unmade. With slowChecks (debug
// builds) every node's key is compared with one computed from scratch and
// every unmake with an image of the Position taken before the make.
int64_t Perft(SearchNode *node, int depth);
// Perft by root move: calls report(move, count) for each legal root move.
int64_t PerftDivide(SearchNode *node, int depth, void (*report)(Move move, int64_t count));
