// The "info" and "bestmove" lines made from the module's reports.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/engine_api.h"
#include "tablebases/tablebase_probe.h"  // tbHits, shown in PV lines

constexpr int PV_MOVES = 19;      // moves of a reported line
constexpr int MAX_PV_LINES = 99;  // MultiPV lines the search can hold

// The contempt that PV scores are shown without; set by "go".
extern std::atomic<int32_t> displayContempt;

// The module's callbacks.
void StoreNodeCount(int64_t nodes);
void PrintPvLine(int lineIndex, int depth, int score, int timeMs, const Move *pv, int lowerBound);
void PrintCurrentMove(int depth, Move move, int flags);

// Forgets the line of an earlier search.
void ForgetLastPv();
// Best and ponder move of the latest line; MOVE_NONE when there is none.
void TakeLastPv(Move *best, Move *ponder);
// "bestmove ..." for the game position. A missing or illegal best move
// becomes the first legal move, or 0000 when there is none.
void PrintBestMove(Move best, Move ponder);

// The score part of a PV line: "cp N" or "mate N".
void FormatScore(char *out, int score, int contempt);
