// Test helper for the evaluation: fresh evaluation state per case, set-up
// from FEN, and mirrored positions.
#pragma once

#include <string>

#include "board_fixture.h"
#include "engine/evaluate.h"
#include "engine/module_state.h"

// Every case starts from a freshly loaded module: default settings,
// unbuilt weights, no noise.
inline void ResetEvaluationForTest() {
    settings = defaultSettings;
    rootSide = WHITE;
    ResetEvaluationState();
}

// The FEN of the colour-mirrored position: ranks reversed, colours and side
// to move exchanged, castling letters swapped.
inline std::string MirrorFen(const std::string &fen) {
    std::string board = fen.substr(0, fen.find(' '));
    std::string rest = fen.substr(board.size());
    std::string ranks[8];
    int r = 0;
    for (char c : board) {
        if (c == '/')
            r++;
        else
            ranks[r] += c;
    }
    std::string out;
    for (int i = 7; i >= 0; i--) {
        for (char c : ranks[i])
            out += char(isupper(c) ? tolower(c) : (islower(c) ? toupper(c) : c));
        if (i)
            out += '/';
    }
    std::string fields[4];
    size_t pos = 0;
    for (int i = 0; i < 4 && pos < rest.size(); i++) {
        while (pos < rest.size() && rest[pos] == ' ')
            pos++;
        while (pos < rest.size() && rest[pos] != ' ')
            fields[i] += rest[pos++];
    }
    out += fields[0] == "w" ? " b" : " w";
    std::string castling;
    for (char c : fields[1])
        castling += char(c == '-' ? c : (isupper(c) ? tolower(c) : toupper(c)));
    out += " " + (castling.empty() ? std::string("-") : castling);
    std::string ep = fields[2];
    if (ep.size() == 2)
        ep[1] = char('1' + ('8' - ep[1]));
    out += " " + (ep.empty() ? std::string("-") : ep);
    return out;
}

inline std::string MirrorMoveText(const std::string &text) {
    std::string out = text;
    out[1] = char('1' + ('8' - text[1]));
    out[3] = char('1' + ('8' - text[3]));
    return out;
}
