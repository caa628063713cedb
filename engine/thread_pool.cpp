// The pool of helper threads that share the moves of split nodes. A helper
// is idle while its queueEmpty holds a count and works while active names
// the split node; searcherSlots gives out one count per searching helper,
// so at most nThreads search at once. A helper merges its results into the
// split node when it finishes, under the owner's merge lock, which the
// owner holds whenever it is not waiting in the pool. Each init retires
// the helpers of the previous pool, and frees it only once every one of
// them has left.
#include "engine/thread_pool.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <mutex>

#include "engine/board.h"
#include "engine/debug_check.h"
#include "engine/game.h"
#include "engine/module_state.h"
#include "engine/search.h"
#include "engine/split_node.h"
#include "engine/transposition_table.h"
#include "platform/sync.h"
#include "platform/threads.h"

namespace {

constexpr int MAX_THREADS = 24;
constexpr int MAX_THREAD_RECORDS = 2 * MAX_THREADS;
static_assert(MAX_THREAD_RECORDS <= MAX_WAIT_OBJECTS, "one wait covers every record");
static_assert(MAX_THREAD_RECORDS == sizeof ThreadPoolStats{}.helperNodes / sizeof(int64_t),
              "a node count per record");
constexpr int MAIN_THREAD_ID = 1;
constexpr int FIRST_HELPER_ID = 2;  // record index + 2
constexpr int N_THREAD_IDS = MAX_THREAD_RECORDS + FIRST_HELPER_ID;
constexpr int PRIORITY_NORMAL = 0;
constexpr int PRIORITY_ABOVE_NORMAL = 1;

struct ThreadPool;

// One helper thread with its own Position and root record. The job fields
// are written by the owner before it releases queueFull.
struct ThreadRecord {
    Semaphore queueEmpty;  // holds its count while the helper is idle
    Semaphore queueFull;   // released when a job (or retirement) is posted
    Position position;
    SearchNode rootNode;  // the helper root: a copy of the split node
    // The helper's node records, one per ply; the child of the helper root
    // starts as a copy of the owner's child.
    SearchNode plyNodes[N_PLY_NODES];
    SearchNode spareChild;  // the child below the deepest record
    SearchNode *childNode;  // the child of the current job
    ThreadPool *pool;
    int32_t index;
    bool started;
    bool retire;
    // Job.
    SearchNode *splitNode;
    SearchNode *ownerChild;
    int32_t ownerId;
    int32_t depth;
    int32_t *beta;
    int32_t *alpha;
    Move *killers;
    Move *pvOut;
    Move move;
    bool atRoot;
    Move rememberedPv[2];  // the owner child's pair at the hand-over
    // Shared state of the record.
    std::atomic<SearchNode *> active;    // the split node worked for; null when idle
    std::atomic<int32_t> busy;           // owners collecting it right now
    std::atomic<int32_t> reservedBy;     // threadId of the owner holding it; 0 free
    std::atomic<int64_t> nodesSearched;  // since the statistics were reset
};

// The split an owner runs. Each owner owns splits at one node at a time,
// so one per threadId. From the first hand-off until its helpers are back
// the owner holds mergeLock, letting go only while it waits in the pool:
// a finishing helper's merge into the split node and the owner's child
// then never meets the owner's own reads and writes of them. splitLock may
// be taken under it; it is never taken under splitLock, and never held
// while waiting on a semaphore.
struct SplitShare {
    std::mutex mergeLock;
    // What the split started from, and how many helpers merged since.
    int32_t movesSeenAtSplit;
    Move pvAtSplit[2];
    int32_t nMerged;
};

// Counters behind ThreadPoolStats.
struct PoolCounters {
    std::atomic<int64_t> nSplits;
    std::atomic<int64_t> nHandOvers;
    std::atomic<int64_t> nHandOversAfterMerge;
    std::atomic<int64_t> nHandOversSeeingMoves;
    std::atomic<int64_t> nHandOversSeeingKillers;
};

struct ThreadPool {
    ThreadRecord thread[MAX_THREAD_RECORDS];
    SplitShare shares[N_THREAD_IDS];
    PoolCounters counters;
    int32_t nProcessors;
    int32_t nRecordsBuilt;  // 2 x nProcessors
    std::atomic<int32_t> nThreads;
    std::atomic<int32_t> nThreadRecords;
    std::atomic<int32_t> pendingThreads;  // a count change waiting for a safe point; 0 none
    Semaphore searcherSlots;
    Semaphore placeholderSemaphore;  // never released: fills unused wait slots
    Semaphore retired;               // one count per helper that has left
};

std::atomic<ThreadPool *> currentPool{nullptr};

// The exclusion list of a helper at a root split: empty.
const Move emptyExclusion[1] = {MOVE_NONE};

}  // namespace

// A Threads value of 0 or outside 1..24 means the processor count; records
// exist for twice the processor count, so no more may search.
static int ThreadsForSetting(int threadCount, int nProcessors) {
    if (threadCount < 1 || threadCount > MAX_THREADS)
        return nProcessors;
    return std::min(threadCount, nProcessors);
}

static void ReleaseChecked(Semaphore *semaphore) {
    bool released = SemaphoreRelease(semaphore, 1);
    DEBUG_CHECK(released);
    (void)released;
}

static void WaitChecked(Semaphore *semaphore) {
    bool taken = SemaphoreWait(semaphore, WAIT_FOREVER);
    DEBUG_CHECK(taken);
    (void)taken;
}

static void SetOwnerPriority(int priority) {
    bool changed = SetCurrentThreadPriority(priority);
    DEBUG_CHECK(changed);
    (void)changed;
}

static void Count(std::atomic<int64_t> *counter, int64_t n = 1) {
    counter->fetch_add(n, std::memory_order_relaxed);
}

// ---- Copying a Position into a helper ----

// Moves a pointer into `from` to the same place in `to`; pointers
// elsewhere (static tables) stay.
template <typename T>
static void Rebase(T *&pointer, const Position *from, Position *to) {
    uintptr_t address = reinterpret_cast<uintptr_t>(pointer);
    uintptr_t base = reinterpret_cast<uintptr_t>(from);
    if (address >= base && address < base + sizeof(Position))
        pointer = reinterpret_cast<T *>(reinterpret_cast<uintptr_t>(to) + (address - base));
}

static void RebasePiece(PieceRecord *piece, const Position *from, Position *to) {
    Rebase(piece->next, from, to);
    Rebase(piece->prev, from, to);
    Rebase(piece->kindRecord, from, to);
    Rebase(piece->steps, from, to);
    Rebase(piece->stepsEnd, from, to);
    Rebase(piece->squareTable, from, to);
    Rebase(piece->keyTable, from, to);
    Rebase(piece->position, from, to);
}

static void RebaseKind(PieceKindRecord *kind, const Position *from, Position *to) {
    Rebase(kind->next, from, to);
    Rebase(kind->steps, from, to);
    Rebase(kind->stepsEnd, from, to);
    Rebase(kind->squareTable, from, to);
    Rebase(kind->keyTable, from, to);
}

static void RebaseSide(SideRecord *side, const Position *from, Position *to) {
    RebasePiece(&side->head, from, to);
    Rebase(side->opponent, from, to);
}

#ifdef VLM_DEBUG
// Every address inside the copy must have been moved: a word that still
// points into the source means a pointer field the rebase does not know.
static bool CopyPointsInto(const Position *copy, const Position *source) {
    if (sizeof(void *) != 8)
        return false;
    uintptr_t base = reinterpret_cast<uintptr_t>(source);
    uintptr_t words[sizeof(Position) / sizeof(uintptr_t)];
    memcpy(words, static_cast<const void *>(copy), sizeof words);
    for (uintptr_t word : words) {
        if (word >= base && word < base + sizeof(Position))
            return true;
    }
    return false;
}
#endif

// An independent copy whose every internal link points into the copy. The
// destination keeps its own threadId and starts counting nodes from 0.
static void CopyPositionToHelper(Position *to, const Position *from) {
    int32_t threadId = to->threadId;
    SearchNode *plyNodes = to->plyNodes;
    SearchNode *splitPoint = from->splitPoint;
    memcpy(static_cast<void *>(to), static_cast<const void *>(from), sizeof(Position));
    RebasePiece(&to->emptyRecord, from, to);
    for (PieceRecord &man : to->men)
        RebasePiece(&man, from, to);
    RebasePiece(&to->offBoardRecord, from, to);
    for (PieceRecord *&slot : to->board)
        Rebase(slot, from, to);
    for (int i = 0; i < 3; i++) {
        Rebase(to->sideByColour[i], from, to);
        Rebase(to->kingByColour[i], from, to);
        Rebase(to->sideTable[i], from, to);
    }
    RebaseSide(&to->whiteSide, from, to);
    RebaseSide(&to->blackSide, from, to);
    for (PieceKindRecord &kind : to->kinds)
        RebaseKind(&kind, from, to);
    Rebase(to->evalArea.passedPawnTable, from, to);
    DEBUG_CHECK(!CopyPointsInto(to, from));
    to->threadId = threadId;
    to->plyNodes = plyNodes;
    to->splitPoint = splitPoint;
    to->nodes = 0;
}

// A node copied from another Position: its pieces and side record move
// into the helper's Position; the parent chain stays the owner's.
static void RebaseNode(SearchNode *node, const Position *from, Position *to) {
    Rebase(node->capturedPiece, from, to);
    Rebase(node->currentPiece, from, to);
    // attackedPiece means something only with NODE_ATTACKED; otherwise it
    // may never have been written.
    if (node->nodeFlags & NODE_ATTACKED)
        Rebase(node->attackedPiece, from, to);
    else
        node->attackedPiece = nullptr;
    Rebase(node->sideRecord, from, to);
    node->position = to;
}

// ---- Finding and reserving helpers ----

static bool RecordIsFreeFor(const ThreadRecord *record, int ownerId) {
    int reserved = record->reservedBy.load();
    return record->busy.load() == 0 && (reserved == 0 || reserved == ownerId);
}

// Takes the queueEmpty count of an idle helper that is free or reserved by
// ownerId. Owner 0 only polls and gets -1 when none is free; any other
// owner waits without limit.
static int FindIdleThread(ThreadPool *pool, int ownerId) {
    int nRecords = pool->nThreadRecords.load();
    Semaphore *handles[MAX_THREAD_RECORDS];
    for (;;) {
        for (int i = 0; i < nRecords; i++) {
            ThreadRecord *record = &pool->thread[i];
            handles[i] = RecordIsFreeFor(record, ownerId) ? &record->queueEmpty
                                                          : &pool->placeholderSemaphore;
        }
        int status = SemaphoreWaitAny(handles, nRecords, ownerId == 0 ? 0 : WAIT_FOREVER);
        if (status < 0) {
            DEBUG_CHECK(ownerId == 0);
            return -1;
        }
        DEBUG_CHECK(status < nRecords);
        ThreadRecord *record = &pool->thread[status];
        DEBUG_CHECK(record->active.load() == nullptr);
        if (RecordIsFreeFor(record, ownerId))
            return status;
        // Taken or being collected since the scan: give the count back.
        ReleaseChecked(&record->queueEmpty);
    }
}

// A thread-count change takes effect only here, where no helper works:
// the main thread owns no split, so every helper has been collected.
static void ApplyPendingThreadCount(ThreadPool *pool) {
    int32_t requested = pool->pendingThreads.exchange(0);
    if (requested == 0)
        return;
    pool->nThreads = requested;
    pool->nThreadRecords = 2 * requested;
    SemaphoreInit(&pool->searcherSlots, requested, requested);
}

// Step 1 of a split: the node becomes this thread's split point with one
// helper reserved for it. False when no helper is idle.
static bool BeginSplit(ThreadPool *pool, SearchNode *node, SearchNode *child) {
    Position *position = node->position;
    int ownerId = position->threadId;
    if (ownerId == MAIN_THREAD_ID)
        ApplyPendingThreadCount(pool);
    int found = FindIdleThread(pool, 0);
    if (found < 0)
        return false;
    position->splitPoint = node;
    pool->thread[found].reservedBy = ownerId;
    ReleaseChecked(&pool->thread[found].queueEmpty);
    SplitShare *share = &pool->shares[ownerId];
    share->mergeLock.lock();
    share->movesSeenAtSplit = node->movesSeen;
    share->pvAtSplit[0] = child->pv[0];
    share->pvAtSplit[1] = child->pv[1];
    share->nMerged = 0;
    Count(&pool->counters.nSplits);
    // An owner gives up its own search count while it owns a split.
    if (ownerId >= FIRST_HELPER_ID)
        ReleaseChecked(&pool->searcherSlots);
    SetOwnerPriority(PRIORITY_ABOVE_NORMAL);
    return true;
}

// The helper's records below the child take the owner's killers of each
// ply: the helper searches the move as the owner would, whichever helper
// record gets the job.
static void CopyPlyKillers(const Position *from, Position *to, int firstPly) {
    if (!from->plyNodes || !to->plyNodes)
        return;
    for (int ply = std::max(firstPly, 0); ply < N_PLY_NODES; ply++) {
        to->plyNodes[ply].pv[0] = from->plyNodes[ply].pv[0];
        to->plyNodes[ply].pv[1] = from->plyNodes[ply].pv[1];
    }
}

// What a hand-over copies of the results merged so far.
static void CountHandOver(PoolCounters *counters, const SplitShare *share, const SearchNode *node,
                          const SearchNode *child) {
    Count(&counters->nHandOvers);
    if (share->nMerged == 0)
        return;
    Count(&counters->nHandOversAfterMerge);
    if (node->movesSeen > share->movesSeenAtSplit)
        Count(&counters->nHandOversSeeingMoves);
    if (child->pv[0] != share->pvAtSplit[0] || child->pv[1] != share->pvAtSplit[1])
        Count(&counters->nHandOversSeeingKillers);
}

// Steps 4 and 5 of a split, under the owner's merge lock: the helper gets
// a copy of the owner's Position, the split node and the child, and the job.
static void HandOver(ThreadRecord *record, SearchNode *node, int depth, int *beta, int *alpha,
                     Move *killers, Move *pvOut, Move move, SearchNode *child) {
    Position *from = node->position;
    CountHandOver(&record->pool->counters, &record->pool->shares[from->threadId], node, child);
    Position *to = &record->position;
    CopyPositionToHelper(to, from);
    CopyNodeState(&record->rootNode, node);
    RebaseNode(&record->rootNode, from, to);
    record->childNode = ChildRecord(&record->rootNode, &record->spareChild);
    CopyNodeState(record->childNode, child);
    RebaseNode(record->childNode, from, to);
    CopyPlyKillers(from, to, node->ply + 2);
    record->rememberedPv[0] = child->pv[0];
    record->rememberedPv[1] = child->pv[1];
    to->generation = splitGeneration;
    to->owner = from;
    to->splitPoint = &rootNode;  // may not split until its owner frees it
    record->splitNode = node;
    record->ownerChild = child;
    record->ownerId = from->threadId;
    record->depth = depth;
    record->beta = beta;
    record->alpha = alpha;
    record->killers = killers;
    record->pvOut = pvOut;
    record->move = move;
    record->atRoot = node->parent == nullptr;
    record->active = node;
    ReleaseChecked(&record->queueFull);
}

int SplitNode(SearchNode *node, int depth, int *beta, int *alpha, Move *killers, Move *pvOut,
              Move move, SearchNode *child) {
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    if (!pool)
        return 0;
    Position *position = node->position;
    // Helpers waiting for splitLock would never come back.
    DEBUG_CHECK(!SplitLockIsHeldBy(position));
    // 1. The first hand-off at a node reserves a helper; a thread owns
    // splits at one node at a time.
    SearchNode *splitPoint = position->splitPoint;
    if (!splitPoint) {
        if (!BeginSplit(pool, node, child))
            return 0;
    } else if (splitPoint != node) {
        return 0;
    }
    // 2. One search count for the helper; 3. a free or reserved helper.
    // Helpers that finish meanwhile merge into the node.
    std::mutex *mergeLock = &pool->shares[position->threadId].mergeLock;
    mergeLock->unlock();
    WaitChecked(&pool->searcherSlots);
    int index = FindIdleThread(pool, position->threadId);
    mergeLock->lock();
    // 4-5. Copy and post the job.
    HandOver(&pool->thread[index], node, depth, beta, alpha, killers, pvOut, move, child);
    return 1;
}

// ---- The helpers ----

// How far a node's bound flags have come: no raise (upper bound), a raise
// inside the window (exact), a cut (lower bound). A node only moves up
// this order, so the furthest any thread reached is the last.
static int BoundStage(uint16_t flags) {
    switch (flags & HASH_EXACT) {
        case HASH_EXACT:
            return 1;
        case HASH_LOWER:
            return 2;
        default:
            return 0;
    }
}

// The helper's results go into the split node at once, so that the moves
// handed out after it start from them: a move seen, the threat score, the
// bound flags its raises set, and the owner child's killer pair, unless
// another helper replaced that pair since this one started.
static void MergeIntoSplitNode(ThreadRecord *record, int movesSeenBefore) {
    SplitShare *share = &record->pool->shares[record->ownerId];
    SearchNode *node = record->splitNode;
    SearchNode *ownerChild = record->ownerChild;
    const SearchNode *root = &record->rootNode;
    std::lock_guard<std::mutex> lock(share->mergeLock);
    if (root->movesSeen > movesSeenBefore)
        node->movesSeen++;
    if (MovesEqual(&ownerChild->pv[0], &record->rememberedPv[0]) &&
        MovesEqual(&ownerChild->pv[1], &record->rememberedPv[1])) {
        ownerChild->pv[0] = record->childNode->pv[0];
        ownerChild->pv[1] = record->childNode->pv[1];
    }
    node->threatScore = std::max(node->threatScore, root->threatScore);
    if (BoundStage(root->hashFlags) > BoundStage(node->hashFlags))
        node->hashFlags = root->hashFlags;
    share->nMerged++;
}

// Searches the handed move again whenever another thread's raise of the
// shared alpha made the pass obsolete, then merges the results and adds
// the node count to the total.
static void RunJob(ThreadRecord *record) {
    Position *position = &record->position;
    SearchNode *root = &record->rootNode;
    DEBUG_CHECK(position->threadId == record->index + FIRST_HELPER_ID);
    int movesSeenBefore = root->movesSeen;
    root->nodeFlags |= NODE_HELPER;
    const Move *exclusion = record->atRoot ? &emptyExclusion[0] : nullptr;
    do {
        root->movesSeen = movesSeenBefore;
        position->generation = splitGeneration;
        if (WindowIsClosed(record->beta, record->alpha))
            break;
        SearchMove(root, record->depth, record->beta, record->alpha, record->killers, record->pvOut,
                   record->move, record->childNode, exclusion);
    } while (splitGeneration != position->generation && !stopSearch);
    MergeIntoSplitNode(record, movesSeenBefore);
    totalNodes.fetch_add(position->nodes);
    Count(&record->nodesSearched, position->nodes);
    position->nodes = 0;
    // The count goes back before the helper turns idle, so that nothing of
    // the pool is touched once an owner has collected it.
    ReleaseChecked(&record->pool->searcherSlots);
    record->active = nullptr;
    ReleaseChecked(&record->queueEmpty);
}

static void HelperThreadMain(void *argument) {
    ThreadRecord *record = static_cast<ThreadRecord *>(argument);
    for (;;) {
        WaitChecked(&record->queueFull);
        if (record->retire) {
            ReleaseChecked(&record->pool->retired);
            return;
        }
        RunJob(record);
    }
}

// ---- Collecting the helpers ----

// Marks the records working for the node as being collected; returns how
// many there are. A helper that finished meanwhile needs no collection.
static int MarkHelpersOfNode(ThreadPool *pool, SearchNode *node, Semaphore **handles) {
    int nRecords = pool->nThreadRecords.load();
    int outstanding = 0;
    for (int i = 0; i < nRecords; i++) {
        ThreadRecord *record = &pool->thread[i];
        handles[i] = &pool->placeholderSemaphore;
        if (record->active.load() != node)
            continue;
        record->busy.fetch_add(1);
        if (record->active.load() != node) {
            record->busy.fetch_sub(1);
            continue;
        }
        handles[i] = &record->queueEmpty;
        outstanding++;
    }
    return outstanding;
}

// Once only `limit` helpers are out, the remaining ones may split their own
// nodes.
static void FreeHelpersToSplit(ThreadPool *pool, Semaphore *const *handles, int nRecords) {
    for (int i = 0; i < nRecords; i++) {
        if (handles[i] != &pool->placeholderSemaphore)
            pool->thread[i].position.splitPoint = nullptr;
    }
}

void WaitForHelpers(SearchNode *node) {
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    Position *position = node->position;
    int ownerId = position->threadId;
    DEBUG_CHECK(!SplitLockIsHeldBy(position));
    if (pool) {
        // Helpers still out merge as they come back.
        pool->shares[ownerId].mergeLock.unlock();
        // 1. The helpers still out; 2. how many may stay out before the
        // rest are allowed to split.
        Semaphore *handles[MAX_THREAD_RECORDS];
        int nRecords = pool->nThreadRecords.load();
        int nThreads = pool->nThreads.load();
        // More than nThreads may be out: a helper gives its count back just
        // before it turns idle, and the owner may have reused it already.
        int outstanding = MarkHelpersOfNode(pool, node, handles);
        int limit = ownerId - FIRST_HELPER_ID < nThreads ? std::min(nThreads / 2, outstanding) : 2;
        // 3. Collect them one by one; each turns idle again.
        for (; outstanding > 0; outstanding--) {
            if (outstanding == limit)
                FreeHelpersToSplit(pool, handles, nRecords);
            int status = SemaphoreWaitAny(handles, nRecords, WAIT_FOREVER);
            DEBUG_CHECK(status >= 0 && status < nRecords);
            ThreadRecord *record = &pool->thread[status];
            DEBUG_CHECK(record->active.load() != node);
            handles[status] = &pool->placeholderSemaphore;
            record->busy.fetch_sub(1);
            ReleaseChecked(&record->queueEmpty);
        }
        // 4. The main thread leaves no helper behind; a helper owner takes
        // its search count back.
        if (ownerId < FIRST_HELPER_ID) {
            for (int i = 0; i < nRecords; i++)
                DEBUG_CHECK(pool->thread[i].active.load() == nullptr);
        } else {
            WaitChecked(&pool->searcherSlots);
        }
        // 5. Reservations go.
        for (int i = 0; i < pool->nRecordsBuilt; i++) {
            int expected = ownerId;
            pool->thread[i].reservedBy.compare_exchange_strong(expected, 0);
        }
    }
    position->splitPoint = nullptr;
    SetOwnerPriority(PRIORITY_NORMAL);
}

#ifdef VLM_DEBUG
bool HelpersWorkFor(const SearchNode *node) {
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    if (!pool)
        return false;
    for (int i = 0; i < pool->nRecordsBuilt; i++) {
        if (pool->thread[i].active.load() == node)
            return true;
    }
    return false;
}
#endif

// ---- Start-up and thread count ----

// Every helper of an old pool is idle between searches: each is told to
// leave, and the records go only when all have.
static void RetirePool(ThreadPool *pool) {
    if (!pool)
        return;
    int nStarted = 0;
    for (int i = 0; i < pool->nRecordsBuilt; i++) {
        ThreadRecord *record = &pool->thread[i];
        if (!record->started)
            continue;
        record->retire = true;
        ReleaseChecked(&record->queueFull);
        nStarted++;
    }
    for (int i = 0; i < nStarted; i++)
        WaitChecked(&pool->retired);
    delete pool;
}

static void InitRecord(ThreadPool *pool, int index) {
    ThreadRecord *record = &pool->thread[index];
    record->pool = pool;
    record->index = index;
    SemaphoreInit(&record->queueEmpty, 0, 1);
    SemaphoreInit(&record->queueFull, 0, 1);
    InitWorkAreas(&record->position);
    record->position.threadId = index + FIRST_HELPER_ID;
    record->position.plyNodes = record->plyNodes;
    ClearPlyNodeKillers(&record->position);
    record->rootNode.pv[0] = MOVE_NONE;
    record->rootNode.position = &record->position;
    record->active = nullptr;
    record->busy = 0;
    record->reservedBy = 0;
    record->nodesSearched = 0;
    // A record whose thread did not start is never idle, so never used.
    record->started = StartDetachedThread(HelperThreadMain, record);
    if (record->started)
        ReleaseChecked(&record->queueEmpty);
}

void StartThreads(int threadCount) {
    RetirePool(currentPool.exchange(nullptr));
    ThreadPool *pool = new ThreadPool();
    pool->nProcessors = std::clamp(CountProcessors(), 1, MAX_THREADS);
    pool->nRecordsBuilt = 2 * pool->nProcessors;
    int nThreads = ThreadsForSetting(threadCount, pool->nProcessors);
    pool->nThreads = nThreads;
    pool->nThreadRecords = 2 * nThreads;
    pool->pendingThreads = 0;
    SemaphoreInit(&pool->searcherSlots, nThreads, nThreads);
    SemaphoreInit(&pool->placeholderSemaphore, 0, 1);
    SemaphoreInit(&pool->retired, 0, MAX_THREAD_RECORDS);
    for (int i = 0; i < pool->nRecordsBuilt; i++)
        InitRecord(pool, i);
    currentPool.store(pool, std::memory_order_release);
}

void SetThreadCount(int threadCount) {
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    if (pool)
        pool->pendingThreads = ThreadsForSetting(threadCount, pool->nProcessors);
}

void ReadThreadPoolStats(ThreadPoolStats *stats) {
    *stats = ThreadPoolStats{};
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    if (!pool)
        return;
    for (int i = 0; i < pool->nRecordsBuilt; i++)
        stats->helperNodes[i] = pool->thread[i].nodesSearched.load();
    stats->nHelperRecords = pool->nRecordsBuilt;
    stats->nSplits = pool->counters.nSplits.load();
    stats->nHandOvers = pool->counters.nHandOvers.load();
    stats->nHandOversAfterMerge = pool->counters.nHandOversAfterMerge.load();
    stats->nHandOversSeeingMoves = pool->counters.nHandOversSeeingMoves.load();
    stats->nHandOversSeeingKillers = pool->counters.nHandOversSeeingKillers.load();
}

void ResetThreadPoolStats() {
    ThreadPool *pool = currentPool.load(std::memory_order_acquire);
    if (!pool)
        return;
    for (int i = 0; i < pool->nRecordsBuilt; i++)
        pool->thread[i].nodesSearched = 0;
    pool->counters.nSplits = 0;
    pool->counters.nHandOvers = 0;
    pool->counters.nHandOversAfterMerge = 0;
    pool->counters.nHandOversSeeingMoves = 0;
    pool->counters.nHandOversSeeingKillers = 0;
}
