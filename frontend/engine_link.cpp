// Globals of the module binding.
#include "frontend/engine_link.h"

FrontEndCallbacks callbacks;
EngineOps engineOps;
bool engineStarted = false;
