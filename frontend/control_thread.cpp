// Control thread and its one-slot mailbox. The main thread writes
// commandBuffer only after taking idleEvent, the control thread reads it
// only after taking commandEvent and sets idleEvent when the command has
// run, so a "go" posted after another search sees that search ended.
#include "frontend/control_thread.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "engine/module_state.h"
#include "frontend/engine_link.h"
#include "frontend/game_record.h"
#include "frontend/opening_book.h"
#include "frontend/options.h"
#include "frontend/output.h"
#include "frontend/search_output.h"
#include "frontend/timer_service.h"
#include "frontend/uci_loop.h"
#include "platform/sync.h"
#include "platform/threads.h"

constexpr size_t COMMAND_BYTES = 2048;

static Event commandEvent;
static Event idleEvent;
static Event ponderReleaseEvent;
static std::string commandBuffer;
static std::atomic<bool> controlThreadRunning{false};

static bool HandleWaitForIdle(const char *, char **, int, const char *) {
    return true;
}
static bool HandleThink(const char *, char **words, int, const char *);

static const CommandEntry workerCommandTable[] = {
    {"waitforidle", 1, 1, HandleWaitForIdle},
    {"think", 9, 9, HandleThink},
    {nullptr, 0, 0, nullptr},
};

static bool HandleThink(const char *, char **words, int, const char *) {
    int values[8];
    for (int i = 0; i < 8; i++)
        values[i] = atoi(words[i + 1]);
    // The side to move is the side the engine plays; it picks the clock.
    int side = GameSideToMove();
    rootSide = side;
    bool white = side == 1;
    RunThink(values[0], values[1], white ? values[2] : values[3], values[4],
             white ? values[5] : values[6], values[7]);
    return true;
}

static void RunWorkerCommand() {
    if (!EventWait(&commandEvent, WAIT_FOREVER))
        ReportError("Wait error", "");
    std::string whole = commandBuffer.substr(0, COMMAND_BYTES - 1);
    std::string split = whole;
    std::vector<char *> words;
    int nWords = SplitWords(split.data(), &words);
    const CommandEntry *entry = workerCommandTable;
    while (nWords > 0 && entry->name && strcmp(entry->name, words[0]) != 0)
        entry++;
    if (nWords == 0 || !entry->name || nWords < entry->minWords || nWords > entry->maxWords) {
        ReportError("internal error", whole.c_str());
    } else {
        words.push_back(nullptr);
        entry->handler(whole.c_str(), words.data(), nWords, words[0]);
    }
    // Idle follows every command, even a refused one, or the next post
    // would wait for ever.
    EventSet(&idleEvent);
}

static void WorkerThreadMain(void *) {
    EventSet(&idleEvent);
    for (;;)
        RunWorkerCommand();
}

bool StartControlThread() {
    if (!StartDetachedThread(WorkerThreadMain, nullptr))
        return false;
    controlThreadRunning = true;
    return true;
}

bool ControlThreadRunning() {
    return controlThreadRunning;
}

bool WaitForControlIdle() {
    if (!controlThreadRunning) {
        ReportError("Wait error", "");
        return false;
    }
    if (!EventWait(&idleEvent, WAIT_FOREVER)) {
        ReportError("Wait error", "");
        return false;
    }
    return true;
}

void PostTakenSlot(const char *command) {
    commandBuffer = command;
    commandBuffer.resize(strcspn(commandBuffer.c_str(), "\n"));
    EventSet(&commandEvent);
}

void PostCommand(const char *format, ...) {
    char text[4096];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    if (WaitForControlIdle())
        PostTakenSlot(text);
}

void ReleasePonderWait() {
    EventSet(&ponderReleaseEvent);
}

void StopEngineSearch() {
    engineOps.stop();
    ReleasePonderWait();
}

void ForgetPonderRelease() {
    (void)EventWait(&ponderReleaseEvent, 0);
}

// A book move found for a search that must not answer before "stop"
// or "ponderhit".
static void PlayBookMove(int mode, Move bookMove) {
    Move line[PV_MOVES];
    line[0] = bookMove;
    for (int i = 1; i < PV_MOVES; i++)
        line[i] = MOVE_NONE;
    StoreNodeCount(0);
    PrintPvLine(0, 0, 0, 0, line, 0);
    if (mode == MODE_PONDER)
        (void)EventWait(&ponderReleaseEvent, WAIT_FOREVER);
    PrintBestMove(bookMove, MOVE_NONE);
}

void RunThink(int mode, int kind, int myTime, int movesToGo, int myInc, int extra) {
    engineOps.setLimits(kind, myTime, movesToGo, myInc, extra);
    tbHits = 0;
    if (OptionIsOn("OwnBook") && mode != MODE_INFINITE) {
        Move bookMove =
            ProbeGameBook(int(ClampedOptionNumber("Book_selectivity", -1000, 1000)) * 10);
        if (bookMove != MOVE_NONE) {
            PlayBookMove(mode, bookMove);
            return;
        }
    }
    int nLines = 1;
    if (mode == MODE_INFINITE)
        nLines = int(ClampedOptionNumber("MultiPV", 1, MAX_PV_LINES));
    ForgetLastPv();
    AllowTimers();
    engineOps.go(nLines, mode);
    EndTimers();
    Move best, ponder;
    TakeLastPv(&best, &ponder);
    PrintBestMove(best, ponder);
}
