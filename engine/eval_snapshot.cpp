// Evaluation snapshot pool. A slot is claimed with a compare-and-exchange
// of its owner word and freed by its holder with a plain store; the saved
// state is whatever the evaluation rewrites and make/unmake do not undo.
#include "engine/eval_snapshot.h"

EvalSnapshot evalSnapshots[N_EVAL_SNAPSHOTS];

EvalSnapshot *SaveEvalSnapshot(Position *position) {
    for (int i = 0; i < N_EVAL_SNAPSHOTS; i++) {
        Position *expected = nullptr;
        EvalSnapshot *slot = &evalSnapshots[i];
        if (slot->owner.load(std::memory_order_relaxed) != nullptr ||
            !slot->owner.compare_exchange_strong(expected, position, std::memory_order_acquire))
            continue;
        slot->evalArea = position->evalArea;
        slot->sideWords[SideIndex(WHITE)] = position->whiteSide.eval;
        slot->sideWords[SideIndex(BLACK)] = position->blackSide.eval;
        for (int code = 0; code < N_PIECE_CODES; code++)
            slot->effectiveValue[code] = position->kinds[code].effectiveValue;
        for (int man = 0; man < N_MEN_RECORDS; man++)
            slot->squareValue[man] = position->men[man].squareValue;
        slot->noProgressPull = position->noProgressPull;
        return slot;
    }
    return nullptr;
}

void RestoreEvalSnapshot(EvalSnapshot *snapshot, Position *position) {
    position->evalArea = snapshot->evalArea;
    position->whiteSide.eval = snapshot->sideWords[SideIndex(WHITE)];
    position->blackSide.eval = snapshot->sideWords[SideIndex(BLACK)];
    for (int code = 0; code < N_PIECE_CODES; code++)
        position->kinds[code].effectiveValue = snapshot->effectiveValue[code];
    for (int i = 0; i < N_MEN_RECORDS; i++)
        position->men[i].squareValue = snapshot->squareValue[i];
    position->noProgressPull = snapshot->noProgressPull;
    snapshot->owner.store(nullptr, std::memory_order_release);
}

void ReleaseEvalSnapshots() {
    for (int i = 0; i < N_EVAL_SNAPSHOTS; i++)
        evalSnapshots[i].owner.store(nullptr, std::memory_order_relaxed);
}
