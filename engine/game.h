// The game the core is asked to play: the main Position and its root
// node, the game record, the history of keys since the last capture or
// pawn move, and the operations that set up and extend the game.
#pragma once

#include "engine/fen_setup.h"
#include "engine/position.h"

constexpr int GAME_HISTORY_SLOTS = 101;

extern Position mainPosition;
extern SearchNode rootNode;
extern GameRecord gameRecord;

// Keys of the game positions since the last irreversible move, oldest
// first; slot i holds the position with half-move count i.
extern HashKey gameHistory[GAME_HISTORY_SLOTS];
extern int32_t nGameHistory;

// Stores key at index i (the root's half-move count); nGameHistory = i + 1.
// Past the last slot the history slides, keeping the latest positions.
void RecordHistoryKey(const HashKey *key, int i);

// Resets the game record from FEN text (NULL: the start position): 0, or
// -1 with nothing changed.
[[nodiscard]] int NewGame(const char *fen);
// Plays a legal move of the root's side into the game: 0, or -1 for a
// move that is not legal here (nothing changes).
[[nodiscard]] int ApplyMove(Move move);
// NewGame, then ParseFen into the main root node: the first failure.
[[nodiscard]] int SetGamePosition(const char *fen);
// A game move with a promotion letter ('R', 'B', 'N'; anything else
// leaves the move as it is), then ApplyMove.
[[nodiscard]] int PlayGameMove(Move move, int promotionLetter);
