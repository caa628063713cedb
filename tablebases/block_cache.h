// The block cache: 8192-byte blocks of the tablebase files in one memory
// area, found by 32 hash chains per table side and evicted least recently
// used first.
#pragma once

#include <cstdint>

#include "tablebases/block_decoder.h"

constexpr int CACHE_BLOCK_BYTES = 8192;
constexpr int CACHE_BUFFER_BYTES = 8228;  // block and the decoder's slack
constexpr int CACHE_SLOT_BYTES = 8284;    // buffer and its record
constexpr int CACHE_RECORD_BYTES = CACHE_SLOT_BYTES - CACHE_BUFFER_BYTES;
constexpr int MIN_CACHE_MEGABYTES = 1;
// The option's printed range ends at 4; larger values are honoured up to
// a size that stays within the cache's 32-bit byte count.
constexpr int64_t MAX_CACHE_MEGABYTES = 1024;
static_assert((MAX_CACHE_MEGABYTES << 20) <= UINT32_MAX);

struct CacheBlock {
    int32_t tableId;
    int32_t side;
    int32_t blockNumber;  // within the whole table side
    int32_t validBytes;   // bytes the file gave; the rest reads as no value
    CacheBlock *lruNext;  // also links the free list
    CacheBlock *lruPrev;
    CacheBlock *chainNext;
    CacheBlock *chainPrev;
    uint8_t *data;  // CACHE_BUFFER_BYTES
};
static_assert(sizeof(CacheBlock) <= CACHE_RECORD_BYTES);

extern void *cacheMemory;
extern uint32_t cacheBlockCount;  // 0: the cache is off
extern CacheBlock *lruHead;       // most recently used
extern CacheBlock *lruTail;
extern CacheBlock *freeBlocks;
extern DecodeContext *decodeContext;  // shared by every compressed file

// Hands over an area of bytes bytes; 1 cache set up, 0 cache off.
int SetTablebaseCache(void *memory, uint32_t bytes);
void ResetTablebaseCache();
void CloseTablebaseFiles();
// The signed byte at offset 0..8191 of a block of a table side, or
// TB_UNKNOWN when it cannot be read.
int ReadBlockByte(int id, int side, int64_t block, int offset);

// Entry for the program: allocates megabytes (clamped to 1..1024, 0 or less
// turns the cache off) and hands them to the cache, freeing the previous
// area. Returns the SetTablebaseCache result.
int SetTablebaseCacheSize(int64_t megabytes);
