// Turning the options into the engine: the settings block, the hash
// sizes, the lazy start and "setoption".
#pragma once

#include <cstdint>

#include "engine/engine_api.h"

// The program's copy of the module's settings block: the module's own
// values, overwritten by the options.
extern EngineSettings engineSettings;
extern int64_t hashSizeKb;      // KB granted to the module
extern int maxTablebasePieces;  // largest men count the tablebases cover

constexpr int64_t MEGABYTE = int64_t(1) << 20;
constexpr int64_t MAX_HASH_MB = 4096;

// Fills engineSettings from the options and sends it to the module.
void ApplySettings();
// Sizes the program's own table and the module's for a request in bytes.
void ResizeHash(int64_t bytes);
// The Hash option in MB, held to 1..MAX_HASH_MB; text that is no
// positive number reads as the range minimum.
int64_t HashMegabytes();
// Book, settings, tablebases and hash at the first start.
void ConfigureEngine();
// ConfigureEngine and the control thread; false when the thread failed.
[[nodiscard]] bool StartEngine();
// Starts the engine on the first command that needs it.
void EnsureEngineStarted(const char *line);
