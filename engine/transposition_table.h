// The transposition table shared by all search threads: 16-byte entries
// in buckets of four, claimed by owner byte, plus the pinned game history
// through which the search finds repetitions.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/engine_api.h"
#include "engine/position.h"

// flags word: low byte the owner's threadId, then these bits.
constexpr uint16_t HASH_OWNER_MASK = 0x00FF;
constexpr uint16_t HASH_SEEN_THRICE = 0x0800;
constexpr uint16_t HASH_SEEN_TWICE = 0x1000;
constexpr uint16_t HASH_ON_PATH = 0x2000;
constexpr uint16_t HASH_UPPER = 0x4000;
constexpr uint16_t HASH_LOWER = 0x8000;
constexpr uint16_t HASH_EXACT = 0xC000;
constexpr int HASH_PINNED_DEPTH = 255;  // a pinned game-history position
constexpr int HASH_PIN_OWNER = 1;

constexpr int64_t DEFAULT_HASH_BYTES = 0x1F400000;  // 500 MiB
constexpr int64_t MIN_BACKOFF_HASH_BYTES = 0x400000;

// Fields are shared between threads without a lock: read and write them
// only through the accessors below.
struct HashEntry {
    uint32_t lock32;
    uint16_t lock16;
    int16_t score;
    uint16_t flags;
    Move move;      // to byte 12 when there is none
    uint8_t depth;  // half plies; 0 no data; 255 pinned
    uint8_t age;
    uint8_t unused[2];
};
static_assert(sizeof(HashEntry) == 16, "entries are 16 bytes");

struct HashTable {
    HashEntry *entries;  // null while no table exists
    uint64_t nEntries;
    int32_t dirty;  // the last search was stopped from outside
    uint8_t age;    // 0..15
};

extern HashTable hashTable;

// How a failed allocation is answered: the module ends the process, the
// program's copy backs off to smaller sizes.
enum HashAllocationMode { HASH_ALLOCATION_BACKS_OFF, HASH_ALLOCATION_EXITS };
extern HashAllocationMode hashAllocationMode;

// Allocates a cleared table; returns the bytes obtained (0 on a failed
// back-off in the program's copy).
int64_t AllocateHashTable(HashTable *t, int64_t bytes);
void ClearHashTable(HashTable *t);
void ReleaseHashTable(HashTable *t);
void FreeHashTable();
// The entry holding the key, or null. No side effect.
HashEntry *ProbeHash(const HashTable *t, const HashKey *key);
// Finds and marks an entry for the key with owner; null when the bucket
// has no entry to give. savedFlags receives the flags before the claim.
HashEntry *ClaimHashEntry(HashTable *t, const HashKey *key, int depth, int owner,
                          uint16_t *savedFlags);
// Start of a search: age, clearing and pinning the game history.
void PrepareHash(HashTable *t, int newSearch);
// End of a search: unpins the history, marks a stopped search dirty.
void UnpinHistoryEntries(HashTable *t);

constexpr int HASH_BUCKET = 4;  // entries a key may use, from its first

inline bool HashHasBuckets(const HashTable *t) {
    return t->entries && t->nEntries >= uint64_t(HASH_BUCKET);
}
// First entry of the key's bucket: (lock32 ^ lock16) mod (entries - 3). The
// dividend has 32 bits, so a divisor that fits 32 bits takes the cheaper
// 32-bit division with the same result.
inline uint64_t HashBucketIndex(const HashTable *t, const HashKey *key) {
    uint32_t mixed = key->lock32 ^ key->lock16;
    uint64_t divisor = t->nEntries - (HASH_BUCKET - 1);
    return divisor <= UINT32_MAX ? mixed % uint32_t(divisor) : mixed % divisor;
}
// Starts loading the key's bucket (it may straddle two cache lines) so
// that it is at hand when the node claims its entry.
inline void PrefetchHashBucket(const HashTable *t, const HashKey *key) {
    if (!HashHasBuckets(t))
        return;
    const HashEntry *bucket = t->entries + HashBucketIndex(t, key);
    __builtin_prefetch(bucket);
    __builtin_prefetch(bucket + HASH_BUCKET - 1);
}

// Relaxed atomic access to the fields of a shared entry.
template <typename T>
inline T HashLoad(const T &field) {
    return std::atomic_ref<T>(const_cast<T &>(field)).load(std::memory_order_relaxed);
}
template <typename T>
inline void HashStore(T &field, T value) {
    std::atomic_ref<T>(field).store(value, std::memory_order_relaxed);
}
inline bool HashEntryHoldsKey(const HashEntry *e, const HashKey *key) {
    return HashLoad(e->lock32) == key->lock32 && HashLoad(e->lock16) == key->lock16;
}
