// The evaluation entry: picks the full or the endgame path, repairs
// castling rights, discounts a man the opponent simply takes, and applies
// the side bias, tempo, the no-progress pull and contempt. Everything it
// takes out of the Position for the body is put back before it returns.
#include "engine/evaluate.h"

#include <cmath>
#include <cstdio>

#include "engine/debug_check.h"
#include "engine/eval_cache.h"
#include "engine/eval_snapshot.h"
#include "engine/eval_terms.h"
#include "engine/module_state.h"

ReleaseSnapshotsHook releaseEvalSnapshots = ReleaseEvalSnapshots;

void ReleaseSnapshots() {
    if (releaseEvalSnapshots)
        releaseEvalSnapshots();
}

void ResetEvaluationState() {
    ResetEvaluationWeights();
    tempoBase.store(0);
    evalNoise.store(0);
    evalMargin.store(10);
}

static bool RookOn(const Position *pos, int square, int code) {
    return CodeAt(pos, square) == code;
}

// Castling rights whose rook has left its corner.
static void RepairCastling(const Position *pos, int32_t *flags) {
    if (*flags & (CASTLE_WHITE_QUEEN_SIDE | CASTLE_WHITE_KING_SIDE)) {
        if (!RookOn(pos, SQUARE_A1, WHITE_ROOK))
            *flags &= ~CASTLE_WHITE_QUEEN_SIDE;
        if (!RookOn(pos, SQUARE_H1, WHITE_ROOK))
            *flags &= ~CASTLE_WHITE_KING_SIDE;
    }
    if (*flags & (CASTLE_BLACK_QUEEN_SIDE | CASTLE_BLACK_KING_SIDE)) {
        if (!RookOn(pos, SQUARE_A8, BLACK_ROOK))
            *flags &= ~CASTLE_BLACK_QUEEN_SIDE;
        if (!RookOn(pos, SQUARE_H8, BLACK_ROOK))
            *flags &= ~CASTLE_BLACK_KING_SIDE;
    }
}

int HangingTestSquare(const SearchNode *node) {
    if (node->capturedPiece == &node->position->emptyRecord &&
        !(node->nodeFlags & NODE_SPECIAL_MOVE))
        return NO_SQUARE;
    if (node->lastMove == MOVE_NONE)
        return NO_SQUARE;
    int to = RealSquare(MoveTo(node->lastMove));
    return SquareIsOnBoard(to) ? to : NO_SQUARE;
}

// The man that just moved, when the side to move simply wins it; null
// otherwise. Its count and material leave the Position until restored.
PieceRecord *TakeOutHangingMan(SearchNode *node) {
    Position *pos = node->position;
    int to = HangingTestSquare(node);
    if (to == NO_SQUARE)
        return nullptr;
    PieceRecord *moved = BoardAt(pos, to);
    if (!PieceIsMan(moved) || moved->kind == KIND_KING)
        return nullptr;
    const PieceRecord *attacker = FirstAttacker(pos, to, node->side);
    if (!attacker)
        return nullptr;
    if (attacker->rank >= moved->rank && FirstAttacker(pos, to, node->opponent))
        return nullptr;
    PieceKindRecord *kind = moved->kindRecord;
    kind->count -= 1;
    if (kind->kind != KIND_PAWN)
        pos->pieceMaterial -= kind->value;
    return moved;
}

void PutBackHangingMan(Position *pos, PieceRecord *man) {
    if (!man)
        return;
    PieceKindRecord *kind = man->kindRecord;
    kind->count += 1;
    if (kind->kind != KIND_PAWN)
        pos->pieceMaterial += kind->value;
}

// Contempt held to a sane size so no sum or conversion can overflow.
static int32_t ContemptSetting() {
    int32_t k = settings.Contempt;
    return k > WEIGHT_LIMIT ? WEIGHT_LIMIT : (k < -WEIGHT_LIMIT ? -WEIGHT_LIMIT : k);
}

// Step 11: pull the score toward zero when nothing irreversible happens.
int32_t ApplyNoProgressPull(Position *pos, int side, int32_t s) {
    int32_t t = pos->noProgressPull;
    if (s >= (3 * t) / 2) {
    } else if (s > (-3 * t) / 2) {
        t = (2 * s) / 3;
    } else {
        t = -t;
    }
    pos->noProgressPull = t;
    s -= t;
    if (side != rootSide)
        pos->noProgressPull = -pos->noProgressPull;
    return s;
}

static int32_t AddContempt(const Position *pos, int side, int32_t s) {
    int32_t k = ContemptSetting();
    int32_t amount = k;
    if (settings.Advanced_contempt) {
        double t = pos->evalArea.contemptScale / 200.0;
        double e = std::exp(std::fabs(double(s)) / 70.0);
        double a = k * (1.0 - 2.0 * (1.0 - t) / ((1.0 + t) * (1.0 + e)));
        if (!(a > -1e9 && a < 1e9))  // contemptScale near -200 or a NaN
            a = 0;
        amount = int32_t(a);
    }
    return side == rootSide ? s + amount : s - amount;
}

// Steps 3-12, once the weights are built and the snapshots released.
void EvaluateWithoutCache(SearchNode *node) {
    Position *pos = node->position;
    if (pos->pieceMaterial <= endgameMaterialThreshold) {
        EvaluateEndgame(node, 0);
        return;
    }
    // 4-8: repair, discount, evaluate, decay, restore.
    RepairCastling(pos, &node->castleFlags);
    PieceRecord *hanging = TakeOutHangingMan(node);
    int32_t s = EvaluateFull(pos, &node->castleFlags, node->halfMoves);
    node->score = s;
    EvalWorkArea *area = &pos->evalArea;
    if (area->drawishness == 0 && area->contemptScale > 8 && (s < -120 || s > 120))
        area->contemptScale = area->contemptScale * 9 / 10 - 2;
    if (area->contemptScale > 89)
        area->contemptScale = 89;
    PutBackHangingMan(pos, hanging);
    // 9-10: bias against the engine's side, side to move, tempo.
    bool queens = KindCount(pos, WHITE_QUEEN) + KindCount(pos, BLACK_QUEEN) > 0;
    int bias = (queens && pos->pieceMaterial >= QueenMaterialThreshold()) ? 8 : 4;
    s = rootSide > 0 ? s - bias : s + bias;
    if (node->side < 0)
        s = -s;
    int32_t tempo = tempoBase.load(std::memory_order_relaxed);
    evalMargin.store(tempo - evalNoise.load(std::memory_order_relaxed) - 10,
                     std::memory_order_relaxed);
    s += tempo / 2;
    node->score = s;
    // 11-12: no-progress pull and contempt.
    if (node->castleFlags & NO_PROGRESS_PULL_ON)
        s = ApplyNoProgressPull(pos, node->side, s);
    node->score = AddContempt(pos, node->side, s);
}

void Evaluate(SearchNode *node, int resetSnapshots) {
    Position *pos = node->position;
    // 1-2: weights and snapshots; the endgame path's weights too, so that
    // the cache sees every weight the evaluation will read. The endgame
    // build writes its own piece values into pos as well; nothing reads
    // them before EvaluateEndgame puts the full set's back.
    EnsureFullWeights(pos);
    ApplyBuiltPieceValues(pos);
    if (resetSnapshots)
        ReleaseSnapshots();
    if (pos->pieceMaterial <= endgameMaterialThreshold)
        EnsureEndgameWeights(pos);
    EvalCacheProbe probe;
    ProbeEvalCache(node, &probe);
    if (probe.hit) {
#ifdef VLM_DEBUG
        // Verify mode: the hit must leave exactly what evaluating leaves.
        int64_t at = EvalCacheHitMismatch(node, probe.entry, EvaluateWithoutCache);
        if (at >= 0) {
            fprintf(stderr, "evaluation cache: a hit differs from evaluating at byte %lld\n",
                    static_cast<long long>(at));
            DebugCheckFailed("EvalCacheHitMismatch(...) < 0", __FILE__, __LINE__);
        }
#else
        RestoreFromEvalCache(probe.entry, node);
#endif
        return;
    }
    EvaluateWithoutCache(node);
    if (probe.entry)
        StoreInEvalCache(&probe, node);
}
