// Program entry: processor state, the Threads option's default and range,
// the option table, the engine module and its callbacks, then the UCI
// loop.
#include <cstdio>

#include "frontend/engine_link.h"
#include "frontend/engine_start.h"
#include "frontend/options.h"
#include "frontend/output.h"
#include "frontend/search_output.h"
#include "frontend/timer_service.h"
#include "frontend/uci_loop.h"
#include "platform/module_loader.h"
#include "platform/process.h"
#include "platform/threads.h"
#include "tablebases/tablebase_probe.h"

static void FillCallbacks() {
    callbacks.setTimer = RequestTimer;
    callbacks.reportPv = PrintPvLine;
    callbacks.reportCurrentMove = PrintCurrentMove;
    callbacks.reportNodes = StoreNodeCount;
    callbacks.probeTablebase = LookUpTablebaseScore;
}

int main() {
    SetSseFlushToZero();
    engineStarted = false;

    int nProcessors = CountProcessors();
    snprintf(threadsDefaultText, sizeof threadsDefaultText, "%d", nProcessors);
    snprintf(threadsRangeText, sizeof threadsRangeText, "min 1 max %d", nProcessors);
    ResetOptions();

    void *module = LoadModule(ENGINE_MODULE_NAME);
    if (!module) {
        ReportError("Cannot find engine module", "");
        ExitProcessNow(-1);
    }
    EngineInitFunction engineInit =
        reinterpret_cast<EngineInitFunction>(BindSymbol(module, "EngineInit"));
    if (!engineInit) {
        ReportError("Engine entry point not found", "");
        ExitProcessNow(-1);
    }

    FillCallbacks();
    engineInit(&callbacks, &engineOps);
    // Settings sent before the engine starts build on the module's own.
    engineOps.getSettings(&engineSettings);
    RunUciLoop();
    ExitProcessNow(1);
}
