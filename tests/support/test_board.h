// Positions for the front end's tests, built with the core directly:
// the game after a "position" command, its legal moves as text and its
// book key. Header only: it needs the core, which only some tests link.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "engine/board.h"
#include "engine/fen_setup.h"
#include "engine/hash_keys.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/position.h"
#include "frontend/move_text.h"

struct TestBoard {
    Position position;
    SearchNode nodes[400];
    GameRecord setup;
    int ply = 0;
};

inline SearchNode *TestNode(TestBoard *board) {
    return &board->nodes[board->ply];
}

inline std::vector<std::string> TestLegalMoveTexts(TestBoard *board) {
    SearchNode scan = *TestNode(board);
    Move moves[MAX_LEGAL_MOVES];
    int nMoves = GenerateLegalMoves(&scan, moves);
    std::vector<std::string> texts;
    for (int i = 0; i < nMoves; i++) {
        char text[MOVE_TEXT_BYTES];
        FormatMove(text, moves[i], BoardAt(&board->position, MoveFrom(moves[i]))->letter);
        texts.push_back(text);
    }
    return texts;
}

// Plays coordinate text; false when it names no legal move.
inline bool TestPlay(TestBoard *board, const std::string &text) {
    SearchNode scan = *TestNode(board);
    Move moves[MAX_LEGAL_MOVES];
    int nMoves = GenerateLegalMoves(&scan, moves);
    for (int i = 0; i < nMoves; i++) {
        char moveText[MOVE_TEXT_BYTES];
        FormatMove(moveText, moves[i], BoardAt(&board->position, MoveFrom(moves[i]))->letter);
        if (text == moveText) {
            SearchNode *child = &board->nodes[board->ply + 1];
            MakeMove(TestNode(board), moves[i], child);
            UpdateNodeAfterMove(child);
            FixCastlingRights(child);
            board->ply++;
            return true;
        }
    }
    return false;
}

// fen, then the coordinate moves separated by blanks.
inline bool TestSetUp(TestBoard *board, const std::string &fen, const std::string &moves = "") {
    EnsureHashKeys();
    InitWorkAreas(&board->position);
    board->ply = 0;
    InitRootNode(&board->nodes[0], &board->position);
    if (ParseSetupText(fen.c_str(), &board->setup) != 0 ||
        ParseFen(&board->nodes[0], &board->setup) != 0)
        return false;
    std::istringstream stream(moves);
    for (std::string move; stream >> move;) {
        if (!TestPlay(board, move))
            return false;
    }
    return true;
}

inline bool TestMoveIsLegal(TestBoard *board, const std::string &text) {
    for (const std::string &legal : TestLegalMoveTexts(board)) {
        if (legal == text)
            return true;
    }
    return false;
}
