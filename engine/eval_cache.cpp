// Per-thread evaluation cache: a direct-mapped table of the last results,
// made on a thread's first evaluation and freed when the thread ends. An
// entry is valid only for the weights and settings in force when it was
// written: a change of either empties the whole cache.
#include "engine/eval_cache.h"

#include <cstring>
#include <memory>

#include "engine/eval_terms.h"
#include "engine/eval_weights.h"
#include "engine/module_state.h"
#include "platform/memory.h"
#include "platform/threads.h"

// The bits of castleFlags the evaluation writes: the castling repair and
// the no-progress pull.
constexpr int32_t EVAL_CASTLE_BITS = CASTLE_ALL | NO_PROGRESS_PULL_ON;
constexpr uint16_t NO_MAN = 0xFFFF;

struct EvalCache {
    uint32_t generation;  // entries stamped otherwise are empty
    bool synced;          // weightsSeen and settingsSeen are set
    uint32_t weightsSeen;
    EngineSettings settingsSeen;
    EvalCacheStats stats;
    EvalCacheEntry entries[EVAL_CACHE_ENTRIES];
};

namespace {

// Each thread's cache hangs in a thread slot, which frees it as the thread
// ends. A thread whose allocation failed holds the mark instead and
// evaluates without a cache.
ThreadSlot cacheSlot;
char noCacheMark;

void ReleaseCache(void *value) {
    if (value != &noCacheMark)
        FreeLargeBlock(value, sizeof(EvalCache));
}

// The calling thread's cache, made on its first call; null without one.
EvalCache *CacheOfThisThread(bool make) {
    static const bool haveSlot = CreateThreadSlot(&cacheSlot, ReleaseCache);
    if (!haveSlot)
        return nullptr;
    void *value = ThreadSlotValue(&cacheSlot);
    if (!value && make) {
        // Zeroed: every stamp 0, so every entry empty. Mapped at once: the
        // first search would otherwise take its pages one fault at a time.
        value = AllocateMappedBlock(sizeof(EvalCache));
        if (value)
            static_cast<EvalCache *>(value)->generation = 1;
        else
            value = &noCacheMark;
        SetThreadSlotValue(&cacheSlot, value);
    }
    return value == &noCacheMark ? nullptr : static_cast<EvalCache *>(value);
}

// Empties the cache when the weights or settings differ from those its
// entries were made with.
void SyncWithWeightsAndSettings(EvalCache *cache) {
    uint32_t weights = weightsGeneration.load(std::memory_order_acquire);
    if (cache->synced && cache->weightsSeen == weights &&
        memcmp(&cache->settingsSeen, &settings, sizeof settings) == 0)
        return;
    if (cache->synced && ++cache->generation == 0) {
        for (EvalCacheEntry &entry : cache->entries)
            entry.stamp = 0;
        cache->generation = 1;
    }
    cache->synced = true;
    cache->weightsSeen = weights;
    cache->settingsSeen = settings;
}

// False when a side has more men than a key holds (no real game has).
bool ListMen(const Position *pos, int colour, uint16_t men[EVAL_CACHE_MEN]) {
    int n = 0;
    FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
        if (n == EVAL_CACHE_MEN)
            return false;
        men[n++] = uint16_t(man->code << 8 | man->square);
    }
    for (; n < EVAL_CACHE_MEN; n++)
        men[n] = NO_MAN;
    return true;
}

bool MakeKey(const SearchNode *node, EvalCacheKey *key) {
    const Position *pos = node->position;
    memset(key, 0, sizeof *key);
    if (!ListMen(pos, WHITE, key->men[0]) || !ListMen(pos, BLACK, key->men[1]))
        return false;
    key->pieceMaterial = pos->pieceMaterial;
    key->halfMoves = node->halfMoves;
    key->evalNoise = evalNoise.load(std::memory_order_relaxed);
    key->side = int8_t(node->side);
    key->opponent = int8_t(node->opponent);
    key->rootSide = int8_t(rootSide);
    key->castleRights = uint8_t(node->castleFlags & CASTLE_ALL);
    key->hangingSquare = uint8_t(HangingTestSquare(node));
    return true;
}

uint32_t KeyIndex(const EvalCacheKey *key) {
    uint64_t words[sizeof *key / 8];
    memcpy(words, key, sizeof words);
    uint64_t h = 0;
    for (uint64_t w : words)
        h = (h ^ w) * 0x9E3779B97F4A7C15ull;
    return uint32_t(h >> 40) & (EVAL_CACHE_ENTRIES - 1);
}

}  // namespace

void ProbeEvalCache(const SearchNode *node, EvalCacheProbe *probe) {
    probe->entry = nullptr;
    probe->hit = false;
    EvalCache *cache = CacheOfThisThread(true);
    if (!cache || !MakeKey(node, &probe->key))
        return;
    SyncWithWeightsAndSettings(cache);
    EvalCacheEntry *entry = &cache->entries[KeyIndex(&probe->key)];
    probe->entry = entry;
    probe->stamp = cache->generation;
    probe->hit = entry->stamp == cache->generation &&
                 memcmp(&entry->key, &probe->key, sizeof probe->key) == 0;
    cache->stats.probes++;
    cache->stats.hits += probe->hit;
}

void StoreInEvalCache(const EvalCacheProbe *probe, const SearchNode *node) {
    EvalCacheEntry *entry = probe->entry;
    const Position *pos = node->position;
    entry->key = probe->key;
    entry->stamp = probe->stamp;
    entry->score = node->score;
    entry->castleFlags = node->castleFlags & EVAL_CASTLE_BITS;
    entry->noProgressPull = pos->noProgressPull;
    for (int code = 0; code < N_PIECE_CODES; code++)
        entry->effectiveValue[code] = pos->kinds[code].effectiveValue;
    for (int c = 0; c < 2; c++) {
        int n = 0;
        FOR_EACH_MAN(pos, SideOf(pos, c ? BLACK : WHITE), man)
        entry->squareValue[c][n++] = man->squareValue;
    }
    entry->evalArea = pos->evalArea;
    for (int colour = BLACK; colour <= WHITE; colour += 2) {
        const SideRecord *side = SideOf(pos, colour);
        entry->sideWords[SideIndex(colour)] = side->eval;
        memcpy(entry->pawnSquareTable[SideIndex(colour)], side->pawnSquareTable,
               sizeof side->pawnSquareTable);
    }
}

void RestoreFromEvalCache(const EvalCacheEntry *entry, SearchNode *node) {
    Position *pos = node->position;
    node->score = entry->score;
    node->castleFlags = (node->castleFlags & ~EVAL_CASTLE_BITS) | entry->castleFlags;
    pos->noProgressPull = entry->noProgressPull;
    pos->evalArea = entry->evalArea;
    for (int colour = BLACK; colour <= WHITE; colour += 2) {
        SideRecord *side = SideOf(pos, colour);
        side->eval = entry->sideWords[SideIndex(colour)];
        memcpy(side->pawnSquareTable, entry->pawnSquareTable[SideIndex(colour)],
               sizeof side->pawnSquareTable);
    }
    // The empty kind has no effective value the evaluation sets.
    for (int code = 0; code < N_PIECE_CODES; code++)
        if (code != EMPTY_CODE)
            pos->kinds[code].effectiveValue = entry->effectiveValue[code];
    LinkEvalSquareTables(pos);
    for (int c = 0; c < 2; c++) {
        int n = 0;
        FOR_EACH_MAN(pos, SideOf(pos, c ? BLACK : WHITE), man) {
            man->effectiveValue = man->kindRecord->effectiveValue;
            man->squareValue = entry->squareValue[c][n++];
        }
    }
    int32_t noise = evalNoise.load(std::memory_order_relaxed), tempo = noise + 1;
    tempoBase.store(tempo, std::memory_order_relaxed);
    evalMargin.store(tempo - noise - 10, std::memory_order_relaxed);
}

// ---- Verify mode ----

namespace {

// What an evaluation may change: the Position without the search's words
// (owner threads write some of them from outside), the node, the globals.
struct EvalState {
    unsigned char position[sizeof(Position)];
    unsigned char node[sizeof(SearchNode)];
    int32_t tempo, margin;
};

struct ByteRange {
    size_t begin, end;
};

const ByteRange POSITION_RANGES[] = {
    {0, offsetof(Position, nodes)},
    {offsetof(Position, noProgressPull), offsetof(Position, noProgressPull) + sizeof(int32_t)},
    {offsetof(Position, emptySquareMap), sizeof(Position)},
};

void Capture(const SearchNode *node, EvalState *state) {
    const unsigned char *pos = reinterpret_cast<const unsigned char *>(node->position);
    for (const ByteRange &r : POSITION_RANGES)
        memcpy(state->position + r.begin, pos + r.begin, r.end - r.begin);
    memcpy(state->node, static_cast<const void *>(node), sizeof(SearchNode));
    state->tempo = tempoBase.load(std::memory_order_relaxed);
    state->margin = evalMargin.load(std::memory_order_relaxed);
}

// Writes back only the bytes that differ, so nothing else is touched.
void CopyBackChanged(unsigned char *to, const unsigned char *from, size_t begin, size_t end) {
    for (size_t i = begin; i < end; i++)
        if (to[i] != from[i])
            to[i] = from[i];
}

void PutBack(SearchNode *node, const EvalState *state) {
    unsigned char *pos = reinterpret_cast<unsigned char *>(node->position);
    for (const ByteRange &r : POSITION_RANGES)
        CopyBackChanged(pos, state->position, r.begin, r.end);
    CopyBackChanged(reinterpret_cast<unsigned char *>(node), state->node, 0, sizeof(SearchNode));
    tempoBase.store(state->tempo, std::memory_order_relaxed);
    evalMargin.store(state->margin, std::memory_order_relaxed);
}

int64_t FirstDifference(const EvalState *a, const EvalState *b) {
    for (const ByteRange &r : POSITION_RANGES)
        for (size_t i = r.begin; i < r.end; i++)
            if (a->position[i] != b->position[i])
                return int64_t(i);
    for (size_t i = 0; i < sizeof(SearchNode); i++)
        if (a->node[i] != b->node[i])
            return int64_t(sizeof(Position) + i);
    if (a->tempo != b->tempo || a->margin != b->margin)
        return int64_t(sizeof(Position) + sizeof(SearchNode));
    return -1;
}

}  // namespace

int64_t EvalCacheHitMismatch(SearchNode *node, const EvalCacheEntry *entry,
                             void (*evaluate)(SearchNode *node)) {
    auto states = std::make_unique<EvalState[]>(3);
    EvalState *before = &states[0], *restored = &states[1], *evaluated = &states[2];
    Capture(node, before);
    RestoreFromEvalCache(entry, node);
    Capture(node, restored);
    PutBack(node, before);
    evaluate(node);
    Capture(node, evaluated);
    return FirstDifference(restored, evaluated);
}

EvalCacheStats ReadEvalCacheStats() {
    const EvalCache *cache = CacheOfThisThread(false);
    return cache ? cache->stats : EvalCacheStats{0, 0};
}

size_t EvalCacheBytes() {
    return sizeof(EvalCache);
}
