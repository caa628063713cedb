// The module's one export, EngineInit, and the operations it hands out.
// Only the settings exchange runs while a search may not; the rest are
// called by the program between searches except stop, ponderHit and
// timerExpired.
#include "engine/engine_api.h"
#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/thread_pool.h"
#include "platform/threads.h"

static void OpSetSettings(const EngineSettings *in) {
    int32_t oldThreads = settings.Threads;
    ApplySettings(in);
    if (settings.Threads != oldThreads)
        SetThreadCount(settings.Threads);
}

static void OpGetSettings(EngineSettings *out) { *out = settings; }

static void OpClearHash() {}

static int64_t OpInit(int64_t hashBytes, int maxMen) {
    maxTablebaseMen = maxMen;
    StartThreads(settings.Threads);
    return hashBytes;
}

static void OpFreeHash() {}

static int OpSetPosition(const char *fen) { return SetGamePosition(fen); }

static int OpPlayMove(Move move, int promotionLetter) {
    return PlayGameMove(move, promotionLetter);
}

static void OpSetLimits(int kind, int limit1, int limit2, int limit3, int limit4) {
    timeControlKind = kind;
    limitValues[0] = limit1;
    limitValues[1] = limit2;
    limitValues[2] = limit3;
    limitValues[3] = limit4;
}

static void OpSetMoveNumber(int n) { moveNumber = n; }

static int OpClearStop() {
    stopSearch = 0;
    readyToMove = 0;
    iterationDone = 0;
    return 0;
}

static void OpGo(int, int waitForStop) {
    searchState = waitForStop ? 2 : 1;
    while (searchState == 2 && stopSearch == 0)
        SleepMs(100);
    searchState = 0;
}

static void OpPonderHit() {
    if (iterationDone && readyToMove)
        stopSearch = 1;
    searchState = 1;
}

static int OpStop() {
    stopSearch = 1;
    searchState = 1;
    return 1;
}

static void OpTimerExpired() {}

VLM_EXPORT void EngineInit(FrontEndCallbacks *callbacks, EngineOps *ops) {
    ops->setSettings = OpSetSettings;
    ops->getSettings = OpGetSettings;
    ops->clearHash = OpClearHash;
    ops->init = OpInit;
    ops->freeHash = OpFreeHash;
    ops->setPosition = OpSetPosition;
    ops->playMove = OpPlayMove;
    ops->setLimits = OpSetLimits;
    ops->setMoveNumber = OpSetMoveNumber;
    ops->clearStop = OpClearStop;
    ops->go = OpGo;
    ops->ponderHit = OpPonderHit;
    ops->stop = OpStop;
    ops->timerExpired = OpTimerExpired;
    ResetModuleState(callbacks);
}
