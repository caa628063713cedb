// Searches through the module as the program drives it: EngineInit with
// recording callbacks, then the operations under every kind of limit.
// The module is loaded from a private copy so its globals are this
// file's alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/engine_api.h"
#include "tests/support/private_module.h"

namespace {

struct Line {
    int index, depth, score, lowerBound;
    std::vector<Move> moves;
};

// What the callbacks saw, guarded: they may come from any thread.
struct Record {
    std::mutex mutex;
    std::vector<Line> lines;
    std::vector<int> timers;
    std::vector<int64_t> nodes;
    std::vector<std::vector<int>> currentMoves;  // depth, move, flags
};
Record record;

void RecordTimer(int ms) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.timers.push_back(ms);
}
void RecordPv(int lineIndex, int depth, int score, int, const Move *pv, int lowerBound) {
    Line line = {lineIndex, depth, score, lowerBound, {}};
    for (int i = 0; i < 19 && (pv[i] & 0xFF) != NO_SQUARE; i++)
        line.moves.push_back(pv[i]);
    std::lock_guard<std::mutex> lock(record.mutex);
    record.lines.push_back(line);
}
void RecordCurrentMove(int depth, Move move, int flags) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.currentMoves.push_back({depth, move, flags});
}
void RecordNodes(int64_t nodes) {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.nodes.push_back(nodes);
}

void ClearRecord() {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.lines.clear();
    record.timers.clear();
    record.nodes.clear();
    record.currentMoves.clear();
}

// Polls until done() holds or the limit has passed; returns done().
template <typename Done>
bool PollUntil(Done done, std::chrono::milliseconds limit) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
}

// A private copy of the module, bound with the given callbacks.
EngineOps &Ops() {
    static EngineOps module = [] {
        FrontEndCallbacks callbacks = {};
        callbacks.setTimer = RecordTimer;
        callbacks.reportPv = RecordPv;
        callbacks.reportCurrentMove = RecordCurrentMove;
        callbacks.reportNodes = RecordNodes;
        return LoadStartedPrivateModule(callbacks, "recording", 8 << 20);
    }();
    return module;
}

// Search from fen under the given limits, on the calling thread.
void Go(const char *fen, int kind, int limit1, int limit2 = 0, int nLines = 1) {
    EngineOps &ops = Ops();
    ops.clearHash();
    ASSERT_EQ(ops.setPosition(fen), 0) << fen;
    ClearRecord();
    ops.clearStop();
    ops.setLimits(kind, limit1, limit2, 0, 0);
    ops.go(nLines, 0);
}

const char *START = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -";

TEST(ModuleSearch, FixedDepthIsOnePassReportedAsLineZero) {
    Go(START, 0, 5);
    ASSERT_FALSE(record.lines.empty());
    for (const Line &line : record.lines) {
        EXPECT_EQ(line.index, 0);
        EXPECT_EQ(line.depth, 5);
    }
    EXPECT_EQ(record.timers, std::vector<int>{0}) << "only the final cancel";
    EXPECT_FALSE(record.nodes.empty());
    // The best move is legal: the game accepts it.
    ASSERT_FALSE(record.lines.back().moves.empty());
    EXPECT_EQ(Ops().playMove(record.lines.back().moves[0], ' '), 0);
}

TEST(ModuleSearch, DeepIterationsReportTheirCurrentMoves) {
    Go(START, 0, 10);
    ASSERT_FALSE(record.currentMoves.empty());
    // First the depth-and-nodes line, then the root moves of the first line.
    EXPECT_EQ(record.currentMoves[0], (std::vector<int>{10, MOVE_NONE, 0}));
    std::vector<int> firstVisits;
    for (size_t i = 1; i < record.currentMoves.size(); i++) {
        const std::vector<int> &report = record.currentMoves[i];
        EXPECT_EQ(report[0], 10);
        EXPECT_NE(report[1], MOVE_NONE);
        // Low bits: the reporting thread's number; no special move here.
        EXPECT_EQ(report[2] >> 8, 0);
        if (!(report[2] & 0x80) &&
            std::find(firstVisits.begin(), firstVisits.end(), report[1]) == firstVisits.end())
            firstVisits.push_back(report[1]);
    }
    EXPECT_EQ(firstVisits.size(), 20u) << "each of the twenty moves";
}

// Black, a rook down after 1.Nf3 Nf6 2.Ng1, repeats with Nf6-g8 at every
// depth: the pinned start position stays a draw for the whole search.
TEST(ModuleSearch, RookDownTakesTheRepetitionAtEveryDepth) {
#ifdef VLM_DEBUG
    const int deepest = 12;
#else
    const int deepest = 20;
#endif
    EngineOps &ops = Ops();
    for (int depth = 5; depth <= deepest; depth++) {
        ops.clearHash();
        ASSERT_EQ(ops.setPosition("1nbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kk - 0 1"), 0);
        for (Move move : {MakeMoveCode(0x06, 0x25), MakeMoveCode(0x76, 0x55),
                          MakeMoveCode(0x25, 0x06)})  // g1f3 g8f6 f3g1
            ASSERT_EQ(ops.playMove(move, ' '), 0);
        ClearRecord();
        ops.clearStop();
        ops.setLimits(0, depth, 0, 0, 0);
        ops.go(1, 0);
        ASSERT_FALSE(record.lines.empty()) << depth;
        const Line &last = record.lines.back();
        EXPECT_EQ(last.depth, depth);
        // Stop at the first miss: a search without the draw runs long.
        ASSERT_EQ(last.score, 0) << depth;
        ASSERT_FALSE(last.moves.empty()) << depth;
        ASSERT_EQ(last.moves[0], MakeMoveCode(0x55, 0x76)) << depth;  // f6g8
    }
}

TEST(ModuleSearch, SingleLegalMoveEndsAfterADeepEnoughIteration) {
    Go("7k/8/8/8/8/8/7P/6rK w - -", 6, 300);
    ASSERT_FALSE(record.lines.empty());
    const Line &last = record.lines.back();
    EXPECT_GT(last.depth, 6);
    ASSERT_FALSE(last.moves.empty());
    EXPECT_EQ(last.moves[0], MakeMoveCode(0x07, 0x06));  // Kxg1
    EXPECT_EQ(record.timers.front(), 50000);
    EXPECT_EQ(record.timers.back(), 0);
}

TEST(ModuleSearch, MatedAndStalematedRootsReportNoLine) {
    for (const char *fen : {"k7/1Q6/1K6/8/8/8/8/8 b - -", "k7/8/1Q6/8/8/8/8/7K b - -"}) {
        Go(fen, 6, 300);
        EXPECT_TRUE(record.lines.empty()) << fen;
        EXPECT_EQ(record.timers.back(), 0);
    }
}

TEST(ModuleSearch, MultiPvWithFewerMovesThanLines) {
    Go("k7/8/8/8/8/8/8/K6r w - -", 0, 5, 0, 3);
    std::vector<int> indexes;
    for (const Line &line : record.lines) {
        EXPECT_EQ(line.depth, 5);
        if (std::find(indexes.begin(), indexes.end(), line.index) == indexes.end())
            indexes.push_back(line.index);
    }
    std::sort(indexes.begin(), indexes.end());
    EXPECT_EQ(indexes, (std::vector<int>{0, 1}));
}

TEST(ModuleSearch, RaisedScoreFloorReportsNothingAndGoesOn) {
    EngineOps &ops = Ops();
    EngineSettings saved, raised;
    ops.getSettings(&saved);
    raised = saved;
    raised.rootScoreFloor = 9000;
    raised.Depth_limit = 6;
    ops.setSettings(&raised);
    Go(START, 0, 3);
    ASSERT_FALSE(record.nodes.empty());
    int64_t oneIteration = record.nodes.back();
    Go(START, 6, 300);
    ops.setSettings(&saved);
    EXPECT_TRUE(record.lines.empty());
    // Iterations went on past the first, to the depth limit.
    ASSERT_FALSE(record.nodes.empty());
    EXPECT_GT(record.nodes.back(), oneIteration);
}

TEST(ModuleSearch, UnderAClockTheFirstIterationIsThreeDeepWhateverTheLimit) {
    EngineOps &ops = Ops();
    EngineSettings saved, limited;
    ops.getSettings(&saved);
    for (int limit : {1, 2}) {
        limited = saved;
        limited.Depth_limit = limit;
        ops.setSettings(&limited);
        Go(START, 6, 300);
        ASSERT_FALSE(record.lines.empty()) << limit;
        for (const Line &line : record.lines)
            EXPECT_EQ(line.depth, 3) << limit;
    }
    ops.setSettings(&saved);
}

TEST(ModuleSearch, StopWithoutClearStopEndsTheNextSearchAtOnce) {
    EngineOps &ops = Ops();
    ASSERT_EQ(ops.setPosition(START), 0);
    ClearRecord();
    ops.clearStop();
    ops.stop();
    ops.setLimits(0, 12, 0, 0, 0);
    ops.go(1, 0);
    // The twelve-ply pass never runs; only the three-ply answer to a stop
    // that came before any line reports.
    ASSERT_FALSE(record.lines.empty());
    for (const Line &line : record.lines)
        EXPECT_EQ(line.depth, 3);
    ops.clearStop();
    ops.setLimits(0, 3, 0, 0, 0);
    ops.go(1, 0);
    EXPECT_FALSE(record.lines.empty());
}

// go in waiting mode on its own thread; returns when it is back.
struct WaitingGo {
    std::atomic<bool> returned{false};
    std::thread thread;
    explicit WaitingGo(int depth) {
        EngineOps &ops = Ops();
        EXPECT_EQ(ops.setPosition(START), 0);
        ClearRecord();
        ops.clearStop();
        ops.setLimits(0, depth, 0, 0, 0);
        thread = std::thread([this] {
            Ops().go(1, 1);
            returned = true;
        });
    }
};

TEST(ModuleSearch, WaitingGoReturnsOnlyAfterStopOrPonderHit) {
    {
        WaitingGo go(3);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_FALSE(go.returned) << "a finished ponder search still waits";
        Ops().stop();
        go.thread.join();
        EXPECT_TRUE(go.returned);
    }
    {
        WaitingGo go(3);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        EXPECT_FALSE(go.returned);
        Ops().ponderHit();
        go.thread.join();
        EXPECT_FALSE(record.lines.empty());
    }
}

TEST(ModuleSearch, PonderHitBeforeGoIsKept) {
    EngineOps &ops = Ops();
    ASSERT_EQ(ops.setPosition(START), 0);
    ops.clearStop();
    ClearRecord();
    ops.ponderHit();  // the control thread has not entered go yet
    EXPECT_TRUE(record.timers.empty()) << "no search in go arms no timer";
    ops.setLimits(0, 3, 0, 0, 0);
    std::atomic<bool> returned{false};
    std::thread control([&] {
        ops.go(1, 1);
        returned = true;
    });
    EXPECT_TRUE(PollUntil([&] { return returned.load(); }, std::chrono::seconds(5)))
        << "the early ponder hit ended the waiting";
    if (!returned)
        ops.stop();
    control.join();
}

TEST(ModuleSearch, MoveTimeStopsOnTheFirstTimerExpiry) {
    EngineOps &ops = Ops();
    ASSERT_EQ(ops.setPosition(START), 0);
    ClearRecord();
    ops.clearStop();
    ops.setLimits(4, 2000, 0, 0, 0);
    std::thread timer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        ops.timerExpired();
    });
    ops.go(1, 0);
    timer.join();
    EXPECT_EQ(record.timers.front(), 2000);
    EXPECT_EQ(record.timers.back(), 0);
    EXPECT_FALSE(record.lines.empty());
    // A ponder hit outside go arms nothing, however stale the stages.
    ClearRecord();
    ops.ponderHit();
    EXPECT_TRUE(record.timers.empty());
}

TEST(ModuleSearch, AllNullCallbacksSearchAndEndOnTheirLimits) {
    FrontEndCallbacks none = {};
    EngineOps ops = LoadPrivateModule(none, "null");
    ASSERT_NE(ops.init, nullptr);
    // Before init: no table, no position.
    ops.clearStop();
    ops.setLimits(0, 3, 0, 0, 0);
    ops.go(1, 0);
    ops.clearHash();
    EXPECT_GT(ops.init(1 << 20, 0), 0);
    ops.go(1, 0);
    ASSERT_EQ(ops.setPosition(START), 0);
    ops.go(1, 0);
    ops.setLimits(6, 1, 0, 0, 0);
    ops.go(1, 0);
    ops.ponderHit();
    ops.timerExpired();
    ops.freeHash();
    ops.clearHash();
}

// A front end whose timer is always in the middle of its expiry when the
// module re-arms or cancels it: as a timer queue whose cancel waits for a
// running expiry routine, it runs timerExpired on a thread of its own and
// waits for it before answering. The wait gives up after ten seconds, so
// a deadlock fails the test rather than hanging it.
struct BusyTimer {
    std::mutex mutex;
    bool armedA = false, armedB = false;
    int nExpiries = 0;
    int nStuck = 0;  // expiries that had not returned when the wait gave up
    std::vector<std::thread> threads;
};
BusyTimer busyTimer;
EngineOps &BusyTimerOps();

void ExpireWhileDropping(int ms) {
    bool drops;
    {
        std::lock_guard<std::mutex> lock(busyTimer.mutex);
        bool &slot = ms < 0 ? busyTimer.armedA : busyTimer.armedB;
        drops = ms == 0 ? busyTimer.armedA || busyTimer.armedB : slot;
        busyTimer.armedA = ms < 0 || (ms > 0 && busyTimer.armedA);
        busyTimer.armedB = ms > 0 || (ms < 0 && busyTimer.armedB);
    }
    if (!drops)
        return;
    auto returned = std::make_shared<std::atomic<bool>>(false);
    std::thread expiry([returned] {
        BusyTimerOps().timerExpired();
        *returned = true;
    });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!*returned && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::lock_guard<std::mutex> lock(busyTimer.mutex);
    busyTimer.nExpiries++;
    busyTimer.nStuck += !*returned;
    busyTimer.threads.push_back(std::move(expiry));
}

EngineOps &BusyTimerOps() {
    static EngineOps module = [] {
        FrontEndCallbacks callbacks = {};
        callbacks.setTimer = ExpireWhileDropping;
        callbacks.reportPv = RecordPv;
        return LoadStartedPrivateModule(callbacks, "busy_timer", 8 << 20);
    }();
    return module;
}

void JoinExpiries() {
    std::vector<std::thread> threads;
    {
        std::lock_guard<std::mutex> lock(busyTimer.mutex);
        threads.swap(busyTimer.threads);
    }
    for (std::thread &thread : threads)
        thread.join();
}

TEST(ModuleSearch, SearchEndingByItselfCancelsATimerWhoseExpiryIsRunning) {
    EngineOps &ops = BusyTimerOps();
    ASSERT_NE(ops.init, nullptr);
    EngineSettings saved, limited;
    ops.getSettings(&saved);
    limited = saved;
    limited.Depth_limit = 5;
    ops.setSettings(&limited);
    ASSERT_EQ(ops.setPosition(START), 0);
    ClearRecord();
    busyTimer.nExpiries = busyTimer.nStuck = 0;
    ops.clearStop();
    ops.setLimits(4, 60000, 0, 0, 0);
    ops.go(1, 0);  // ends at depth 5, then cancels the running expiry
    ops.setSettings(&saved);
    JoinExpiries();
    EXPECT_EQ(busyTimer.nExpiries, 1);
    EXPECT_EQ(busyTimer.nStuck, 0) << "the cancel waited for an expiry that waited for it";
    ASSERT_FALSE(record.lines.empty());
    EXPECT_EQ(record.lines.back().depth, 5);
    // The late expiry's stop does not reach the next search.
    ClearRecord();
    ops.clearStop();
    ops.setLimits(0, 4, 0, 0, 0);
    ops.go(1, 0);
    ASSERT_FALSE(record.lines.empty());
    EXPECT_EQ(record.lines.back().depth, 4);
}

TEST(ModuleSearch, PonderHitReArmsATimerWhoseExpiryIsRunning) {
    EngineOps &ops = BusyTimerOps();
    ASSERT_NE(ops.init, nullptr);
    // A stray ponder hit in a timed search, then the second ponder hit of
    // a ponder search: each re-arms the first stage while it runs.
    for (int waitForStop : {0, 1}) {
        SCOPED_TRACE(waitForStop);
        ASSERT_EQ(ops.setPosition(START), 0);
        ClearRecord();
        busyTimer.nExpiries = busyTimer.nStuck = 0;
        ops.clearStop();
        ops.setLimits(4, 60000, 0, 0, 0);
        std::atomic<bool> returned{false};
        std::thread control([&] {
            ops.go(1, waitForStop);
            returned = true;
        });
        auto searching = [] {
            std::lock_guard<std::mutex> lock(record.mutex);
            return !record.lines.empty();
        };
        PollUntil(searching, std::chrono::seconds(10));
        if (waitForStop)
            ops.ponderHit();  // arms the stages
        ops.ponderHit();      // the expiry it meets stops the search
        EXPECT_TRUE(PollUntil([&] { return returned.load(); }, std::chrono::seconds(10)))
            << "the expiry's stop ended the search";
        if (!returned)
            ops.stop();
        control.join();
        JoinExpiries();
        EXPECT_EQ(busyTimer.nStuck, 0) << "the re-arm waited for an expiry that waited for it";
        EXPECT_GE(busyTimer.nExpiries, 1);
        EXPECT_FALSE(record.lines.empty());
    }
}

std::atomic<int> nProbes{0};
std::atomic<int> menSeen{0};

// Every probe finds the side to move mated in three.
int ProbeMatedInThree(const int8_t *board, int side, int epSquare, int *score) {
    int men = 0;
    for (int i = 0; i < 64; i++)
        men += board[i] != 6;
    if (nProbes++ == 0) {
        menSeen = men;
        EXPECT_EQ(side, -1) << "the first probe is of a root move";
    }
    EXPECT_EQ(epSquare, 0);
    *score = -3;
    return 1;
}

TEST(ModuleSearch, TablebaseHitsBecomeMateScoresFromTheRoot) {
    FrontEndCallbacks callbacks = {};
    callbacks.reportPv = RecordPv;
    callbacks.probeTablebase = ProbeMatedInThree;
    EngineOps ops = LoadPrivateModule(callbacks, "probe");
    ASSERT_NE(ops.init, nullptr);
    ASSERT_GT(ops.init(1 << 20, 3), 0);
    ASSERT_EQ(ops.setPosition("8/8/8/4k3/8/8/8/3QK3 w - -"), 0);
    ClearRecord();
    ops.clearStop();
    ops.setLimits(0, 9, 0, 0, 0);
    ops.go(1, 0);
    EXPECT_GT(nProbes, 0);
    EXPECT_EQ(menSeen, 3);
    ASSERT_FALSE(record.lines.empty());
    // The child is mated after two moves of its own: the root mates with
    // its third move, on ply 5.
    EXPECT_EQ(record.lines.back().score, 9993);
    // Without tables for so few men nothing is asked.
    ops.freeHash();
    ASSERT_GT(ops.init(1 << 20, 1), 0);
    nProbes = 0;
    ops.clearStop();
    ops.go(1, 0);
    EXPECT_EQ(nProbes, 0);
}

}  // namespace
