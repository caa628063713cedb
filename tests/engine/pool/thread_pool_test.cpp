// The module's thread pool, linked in directly so that its statistics can
// be read: with four threads the helpers search, and what a helper hands
// back when it finishes (a move seen, its killer pair) reaches the split
// node while the split still runs, and the root in the end.
#include "engine/thread_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <vector>

#include "engine/engine_api.h"
#include "tests/support/private_module.h"

VLM_EXPORT void EngineInit(FrontEndCallbacks *callbacks, EngineOps *ops);

namespace {

// Moves are shared from depth 9; the sanitizer builds search shallower.
#ifdef VLM_DEBUG
constexpr int SPLIT_DEPTH = 10;
#else
constexpr int SPLIT_DEPTH = 12;
#endif

struct Line {
    int index, depth;
};

std::mutex linesMutex;
std::vector<Line> lines;

void RecordPv(int lineIndex, int depth, int, int, const Move *, int) {
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.push_back({lineIndex, depth});
}

EngineOps &Ops() {
    static EngineOps ops = [] {
        static FrontEndCallbacks callbacks = {};
        callbacks.reportPv = RecordPv;
        EngineOps loaded = {};
        EngineInit(&callbacks, &loaded);
        loaded.init(8 << 20, 0);
        return loaded;
    }();
    return ops;
}

void SetThreads(int nThreads) {
    SetModuleThreads(Ops(), nThreads);
}

void SearchToDepth(const char *fen, int depth, int nLines) {
    EngineOps &ops = Ops();
    ops.clearHash();
    ASSERT_EQ(ops.setPosition(fen), 0) << fen;
    {
        std::lock_guard<std::mutex> lock(linesMutex);
        lines.clear();
    }
    ops.clearStop();
    ops.setLimits(0, depth, 0, 0, 0);
    ops.go(nLines, 0);
}

const char *const MIDDLEGAMES[] = {
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P3/2NP1N2/PPP1QPPP/R4RK1 w - -",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -",
};

TEST(ThreadPool, HelpersSearchAndHandBackWhenTheyFinish) {
    SetThreads(4);
    ThreadPoolStats stats;
    ResetThreadPoolStats();
    for (const char *fen : MIDDLEGAMES)
        SearchToDepth(fen, SPLIT_DEPTH, 1);
    ReadThreadPoolStats(&stats);
    SetThreads(0);
    int nSearched = 0;
    for (int i = 0; i < stats.nHelperRecords; i++)
        nSearched += stats.helperNodes[i] > 0;
    EXPECT_GE(nSearched, 4) << "helpers that searched nodes";
    EXPECT_GT(stats.nSplits, 0);
    EXPECT_GT(stats.nHandOvers, stats.nSplits);
    // Moves handed out after a helper of the same split has finished start
    // from its results: its move seen nearly always, its killers often.
    // (Without the merge the owner's own count still grows at some.)
    ASSERT_GT(stats.nHandOversAfterMerge, 0);
    EXPECT_GE(stats.nHandOversSeeingMoves * 4, stats.nHandOversAfterMerge * 3)
        << stats.nHandOversSeeingMoves << " of " << stats.nHandOversAfterMerge;
    EXPECT_GE(stats.nHandOversSeeingKillers * 4, stats.nHandOversAfterMerge)
        << stats.nHandOversSeeingKillers << " of " << stats.nHandOversAfterMerge;
}

// The second line of a root is searched only when the root saw more than
// one move; past the first, the root's moves are seen by helpers.
TEST(ThreadPool, MovesSeenByHelpersReachTheRoot) {
    SetThreads(4);
    for (const char *fen : MIDDLEGAMES) {
        SearchToDepth(fen, SPLIT_DEPTH, 3);
        std::set<int> indexes;
        std::lock_guard<std::mutex> lock(linesMutex);
        for (const Line &line : lines) {
            if (line.depth == SPLIT_DEPTH)
                indexes.insert(line.index);
        }
        EXPECT_EQ(indexes, (std::set<int>{0, 1, 2})) << fen;
    }
    SetThreads(0);
}

}  // namespace
