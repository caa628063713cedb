// The root driver: time, timers, root and table preparation, then
// iterative deepening with multiple lines, the easy-move test and the
// stop tests. The move reaches the program only as the last line reported:
// nothing is reported from a stopped iteration.
#include <algorithm>

#include "engine/eval_snapshot.h"
#include "engine/evaluate.h"
#include "engine/game.h"
#include "engine/legal_moves.h"
#include "engine/module_state.h"
#include "engine/search.h"
#include "engine/split_node.h"
#include "engine/stopwatch.h"
#include "engine/time_control.h"
#include "engine/transposition_table.h"
#include "platform/random.h"

int32_t rootDepth = 1;
int32_t previousIterationScore = -SCORE_INFINITE;
std::atomic<int32_t> linesDone{0};
int32_t linesWanted = 1;
int32_t easyMoveFactor = 10;
std::atomic<int32_t> rootFirstMove{0};

constexpr int FIRST_MOVE_LIST = 100;
// The deepest first pass that a stop waits for (module_state.h).
constexpr int MOVE_NOW_DEPTH = 3;

namespace {

// The locals of one search that the iteration steps share.
struct ThinkState {
    SearchNode *root;
    int nLines;
    int depthLimit;
    int rootTableDepth;
    Move pv[PV_LENGTH];
    Move pv2[PV_LENGTH];
    Move testPv[PV_LENGTH];
    Move firstMoves[FIRST_MOVE_LIST];
    // The first line's killers, kept for the whole search: the root's
    // killer updates leave the best move in killers[0], so from the second
    // iteration on the previous best leads and caps the window.
    Move killers[2];
    Move easyMove;      // the best move the easy-move test examined
    int easyThreshold;  // score the best move must keep for the test to count
    int score;
    int movesAtRoot;
};

}  // namespace

static void ReportLine(int depth, int score, const Move *pv) {
    ReportPvHook hook = reportPvHook;
    if (hook)
        hook(depth, score, pv, 0);
}

// 2-3: time allocation, the search clock and the timers.
static void StartClocks(const SearchNode *root) {
    static bool clockReset = false;
    if (!clockReset) {
        StopwatchReset(&searchStopwatch);
        clockReset = true;
    }
    EnterCriticalSection(&timerArmLock);
    const Stopwatch *gameClock = root->side == WHITE ? &whiteStopwatch : &blackStopwatch;
    AllocateTime(gameClock->elapsedMs);
    StopwatchStart(&searchStopwatch);
    timersArmable = 1;
    // Pondering or infinite analysis: the timers wait for the ponder hit.
    if (searchState != 2 && pendingFirstMs > 0 && armTimers)
        armTimers(pendingFirstMs, pendingSecondMs);
    LeaveCriticalSection(&timerArmLock);
}

// The cancel may wait for an expiry in progress, which may need
// searchStateLock: only timerArmLock is held.
static void StopClocks() {
    EnterCriticalSection(&timerArmLock);
    timersArmable = 0;
    if (armTimers)
        armTimers(0, 0);
    LeaveCriticalSection(&timerArmLock);
}

static void RandomizeOpening() {
    evalMargin = 10;
    evalNoise = 0;
    if (settings.randomizeOpening && moveNumber <= 32) {
        int r = RandomNext();
        evalNoise = moveNumber <= 16 ? r * 5 / 32768 - 2 : r * 3 / 32768 - 1;
        evalMargin = 10 + evalNoise;
    }
}

// 5-12: the root node, the table and the search words.
static void PrepareRoot(ThinkState *state) {
    SearchNode *root = state->root;
    Position *position = root->position;
    splitGeneration = 1;
    position->generation = 1;
    position->owner = nullptr;
    position->splitPoint = nullptr;
    root->bestMove = MOVE_NONE;
    root->threatMove = MakeMoveCode(MoveFrom(root->threatMove), NO_SQUARE);
    root->parent = nullptr;
    root->ply = 0;
    root->matedScore = -(SCORE_INFINITE - 1);
    root->futilityGap = -SCORE_INFINITE;
    for (SideRecord *side : {&position->whiteSide, &position->blackSide})
        std::fill(side->replyMoves, side->replyMoves + 128, MOVE_NONE);
    // Each search starts without killers, so that it does not depend on
    // what was searched before.
    ClearPlyNodeKillers(position);
    root->castleFlags =
        (root->castleFlags & ~NO_PROGRESS_PULL_ON) | CASTLE_QUIET_WHITE | CASTLE_QUIET_BLACK;
    ResetMoveList(root);
    ClearLine(state->pv, PV_LENGTH);
    position->nodes = 0;
    position->nRepetitions = 0;
    totalNodes = 0;
    ResetReportedNodes();
    releaseEvalSnapshots = ReleaseEvalSnapshots;
    Evaluate(root, 1);
    const HashEntry *entry = ProbeHash(&hashTable, &root->key);
    state->rootTableDepth = entry ? HashLoad(entry->depth) / 2 : 0;
    PrepareHash(&hashTable, 1);
    // Under a clock the first iteration is at depth 3 even when the depth
    // limit is lower: that iteration is then the last.
    if (timeControlKind == 0)
        rootDepth = std::clamp(std::min(state->depthLimit, limitValues[0]), 1, MAX_DEPTH);
    else
        rootDepth = 3;
    root->searchInfo = 0;
    FindThreat(root, -SCORE_INFINITE, 0);
    ClearLine(state->firstMoves, FIRST_MOVE_LIST);
    easyMoveFactor = 10;
    previousIterationScore = -SCORE_INFINITE;
    readyToMove = 0;
    iterationDone = 0;
}

// Further lines exclude the first line's move, so they get killers of
// their own: their best moves must not displace it from killers[0].
static int SearchRoot(ThinkState *state, int depth, int beta, Move *pv, int listIndex) {
    Move ownKillers[2] = {MOVE_NONE, MOVE_NONE};
    Move *killers = listIndex == 0 ? state->killers : ownKillers;
    ClearLine(pv, PV_LENGTH);
    return Search(state->root, depth, beta, settings.rootScoreFloor, killers, pv,
                  &state->firstMoves[listIndex]);
}

// A pawn's move to the first or last rank while the search is shallow
// turns tablebase probes off for the rest of the search.
static void WatchPromotion(const ThinkState *state, int depth) {
    Move first = state->pv[0];
    if (depth >= 6 || !IsMove(first))
        return;
    const PieceRecord *mover = BoardAt(state->root->position, MoveFrom(first));
    int8_t to = int8_t(MoveTo(first));
    if (mover->kind == KIND_PAWN && (to < 0x10 || to >= 0x70))
        probeTablebaseHook = nullptr;
}

// 4-8: every line of one iteration. Returns false when stopped.
static bool SearchLines(ThinkState *state, int depth) {
    SearchNode *root = state->root;
    state->score = SearchRoot(state, depth, SCORE_INFINITE, state->pv, 0);
    if (stopSearch)
        return false;
    if (state->score <= settings.rootScoreFloor)
        state->pv[0] = MOVE_NONE;
    if (state->nLines > 1)
        ReportLine(depth, state->score, state->pv);
    WatchPromotion(state, depth);
    state->firstMoves[1] = state->pv[0];
    state->movesAtRoot = root->movesSeen;
    linesDone = 1;
    // Line 1 is finished and reported (above, or as the root search found
    // it): a stop held back until now may end the search.
    ReleaseStop();
    int previous = state->score;
    while (linesDone < state->nLines && !stopSearch && root->movesSeen > 1) {
        ResetMoveList(root);
        int done = linesDone;
        int t = SearchRoot(state, depth, previous + 10, state->pv2, done);
        if (!stopSearch)
            ReportLine(depth, t, state->pv2);
        state->firstMoves[done + 1] = state->pv2[0];
        linesDone = done + 1;
        previous = t;
    }
    return true;
}

// A fixed-depth pass stopped before its first line leaves no move to
// play: a three-ply search (well under a millisecond) answers instead.
// The stop stands: it is held back during that search and takes effect
// again when the hold ends.
static void AnswerStopWithShallowSearch(ThinkState *state) {
    HoldStop();
    RequestStop();
    ResetMoveList(state->root);
    rootDepth = MOVE_NOW_DEPTH;
    linesDone = 0;
    state->score = SearchRoot(state, MOVE_NOW_DEPTH, SCORE_INFINITE, state->pv, 0);
    if (state->nLines > 1 && IsMove(state->pv[0]))
        ReportLine(MOVE_NOW_DEPTH, state->score, state->pv);
}

// The easy-move test: how far below the best move do all others stay?
static void TestEasyMove(ThinkState *state, int depth) {
    SearchNode *root = state->root;
    int s = state->score;
    ReportPvHook savedHook = reportPvHook.exchange(nullptr);
    ResetMoveList(root);
    state->easyMove = state->pv[0];
    Move killers[2] = {MOVE_NONE, MOVE_NONE};
    ClearLine(state->testPv, PV_LENGTH);
    int v = Search(root, depth, s - 70, s - 151, killers, state->testPv, &state->firstMoves[1]);
    reportPvHook = savedHook;
    int gap = s - v;
    bool recapture =
        PieceIsMan(root->capturedPiece) && ToSquare(state->easyMove) == ToSquare(root->lastMove);
    if (gap >= 150) {
        easyMoveFactor = recapture ? 50 : 30;
        state->easyThreshold = v + 150;
    } else if (gap >= 71) {
        easyMoveFactor = recapture ? 30 : 20;
        state->easyThreshold = v + 71;
    } else {
        easyMoveFactor = 10;
    }
}

enum IterationEnd { ITERATION_NEXT, ITERATION_FINISH, ITERATION_STOPPED };

// Step 9: the stop tests after a completed iteration; *pct receives the
// share of the allotted time used, adjusted.
static IterationEnd TestStop(ThinkState *state, int depth, int64_t *pct) {
    int s = state->score;
    if (timeControlKind == 0)
        return ITERATION_FINISH;
    // No line: the end only when there is truly no legal move.
    if (state->pv[0] == MOVE_NONE && settings.rootScoreFloor == -SCORE_INFINITE) {
        Move moves[MAX_LEGAL_MOVES];
        if (GenerateLegalMoves(state->root, moves) == 0)
            return ITERATION_FINISH;
    }
    if (depth >= state->depthLimit)
        return ITERATION_FINISH;
    if (state->movesAtRoot == 1 && s > -SCORE_INFINITE && depth > 6)
        return ITERATION_FINISH;
    int allotted = allottedMs;
    *pct = int64_t(StopwatchElapsed(&searchStopwatch)) * 100 / std::max(allotted, 1);
    if (*pct < 5 && s > -SCORE_INFINITE && timeControlKind != 4 && state->nLines == 1)
        TestEasyMove(state, depth);
    if (stopSearch)
        return ITERATION_STOPPED;
    iterationDone = 1;
    if (state->pv[0] == state->easyMove && easyMoveFactor != 10 && s >= state->easyThreshold)
        *pct = *pct * easyMoveFactor / 10;
    bool scoreRules = timeControlKind != 1 && timeControlKind != 4;
    if (s + 20 < previousIterationScore && scoreRules)
        *pct = 2 * *pct / 3;
    if (s < -50 && scoreRules)
        *pct = 3 * *pct / 4;
    previousIterationScore = s;
    if (allotted <= 0 || depth > state->depthLimit || *pct >= 60) {
        readyToMove = 1;
        if (searchState != 2 && timeControlKind != 4)
            return ITERATION_FINISH;
    }
    return ITERATION_NEXT;
}

// Step 10: the next depth, skipping ahead while time is plentiful but
// never past the depth the table already holds for the root.
static int NextDepth(const ThinkState *state, int depth, int64_t pct) {
    int h = state->rootTableDepth;
    int next = depth + 1;
    if (pct < 35 && next != h && next != h + 1) {
        next = depth + 2;
        if (pct < 4 && next != h && next != h + 1)
            next = depth + 3;
    }
    return std::min(next, state->depthLimit);
}

void Think(SearchNode *root, int nLines) {
    ThinkState state;
    state.root = root;
    state.nLines = std::clamp(nLines, 1, MAX_LINES);
    linesWanted = state.nLines;
    state.depthLimit = std::clamp<int32_t>(settings.Depth_limit, 1, MAX_DEPTH);
    state.easyMove = MOVE_NONE;
    state.easyThreshold = SCORE_INFINITE;
    state.score = -SCORE_INFINITE;
    state.movesAtRoot = 0;
    state.killers[0] = state.killers[1] = MOVE_NONE;
    ClearLine(state.pv2, PV_LENGTH);
    ClearLine(state.testPv, PV_LENGTH);
    ProbeTablebaseHook savedProbe = probeTablebaseHook;
    StartClocks(root);
    RandomizeOpening();
    PrepareRoot(&state);
    if (rootDepth > MOVE_NOW_DEPTH)
        ReleaseStop();
    bool report = false;
    for (;;) {
        int depth = rootDepth;
        linesDone = 0;
        if (depth > 9 && settings.Use_threat_detection) {
            ReportCurrentMoveHook hook = reportCurrentMoveHook;
            if (hook)
                hook(depth, nullptr, 0);
            FindThreat(root, -SCORE_INFINITE, depth - 9);
        }
        if (stopSearch || !SearchLines(&state, depth))
            break;
        int64_t pct = 0;
        IterationEnd end = TestStop(&state, depth, &pct);
        if (end == ITERATION_STOPPED)
            break;
        if (end == ITERATION_FINISH) {
            report = !stopSearch && state.nLines == 1;
            break;
        }
        rootDepth = NextDepth(&state, depth, pct);
        ResetMoveList(root);
    }
    if (report) {
        linesDone = 0;
        ReportLine(rootDepth, state.score, state.pv);
    }
    if (timeControlKind == 0 && !IsMove(state.pv[0]) && stopSearch && rootDepth > MOVE_NOW_DEPTH)
        AnswerStopWithShallowSearch(&state);
    ReleaseStop();
    UnpinHistoryEntries(&hashTable);
    probeTablebaseHook = savedProbe;
    StopClocks();
}
