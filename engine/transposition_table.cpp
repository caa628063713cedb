// The transposition table. Entries are shared by all search threads
// without a lock: a thread writes an entry's data only while the owner
// byte holds its threadId, and the owner byte is taken with a
// compare-and-swap. A table of fewer than four entries is never indexed.
#include "engine/transposition_table.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/game.h"
#include "engine/module_state.h"
#include "platform/memory.h"

HashTable hashTable = {nullptr, 0, 0, 0};
HashAllocationMode hashAllocationMode = HASH_ALLOCATION_BACKS_OFF;

static HashEntry *BucketOf(const HashTable *t, const HashKey *key) {
    return HashHasBuckets(t) ? t->entries + HashBucketIndex(t, key) : nullptr;
}

static HashEntry *NewBlock(int64_t bytes, uint64_t *nEntries) {
    if (bytes < int64_t(sizeof(HashEntry)) || uint64_t(bytes) > SIZE_MAX)
        return nullptr;
    *nEntries = uint64_t(bytes) / sizeof(HashEntry);
    return static_cast<HashEntry *>(AllocateLargeBlock(size_t(*nEntries * sizeof(HashEntry))));
}

int64_t AllocateHashTable(HashTable *t, int64_t bytes) {
    uint64_t nEntries = 0;
    HashEntry *block = NewBlock(bytes, &nEntries);
    if (hashAllocationMode == HASH_ALLOCATION_EXITS && !block) {
        fputs("Cannot allocate hash table. Try a smaller size\n", stderr);
        exit(1);
    }
    while (!block && bytes > MIN_BACKOFF_HASH_BYTES) {
        bytes = bytes / 4 * 3;
        block = NewBlock(bytes, &nEntries);
    }
    t->age = 0;
    if (!block) {
        t->entries = nullptr;
        t->nEntries = 0;
        return 0;
    }
    t->entries = block;
    t->nEntries = nEntries;
    ClearHashTable(t);
    PinMemory(block, size_t(nEntries * sizeof(HashEntry)));
    return int64_t(nEntries * sizeof(HashEntry));
}

void ClearHashTable(HashTable *t) {
    if (t->entries)
        memset(static_cast<void *>(t->entries), 0, size_t(t->nEntries * sizeof(HashEntry)));
    t->dirty = 0;
}

void ReleaseHashTable(HashTable *t) {
    if (!t->entries)
        return;
    UnpinMemory(t->entries, size_t(t->nEntries * sizeof(HashEntry)));
    FreeLargeBlock(t->entries, size_t(t->nEntries * sizeof(HashEntry)));
    t->entries = nullptr;
    t->nEntries = 0;
}

void FreeHashTable() {
    ReleaseHashTable(&hashTable);
}

HashEntry *ProbeHash(const HashTable *t, const HashKey *key) {
    HashEntry *bucket = BucketOf(t, key);
    if (!bucket)
        return nullptr;
    for (int i = 0; i < HASH_BUCKET; i++) {
        if (HashEntryHoldsKey(bucket + i, key))
            return bucket + i;
    }
    return nullptr;
}

// The entry of the bucket to claim: empty, holding the key, or else the
// oldest then shallowest one nobody holds. Null when none qualifies.
static HashEntry *ChooseEntry(const HashTable *t, HashEntry *bucket, const HashKey *key,
                              int depth) {
    HashEntry *candidate = nullptr;
    int best = -depth;
    for (int i = 0; i < HASH_BUCKET; i++) {
        HashEntry *e = bucket + i;
        int ownerByte = HashLoad(e->flags) & HASH_OWNER_MASK;
        int entryDepth = HashLoad(e->depth);
        if (entryDepth == 0 && ownerByte == 0)
            return e;
        if (HashEntryHoldsKey(e, key))
            return e;
        int value = ((t->age - HashLoad(e->age)) & 15) * 256 - entryDepth;
        if (value > best && ownerByte == 0) {
            best = value;
            candidate = e;
        }
    }
    return candidate;
}

HashEntry *ClaimHashEntry(HashTable *t, const HashKey *key, int depth, int owner,
                          uint16_t *savedFlags) {
    HashEntry *bucket = BucketOf(t, key);
    if (!bucket)
        return nullptr;
    for (;;) {
        HashEntry *e = ChooseEntry(t, bucket, key, depth);
        if (!e)
            return nullptr;
        std::atomic_ref<uint16_t> flags(e->flags);
        uint16_t old = flags.load(std::memory_order_relaxed);
        for (;;) {
            int ownerByte = old & HASH_OWNER_MASK;
            if (ownerByte != 0 && ownerByte != owner)
                break;
            uint16_t claimed = uint16_t((old & ~HASH_OWNER_MASK) | owner);
            if (flags.compare_exchange_weak(old, claimed, std::memory_order_acq_rel))
                break;
        }
        *savedFlags = old;
        int ownerByte = old & HASH_OWNER_MASK;
        if (ownerByte != 0 && ownerByte != owner) {
            // Held by another thread: its path has this position; else the
            // entry changed hands since the scan, so choose again.
            if (!HashEntryHoldsKey(e, key))
                continue;
            HashStore(e->age, t->age);
            return e;
        }
        HashStore(e->age, t->age);
        if (HashEntryHoldsKey(e, key))
            return e;
        HashStore(e->lock32, key->lock32);
        HashStore(e->lock16, key->lock16);
        HashStore(e->move, Move((HashLoad(e->move) & 0xFF) | (NO_SQUARE << 8)));
        HashStore(e->depth, uint8_t(0));
        return e;
    }
}

void PrepareHash(HashTable *t, int newSearch) {
    if (newSearch) {
        t->age = uint8_t((t->age + 1) & 15);
        if (settings.Clear_hash)
            ClearHashTable(t);
        else if (t->dirty && searchState != 1)
            ClearHashTable(t);
    }
    for (int j = nGameHistory - 1; j >= 0; j--) {
        uint16_t saved = 0;
        HashEntry *e =
            ClaimHashEntry(t, &gameHistory[j], HASH_PINNED_DEPTH, HASH_PIN_OWNER, &saved);
        if (!e)
            continue;
        uint16_t pinned = 0x2001;
        if ((saved & HASH_ON_PATH) && (saved & HASH_SEEN_TWICE))
            pinned = 0x3801;
        else if (saved & HASH_ON_PATH)
            pinned = 0x3001;
        HashStore(e->depth, uint8_t(HASH_PINNED_DEPTH));
        HashStore(e->score, int16_t(0));
        HashStore(e->flags, pinned);
    }
}

void UnpinHistoryEntries(HashTable *t) {
    for (int j = nGameHistory - 1; j >= 0; j--) {
        HashEntry *e = ProbeHash(t, &gameHistory[j]);
        if (!e || HashLoad(e->depth) != HASH_PINNED_DEPTH)
            continue;
        HashStore(e->lock32, 0u);
        HashStore(e->lock16, uint16_t(0));
        HashStore(e->score, int16_t(0));
        HashStore(e->flags, uint16_t(0));
        HashStore(e->depth, uint8_t(0));
        HashStore(e->move, MOVE_NONE);
    }
    if (stopSearch)
        t->dirty = 1;
}
