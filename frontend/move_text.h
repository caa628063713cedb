// The text form of a move, both ways.
#pragma once

#include "engine/engine_api.h"

struct SearchNode;

constexpr int MOVE_TEXT_BYTES = 6;  // 4 or 5 characters and a NUL

// Coordinate text of a move: from and to square, then a lower-case
// promotion letter when the move promotes. pieceLetter is the FEN letter
// of the moving man; only a pawn's plain move to the last rank needs it.
void FormatMove(char *out, Move move, char pieceLetter);
// Does text name move in the node's position: coordinate, long and short
// algebraic forms and castling ("O-O", "0-0-0").
bool MatchMoveText(const SearchNode *node, Move move, const char *text);
