// Search benchmark and signature: about thirty varied positions searched
// to a fixed depth on one thread, each on a new game with a cleared table
// of fixed size. Prints each node count, the total, the time, nodes per
// second and the evaluation cache's hit rate. The total is the search's
// signature.
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "bench/bench_positions.h"
#include "engine/eval_cache.h"
#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/search.h"
#include "engine/search_init.h"
#include "engine/transposition_table.h"

constexpr int BENCH_DEPTH_DEFAULT = 10;
constexpr int64_t BENCH_HASH_BYTES = 32 << 20;

int main(int argc, char **argv) {
    int depth = argc > 1 ? atoi(argv[1]) : BENCH_DEPTH_DEFAULT;
    if (depth < 1 || depth > MAX_DEPTH) {
        fprintf(stderr, "depth must be 1..%d\n", MAX_DEPTH);
        return 1;
    }
    FrontEndCallbacks none = {};
    ResetModuleState(&none);
    InitSearch(BENCH_HASH_BYTES);
    int64_t total = 0;
    auto start = std::chrono::steady_clock::now();
    int index = 0;
    for (const char *fen : BENCH_POSITIONS) {
        ClearHashTable(&hashTable);
        if (SetGamePosition(fen) != 0) {
            fprintf(stderr, "bad position %s\n", fen);
            return 1;
        }
        timeControlKind = 0;
        limitValues[0] = depth;
        stopSearch = 0;
        searchState = 1;
        rootSide = rootNode.side;
        Think(&rootNode, 1);
        searchState = 0;
        total += mainPosition.nodes;
        printf("%2d %12lld  %s\n", ++index, static_cast<long long>(mainPosition.nodes), fen);
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("depth %d positions %d\n", depth, index);
    printf("total nodes %lld\n", static_cast<long long>(total));
    printf("time %.3f s\n", seconds);
    printf("nodes per second %.0f\n", seconds > 0 ? double(total) / seconds : 0.0);
    EvalCacheStats cache = ReadEvalCacheStats();
    printf("evaluation cache: %lld hits of %lld probes (%.1f%%), %zu KiB per thread\n",
           static_cast<long long>(cache.hits), static_cast<long long>(cache.probes),
           cache.probes > 0 ? 100.0 * double(cache.hits) / double(cache.probes) : 0.0,
           EvalCacheBytes() / 1024);
    return 0;
}
