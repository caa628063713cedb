// Wrappers around the program's callbacks. Every callback slot may be
// null: a null slot silently turns off what it serves.
#include "engine/report_wrappers.h"

#include <algorithm>

#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/search.h"
#include "engine/split_node.h"
#include "engine/stopwatch.h"
#include "engine/time_control.h"

void ReportPv(int depth, int score, const Move *pv, int lowerBound) {
    if (!frontEnd.reportPv)
        return;
    if (frontEnd.reportNodes)
        frontEnd.reportNodes(ReportedNodeTotal(&mainPosition));
    if (MoveFrom(pv[0]) == NO_SQUARE)
        return;
    frontEnd.reportPv(linesDone, depth, score, StopwatchElapsed(&searchStopwatch), pv, lowerBound);
}

void ReportCurrentMove(int depth, const SearchNode *node, int repeat) {
    if (!frontEnd.reportCurrentMove)
        return;
    if (!node) {
        frontEnd.reportCurrentMove(depth, MOVE_NONE, 0);
        return;
    }
    const Position *position = node->position;
    int flags = std::max(0, position->threadId / 2 - 2);
    if (repeat)
        flags |= 0x80;
    if (node->nodeFlags & NODE_SPECIAL_MOVE)
        flags |= BoardAt(position, MoveTo(node->lastMove))->letter << 8;
    frontEnd.reportCurrentMove(depth, node->lastMove, flags);
}

void BuildProbeBoard(const Position *position, int8_t board[64]) {
    for (int square = 0, i = 0; square < 0x78; square++) {
        if (!(square & 0x08))
            board[i++] = int8_t(BoardAt(position, square)->code);
    }
}

int ProbeTablebase(const Position *position, int side, int epSquare, int *score) {
    if (!frontEnd.probeTablebase)
        return 0;
    int8_t board[64];
    BuildProbeBoard(position, board);
    return frontEnd.probeTablebase(board, side, epSquare, score);
}

void InstallReportHooks() {
    reportPvHook = ReportPv;
    reportCurrentMoveHook = ReportCurrentMove;
    armTimers = ArmFrontEndTimers;
    probeTablebaseHook = ProbeTablebase;
}
