// Block cache: every slot is either free (on the free list), in use (on the
// recency list and in the chain of its table side) or being filled (on
// neither). A block that cannot be read takes its extent out of service.
#ifndef _FILE_OFFSET_BITS
#define _FILE_OFFSET_BITS 64  // 64-bit offsets in the 32-bit build too
#endif
#include "tablebases/block_cache.h"

#include <cstdio>
#include <cstdlib>

#include "tablebases/tablebase_files.h"
#include "tablebases/tb_memory.h"

void *cacheMemory = nullptr;
uint32_t cacheBlockCount = 0;
CacheBlock *lruHead = nullptr;
CacheBlock *lruTail = nullptr;
CacheBlock *freeBlocks = nullptr;
DecodeContext *decodeContext = nullptr;

static void *ownedCacheArea = nullptr;  // the area SetTablebaseCacheSize allocated

void CloseTablebaseFiles() {
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        for (int side = 0; side < 2; side++) {
            for (int extent = 0; extent < MAX_EXTENTS; extent++) {
                std::FILE *&file = tablebaseFiles[id].file[side][extent];
                if (file != nullptr)
                    fclose(file);
                file = nullptr;
            }
        }
    }
}

int SetTablebaseCache(void *memory, uint32_t bytes) {
    CloseTablebaseFiles();
    lruHead = lruTail = freeBlocks = nullptr;
    if (memory == nullptr || bytes < CACHE_RECORD_BYTES) {
        cacheBlockCount = 0;
        return 0;
    }
    cacheMemory = memory;
    cacheBlockCount = bytes / CACHE_SLOT_BYTES;
    ResetTablebaseCache();
    return 1;
}

void ResetTablebaseCache() {
    if (cacheBlockCount == 0)
        return;
    CloseTablebaseFiles();
    CacheBlock *blocks = static_cast<CacheBlock *>(cacheMemory);
    uint8_t *buffers = reinterpret_cast<uint8_t *>(blocks + cacheBlockCount);
    for (uint32_t i = 0; i < cacheBlockCount; i++) {
        CacheBlock *slot = &blocks[i];
        slot->tableId = slot->side = slot->blockNumber = -1;
        slot->validBytes = 0;
        slot->data = buffers + size_t(i) * CACHE_BUFFER_BYTES;
        slot->lruNext = i + 1 < cacheBlockCount ? &blocks[i + 1] : nullptr;
        slot->lruPrev = slot->chainNext = slot->chainPrev = nullptr;
    }
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        for (int side = 0; side < 2; side++) {
            CacheBlock **chains = tablebaseFiles[id].cacheChains[side];
            for (int c = 0; chains != nullptr && c < CACHE_CHAINS; c++)
                chains[c] = nullptr;
        }
    }
    lruHead = lruTail = nullptr;
    freeBlocks = &blocks[0];
}

static CacheBlock **ChainHeadOf(const CacheBlock *slot) {
    return &tablebaseFiles[slot->tableId].cacheChains[slot->side][slot->blockNumber & 31];
}

static void UnlinkFromLru(CacheBlock *slot) {
    if (slot->lruPrev != nullptr)
        slot->lruPrev->lruNext = slot->lruNext;
    else
        lruHead = slot->lruNext;
    if (slot->lruNext != nullptr)
        slot->lruNext->lruPrev = slot->lruPrev;
    else
        lruTail = slot->lruPrev;
    slot->lruNext = slot->lruPrev = nullptr;
}

static void UnlinkFromChain(CacheBlock *slot) {
    if (slot->chainPrev != nullptr)
        slot->chainPrev->chainNext = slot->chainNext;
    else
        *ChainHeadOf(slot) = slot->chainNext;
    if (slot->chainNext != nullptr)
        slot->chainNext->chainPrev = slot->chainPrev;
    slot->chainNext = slot->chainPrev = nullptr;
}

static void PushFront(CacheBlock *slot) {
    slot->lruPrev = nullptr;
    slot->lruNext = lruHead;
    if (lruHead != nullptr)
        lruHead->lruPrev = slot;
    else
        lruTail = slot;
    lruHead = slot;
    CacheBlock **head = ChainHeadOf(slot);
    slot->chainPrev = nullptr;
    slot->chainNext = *head;
    if (*head != nullptr)
        (*head)->chainPrev = slot;
    *head = slot;
}

// A free slot, or the least recently used one taken out of its lists.
static CacheBlock *TakeSlot() {
    CacheBlock *slot = freeBlocks;
    if (slot != nullptr) {
        freeBlocks = slot->lruNext;
        slot->lruNext = nullptr;
        return slot;
    }
    slot = lruTail;
    UnlinkFromLru(slot);
    UnlinkFromChain(slot);
    return slot;
}

// The extent's file, opened by its name; when the open fails, all files are
// closed (the handles may have run out) and it is tried once more.
static std::FILE *OpenExtent(int id, int side, int extent) {
    std::FILE *&file = tablebaseFiles[id].file[side][extent];
    const char *name = tablebaseFiles[id].fileName[side][extent];
    if (file != nullptr || name == nullptr)
        return file;
    file = fopen(name, "rb");
    if (file == nullptr) {
        CloseTablebaseFiles();
        file = fopen(name, "rb");
    }
    return file;
}

// Fills the slot with its block from the extent file; false on failure.
static bool FillSlot(CacheBlock *slot, int extent, int64_t blockInExtent) {
    std::FILE *file = OpenExtent(slot->tableId, slot->side, extent);
    if (file == nullptr)
        return false;
    const CompressedFileInfo *info =
        tablebaseFiles[slot->tableId].compressedFile[slot->side][extent];
    if (info != nullptr) {
        if (decodeContext == nullptr || blockInExtent >= info->blockCount ||
            InitDecodeContext(decodeContext, DECODE_BLOCK_BYTES, slot->data) != 0 ||
            SelectBlock(decodeContext, info, file, static_cast<int>(blockInExtent)) != 0 ||
            DecodeBlock(decodeContext, info, decodeContext->selectedSize) != 0)
            return false;
        slot->validBytes = decodeContext->selectedSize;
        return true;
    }
    if (!SeekTablebaseFile(file, blockInExtent * CACHE_BLOCK_BYTES))
        return false;
    size_t nRead = fread(slot->data, 1, CACHE_BLOCK_BYTES, file);
    if (nRead < size_t(CACHE_BLOCK_BYTES) && ferror(file)) {
        clearerr(file);
        return false;
    }
    // A short last block is no failure; bytes past it belong to no position.
    slot->validBytes = static_cast<int32_t>(nRead);
    return true;
}

static int SlotByte(const CacheBlock *slot, int offset) {
    return offset < slot->validBytes ? static_cast<int8_t>(slot->data[offset]) : TB_UNKNOWN;
}

// Takes the extent out of service until the next registration.
static void UnregisterExtent(int id, int side, int extent) {
    TablebaseFiles *files = &tablebaseFiles[id];
    free(files->fileName[side][extent]);
    files->fileName[side][extent] = nullptr;
    if (files->file[side][extent] != nullptr)
        fclose(files->file[side][extent]);
    files->file[side][extent] = nullptr;
}

int ReadBlockByte(int id, int side, int64_t block, int offset) {
    if (cacheBlockCount == 0 || id <= 0 || id >= TABLEBASE_COUNT || side < 0 || side > 1 ||
        block < 0 || offset < 0 || offset >= CACHE_BLOCK_BYTES)
        return TB_UNKNOWN;
    CacheBlock **chains = tablebaseFiles[id].cacheChains[side];
    if (chains == nullptr)
        return TB_UNKNOWN;
    // 1. A hit moves to the front of both lists.
    for (CacheBlock *slot = chains[block & 31]; slot != nullptr; slot = slot->chainNext) {
        if (slot->blockNumber != block)
            continue;
        if (slot != lruHead || slot != chains[block & 31]) {
            UnlinkFromLru(slot);
            UnlinkFromChain(slot);
            PushFront(slot);
        }
        return SlotByte(slot, offset);
    }
    // 2. A miss fills a free or the least recently used slot.
    bool split = tablebases[id].flags & TB_SPLIT;
    int64_t extent = split ? block >> 18 : 0;
    int64_t blockInExtent = split ? block & 0x3FFFF : block;
    if (extent >= MAX_EXTENTS)
        return TB_UNKNOWN;
    CacheBlock *slot = TakeSlot();
    slot->tableId = id;
    slot->side = side;
    slot->blockNumber = static_cast<int32_t>(block);
    // 3. Read it, or put the slot back and retire the extent.
    if (FillSlot(slot, static_cast<int>(extent), blockInExtent)) {
        PushFront(slot);
        return SlotByte(slot, offset);
    }
    UnregisterExtent(id, side, static_cast<int>(extent));
    slot->tableId = slot->side = slot->blockNumber = -1;
    slot->lruNext = freeBlocks;
    freeBlocks = slot;
    return TB_UNKNOWN;
}

int SetTablebaseCacheSize(int64_t megabytes) {
    EnterCriticalSection(&tablebaseLock);
    void *previous = ownedCacheArea;
    int result;
    if (megabytes <= 0) {
        ownedCacheArea = nullptr;
        result = SetTablebaseCache(nullptr, 0);
    } else {
        if (megabytes > MAX_CACHE_MEGABYTES)
            megabytes = MAX_CACHE_MEGABYTES;
        uint32_t bytes = static_cast<uint32_t>(megabytes << 20);
        ownedCacheArea = AllocateCounted(bytes);
        result = SetTablebaseCache(ownedCacheArea, bytes);
    }
    // No slot of the old area survives the call above.
    free(previous);
    LeaveCriticalSection(&tablebaseLock);
    return result;
}
