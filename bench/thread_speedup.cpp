// Time-to-depth speed-up of the thread pool: the same positions searched
// to the same depth with 1, 2, 4 and 8 threads in one run, each position
// from a cleared table. Prints the time and node total of each thread
// count and their ratios to one thread. The module is loaded as the
// program loads it, since the pool lives only there.
#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/engine_api.h"

// Middlegame positions of the search bench, where splits pay off.
static const char *const SPEEDUP_POSITIONS[] = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P3/2NP1N2/PPP1QPPP/R4RK1 w - -",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - -",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -",
    "2kr1bnr/pbpq4/2n1pp2/3p3p/3P1P1B/2N2N1Q/PPP3PP/2KR1B1R w - -",
    "2r1nrk1/p2q1ppp/bp1p4/n1pPp3/P1P1P3/2PBB1N1/4QPPP/R4RK1 w - -",
    "r2q1rk1/1ppnbppp/p2p1nb1/3Pp3/2P1P1P1/2N2N1P/PPB1QP2/R1B2RK1 b - -",
    "r4k2/pb2bp1r/1p1qp2p/3pNp2/3P1P2/2N3P1/PPP1Q2P/2KRR3 w - -",
};

constexpr int DEPTH_DEFAULT = 12;
constexpr int64_t HASH_BYTES = 32 << 20;
constexpr int THREAD_COUNTS[] = {1, 2, 4, 8};

static std::atomic<int64_t> lastNodes{0};

static void KeepNodes(int64_t nodes) {
    lastNodes.store(nodes, std::memory_order_relaxed);
}

static bool LoadModule(const char *path, EngineOps *ops) {
    void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
        return false;
    }
    auto init = reinterpret_cast<EngineInitFunction>(dlsym(handle, "EngineInit"));
    if (!init)
        return false;
    static FrontEndCallbacks callbacks = {};
    callbacks.reportNodes = KeepNodes;
    init(&callbacks, ops);
    return ops->init(HASH_BYTES, 0) > 0;
}

static void SetThreads(const EngineOps &ops, int nThreads) {
    EngineSettings settings;
    ops.getSettings(&settings);
    settings.Threads = nThreads;
    ops.setSettings(&settings);
}

struct Run {
    double seconds;
    int64_t nodes;
};

// One pass over the positions; nodes are the last total each search reported.
static Run SearchAll(const EngineOps &ops, int depth) {
    Run run = {0, 0};
    for (const char *fen : SPEEDUP_POSITIONS) {
        ops.clearHash();
        if (ops.setPosition(fen) != 0) {
            fprintf(stderr, "bad position %s\n", fen);
            exit(1);
        }
        lastNodes = 0;
        ops.clearStop();
        ops.setLimits(0, depth, 0, 0, 0);
        auto start = std::chrono::steady_clock::now();
        ops.go(1, 0);
        run.seconds +=
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        run.nodes += lastNodes.load();
    }
    return run;
}

int main(int argc, char **argv) {
    int depth = argc > 1 ? atoi(argv[1]) : DEPTH_DEFAULT;
    int nRounds = argc > 2 ? atoi(argv[2]) : 1;
    if (depth < 1 || depth > 60 || nRounds < 1) {
        fprintf(stderr, "usage: thread_speedup [depth 1..60] [rounds] [module]\n");
        return 1;
    }
    // Another build's module may be named, to compare two builds.
    const char *modulePath = argc > 3 ? argv[3] : VLM_MODULE_PATH;
    EngineOps ops = {};
    if (!LoadModule(modulePath, &ops))
        return 1;
    // Rounds alternate the thread counts, so that a change of machine load
    // falls on all of them alike.
    constexpr int N_COUNTS = sizeof THREAD_COUNTS / sizeof THREAD_COUNTS[0];
    Run sums[N_COUNTS] = {};
    for (int round = 0; round < nRounds; round++) {
        for (int i = 0; i < N_COUNTS; i++) {
            SetThreads(ops, THREAD_COUNTS[i]);
            Run run = SearchAll(ops, depth);
            sums[i].seconds += run.seconds;
            sums[i].nodes += run.nodes;
        }
    }
    int nPositions = sizeof SPEEDUP_POSITIONS / sizeof SPEEDUP_POSITIONS[0];
    printf("depth %d positions %d rounds %d\n", depth, nPositions, nRounds);
    printf("threads     time s   speed-up        nodes  node ratio  nps ratio\n");
    for (int i = 0; i < N_COUNTS; i++) {
        double speedup = sums[0].seconds / sums[i].seconds;
        double nodeRatio = double(sums[i].nodes) / double(sums[0].nodes);
        printf("%7d %10.3f %10.2f %12lld %11.2f %10.2f\n", THREAD_COUNTS[i],
               sums[i].seconds / nRounds, speedup, static_cast<long long>(sums[i].nodes / nRounds),
               nodeRatio, speedup * nodeRatio);
    }
    return 0;
}
