// The module's wrappers around the program's report and probe callbacks;
// the report switches hold them while reporting is on.
#pragma once

#include "engine/position.h"

// A line of the current search (index linesDone), after the node total.
void ReportPv(int depth, int score, const Move *pv, int lowerBound);
// A current-move line; with no node, a depth-and-nodes line.
void ReportCurrentMove(int depth, const SearchNode *node, int repeat);
// Probes the program's tablebases for the position: 1 found, 0 not.
int ProbeTablebase(const Position *position, int side, int epSquare, int *score);
// Builds the probe board: codes of a1..h8.
void BuildProbeBoard(const Position *position, int8_t board[64]);
// Points the switches at the wrappers and the timers at the program.
void InstallReportHooks();
