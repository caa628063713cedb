// A helper's root move overtaken while it is being searched: another
// helper raises the root's alpha, which makes the pass stale, and the move
// must be searched again under the new bound, or the best move is lost.
// The current-move reports hold the two helpers so that the interleaving
// does not depend on timing: the raising move waits until the best move is
// out, and the best move waits until the raise has been reported.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"
#include "engine/search.h"
#include "engine/search_init.h"
#include "engine/transposition_table.h"

namespace {

constexpr int DEPTH = 10;  // root moves are shared from depth 9, reported from 10
constexpr auto HOLD_LIMIT = std::chrono::seconds(20);

// Positions whose depth-10 search may raise its first root move twice.
const char *const CANDIDATES[] = {
    "r1bq1rk1/pp2ppbp/2np2p1/2n5/P3PP2/N1P2N2/1PB3PP/R1B1QRK1 b - -",
    "r2q1rk1/1ppnbppp/p2p1nb1/3Pp3/2P1P1P1/2N2N1P/PPB1QP2/R1B2RK1 b - -",
    "3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - -",
    "2kr1bnr/pbpq4/2n1pp2/3p3p/3P1P1B/2N2N1Q/PPP3PP/2KR1B1R w - -",
    "3rr3/2pq2pk/p2p1pnp/8/2QBPP2/1P6/P5PP/4RRK1 b - -",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - -",
    "2r3k1/1p2q1pp/2b1pr2/p1pp4/6Q1/1P1PP1R1/P1PN2PP/5RK1 w - -",
};

std::vector<Move> coreRaises;

void RecordCoreLine(int, int depth, int, int, const Move *pv, int) {
    if (depth == DEPTH && (coreRaises.empty() || coreRaises.back() != pv[0]))
        coreRaises.push_back(pv[0]);
}

// The moves that raised the root's bound, in order, in a fixed-depth
// search on the pool-less core of this program.
std::vector<Move> RootRaisesOnOneThread(const char *fen) {
    FrontEndCallbacks callbacks = {};
    callbacks.reportPv = RecordCoreLine;
    ResetModuleState(&callbacks);
    InstallReportHooks();
    if (!hashTable.entries)
        InitSearch(16 << 20);
    ClearHashTable(&hashTable);
    EXPECT_EQ(SetGamePosition(fen), 0) << fen;
    timeControlKind = 0;
    limitValues[0] = DEPTH;
    stopSearch = 0;
    searchState = 1;
    rootSide = rootNode.side;
    coreRaises.clear();
    Think(&rootNode, 1);
    searchState = 0;
    return coreRaises;
}

struct Record {
    std::mutex mutex;
    std::condition_variable changed;
    std::thread::id controlThread;
    Move raising = MOVE_NONE, best = MOVE_NONE;
    std::vector<Move> lines;
    bool raisingHeld = false, bestHeld = false;
    bool bestOut = false;  // the best move's pass has begun
    bool raised = false;   // another helper raised the bound after that
} record;

bool OnHelper() {
    return std::this_thread::get_id() != record.controlThread;
}

void RecordPv(int, int depth, int, int, const Move *pv, int) {
    std::lock_guard<std::mutex> lock(record.mutex);
    if (depth != DEPTH)
        return;
    record.lines.push_back(pv[0]);
    if (record.bestOut && pv[0] != record.best && OnHelper()) {
        record.raised = true;
        record.changed.notify_all();
    }
}

void HoldHelpers(int depth, Move move, int) {
    std::unique_lock<std::mutex> lock(record.mutex);
    if (depth != DEPTH || !OnHelper())
        return;
    if (move == record.raising && !record.raisingHeld) {
        record.raisingHeld = true;
        record.changed.wait_for(lock, HOLD_LIMIT, [] { return record.bestOut; });
    } else if (move == record.best && !record.bestHeld) {
        record.bestHeld = true;
        record.bestOut = true;
        record.changed.notify_all();
        record.changed.wait_for(lock, HOLD_LIMIT, [] { return record.raised; });
    }
}

EngineOps LoadPrivateModule() {
    EngineOps ops = {};
    std::string path = "/tmp/vlm_research_test_" + std::to_string(getpid()) + ".so";
    {
        std::ifstream in(VLM_MODULE_PATH, std::ios::binary);
        std::ofstream out(path, std::ios::binary);
        out << in.rdbuf();
    }
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    unlink(path.c_str());
    if (!handle)
        return ops;
    auto init = reinterpret_cast<EngineInitFunction>(dlsym(handle, "EngineInit"));
    FrontEndCallbacks callbacks = {};
    callbacks.reportPv = RecordPv;
    callbacks.reportCurrentMove = HoldHelpers;
    if (init)
        init(&callbacks, &ops);
    return ops;
}

TEST(HelperResearch, OvertakenRootMoveIsSearchedAgain) {
    // A position whose one-thread search raises its first move at least
    // twice: the last raise is the best move, the one before it the raise
    // that the held best move must survive.
    const char *fen = nullptr;
    for (const char *candidate : CANDIDATES) {
        std::vector<Move> raises = RootRaisesOnOneThread(candidate);
        if (raises.size() >= 3) {
            fen = candidate;
            record.raising = raises[raises.size() - 2];
            record.best = raises.back();
            break;
        }
    }
    ASSERT_NE(fen, nullptr) << "no candidate raises its first root move twice at depth 10";
    EngineOps ops = LoadPrivateModule();
    ASSERT_NE(ops.init, nullptr);
    ops.init(16 << 20, 0);
    EngineSettings settings;
    ops.getSettings(&settings);
    settings.Threads = 4;
    ops.setSettings(&settings);
    ASSERT_EQ(ops.setPosition(fen), 0);
    record.controlThread = std::this_thread::get_id();
    ops.clearStop();
    ops.setLimits(0, DEPTH, 0, 0, 0);
    ops.go(1, 0);
    std::lock_guard<std::mutex> lock(record.mutex);
    ASSERT_TRUE(record.raisingHeld && record.bestHeld) << fen << ": both moves go to helpers";
    ASSERT_TRUE(record.raised) << fen << ": a raise came while the best move was out";
    ASSERT_FALSE(record.lines.empty());
    EXPECT_EQ(record.lines.back(), record.best) << fen << ": the overtaken move was dropped";
}

}  // namespace
