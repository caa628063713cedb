// Handlers of the commands that drive the search. Each starts the engine
// when it is not running yet, so no command can find it missing.
#include "frontend/handlers.h"

#include <cstdio>

#include "frontend/control_thread.h"
#include "frontend/engine_link.h"
#include "frontend/engine_start.h"
#include "frontend/go_command.h"
#include "frontend/options.h"
#include "frontend/output.h"
#include "frontend/search_output.h"

bool HandleIsReady(const char *line, char **, int, const char *) {
    EnsureEngineStarted(line);
    PrintLine("readyok");
    return true;
}

bool HandleStop(const char *line, char **, int, const char *) {
    EnsureEngineStarted(line);
    StopEngineSearch();
    return true;
}

bool HandlePonderHit(const char *, char **, int, const char *) {
    engineOps.ponderHit();
    ReleasePonderWait();
    return true;
}

bool HandleUciNewGame(const char *line, char **, int, const char *) {
    EnsureEngineStarted(line);
    StopEngineSearch();
    PostCommand("waitforidle");
    engineOps.clearHash();
    return true;
}

bool HandleGo(const char *line, char **words, int nWords, const char *) {
    EnsureEngineStarted(line);
    ThinkRequest request = ParseGoCommand(line, words, nWords);
    // A search still running (an analysis or a ponder search never ends by
    // itself) is stopped and answers first; it must be over before its
    // stop flag is cleared.
    StopEngineSearch();
    if (!WaitForControlIdle())
        return true;
    bool analysis = request.mode == MODE_INFINITE || request.kind == LIMIT_INFINITE;
    displayContempt = analysis ? 0 : int32_t(ClampedOptionNumber("Contempt", -9999, 9999));
    ForgetPonderRelease();
    engineOps.clearStop();
    char command[128];
    snprintf(command, sizeof command, "think %d %d %d %d %d %d %d %d", request.mode, request.kind,
             request.wtime, request.btime, request.movesToGo, request.winc, request.binc,
             request.extra);
    PostTakenSlot(command);
    return true;
}
