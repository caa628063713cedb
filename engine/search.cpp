// The main search of one node: table probe with repetitions found through
// the on-path marks, null move, a reduced search for a first move, the
// threat probe, then the move loop. A stopped or obsolete search gives its
// table entry back without storing.
#include "engine/search.h"

#include <algorithm>

#include "engine/attacks.h"
#include "engine/debug_check.h"
#include "engine/eval_work_area.h"
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/move_gen.h"
#include "engine/split_node.h"
#include "engine/thread_pool.h"
#include "engine/transposition_table.h"

namespace {

// The node's claim on its table entry.
struct TableClaim {
    HashEntry *entry;  // null without an entry
    uint16_t savedFlags;
    int hashDepth;
    int owner;  // the claiming thread's id
};

}  // namespace

// Gives the entry back when this thread holds it: its data stays and the
// owner byte returns. The on-path bit goes only with a claim this node
// made: an entry the thread held already (a pinned game position, or an
// ancestor met again as a repetition) keeps its mark for the rest of the
// search. An entry that another thread holds is left alone.
static void ReleaseEntry(TableClaim *claim) {
    if (!claim->entry)
        return;
    uint16_t saved = claim->savedFlags;
    uint16_t restored = saved & HASH_OWNER_MASK;
    if (restored == claim->owner)
        restored |= saved & HASH_ON_PATH;
    std::atomic_ref<uint16_t> flags(claim->entry->flags);
    uint16_t old = flags.load(std::memory_order_relaxed);
    do {
        if ((old & HASH_OWNER_MASK) != claim->owner)
            break;
    } while (!flags.compare_exchange_weak(old, uint16_t((old & 0xDF00) | restored),
                                          std::memory_order_acq_rel));
    claim->entry = nullptr;
}

static bool HoldsEntry(const SearchNode *node, const TableClaim *claim) {
    return claim->entry &&
           (HashLoad(claim->entry->flags) & HASH_OWNER_MASK) == node->position->threadId;
}

// Candidates: killers, the replies kept for an attacked man and the
// captures of the attacker, or else the recaptures on the last square.
static void PushSearchCandidates(SearchNode *node, const Move *killers) {
    if (node->nodeFlags & NODE_SELECTIVE)
        return;
    if (IsMove(killers[0])) {
        if (IsMove(killers[1]))
            PushIfPseudoLegal(node, killers[1]);
        PushIfPseudoLegal(node, killers[0]);
    }
    if (node->nodeFlags & NODE_ATTACKED) {
        int attacked = MoveTo(node->attackSquares);
        const Move *replies = node->sideRecord->replyMoves;
        if (IsMove(replies[attacked + 8])) {
            if (IsMove(replies[attacked]))
                PushIfPseudoLegal(node, replies[attacked]);
            PushIfPseudoLegal(node, replies[attacked + 8]);
        }
        PushCaptures(node, MoveFrom(node->attackSquares));
    } else if (int8_t(MoveTo(node->lastMove)) >= 0) {
        PushCaptures(node, MoveTo(node->lastMove));
    }
}

static bool PushedIfPseudoLegal(SearchNode *node, Move move) {
    Move *before = node->moveCursor;
    PushIfPseudoLegal(node, move);
    return node->moveCursor != before;
}

// The table step. Returns true with *result when the node is settled by
// the table (a repetition, an exact score or a cut).
static bool ProbeTable(SearchNode *node, int depth, int *beta, int *alpha, Move *pvOut,
                       TableClaim *claim, int *result) {
    Position *position = node->position;
    claim->hashDepth =
        std::min(2 * depth + ((node->nodeFlags & NODE_ATTACKED) ? 1 : 0), HASH_PINNED_DEPTH - 1);
    claim->entry = ClaimHashEntry(&hashTable, &node->key, claim->hashDepth, position->threadId,
                                  &claim->savedFlags);
    HashEntry *entry = claim->entry;
    if (!entry)
        return false;
    uint16_t flags = HashLoad(entry->flags);
    node->hashFlags = flags;
    int owner = flags & HASH_OWNER_MASK;
    bool repetition =
        (flags & HASH_ON_PATH) && (owner == HASH_PIN_OWNER || owner == position->threadId ||
                                   (position->owner && owner == position->owner->threadId));
    int entryDepth = HashLoad(entry->depth);
    int entryScore = HashLoad(entry->score);
    Move entryMove = HashLoad(entry->move);
    bool hasMove = MoveTo(entryMove) != NO_SQUARE;
    bool selective = node->nodeFlags & NODE_SELECTIVE;
    if (entryDepth > 0) {
        const SearchNode *parent = node->parent;
        bool takesBack = parent && MoveFrom(entryMove) == MoveTo(parent->lastMove) &&
                         MoveTo(entryMove) == MoveFrom(parent->lastMove);
        if (takesBack && node->halfMoves >= 2 && entryScore > 0 && !repetition)
            goto ignored;
        if ((node->nodeFlags & NODE_REDUCED) && entryScore < *beta && (flags & HASH_UPPER)) {
            ReleaseEntry(claim);
            *result = *alpha;
            return true;
        }
        bool useMove =
            entryDepth + 4 >= claim->hashDepth || (entryScore > *beta + 35 && (flags & HASH_LOWER));
        if (useMove && hasMove) {
            if (!PushedIfPseudoLegal(node, entryMove)) {
                ReleaseEntry(claim);
                return false;
            }
            node->hashMoveTaken = 1;
            node->bestMove = entryMove;
            node->referenceScore = (flags & HASH_UPPER) ? entryScore : SCORE_INFINITE;
        }
    }
    if ((entryDepth >= claim->hashDepth || repetition) && node->parent) {
        if (hasMove) {
            pvOut[0] = entryMove;
            pvOut[1] = MOVE_NONE;
        }
        if (repetition || (flags & HASH_EXACT) == HASH_EXACT) {
            ReleaseEntry(claim);
            if (repetition)
                position->nRepetitions++;
            *result = repetition ? 0 : entryScore;
            return true;
        }
        if (flags & HASH_UPPER) {
            *beta = std::min(*beta, entryScore);
        } else if ((flags & HASH_LOWER) && entryScore > *alpha) {
            const Move best = node->bestMove;
            bool bestIsSearched =
                IsMove(best) &&
                SelectiveNodeSearches(node, BoardAt(position, MoveFrom(best)),
                                      BoardAt(position, ToSquare(best)), ToSquare(best));
            if (!selective || bestIsSearched)
                *alpha = node->threatScore = entryScore;
        }
        if (*alpha >= *beta) {
            ReleaseEntry(claim);
            *result = *alpha;
            return true;
        }
    }
ignored:
    if (selective)
        claim->hashDepth--;
    node->hashFlags = HASH_UPPER;
    return false;
}

// The child record starts as a copy of the node's state, keeping its own
// pv pair: the killers of the ply below it.
static void PrepareChild(SearchNode *child, const SearchNode *node) {
    Move pv[2] = {child->pv[0], child->pv[1]};
    CopyNodeState(child, node);
    child->pv[0] = pv[0];
    child->pv[1] = pv[1];
    child->bestMove = MOVE_NONE;
    child->position = node->position;
    child->matedScore = node->matedScore + 1;
    child->ply = node->ply + 1;
}

// Null move: a pass that still fails high cuts the node. Returns true on a
// cut with the score in *alpha. The pass is made on the child record.
static bool TryNullMove(SearchNode *node, SearchNode *child, int depth, int beta, int alpha,
                        Move *killers, const Move *excluded, int *cutScore) {
    int reduction = settings.Null_move_reduction_depth;
    if (depth < 4 || reduction <= 0 || node->position->pieceMaterial == 0 || !node->parent ||
        (node->nodeFlags & NODE_ATTACKED) || beta >= MATE_THRESHOLD)
        return false;
    PrepareChild(child, node);
    MakeNullMove(node, child);
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    int v;
    if (depth < reduction + 2)
        v = -SearchFrontier(child, 1, 1 - beta, -beta, killers, line);
    else
        v = -Search(child, depth - reduction, 1 - beta, -beta, killers, line, nullptr);
    if (v < beta)
        return false;
    if (depth >= 13) {
        SearchNode copy;
        CopyNodeState(&copy, node);
        ClearLine(line, PV_LENGTH);
        if (Search(&copy, depth - 11, beta, alpha, killers, line, excluded) < beta)
            return false;
    }
    *cutScore = v;
    return true;
}

// The reduced-depth search that gives a first move and a reference score.
// Returns false when the search was stopped or made obsolete meanwhile.
static bool FindReferenceMove(SearchNode *node, int depth, int beta, int alpha, Move *killers,
                              const Move *excluded) {
    if (node->hashMoveTaken)
        return true;
    if (depth <= 4) {
        node->referenceScore = SCORE_INFINITE;
        return true;
    }
    if (!node->parent && depth == rootDepth && IsMove(killers[0])) {
        if (IsMove(killers[1]))
            PushMove(node, killers[1]);
        node->referenceScore = previousIterationScore;
        node->bestMove = killers[0];
        return true;
    }
    SearchNode copy;
    CopyNodeState(&copy, node);
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    node->referenceScore = Search(&copy, depth - 3, beta, alpha, killers, line, excluded);
    if (stopSearch || node->position->generation < splitGeneration)
        return false;
    if (IsMove(line[0]))
        node->bestMove = line[0];
    return true;
}

// What the opponent threatens if the node's side does nothing useful:
// a quick capture search whose best move becomes a candidate.
static void QuickThreatProbe(SearchNode *node, int depth) {
    SearchNode copy;
    CopyNodeState(&copy, node);
    copy.score += 23;
    copy.castleFlags |= CASTLE_NULL_CHILD;
    Move killers[2] = {node->bestMove, MOVE_NONE};
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    if (depth <= 4) {
        node->threatScore = Quiesce(&copy, SCORE_INFINITE, node->threatScore, killers, line);
    } else {
        copy.castleFlags &= node->sideRecord->clearMask;
        node->threatScore =
            SearchFrontier(&copy, 1, SCORE_INFINITE, node->threatScore, killers, line);
    }
    if (IsMove(line[0]) && node->parent)
        PushMove(node, line[0]);
    if (node->threatScore > MATE_THRESHOLD)
        node->bestMove = MOVE_NONE;
}

// Whether a move answers the attack on the node's man: it takes the
// attacker, moves the attacked man, takes the attacking pawn en passant or
// blocks the line.
static bool AnswersAttack(const SearchNode *node, Move move) {
    int a = MoveFrom(node->attackSquares), v = MoveTo(node->attackSquares);
    int from = MoveFrom(move), to = ToSquare(move);
    if (to == a || from == v)
        return true;
    const PieceRecord *mover = BoardAt(node->position, from);
    if ((node->nodeFlags & NODE_EP_SQUARE) && mover->kind == KIND_PAWN && to == node->epSquare &&
        to - 16 * node->side == a)
        return true;
    return BlocksLine(to, a, v);
}

// raisedToCut: a raise in the move loop, by this thread or a helper,
// brought alpha to beta; the score is then a lower bound.
static void StoreResult(SearchNode *node, TableClaim *claim, int alpha, int beta, const Move *pvOut,
                        [[maybe_unused]] bool raisedToCut) {
    if (!HoldsEntry(node, claim))
        return;
    HashEntry *entry = claim->entry;
    bool keep = ((alpha == HashLoad(entry->score) || node->hashFlags) &&
                 claim->hashDepth < HashLoad(entry->depth)) ||
                ((node->nodeFlags & NODE_SELECTIVE) && alpha < beta) || stopSearch ||
                node->position->generation < splitGeneration;
    if (keep) {
        ReleaseEntry(claim);
        return;
    }
    DEBUG_CHECK(!raisedToCut || (node->hashFlags & HASH_EXACT) == HASH_LOWER);
    HashStore(entry->score, int16_t(alpha));
    HashStore(entry->depth, uint8_t(claim->hashDepth));
    if (IsMove(pvOut[0]))
        HashStore(entry->move, pvOut[0]);
    HashStore(entry->flags, uint16_t(node->hashFlags | (claim->savedFlags & HASH_OWNER_MASK)));
}

// After a move: true on a cut, else beta is capped again near alpha. A
// shared window is read and capped under the split lock, or a raise landing
// between the reads and the store would be capped below its own alpha.
static bool CutOrCapWindow(SearchNode *node, int *beta, int *alpha) {
    bool shared = BoundsAreShared(node);
    if (shared)
        EnterSplitLock(node->position);
    bool cut = WindowIsClosed(beta, alpha);
    if (!cut && node->referenceScore < LoadBound(beta) && LoadBound(alpha) < 9000) {
        DEBUG_CHECK(SharedWriteIsLocked(node));
        StoreBound(beta, std::max(node->referenceScore, LoadBound(alpha) + 1));
    }
    if (shared)
        LeaveSplitLock();
    return cut;
}

// Outcome of the move loop.
enum LoopEnd { LOOP_DONE, LOOP_ABANDONED };

static LoopEnd SearchMoves(SearchNode *node, int depth, int *beta, int *alpha, Move *killers,
                           Move *pvOut, SearchNode *child, const Move *excluded) {
    Position *position = node->position;
    bool selective = node->nodeFlags & NODE_SELECTIVE;
    bool inCheck = NodeInCheck(node);
    Move tried[N_CANDIDATES];
    int nTried = 0;
    bool generating = false;
    for (;;) {
        Move move = NextSearchMove(node, &generating, tried, &nTried);
        if (!IsMove(move))
            return LOOP_DONE;
        int from = MoveFrom(move), to = ToSquare(move);
        const PieceRecord *mover = BoardAt(position, from);
        const PieceRecord *target = BoardAt(position, to);
        // 1. Selective nodes; 2. futile quiet moves near the leaves.
        if (selective && !SelectiveNodeSearches(node, mover, target, to))
            continue;
        if (node->futilityGap > -20) {
            int gain = mover->squareTable[to] + target->squareValue - mover->squareTable[from];
            bool enPassant = (node->nodeFlags & NODE_EP_SQUARE) && mover->kind == KIND_PAWN &&
                             to == node->epSquare;
            if (!(gain > node->futilityGap || enPassant ||
                  FindAttacker(to, mover, 6) != NO_SQUARE)) {
                node->movesSeen++;
                continue;
            }
        }
        // 3. A standing attack: in check only answers are played, and the
        // capture of a king, which refutes the move that allowed it; other
        // moves leave the attack pending for the move search.
        node->auxSquare2 = NO_SQUARE;
        if (node->nodeFlags & NODE_ATTACKED) {
            if (!AnswersAttack(node, move)) {
                if (inCheck && target->kind != KIND_KING)
                    continue;
                node->auxSquare1 = int8_t(MoveFrom(node->attackSquares));
                node->auxSquare2 = int8_t(MoveTo(node->attackSquares));
            }
        }
        // 4. Hand the move to a helper, or 5. search it here.
        bool mayShare = node->parent ? true : (excluded && *excluded == MOVE_NONE);
        if (depth >= 9 && mayShare && move != node->bestMove && !selective &&
            (!position->splitPoint || position->splitPoint == node) && !stopSearch &&
            position->generation >= splitGeneration &&
            SplitNode(node, depth, beta, alpha, killers, pvOut, move, child)) {
            DEBUG_CHECK(position->splitPoint == node);
        } else {
            SearchMove(node, depth, beta, alpha, killers, pvOut, move, child, excluded);
        }
        // 6. Stops, obsolete generations, cuts and the capped window.
        if (stopSearch) {
            if (position->splitPoint != node)
                return LOOP_ABANDONED;
            position->generation = splitGeneration;
            return LOOP_DONE;
        }
        if (position->generation < splitGeneration) {
            if (position->splitPoint != node)
                return LOOP_ABANDONED;
            position->generation = splitGeneration;
            continue;
        }
        if (CutOrCapWindow(node, beta, alpha))
            return LOOP_DONE;
    }
}

int Search(SearchNode *node, int depth, int beta, int alpha, Move *killers, Move *pvOut,
           const Move *excluded) {
    Position *position = node->position;
    // 1. Futility gap; 2. mate distance.
    if (depth <= 2 && !(node->nodeFlags & NODE_THREAT_CHILD))
        node->futilityGap = alpha + evalMargin - node->score;
    else
        node->futilityGap = -SCORE_INFINITE;
    if (beta <= node->matedScore)
        return beta;
    // 3. Candidates; 4. the threat move.
    PushSearchCandidates(node, killers);
    node->hashMoveTaken = 0;
    node->threatScore = alpha;
    if (HasThreat(node->threatMove) && !(node->nodeFlags & NODE_THREAT_PUSHED))
        PushMove(node, node->threatMove);
    node->bestMove = MOVE_NONE;
    // 5. The table, unless root moves are being excluded.
    TableClaim claim = {nullptr, 0, 0, position->threadId};
    int result;
    if (!excluded && ProbeTable(node, depth, &beta, &alpha, pvOut, &claim, &result))
        return result;
    // 7. The child shared by every move of this node: the thread's record
    // of the next ply, which the null move and the copies searched below
    // use too, so it is prepared for the moves only after them.
    SearchNode spare;
    SearchNode *child = ChildRecord(node, &spare);
    // 8. Null move; 9. reference move; 10. window cap; 11. threat probe.
    if (depth < 3) {
        node->referenceScore = SCORE_INFINITE;
    } else {
        int cutScore;
        if (TryNullMove(node, child, depth, beta, alpha, killers, excluded, &cutScore)) {
            node->movesSeen = 1;
            pvOut[0] = MOVE_NONE;
            node->hashFlags = HASH_LOWER;
            alpha = cutScore;
            StoreResult(node, &claim, alpha, beta, pvOut, false);
            return alpha;
        }
        node->savedBeta = beta;
        if (!FindReferenceMove(node, depth, beta, alpha, killers, excluded)) {
            ReleaseEntry(&claim);
            return alpha;
        }
        const SearchNode *parent = node->parent;
        bool nearRoot = !parent || !parent->parent || !parent->parent->parent;
        if (nearRoot && depth < 25 && alpha < MATE_THRESHOLD &&
            node->referenceScore > -SCORE_INFINITE) {
            node->referenceScore += 43;
            beta = std::min(node->savedBeta, std::max(node->referenceScore, alpha + 1));
        } else {
            node->referenceScore = SCORE_INFINITE;
        }
        if (!(node->nodeFlags & NODE_SELECTIVE) && settings.Use_threat_detection)
            QuickThreatProbe(node, depth);
        if (HoldsEntry(node, &claim))
            std::atomic_ref<uint16_t>(claim.entry->flags).fetch_or(HASH_ON_PATH);
    }
    if (depth < 3)
        node->savedBeta = beta;
    // 12. The first move; 13. the move loop.
    if (IsMove(node->bestMove))
        PushMove(node, node->bestMove);
    node->movesSeen = 0;
    PrepareChild(child, node);
    int alphaBeforeMoves = alpha;
    LoopEnd end = SearchMoves(node, depth, &beta, &alpha, killers, pvOut, child, excluded);
    // 14. Collect the helpers.
    if (end == LOOP_DONE && position->splitPoint == node) {
        WaitForHelpers(node);
        position->generation = splitGeneration;
    }
    bool raisedToCut = alpha > alphaBeforeMoves && alpha >= beta;
    // 15. Mate and stalemate.
    if (!(node->nodeFlags & NODE_SELECTIVE) && (alpha == -SCORE_INFINITE || node->movesSeen == 0))
        alpha = KingIsAttacked(node) ? node->matedScore : 0;
    // 16. Store.
    StoreResult(node, &claim, alpha, beta, pvOut, raisedToCut);
    return alpha;
}
