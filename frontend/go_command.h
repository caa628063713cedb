// Reading a "go" line into the search request for the control thread.
#pragma once

// The eight numbers of a "think" command.
struct ThinkRequest {
    int mode;   // MODE_NORMAL, MODE_PONDER or MODE_INFINITE
    int kind;   // LIMIT_DEPTH, LIMIT_INFINITE, LIMIT_MOVE_TIME or LIMIT_CLOCK
    int wtime;  // seconds, or the depth / move time / 60 as the kind says
    int btime;
    int movesToGo;  // 0: not given
    int winc;       // seconds
    int binc;
    int extra;  // always 0
};

// Walks the words after "go". Unsupported and incomplete keywords print
// their error line and are skipped; the request is always usable.
ThinkRequest ParseGoCommand(const char *line, char *const *words, int nWords);
