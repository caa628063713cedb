// Registration: for each directory of the list and each table side, the
// first directory holding a file wins. A registration replaces the last one
// completely and leaves the block cache empty but consistent.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64  // 64-bit offsets in the 32-bit build too
#endif
#include "tablebases/tablebase_registration.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"
#include "tablebases/block_cache.h"
#include "tablebases/index_tables.h"
#include "tablebases/material_registry.h"
#include "tablebases/tablebase_files.h"
#include "tablebases/tb_memory.h"

int32_t filesTried = 0;
int32_t filesOpened = 0;
int32_t compressedFilesOpened = 0;

[[noreturn]] static void EndProgram() {
    fflush(stdout);
    exit(1);
}

void CheckTablebaseSize(int id, int side, int extent, int64_t size, const char *path) {
    (void)extent;
    const TablebaseDescriptor *descriptor = &tablebases[id];
    int64_t count = descriptor->positionCount[side];
    if (count == 0)
        return;
    int64_t fullExtent = count, expected = count;
    if (descriptor->flags & TB_SPLIT) {
        fullExtent = int64_t(1) << ((descriptor->flags & TB_WORD_ENTRIES) ? 30 : 31);
        expected = count % fullExtent;
    }
    if (size == fullExtent || size == expected)
        return;
    printf("*** %s corrupted %" PRIu64 " %" PRIu64 " %" PRIu64 "\n", path, uint64_t(fullExtent),
           uint64_t(expected), uint64_t(size));
    EndProgram();
}

std::string PlainTablebaseName(const char *directory, int id, int side, int extent) {
    std::string path = directory;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += tablebases[id].name;
    if (tablebases[id].flags & TB_SPLIT) {
        path += '.';
        path += static_cast<char>(extent < 10 ? '0' + extent : 'a' + extent - 10);
    }
    path += side == 0 ? ".nbw" : ".nbb";
    return path;
}

static std::FILE *TryOpen(const std::string &path) {
    filesTried++;
    std::FILE *file = fopen(path.c_str(), "rb");
    if (file != nullptr)
        filesOpened++;
    return file;
}

// The compressed spellings in order; *path becomes the one opened.
static std::FILE *OpenCompressedSpelling(int id, bool split, std::string *path) {
    std::string name = *path + ".emd";
    std::FILE *file = TryOpen(name);
    for (int cut = 8; file == nullptr && !split && cut >= 4; cut -= 4) {
        name[name.size() - cut] = '_';
        file = TryOpen(name);
    }
    if (file == nullptr && id <= LAST_FIVE_MEN_ID) {
        // The short name drops the dot before the side suffix.
        name = *path + ".emd";
        name.erase(name.size() - 8, 1);
        file = TryOpen(name);
    }
    if (file != nullptr)
        *path = name;
    return file;
}

static const char *ErrorKindText(int error) {
    switch (error & TB_ERROR_KIND_MASK) {
        case TB_ERROR_READ:
            return "read error";
        case TB_ERROR_MEMORY:
            return "out of memory";
        case TB_ERROR_BROKEN:
            return "file broken";
        default:
            return nullptr;
    }
}

// Header and index of a compressed file, or the end of the program.
static CompressedFileInfo *ReadCompressedIndex(int id, int side, int extent, std::FILE *file,
                                               const std::string &path) {
    compressedFilesOpened++;
    CompressedFileInfo *info = nullptr;
    int error = OpenCompressedFile(&info, file);
    if (error != 0) {
        printf("*** Unable to read %s - ", path.c_str());
        if (ErrorKindText(error) != nullptr)
            printf("%s\n", ErrorKindText(error));
        else
            printf("error %d\n", error);
        EndProgram();
    }
    if (info->blockSize != CACHE_BLOCK_BYTES) {
        printf("*** %s: Unsupported block size %d\n", path.c_str(), info->blockSize);
        EndProgram();
    }
    int64_t blocksBefore = int64_t(info->blockCount) - 1;
    int64_t size = (tablebases[id].flags & TB_WORD_ENTRIES)
                       ? blocksBefore * (CACHE_BLOCK_BYTES / 2) + info->lastBlockSize / 2
                       : blocksBefore * CACHE_BLOCK_BYTES + info->lastBlockSize;
    CheckTablebaseSize(id, side, extent, size, path.c_str());
    return info;
}

// Stores the name, the chain heads and the decompression data.
static void StoreRegistration(int id, int side, int extent, const std::string &path,
                              CompressedFileInfo *info) {
    TablebaseFiles *files = &tablebaseFiles[id];
    char *name = static_cast<char *>(AllocateCounted(path.size() + 1));
    memcpy(name, path.c_str(), path.size() + 1);
    free(files->fileName[side][extent]);
    files->fileName[side][extent] = name;
    if (files->cacheChains[side] == nullptr) {
        size_t bytes = CACHE_CHAINS * sizeof(CacheBlock *);
        files->cacheChains[side] = static_cast<CacheBlock **>(AllocateCounted(bytes));
        memset(files->cacheChains[side], 0, bytes);
    }
    FreeCompressedFile(files->compressedFile[side][extent]);
    files->compressedFile[side][extent] = info;
}

int RegisterTablebaseFile(const char *directory, int id, int side, int extent) {
    // 1. Registered from an earlier directory.
    side = FileSide(id, side);
    if (tablebaseFiles[id].fileName[side][extent] != nullptr)
        return 1;
    const TablebaseDescriptor *descriptor = &tablebases[id];
    bool split = descriptor->flags & TB_SPLIT;
    // 2. The plain name, then the compressed spellings.
    std::string path = PlainTablebaseName(directory, id, side, extent);
    std::FILE *file = TryOpen(path);
    CompressedFileInfo *info = nullptr;
    if (file != nullptr) {
        if (!(descriptor->flags & TB_WORD_ENTRIES) &&
            descriptor->positionCount[side] < (int64_t(1) << 31)) {
            int64_t size = TablebaseFileSize(file);
            if (size < 0) {
                printf("*** Seek in %s failed\n", path.c_str());
                EndProgram();
            }
            CheckTablebaseSize(id, side, extent, size, path.c_str());
        }
    } else {
        file = OpenCompressedSpelling(id, split, &path);
        if (file == nullptr)
            return 0;
        // 3. A compressed file must read and fit.
        info = ReadCompressedIndex(id, side, extent, file, path);
    }
    // 4. Close; the material now leads to this table.
    fclose(file);
    if (!RegisterMaterial(descriptor)) {
        printf("*** Unable to register %s\n", path.c_str());
        EndProgram();
    }
    StoreRegistration(id, side, extent, path, info);
    return 1;
}

int RegisterTablebaseSide(const char *directory, int id, int side) {
    int nExtents = ExtentCount(id, side);
    for (int extent = 0; extent < nExtents; extent++) {
        if (!RegisterTablebaseFile(directory, id, side, extent))
            return extent > 0;
    }
    return 1;
}

// Everything the last registration left is freed.
static void ForgetRegistration() {
    filesOpened = filesTried = 0;
    tbBytesAllocated = 0;
    decodeBytesAllocated = 0;
    CloseTablebaseFiles();
    BuildIndexTables();
    BuildMaterialRegistry();
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        TablebaseFiles *files = &tablebaseFiles[id];
        for (int side = 0; side < 2; side++) {
            free(files->cacheChains[side]);
            files->cacheChains[side] = nullptr;
            for (int extent = 0; extent < MAX_EXTENTS; extent++) {
                free(files->fileName[side][extent]);
                files->fileName[side][extent] = nullptr;
                FreeCompressedFile(files->compressedFile[side][extent]);
                files->compressedFile[side][extent] = nullptr;
            }
        }
    }
    FreeDecodeContext(decodeContext);
    decodeContext = nullptr;
}

static int MenOfLargestId(int largestId) {
    if (largestId > LAST_FIVE_MEN_ID)
        return 6;
    if (largestId > LAST_FOUR_MEN_ID)
        return 5;
    if (largestId > LAST_THREE_MEN_ID)
        return 4;
    return largestId >= 1 ? 3 : 0;
}

// One directory of the list; a directory that does not exist is passed over
// without a try, as a drive that is not ready.
static void RegisterDirectory(const std::string &entry, int *largestId) {
    if (!DirectoryExists(entry.empty() ? "." : entry.c_str()))
        return;
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        int found = RegisterTablebaseSide(entry.c_str(), id, 0);
        if (!(tablebases[id].flags & TB_SYMMETRIC))
            found |= RegisterTablebaseSide(entry.c_str(), id, 1);
        if (found && id > *largestId)
            *largestId = id;
    }
}

int RegisterTablebasePaths(const char *pathList) {
    ForgetRegistration();
    int largestId = 0;
    if (pathList != nullptr) {
        // An empty entry, also after a trailing separator, is the current
        // directory.
        const char *start = pathList;
        for (;;) {
            const char *stop = start + strcspn(start, ",;");
            RegisterDirectory(std::string(start, stop), &largestId);
            if (*stop == '\0')
                break;
            start = stop + 1;
        }
        // One decoding context serves every compressed file.
        if (compressedFilesOpened != 0 && decodeContext == nullptr) {
            int error = NewDecodeContext(&decodeContext, DECODE_BLOCK_BYTES);
            if (error != 0) {
                printf("*** Cannot allocate decode block: error code %d\n", error);
                EndProgram();
            }
        }
    }
    // The old slots hang in chains that were just freed.
    ResetTablebaseCache();
    return MenOfLargestId(largestId);
}

int RegisterTablebases(const char *pathList) {
    EnterCriticalSection(&tablebaseLock);
    int men = RegisterTablebasePaths(pathList);
    LeaveCriticalSection(&tablebaseLock);
    return men;
}
