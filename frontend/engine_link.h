// The program's side of the module binding.
#pragma once

#include "engine/engine_api.h"

extern FrontEndCallbacks callbacks;  // lent to the module for the whole run
extern EngineOps engineOps;          // filled by EngineInit
extern bool engineStarted;           // set by the first "isready" or "stop"

#ifdef VLM_W32
constexpr const char *ENGINE_MODULE_NAME = "vlm11.1.w32.so";
#else
constexpr const char *ENGINE_MODULE_NAME = "vlm11.1.x64.so";
#endif
