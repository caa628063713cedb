// Engine command handlers. Until the engine start and control thread
// exist, "isready" answers at once and the rest are accepted quietly.
#include "frontend/handlers.h"

#include "frontend/output.h"

bool HandleIsReady(const char *, char **, int, const char *) {
    PrintLine("readyok");
    return true;
}

bool HandleSetOption(const char *, char **, int, const char *) { return true; }

bool HandleUciNewGame(const char *, char **, int, const char *) { return true; }

bool HandlePosition(const char *, char **, int, const char *) { return true; }

bool HandleGo(const char *, char **, int, const char *) { return true; }

bool HandleStop(const char *, char **, int, const char *) { return true; }

bool HandlePonderHit(const char *, char **, int, const char *) { return true; }
