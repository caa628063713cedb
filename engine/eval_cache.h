// The evaluation cache: each thread keeps the results of its last
// evaluations, keyed by everything the evaluation reads and holding
// everything it writes, so that a hit leaves the node, its Position and
// the evaluation globals exactly as evaluating again would.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/position.h"

constexpr int EVAL_CACHE_ENTRIES = 1024;  // per thread, a power of two
constexpr int EVAL_CACHE_MEN = 16;        // per side

// What the evaluation reads of a node beyond the weights and settings
// (which empty the whole cache when they change). The men come in list
// order, since the evaluation walks the lists. Compared as bytes.
struct EvalCacheKey {
    uint16_t men[2][EVAL_CACHE_MEN];  // [white, black]: code << 8 | square; 0xFFFF after the last
    int32_t pieceMaterial;
    int32_t halfMoves;
    int32_t evalNoise;
    int8_t side;
    int8_t opponent;
    int8_t rootSide;
    uint8_t castleRights;
    uint8_t hangingSquare;  // the square the hanging-man test looks at, or NO_SQUARE
    uint8_t unused[7];      // zero
};
static_assert(sizeof(EvalCacheKey) == 88, "no padding in a key compared as bytes");

struct EvalCacheEntry {
    EvalCacheKey key;
    uint32_t stamp;  // the cache's generation when written; 0 never written
    int32_t score;
    int32_t castleFlags;  // the node's bits the evaluation writes
    int32_t noProgressPull;
    int32_t effectiveValue[N_PIECE_CODES];
    int32_t squareValue[2][EVAL_CACHE_MEN];  // the men in list order
    EvalWorkArea evalArea;
    SideEvalWords sideWords[2];       // [SideIndex]
    int16_t pawnSquareTable[2][128];  // [SideIndex]
};

struct EvalCacheProbe {
    EvalCacheEntry *entry;  // the node's slot; null when the thread has no cache
    bool hit;               // the slot holds the node's result
    uint32_t stamp;         // the cache's generation at the probe
    EvalCacheKey key;
};

struct EvalCacheStats {
    int64_t probes;
    int64_t hits;
};

// Looks the node up in the calling thread's cache (made on first use).
// Call it after the weights are built and before the node is evaluated.
void ProbeEvalCache(const SearchNode *node, EvalCacheProbe *probe);
// Leaves node, Position and globals as the evaluation that filled the entry did.
void RestoreFromEvalCache(const EvalCacheEntry *entry, SearchNode *node);
// Records the evaluation of node just made in the probe's slot.
void StoreInEvalCache(const EvalCacheProbe *probe, const SearchNode *node);

// Verify mode: restores entry into node, then evaluates the node afresh
// from its state before the restore, and compares everything both ways
// wrote. Returns -1 when they agree, else the byte offset of the first
// difference inside the Position (or past its size: node, then globals).
// The node is left as the fresh evaluation left it.
int64_t EvalCacheHitMismatch(SearchNode *node, const EvalCacheEntry *entry,
                             void (*evaluate)(SearchNode *node));

// The calling thread's counts since its cache was made.
EvalCacheStats ReadEvalCacheStats();
// Memory of one thread's cache, freed when the thread ends.
size_t EvalCacheBytes();
