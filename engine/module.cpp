// The module's one export, EngineInit, and the operations it hands out.
// Only the settings exchange runs while a search may not; the rest are
// called by the program between searches except stop, ponderHit and
// timerExpired.
#include "engine/engine_api.h"
#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"
#include "engine/search.h"
#include "engine/search_init.h"
#include "engine/thread_pool.h"
#include "engine/time_control.h"
#include "engine/transposition_table.h"
#include "platform/threads.h"

static void OpSetSettings(const EngineSettings *in) {
    int32_t oldThreads = settings.Threads;
    ApplySettings(in);
    if (settings.Threads != oldThreads)
        SetThreadCount(settings.Threads);
}

static void OpGetSettings(EngineSettings *out) { *out = settings; }

static void OpClearHash() {
    ClearHashTable(&hashTable);
}

static int64_t OpInit(int64_t hashBytes, int maxMen) {
    maxTablebaseMen = maxMen;
    int64_t bytes = InitSearch(hashBytes < 0 ? 0 : hashBytes);
    StartThreads(settings.Threads);
    return bytes;
}

// A registration after the start changes the limit without a new hash.
static void OpSetTablebaseMen(int maxMen) {
    maxTablebaseMen = maxMen;
}

static void OpFreeHash() {
    FreeHashTable();
}

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
    HoldStop();
    readyToMove = 0;
    iterationDone = 0;
    EnterCriticalSection(&searchStateLock);
    ponderHitPending = 0;
    LeaveCriticalSection(&searchStateLock);
    return 0;
}

// A search needs a set-up game: both kings on the board.
static bool RootIsSetUp() {
    const PieceRecord *whiteKing = mainPosition.kingByColour[WHITE + 1];
    const PieceRecord *blackKing = mainPosition.kingByColour[BLACK + 1];
    return rootNode.sideRecord && rootNode.position == &mainPosition && whiteKing && blackKing &&
           PieceIsMan(whiteKing) && PieceIsMan(blackKing);
}

static void OpGo(int nLines, int waitForStop) {
    // A ponder hit that came before this search began has already ended
    // the waiting.
    EnterCriticalSection(&searchStateLock);
    searchState = waitForStop && !ponderHitPending ? 2 : 1;
    ponderHitPending = 0;
    LeaveCriticalSection(&searchStateLock);
    if (RootIsSetUp()) {
        rootSide = rootNode.side;
        Think(&rootNode, nLines);
    }
    ReleaseStop();
    while (searchState == 2 && stopSearch == 0)
        SleepMs(100);
    EnterCriticalSection(&searchStateLock);
    searchState = 0;
    LeaveCriticalSection(&searchStateLock);
}

static void OpPonderHit() {
    EnterCriticalSection(&timerArmLock);
    EnterCriticalSection(&searchStateLock);
    bool inGo = searchState != 0;
    if (!inGo) {
        ponderHitPending = 1;
    } else {
        if (iterationDone && readyToMove)
            stopSearch = 1;
        searchState = 1;
    }
    LeaveCriticalSection(&searchStateLock);
    // Only a search whose time is allocated arms its timers. The re-arm
    // may wait for an expiry in progress, which may need searchStateLock.
    if (inGo && timersArmable && pendingFirstMs > 0 && armTimers)
        armTimers(pendingFirstMs, pendingSecondMs);
    LeaveCriticalSection(&timerArmLock);
}

static int OpStop() {
    RequestStop();
    // Idle stays idle, so that a ponder hit before the next go is kept.
    EnterCriticalSection(&searchStateLock);
    if (searchState != 0)
        searchState = 1;
    LeaveCriticalSection(&searchStateLock);
    return 1;
}

static void OpTimerExpired() {
    TimerExpired();
}

VLM_EXPORT void EngineInit(FrontEndCallbacks *callbacks, EngineOps *ops) {
    ops->setSettings = OpSetSettings;
    ops->getSettings = OpGetSettings;
    ops->clearHash = OpClearHash;
    ops->init = OpInit;
    ops->freeHash = OpFreeHash;
    ops->setPosition = OpSetPosition;
    ops->playMove = OpPlayMove;
    ops->setLimits = OpSetLimits;
    ops->setTablebaseMen = OpSetTablebaseMen;
    ops->setMoveNumber = OpSetMoveNumber;
    ops->clearStop = OpClearStop;
    ops->go = OpGo;
    ops->ponderHit = OpPonderHit;
    ops->stop = OpStop;
    ops->timerExpired = OpTimerExpired;
    ResetModuleState(callbacks);
    InstallReportHooks();
    hashAllocationMode = HASH_ALLOCATION_EXITS;
}
