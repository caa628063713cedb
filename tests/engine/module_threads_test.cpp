// Searches of the module with its helper threads, driven as the program
// drives it: mates found alike on one thread and on many, a prompt stop
// of a many-threaded infinite search, repeated init, odd Threads values
// and node counts that only grow. The module is loaded from a private
// copy so its globals and threads are this file's alone.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine_api.h"
#include "tests/support/private_module.h"

namespace {

// Root moves are shared from depth 9, and reported as current moves from
// depth 10; the sanitizer builds search at the least depths that do so.
#ifdef VLM_DEBUG
constexpr int SPLIT_DEPTH = 10;
constexpr int MATE_DEPTH = 9;
#else
constexpr int SPLIT_DEPTH = 12;
constexpr int MATE_DEPTH = 12;
#endif

struct Report {
    int depth, score;
    Move move;
};

// What the callbacks saw; they come from the control thread and helpers.
struct Record {
    std::mutex mutex;
    std::vector<Report> lines;
    std::vector<int64_t> nodes;
    std::vector<bool> nodesFromHelper;  // reported on another thread than go's
    std::thread::id controlThread;
    int maxThreadNumber = 0;
    int nCurrentMoves = 0;
};
Record record;

void RecordPv(int, int depth, int score, int, const Move *pv, int) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.lines.push_back({depth, score, pv[0]});
}
void RecordCurrentMove(int, Move, int flags) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.maxThreadNumber = std::max(record.maxThreadNumber, flags & 0x7F);
    record.nCurrentMoves++;
}
void RecordNodes(int64_t nodes) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.nodes.push_back(nodes);
    record.nodesFromHelper.push_back(std::this_thread::get_id() != record.controlThread);
}
void ClearRecord() {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.lines.clear();
    record.nodes.clear();
    record.nodesFromHelper.clear();
    record.controlThread = std::this_thread::get_id();
    record.maxThreadNumber = 0;
    record.nCurrentMoves = 0;
}

EngineOps &Ops() {
    static EngineOps ops = [] {
        FrontEndCallbacks callbacks = {};
        callbacks.reportPv = RecordPv;
        callbacks.reportCurrentMove = RecordCurrentMove;
        callbacks.reportNodes = RecordNodes;
        return LoadStartedPrivateModule(callbacks, "threads", 4 << 20);
    }();
    return ops;
}

void SetThreads(int nThreads) {
    SetModuleThreads(Ops(), nThreads);
}

// A fixed-depth search on the calling thread; the last line it reported.
Report SearchToDepth(const char *fen, int depth) {
    EngineOps &ops = Ops();
    ops.clearHash();
    EXPECT_EQ(ops.setPosition(fen), 0) << fen;
    ClearRecord();
    ops.clearStop();
    ops.setLimits(0, depth, 0, 0, 0);
    ops.go(1, 0);
    std::lock_guard<std::mutex> lock(record.mutex);
    if (record.lines.empty())
        return {0, 0, MOVE_NONE};
    return record.lines.back();
}

bool MoveIsLegal(const char *fen, Move move) {
    EXPECT_EQ(Ops().setPosition(fen), 0);
    return Ops().playMove(move, ' ') == 0;
}

// Mates in two (9995) and in three (9993) for the side to move.
struct Mate {
    const char *fen;
    int score;
};
const Mate MATES[] = {
    {"kbK5/pp6/1P6/8/8/8/8/R7 w - -", 9995},
    {"r1b2k1r/ppp1bppp/8/1B1Q4/5q2/2P5/PPP2PPP/R3R1K1 w - -", 9995},
    {"r5rk/5p1p/5R2/4B3/8/8/7P/7K w - -", 9993},
    {"3r1r1k/1p3p1p/p2p4/4n1NN/6bQ/1BPq4/P3p1PP/1R5K w - -", 9993},
};

// Sharp positions whose root moves are often overtaken on helper threads.
const char *const SHARP[] = {
    "r1bqkb1r/pppp1ppp/2n2n2/4p3/2B1P3/5N2/PPPP1PPP/RNBQK2R w KQkq -",
    "3R1rk1/8/5Qpp/2p5/2P1p1q1/P3P3/1P2PK2/8 b - -",
    "8/p1q2pkp/2Pr2p1/8/P3Q3/6P1/5P1P/2R3K1 w - -",
};

TEST(ModuleThreads, MatesAreFoundAlikeOnOneAndManyThreads) {
    for (const Mate &mate : MATES) {
        for (int nThreads : {1, 2, 8}) {
            SetThreads(nThreads);
            Report found = SearchToDepth(mate.fen, MATE_DEPTH);
            EXPECT_EQ(found.depth, MATE_DEPTH) << mate.fen;
            EXPECT_EQ(found.score, mate.score) << mate.fen << " on " << nThreads << " threads";
            EXPECT_TRUE(MoveIsLegal(mate.fen, found.move))
                << mate.fen << " on " << nThreads << " threads";
        }
    }
    SetThreads(0);
}

// With one thread a helper searches only while its owner waits, so the
// search repeats exactly, whichever helper record takes each move.
TEST(ModuleThreads, OneThreadRepeatsItsNodeCounts) {
    SetThreads(1);
    for (const char *fen : SHARP) {
        int64_t first = 0;
        for (int run = 0; run < 2; run++) {
            SearchToDepth(fen, SPLIT_DEPTH);
            std::lock_guard<std::mutex> lock(record.mutex);
            ASSERT_FALSE(record.nodes.empty()) << fen;
            if (run == 0)
                first = record.nodes.back();
            EXPECT_EQ(record.nodes.back(), first) << fen << ", run " << run;
        }
    }
    SetThreads(0);
}

TEST(ModuleThreads, HelpersStayWithinTheThreadCount) {
    // Records 2n are scanned for n threads: helper ids 2..2n+1 report
    // thread numbers id / 2 - 2, at most n - 2.
    for (int nThreads : {1, 3}) {
        SetThreads(nThreads);
        SearchToDepth(SHARP[1], SPLIT_DEPTH);
        std::lock_guard<std::mutex> lock(record.mutex);
        EXPECT_GT(record.nCurrentMoves, 0);
        EXPECT_LE(record.maxThreadNumber, std::max(0, nThreads - 2)) << nThreads << " threads";
    }
    SetThreads(0);
}

// Node counts of the reports on the thread that runs go; the helpers' own
// reports are checked below.
void ExpectNodeCountsGrow(bool includeHelpers) {
    SetThreads(8);
    for (const char *fen : SHARP) {
        SearchToDepth(fen, SPLIT_DEPTH - 1);
        std::lock_guard<std::mutex> lock(record.mutex);
        int64_t last = 0;
        for (size_t i = 0; i < record.nodes.size(); i++) {
            if (record.nodesFromHelper[i] && !includeHelpers)
                continue;
            EXPECT_GE(record.nodes[i], last) << fen << ", report " << i;
            last = record.nodes[i];
        }
        EXPECT_GT(last, 0) << fen;
    }
    SetThreads(0);
}

TEST(ModuleThreads, NodeCountsOnlyGrow) {
    ExpectNodeCountsGrow(false);
}

// Root lines reported by a helper thread must not show a smaller total
// than the main thread's earlier reports.
TEST(ModuleThreads, NodeCountsFromHelpersNeverFallBack) {
    ExpectNodeCountsGrow(true);
}

// With one thread the owner waits for its one helper at every further
// move; with eight, helpers split below helpers.
TEST(ModuleThreads, StopEndsAThreadedInfiniteSearchPromptly) {
    EngineOps &ops = Ops();
    for (int nThreads : {1, 8}) {
        SetThreads(nThreads);
        ASSERT_EQ(ops.setPosition(SHARP[0]), 0);
        ClearRecord();
        ops.clearStop();
        ops.setLimits(1, 60, 0, 0, 0);
        std::atomic<bool> returned{false};
        std::thread control([&] {
            ops.go(1, 1);
            returned = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        EXPECT_FALSE(returned) << "infinite analysis waits for stop";
        auto stopped = std::chrono::steady_clock::now();
        ops.stop();
        control.join();
        auto waitMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now() - stopped)
                          .count();
        EXPECT_LT(waitMs, 1000) << nThreads << " threads: every helper came back soon";
        // The pool is whole again: the next search runs to its end.
        Report after = SearchToDepth(MATES[0].fen, MATE_DEPTH);
        EXPECT_EQ(after.score, MATES[0].score) << nThreads << " threads";
    }
    SetThreads(0);
}

int ThreadsOfProcess() {
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word) {
        if (word == "Threads:") {
            int n = 0;
            status >> n;
            return n;
        }
    }
    return 0;
}

// Old helpers leave once their records are retired; settles within a second.
bool ThreadsSettleAt(int expected) {
    for (int i = 0; i < 100; i++) {
        if (ThreadsOfProcess() <= expected)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

TEST(ModuleThreads, RepeatedInitKeepsSearching) {
    EngineOps &ops = Ops();
    SetThreads(0);
    EXPECT_EQ(SearchToDepth(MATES[1].fen, MATE_DEPTH).score, MATES[1].score);
    int nThreadsBefore = ThreadsOfProcess();
    for (int megabytes : {1, 2, 8, 1}) {
        ops.freeHash();
        EXPECT_GT(ops.init(int64_t(megabytes) << 20, 0), 0);
    }
    EXPECT_TRUE(ThreadsSettleAt(nThreadsBefore)) << "each init replaces the helpers";
    Report after = SearchToDepth(MATES[1].fen, MATE_DEPTH);
    EXPECT_EQ(after.score, MATES[1].score);
    EXPECT_TRUE(MoveIsLegal(MATES[1].fen, after.move));
    // A thread count set before the next init is the one it starts with.
    SetThreads(2);
    ops.freeHash();
    EXPECT_GT(ops.init(4 << 20, 0), 0);
    EXPECT_EQ(SearchToDepth(MATES[1].fen, MATE_DEPTH).score, MATES[1].score);
    SetThreads(0);
}

TEST(ModuleThreads, OddThreadValuesMeanTheProcessorCount) {
    for (int nThreads : {0, -3, 25, 1000, 24, -2147483647 - 1}) {
        SetThreads(nThreads);
        Report found = SearchToDepth(MATES[0].fen, MATE_DEPTH);
        EXPECT_EQ(found.score, MATES[0].score) << "Threads " << nThreads;
        EXPECT_TRUE(MoveIsLegal(MATES[0].fen, found.move)) << "Threads " << nThreads;
    }
    // The same values at init.
    SetThreads(-7);
    Ops().freeHash();
    EXPECT_GT(Ops().init(4 << 20, 0), 0);
    EXPECT_EQ(SearchToDepth(MATES[0].fen, MATE_DEPTH).score, MATES[0].score);
    SetThreads(0);
}

}  // namespace
