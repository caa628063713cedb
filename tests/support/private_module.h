// Loads a private copy of the built module: each copy has globals of its
// own, so tests with different callbacks do not share one engine.
#pragma once

#include "engine/engine_api.h"

// Copies the module under a name made of tag and the process id, loads
// it, and fills ops through EngineInit; ops stays empty on failure.
EngineOps LoadPrivateModule(const FrontEndCallbacks &callbacks, const char *tag);
// The same, then init with a table of hashBytes and no tablebases.
EngineOps LoadStartedPrivateModule(const FrontEndCallbacks &callbacks, const char *tag,
                                   int64_t hashBytes);
// Sets the module's Threads setting, leaving the others as they are.
void SetModuleThreads(const EngineOps &ops, int nThreads);
