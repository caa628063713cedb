// Program entry: processor state, the Threads option's default and range,
// the option table, the engine module, then the UCI loop.
#include <cstdio>

#include "frontend/engine_link.h"
#include "frontend/options.h"
#include "frontend/output.h"
#include "frontend/uci_loop.h"
#include "platform/module_loader.h"
#include "platform/process.h"
#include "platform/threads.h"

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

    engineInit(&callbacks, &engineOps);
    RunUciLoop();
    ExitProcessNow(1);
}
