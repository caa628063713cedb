// The module's thread pool, linked in directly so that its statistics can
// be read: with four threads the helpers search, and what a helper hands
// back when it finishes (a move seen, its killer pair) reaches the split
// node while the split still runs, and the root in the end. The owner of a
// split writes its shared window under the split lock: a split made by
// hand holds its helper out while the owner raises, and in the debug
// builds a search caps its root's window with helpers out. A raise that
// meets a capped window never shows the node cut to the helpers, and a
// node that helpers cut is stored as a lower bound.
#include "engine/thread_pool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "engine/engine_api.h"
#include "engine/game.h"
#include "engine/search.h"
#include "engine/split_node.h"
#include "platform/threads.h"
#include "tests/engine/board_fixture.h"
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
    int index, depth, lower;
};

std::mutex linesMutex;
std::vector<Line> lines;

// Once armed, the first thread other than the arming one that passes
// Enter waits there until released.
struct Hold {
    std::mutex mutex;
    std::condition_variable changed;
    std::thread::id owner;
    bool armed = false, held = false, released = false;

    void Enter() {
        std::unique_lock<std::mutex> lock(mutex);
        if (!armed || std::this_thread::get_id() == owner)
            return;
        armed = false;
        held = true;
        changed.notify_all();
        changed.wait(lock, [this] { return released; });
    }
    void Arm() {
        std::lock_guard<std::mutex> lock(mutex);
        owner = std::this_thread::get_id();
        armed = true;
        held = released = false;
    }
    bool IsHeld() {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [this] { return held; });
    }
    void Release() {
        std::lock_guard<std::mutex> lock(mutex);
        armed = false;
        released = true;
        changed.notify_all();
    }
};

// A helper's current-move report (at the start of each pass over a root
// move) and its line report (inside a raise, under the split lock).
Hold moveHold, lineHold;

std::mutex movesMutex;
std::condition_variable movesChanged;
std::vector<Move> movesReported;

void RecordPv(int lineIndex, int depth, int, int, const Move *, int lower) {
    {
        std::lock_guard<std::mutex> lock(linesMutex);
        lines.push_back({lineIndex, depth, lower});
    }
    lineHold.Enter();
}

void RecordMove(int, Move move, int) {
    {
        std::lock_guard<std::mutex> lock(movesMutex);
        movesReported.push_back(move);
        movesChanged.notify_all();
    }
    moveHold.Enter();
}

// Waits until the move has been reported n times since the list was cleared.
bool MoveReported(Move move, int n) {
    std::unique_lock<std::mutex> lock(movesMutex);
    return movesChanged.wait_for(lock, std::chrono::seconds(60), [move, n] {
        return std::count(movesReported.begin(), movesReported.end(), move) >= n;
    });
}

EngineOps &Ops() {
    static EngineOps ops = [] {
        static FrontEndCallbacks callbacks = {};
        callbacks.reportPv = RecordPv;
        callbacks.reportCurrentMove = RecordMove;
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

// The root of the endgame below, and its child, as the move loop of an
// iteration at depth sets them up for a split.
const char *const SPLIT_ROOT = "8/8/4k3/8/2p5/8/B2P2K1/8 w - -";

SearchNode *PrepareRootSplit(int depth, SearchNode *spare) {
    SearchToDepth(SPLIT_ROOT, 1, 1);  // the root as a search leaves it
    Ops().clearStop();
    SearchNode *root = &rootNode;
    ResetMoveList(root);
    root->bestMove = MOVE_NONE;
    root->movesSeen = 0;
    root->futilityGap = -SCORE_INFINITE;
    root->savedBeta = SCORE_INFINITE;
    root->auxSquare2 = NO_SQUARE;
    SearchNode *child = ChildRecord(root, spare);
    CopyNodeState(child, root);
    child->bestMove = MOVE_NONE;
    child->position = root->position;
    child->matedScore = root->matedScore + 1;
    child->ply = 1;
    rootDepth = depth;
    return child;
}

// The owner of a split node searches a move there itself, here while its
// one helper is held at the start of its move, and raises the node's
// alpha. It must do so as a helper does: under splitLock through its
// writes (checked at each write in the debug builds), and starting a new
// generation, so that the helper's pass, begun under the lower bound, is
// searched again.
TEST(ThreadPool, OwnerRaisesItsSplitNodeUnderTheLock) {
    constexpr int DEPTH = 10;  // root moves are reported from depth 10
    Move handed = MoveFromText("g2f2"), owners = MoveFromText("d2d4");
    SetThreads(2);
    SearchNode spare;
    SearchNode *child = PrepareRootSplit(DEPTH, &spare);
    SearchNode *root = &rootNode;
    int beta = SCORE_INFINITE, alpha = -SCORE_INFINITE;
    Move killers[2] = {MOVE_NONE, MOVE_NONE}, line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    const Move firstLine[1] = {MOVE_NONE};
    moveHold.Arm();
    bool split = SplitNode(root, DEPTH, &beta, &alpha, killers, line, handed, child) == 1;
    bool held = split && moveHold.IsHeld();
    if (held) {
        int32_t generation = splitGeneration;
        SearchMove(root, DEPTH, &beta, &alpha, killers, line, owners, child, &firstLine[0]);
        EXPECT_EQ(line[0], owners) << "the owner raised the root";
        EXPECT_GT(splitGeneration, generation) << "the raise started a new generation";
    }
    moveHold.Release();
    if (split)
        WaitForHelpers(root);
    EXPECT_TRUE(held) << "the handed move was held on a helper";
    SetThreads(0);
}

// A raise that meets a capped beta widens it to the saved beta and
// searches its move again; no thread may see the node cut in between.
// Here a helper raises the root over its capped beta and is held in the
// line report of that raise. A helper starting its move then, and one
// whose pass the raise made obsolete, must both go on with their moves
// instead of stopping as if the root were cut.
TEST(ThreadPool, HelpersGoOnWhileARaiseWidensACappedWindow) {
    if (CountProcessors() < 3)
        GTEST_SKIP() << "three helpers search at once";
    constexpr int DEPTH = 10;
    Move obsoleted = MoveFromText("g2f2"), raising = MoveFromText("a2c4"),
         starting = MoveFromText("d2d4");
    SetThreads(3);
    SearchNode spare;
    SearchNode *child = PrepareRootSplit(DEPTH, &spare);
    SearchNode *root = &rootNode;
    // Capped far below the saved beta: whatever the raising move scores
    // meets the cap.
    int beta = -9000, alpha = -SCORE_INFINITE;
    Move killers[2] = {MOVE_NONE, MOVE_NONE}, line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    {
        std::lock_guard<std::mutex> lock(movesMutex);
        movesReported.clear();
    }
    moveHold.Arm();
    bool split = SplitNode(root, DEPTH, &beta, &alpha, killers, line, obsoleted, child) == 1;
    bool held = split && moveHold.IsHeld();
    if (held) {
        lineHold.Arm();
        SplitNode(root, DEPTH, &beta, &alpha, killers, line, raising, child);
        held = lineHold.IsHeld();
    }
    if (held) {
        {
            std::lock_guard<std::mutex> lock(linesMutex);
            EXPECT_EQ(lines.back().lower, 1) << "the raise met the cap: a lower bound";
        }
        SplitNode(root, DEPTH, &beta, &alpha, killers, line, starting, child);
        EXPECT_TRUE(MoveReported(starting, 1)) << "the helper starting meanwhile stopped";
        moveHold.Release();
        EXPECT_TRUE(MoveReported(obsoleted, 2)) << "the helper whose pass went stale stopped";
    }
    moveHold.Release();
    lineHold.Release();
    if (split)
        WaitForHelpers(root);
    EXPECT_TRUE(held) << "one helper held at its move, another in its raise";
    SetThreads(0);
}

#ifdef VLM_DEBUG
// After each move at its split node the owner caps beta again near alpha
// while helpers are out, so it must read and store that shared window
// under splitLock (checked at the store). At depth 11 this root's alpha
// reaches its capped reference, and each hand-over there is followed by
// such a store. These searches also store split nodes that a helper cut,
// often where the owner had not raised or had raised inside the window:
// the table store checks that any node whose alpha a raise brought to
// beta is stored as a lower bound.
TEST(ThreadPool, OwnerCapsItsSplitNodeWindowUnderTheLock) {
    for (int nThreads : {4, 8}) {
        SetThreads(nThreads);
        SearchToDepth(MIDDLEGAMES[1], 11, 1);
    }
    SetThreads(0);
}
#endif

}  // namespace
