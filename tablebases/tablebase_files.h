// What registration learns about the files of each endgame: names, open
// handles, decompression data and the block cache's chain heads, kept in a
// table parallel to the constant descriptors.
#pragma once

#include <cstdint>
#include <cstdio>

#include "platform/sync.h"
#include "tablebases/endgame_descriptors.h"

constexpr int MAX_EXTENTS = 18;
constexpr int CACHE_CHAINS = 32;

struct CompressedFileInfo;
struct CacheBlock;

struct TablebaseFiles {
    char *fileName[2][MAX_EXTENTS];                      // null: extent not registered
    std::FILE *file[2][MAX_EXTENTS];                     // opened lazily by the block cache
    CompressedFileInfo *compressedFile[2][MAX_EXTENTS];  // null for a plain file
    CacheBlock **cacheChains[2];  // CACHE_CHAINS heads, null until a file registers
};

extern TablebaseFiles tablebaseFiles[TABLEBASE_COUNT];
// Serialises probes, registration and cache set-up. Probes take it under
// the engine's splitLock; under it only files are read and lines printed.
extern CriticalSection tablebaseLock;

// Extent files of a table side: 1, or for split tables one per 2^31 bytes.
int ExtentCount(int id, int side);
// 1 when an extent of the table side has a registered name (side 0 for
// symmetric tables), else 0.
int IsTablebaseRegistered(int id, int side);
// The side whose files serve a lookup: 0 for symmetric tables.
int FileSide(int id, int side);
