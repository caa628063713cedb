// Test helper: a Position and root node of the test's own, set up from FEN.
#pragma once

#include <string>

#include "engine/board.h"
#include "engine/fen_setup.h"
#include "engine/position.h"

struct TestBoard {
    Position position;
    SearchNode root;
    GameRecord record;
};

// Sets board up from fen (NULL: the start position); false when refused.
inline bool SetUpBoard(TestBoard *board, const char *fen) {
    InitWorkAreas(&board->position);
    InitRootNode(&board->root, &board->position);
    return ParseSetupText(fen, &board->record) == 0 && ParseFen(&board->root, &board->record) == 0;
}

inline int SquareFromText(const char *text) {
    return (text[1] - '1') * 16 + (text[0] - 'a');
}

// "e2e4" style text, with the raw to byte of under-promotions kept as given.
inline Move MoveFromText(const char *text) {
    return MakeMoveCode(SquareFromText(text), SquareFromText(text + 2));
}

inline std::string MoveText(Move move) {
    int from = MoveFrom(move), toByte = MoveTo(move), to = RealSquare(toByte);
    std::string text;
    text += char('a' + FileOf(from));
    text += char('1' + RankOf(from));
    text += char('a' + FileOf(to));
    text += char('1' + RankOf(to));
    if (toByte & 0x80) {
        const char letters[8] = {'r', 'b', 'n', 'n', 'n', 'n', 'b', 'r'};  // 0x8. .. 0xF.
        text += letters[(toByte >> 4) - 8];
    }
    return text;
}
