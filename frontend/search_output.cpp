// PV, current-move and best-move lines. Reports may come from the control
// thread and a helper thread at once, so the latest line, the node total
// and the move number are kept under one lock; lines are built from the
// game position, which does not change while a search runs.
#include "frontend/search_output.h"

#include <cstdio>
#include <mutex>

#include "frontend/game_record.h"
#include "frontend/move_text.h"
#include "frontend/output.h"

std::atomic<int32_t> displayContempt{0};

constexpr int MATE_BAND = 8999;
constexpr int PV_TEXT_BYTES = PV_MOVES * 6 + 8;

// Only the output lock is taken under it.
static std::mutex &ReportLock() {
    static std::mutex *lock = new std::mutex;  // search threads outlive main
    return *lock;
}

static Move lastPv[PV_MOVES] = {MOVE_NONE, MOVE_NONE};
static int64_t nodeCount = 0;
static int currMoveNumber = 0;

void StoreNodeCount(int64_t nodes) {
    std::lock_guard<std::mutex> guard(ReportLock());
    nodeCount = nodes;
}

void FormatScore(char *out, int score, int contempt) {
    if (score > MATE_BAND)
        snprintf(out, 24, "mate %d", (9999 - score) / 2);
    else if (score < -MATE_BAND)
        snprintf(out, 24, "mate %d", (-9999 - score) / 2);
    else
        snprintf(out, 24, "cp %d", score == 0 ? 0 : score - contempt);
}

void PrintPvLine(int lineIndex, int depth, int score, int timeMs, const Move *pv, int) {
    if (!pv)
        return;
    // The text stops at the first move that is not legal where it stands.
    char text[PV_TEXT_BYTES];
    int nMoves = FormatGameLine(pv, PV_MOVES, text, sizeof text);
    if (nMoves == 0)
        return;
    char scoreText[24];
    FormatScore(scoreText, score, displayContempt);
    std::lock_guard<std::mutex> guard(ReportLock());
    // With several lines, only the first is the best one.
    if (lineIndex == 0) {
        for (int i = 0; i < PV_MOVES; i++)
            lastPv[i] = i < nMoves ? pv[i] : MOVE_NONE;
    }
    int64_t nps = timeMs >= 1 ? nodeCount * 1000 / timeMs : 0;
    PrintLine("info depth %d score %s nodes %lld nps %ld tbhits %ld time %d multipv %d pv %s",
              depth, scoreText, static_cast<long long>(nodeCount), static_cast<long>(nps),
              static_cast<long>(tbHits.load()), timeMs, lineIndex + 1, text);
}

void PrintCurrentMove(int depth, Move move, int flags) {
    std::lock_guard<std::mutex> guard(ReportLock());
    if (MoveTo(move) == NO_SQUARE) {
        currMoveNumber = 0;
        PrintLine("info depth %d nodes %lld", depth, static_cast<long long>(nodeCount));
        return;
    }
    // After a promotion the board holds the new queen: read it as the pawn.
    char letter = char((flags >> 8) & 0xFF);
    if (letter == 'Q')
        letter = 'P';
    else if (letter == 'q')
        letter = 'p';
    char text[MOVE_TEXT_BYTES];
    FormatMove(text, move, letter);
    if (!(flags & 0x80))
        currMoveNumber++;
    PrintLine("info currmove %s currmovenumber %d", text, currMoveNumber);
}

void ForgetLastPv() {
    std::lock_guard<std::mutex> guard(ReportLock());
    for (Move &move : lastPv)
        move = MOVE_NONE;
}

void TakeLastPv(Move *best, Move *ponder) {
    std::lock_guard<std::mutex> guard(ReportLock());
    *best = lastPv[0];
    *ponder = lastPv[1];
}

void PrintBestMove(Move best, Move ponder) {
    Move line[2] = {best, ponder};
    char text[PV_TEXT_BYTES];
    int nMoves = FormatGameLine(line, 2, text, sizeof text);
    if (nMoves == 0) {
        Move first = FirstLegalGameMove();
        if (first == MOVE_NONE) {
            PrintLine("bestmove 0000");
            return;
        }
        line[0] = first;
        nMoves = FormatGameLine(line, 1, text, sizeof text);
    }
    char bestText[MOVE_TEXT_BYTES + 2], ponderText[MOVE_TEXT_BYTES + 2];
    if (nMoves == 2 && sscanf(text, "%7s %7s", bestText, ponderText) == 2)
        PrintLine("bestmove %s ponder %s", bestText, ponderText);
    else if (sscanf(text, "%7s", bestText) == 1)
        PrintLine("bestmove %s", bestText);
}
