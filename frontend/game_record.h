// The program's own copy of the game: it checks each "position" command,
// turns move text into moves, tells the output and the book which man
// stands where, and reports the end of the game.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/engine_api.h"

struct SearchNode;

// Game ends, as RecordGameMove reports them.
enum GameEnd {
    GAME_GOES_ON = 0,
    GAME_CHECKMATE = 2,
    GAME_STALEMATE = 3,
    GAME_REPETITION = 4,
    GAME_INSUFFICIENT_MATERIAL = 5,
    GAME_FIFTY_MOVES = 6,
    GAME_LIST_OVERFLOW = 7,
};

// gameState: GAME_ON while moves are accepted; after a checkmate 2 when
// white is mated and 0 when black is; 1 after a draw.
constexpr int GAME_ON = 3;
constexpr int GAME_DRAWN = 1;
constexpr int GAME_WHITE_MATED = 2;
constexpr int GAME_BLACK_MATED = 0;
constexpr int GAME_PLY_LIMIT = 599;  // beyond this the list reports overflow

extern int gameState;

constexpr const char *START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

// Keys and the start position; once, before anything reads the game.
void InitGameRecord();
// Hands the text to the module and sets the game up; false when the text
// is no valid position.
bool SetUpGame(const char *fenText);
// One move text of a "moves" list; false when it names no legal move or
// the game is over.
bool PlayGameMove(const char *text, bool isLast);
// The first legal move, in generator order, that the text names.
Move ParseMoveText(const char *text);
// Plays a legal move into the record and classifies the end after the
// last move of a list.
int RecordGameMove(Move move, bool isLast);
// The end of the game at node; sets gameState.
int ClassifyGameEnd(SearchNode *node);

// Read access for the output and the book, while no "position" runs.
int GameSideToMove();
void GameKey(uint32_t *lock32, uint16_t *lock16);
bool GameMoveIsLegal(Move move);
// The first legal move in generator order, or MOVE_NONE.
Move FirstLegalGameMove();
// " m1 m2 ..." for the line played from the game position, stopping at
// the first move that is not legal there; returns the moves written.
int FormatGameLine(const Move *line, int maxMoves, char *text, size_t size);
