// Tablebase registration as the options drive it: the files along the
// path, then a fresh block cache of the option's size.
#include "frontend/tablebase_setup.h"

#include "tablebases/block_cache.h"
#include "tablebases/tablebase_registration.h"

int SetUpTablebases(const char *path, int64_t cacheMb) {
    int maxMen = RegisterTablebases(path);
    SetTablebaseCacheSize(cacheMb);
    return maxMen;
}
