// The transposition table's claim and replacement rules, the pinned game
// history through which repetitions are found, and tables too small to
// index.
#include "engine/transposition_table.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>

#include "engine/game.h"
#include "engine/module_state.h"

namespace {

struct SmallTable {
    HashTable table = {nullptr, 0, 0, 0};
    SmallTable(int64_t bytes) { AllocateHashTable(&table, bytes); }
    ~SmallTable() { ReleaseHashTable(&table); }
};

// Keys of one bucket: lock32 ^ lock16 equal modulo nEntries - 3.
HashKey KeyInBucket(const HashTable &t, uint32_t n) {
    return HashKey{uint32_t(n * (t.nEntries - 3)), 0};
}

TEST(HashTable, EmptyBucketTakesTheFirstEntry) {
    SmallTable small(64 * 16);
    ASSERT_EQ(small.table.nEntries, 64u);
    HashKey key = {0x12345, 0x77};
    uint16_t saved = 0xFFFF;
    HashEntry *e = ClaimHashEntry(&small.table, &key, 10, 3, &saved);
    uint64_t bucket = (0x12345u ^ 0x77u) % 61;
    ASSERT_EQ(e, small.table.entries + bucket);
    EXPECT_EQ(saved, 0);
    EXPECT_EQ(e->flags & HASH_OWNER_MASK, 3);
    EXPECT_EQ(e->depth, 0);
    EXPECT_EQ(MoveTo(e->move), NO_SQUARE);
    EXPECT_EQ(ProbeHash(&small.table, &key), e);
    // The same owner claims it again; another owner sees it held.
    EXPECT_EQ(ClaimHashEntry(&small.table, &key, 10, 3, &saved), e);
    EXPECT_EQ(ClaimHashEntry(&small.table, &key, 10, 5, &saved), e);
    EXPECT_EQ(saved & HASH_OWNER_MASK, 3);
}

TEST(HashTable, FullBucketReplacesOnlyShallowerUnheldEntries) {
    SmallTable small(64 * 16);
    HashTable *t = &small.table;
    HashEntry *slots[4];
    for (uint32_t i = 0; i < 4; i++) {
        HashKey key = KeyInBucket(*t, i + 1);
        uint16_t saved;
        slots[i] = ClaimHashEntry(t, &key, 20, 1, &saved);
        ASSERT_EQ(slots[i], t->entries + i);
        slots[i]->depth = uint8_t(20 + i);
        slots[i]->flags = HASH_EXACT;  // released
    }
    HashKey newcomer = KeyInBucket(*t, 9);
    uint16_t saved;
    EXPECT_EQ(ClaimHashEntry(t, &newcomer, 20, 1, &saved), nullptr);
    HashEntry *e = ClaimHashEntry(t, &newcomer, 21, 1, &saved);
    EXPECT_EQ(e, slots[0]);  // the shallowest
    EXPECT_EQ(e->lock32, newcomer.lock32);
    EXPECT_EQ(e->depth, 0);
    EXPECT_EQ(saved, HASH_EXACT);
    // Held entries are never taken, however shallow or old.
    t->age = 5;
    for (HashEntry *slot : slots)
        slot->flags = HASH_EXACT | 7;
    HashKey other = KeyInBucket(*t, 11);
    EXPECT_EQ(ClaimHashEntry(t, &other, 200, 1, &saved), nullptr);
    // An older entry goes first whatever its depth.
    slots[2]->flags = HASH_EXACT;
    slots[2]->age = 5;
    slots[3]->flags = HASH_EXACT;
    slots[3]->age = 4;
    EXPECT_EQ(ClaimHashEntry(t, &other, 2, 1, &saved), slots[3]);
}

TEST(HashTable, TablesOfFewerThanFourEntriesAreNeverIndexed) {
    for (int64_t bytes : {int64_t(0), int64_t(15), int64_t(16), int64_t(48)}) {
        SmallTable small(bytes);
        HashKey key = {1, 2};
        uint16_t saved;
        EXPECT_EQ(ProbeHash(&small.table, &key), nullptr);
        EXPECT_EQ(ClaimHashEntry(&small.table, &key, 4, 1, &saved), nullptr);
        PrepareHash(&small.table, 1);
        UnpinHistoryEntries(&small.table);
    }
    HashTable none = {nullptr, 0, 0, 0};
    HashKey key = {1, 2};
    EXPECT_EQ(ProbeHash(&none, &key), nullptr);
    ClearHashTable(&none);
}

TEST(HashTable, HistoryIsPinnedWithRepetitionCountsAndUnpinned) {
    SmallTable small(1024 * 16);
    HashTable *t = &small.table;
    HashKey a = {0xAAAA, 1}, b = {0xBBBB, 2}, c = {0xCCCC, 3};
    // a b a c a: a occurs three times, the latest at index 4.
    const HashKey history[5] = {a, b, a, c, a};
    for (int i = 0; i < 5; i++)
        RecordHistoryKey(&history[i], i);
    settings.Clear_hash = 0;
    stopSearch = 0;
    PrepareHash(t, 1);
    EXPECT_EQ(t->age, 1);
    HashEntry *ea = ProbeHash(t, &a), *eb = ProbeHash(t, &b), *ec = ProbeHash(t, &c);
    ASSERT_TRUE(ea && eb && ec);
    EXPECT_EQ(ea->flags, 0x3801);
    EXPECT_EQ(eb->flags, 0x2001);
    EXPECT_EQ(ec->flags, 0x2001);
    EXPECT_EQ(ea->depth, HASH_PINNED_DEPTH);
    EXPECT_EQ(ea->score, 0);

    // A search stopped from outside leaves the table marked for clearing.
    stopSearch = 1;
    UnpinHistoryEntries(t);
    stopSearch = 0;
    EXPECT_EQ(ProbeHash(t, &a), nullptr);
    EXPECT_EQ(ProbeHash(t, &b), nullptr);
    EXPECT_EQ(t->dirty, 1);
    HashKey kept = {0x5151, 9};
    uint16_t saved;
    ClaimHashEntry(t, &kept, 8, 1, &saved)->depth = 8;
    searchState = 1;
    PrepareHash(t, 1);
    EXPECT_NE(ProbeHash(t, &kept), nullptr) << "a thinking search keeps a dirty table";
    searchState = 2;
    PrepareHash(t, 1);
    EXPECT_EQ(ProbeHash(t, &kept), nullptr) << "pondering clears a dirty table";
    EXPECT_EQ(t->dirty, 0);
    searchState = 0;
    RecordHistoryKey(&a, -1);
}

#ifndef VLM_DEBUG
// (The sanitizers report an impossible allocation instead of failing it.)
TEST(HashTableDeathTest, ModuleEndsTheProcessWhenNoTableCanBeHad) {
    auto allocate = [] {
        hashAllocationMode = HASH_ALLOCATION_EXITS;
        HashTable t = {nullptr, 0, 0, 0};
        AllocateHashTable(&t, int64_t(1) << 62);
    };
    EXPECT_EXIT(allocate(), testing::ExitedWithCode(1),
                "Cannot allocate hash table. Try a smaller size");
}

// The program's copy backs off by quarters while above 4 MiB and reports
// the size it obtained.
TEST(HashTableDeathTest, ProgramBacksOffToASizeThatFits) {
    auto allocate = [] {
        long pages = 0;
        FILE *statm = fopen("/proc/self/statm", "r");
        if (!statm || fscanf(statm, "%ld", &pages) != 1)
            exit(2);
        fclose(statm);
        rlimit limit = {rlim_t(pages) * 4096 + (96 << 20), RLIM_INFINITY};
        if (setrlimit(RLIMIT_AS, &limit) != 0)
            exit(2);
        hashAllocationMode = HASH_ALLOCATION_BACKS_OFF;
        HashTable t = {nullptr, 0, 0, 0};
        int64_t requested = int64_t(1) << 30;
        int64_t got = AllocateHashTable(&t, requested);
        bool onChain = false;
        for (int64_t size = requested; size > 0; size = size / 4 * 3)
            onChain |= got == size;
        exit(got > (4 << 20) && got < requested && onChain &&
                     got == int64_t(t.nEntries * sizeof(HashEntry))
                 ? 0
                 : 1);
    };
    EXPECT_EXIT(allocate(), testing::ExitedWithCode(0), "");
}
#endif

TEST(HashTable, AgeWrapsAtSixteen) {
    SmallTable small(64 * 16);
    RecordHistoryKey(nullptr, -1);
    for (int i = 0; i < 17; i++)
        PrepareHash(&small.table, 1);
    EXPECT_EQ(small.table.age, 1);
}

}  // namespace
