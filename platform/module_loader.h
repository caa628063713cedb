// Loading a shared module and binding its exports.
#pragma once

#include <string>

// Directory holding the running executable, with a trailing '/', or "".
std::string ProgramDirectory();
// Loads the module from the program's directory, then by bare name along
// the system search path. Returns null when neither works.
void *LoadModule(const char *fileName);
void *BindSymbol(void *module, const char *name);
