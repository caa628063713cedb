// FEN set-up: the game record's set-up fields parsed from FEN text, and
// the Position and root node built from them.
#pragma once

#include "engine/position.h"

// Room for any text a UCI line can carry; longer text is refused.
constexpr int FEN_TEXT_SIZE = 4096;
constexpr int GAME_RECORD_ENTRIES = 604;

extern const char START_POSITION_TEXT[];

struct GameRecordEntry {
    int32_t clockMs;  // the mover's game clock after the move
    Move move;
};

struct GameRecord {
    char setupText[FEN_TEXT_SIZE];  // the board field of the FEN text
    int32_t setupSide;
    int32_t setupCastling;
    int32_t setupEpSquare;
    int32_t setupHalfMoves;   // always 0: the FEN counters are not read
    int32_t setupMoveNumber;  // 1 for the start position, 21 for FEN text
    int32_t plyCount;
    int32_t replayCount;
    GameRecordEntry entries[GAME_RECORD_ENTRIES];
};

// Parses fen (NULL: the start position) into game's set-up fields. The
// text is checked in full, board included, before anything is written:
// on failure game is unchanged and the result is -1, else 0.
[[nodiscard]] int ParseSetupText(const char *fen, GameRecord *game);
// The cannot-win flag that colour's men alone give (no pawns, rooks or
// queens, and minor pieces that cannot mate), else 0.
int CannotWinFlagOfMaterial(const PieceKindRecord *kinds, int colour);
// Builds root.position and root from game's set-up fields: 0, or -1 for a
// bad board field (nothing is changed then).
[[nodiscard]] int ParseFen(SearchNode *root, GameRecord *game);
