// Evaluation weights: each set is built once per loaded module from the
// percentage settings in force at its first use. Every entry is
// value * pct / d truncated toward zero, computed in 64 bits and held to
// +-WEIGHT_LIMIT so that no percentage can overflow the evaluation.
#include "engine/eval_weights.h"

#include <mutex>

#include "engine/module_state.h"
#include "engine/position.h"

int32_t builtValue[13];
int32_t builtEndgameValue[13];

std::atomic<int32_t> queenMaterialThreshold{0};
int32_t endgameMaterialThreshold;
int32_t materialTwoRooksTwoBishops;
int32_t materialQueenRookBishop;

int32_t kingSafety8a, kingSafety8b, kingSafety10a, kingSafety10b, kingSafety7;
int32_t kingSafety41, kingSafety53;
int32_t pawnAttackPenalty, backRankWeight, centreBonus;
int32_t pawnStructure20a, pawnStructure20b, pawnStructure50a, pawnStructure50b;
int32_t pawnSquareBonus;
int32_t endgameKing25, endgameKing10, endgameKing12, endgameKing8a, endgameKing8b;
int32_t endgameKing16;
int32_t passedPawn7, passedPawn8;

int32_t endgameZeroWeight;
int32_t egPawnStructure6, egPawnStructure1, egPawnStructure7, pawnSquareBonusEndgame;
int32_t egKing12, egKing15, egKing7, egKing11, egKing3;
int32_t egPassedPawn18, egPassedPawn7, egPassedPawn25;

static const int32_t PASSED_PAWN_BONUS_DEFAULT[8] = {0, 1, 1, 20, 49, 86, 137, 0};
static const int32_t PASSED_PAWN_BONUS_STRONG_DEFAULT[8] = {0, 5, 5, 10, 41, 89, 153, 0};
static const int32_t PASSED_PAWN_BONUS_ENDGAME_DEFAULT[8] = {0, 6, 6, 33, 79, 87, 132, 0};

int32_t passedPawnBonus[8] = {0, 1, 1, 20, 49, 86, 137, 0};
int32_t passedPawnBonusStrong[8] = {0, 5, 5, 10, 41, 89, 153, 0};
int32_t passedPawnBonusEndgame[8] = {0, 6, 6, 33, 79, 87, 132, 0};

std::atomic<uint32_t> weightsGeneration{1};
std::atomic<int32_t> fullWeightsDirty{1};
std::atomic<int32_t> endgameWeightsDirty{1};

// Leaf lock: the builds under it only compute; no other lock is taken.
static std::mutex buildLock;
// Which piece-value set the kind records of every Position carry: 0 before
// the first build (templates stay), else the full set.
static std::atomic<int32_t> pieceValuesBuilt{0};

int32_t ScaledWeight(int64_t x, int64_t c, int64_t d) {
    int64_t v = x * c / d;
    if (v > WEIGHT_LIMIT)
        return WEIGHT_LIMIT;
    if (v < -WEIGHT_LIMIT)
        return -WEIGHT_LIMIT;
    return int32_t(v);
}

// Kind 7..12 (white code) and its black code 12 - kind get the same numbers.
static void WriteKindValues(Position *pos, int kind, int32_t value, int32_t endgameValue) {
    pos->kinds[kind].value = value;
    pos->kinds[12 - kind].value = value;
    pos->kinds[kind].endgameValue = endgameValue;
    pos->kinds[12 - kind].endgameValue = endgameValue;
}

// Step 1 of both builders: the values of one set, pawn value per set.
static void BuildPieceValues(Position *pos, int32_t pawnPerCent, int32_t *values,
                             int32_t *endgameValues) {
    int64_t p = settings.Pawn_value_pct;
    int64_t n = settings.Pieces_value_pct;
    const int32_t middle[6] = {ScaledWeight(p, pawnPerCent, 100), ScaledWeight(n, 228, 100),
                               ScaledWeight(n, 242, 100),         ScaledWeight(n, 350, 100),
                               ScaledWeight(n, 732, 100),         KING_VALUE};
    const int32_t ending[6] = {ScaledWeight(p, 87, 100),  ScaledWeight(n, 308, 100),
                               ScaledWeight(n, 319, 100), ScaledWeight(n, 519, 100),
                               ScaledWeight(n, 995, 100), KING_VALUE};
    for (int i = 0; i < 6; i++) {
        int kind = 7 + i;
        values[kind] = values[12 - kind] = middle[i];
        endgameValues[kind] = endgameValues[12 - kind] = ending[i];
        if (pos)
            WriteKindValues(pos, kind, middle[i], ending[i]);
    }
    values[6] = endgameValues[6] = 0;
}

static int32_t QueenThresholdFor(int32_t bishopValue, int32_t queenValue) {
    return 4 * bishopValue + 2 * queenValue + 1;
}

void BuildWeightTables(Position *pos) {
    BuildPieceValues(pos, 60, builtValue, builtEndgameValue);
    int32_t bv = builtValue[9], rv = builtValue[10], qv = builtValue[11];
    queenMaterialThreshold.store(QueenThresholdFor(bv, qv), std::memory_order_relaxed);
    endgameMaterialThreshold = bv + qv;
    materialTwoRooksTwoBishops = 2 * (bv + rv);
    materialQueenRookBishop = bv + rv + qv;

    int64_t m = settings.Mobility_value_pct, k = settings.King_safety_value_pct;
    int64_t s = settings.Pawn_structure_value_pct, e = settings.Endgame_king_position_pct;
    int64_t v = settings.Passed_pawn_value_pct;
    pawnAttackPenalty = ScaledWeight(m, 1, 25);
    backRankWeight = ScaledWeight(m, 3, 100);
    centreBonus = ScaledWeight(m, 3, 100);
    kingSafety8a = kingSafety8b = ScaledWeight(k, 8, 100);
    kingSafety10a = kingSafety10b = ScaledWeight(k, 1, 10);
    kingSafety7 = ScaledWeight(k, 7, 100);
    kingSafety41 = ScaledWeight(k, 41, 100);
    kingSafety53 = ScaledWeight(k, 53, 100);
    pawnStructure20a = pawnStructure20b = ScaledWeight(s, 1, 20);
    pawnStructure50a = pawnStructure50b = ScaledWeight(s, 1, 50);
    pawnSquareBonus = ScaledWeight(s, 9, 100);
    endgameKing25 = ScaledWeight(e, 1, 25);
    endgameKing10 = ScaledWeight(e, 1, 10);
    endgameKing12 = ScaledWeight(e, 12, 100);
    endgameKing8a = endgameKing8b = ScaledWeight(e, 8, 100);
    endgameKing16 = ScaledWeight(e, 16, 100);
    const int32_t plain[6][2] = {{1, 100}, {1, 100}, {1, 5}, {49, 100}, {86, 100}, {137, 100}};
    const int32_t strong[6][2] = {{1, 20}, {1, 20}, {1, 10}, {41, 100}, {89, 100}, {153, 100}};
    for (int i = 0; i < 6; i++) {
        passedPawnBonus[i + 1] = ScaledWeight(v, plain[i][0], plain[i][1]);
        passedPawnBonusStrong[i + 1] = ScaledWeight(v, strong[i][0], strong[i][1]);
    }
    passedPawn7 = ScaledWeight(v, 7, 100);
    passedPawn8 = ScaledWeight(v, 8, 100);
    weightsGeneration.fetch_add(1, std::memory_order_release);
}

void BuildEndgameWeightTables(Position *pos) {
    int32_t values[13], endgameValues[13];
    BuildPieceValues(pos, 49, values, endgameValues);
    queenMaterialThreshold.store(QueenThresholdFor(values[9], values[11]),
                                 std::memory_order_relaxed);
    endgameZeroWeight = 0;

    int64_t s = settings.Pawn_structure_value_pct, e = settings.Endgame_king_position_pct;
    int64_t v = settings.Passed_pawn_value_pct;
    egPawnStructure6 = ScaledWeight(s, 6, 100);
    egPawnStructure1 = ScaledWeight(s, 1, 100);
    egPawnStructure7 = ScaledWeight(s, 7, 100);
    pawnSquareBonusEndgame = ScaledWeight(s, 23, 100);
    egKing12 = ScaledWeight(e, 12, 100);
    egKing15 = ScaledWeight(e, 15, 100);
    egKing7 = ScaledWeight(e, 7, 100);
    egKing11 = ScaledWeight(e, 11, 100);
    egKing3 = ScaledWeight(e, 3, 100);
    const int32_t table[6][2] = {{6, 100}, {6, 100}, {33, 100}, {79, 100}, {87, 100}, {132, 100}};
    for (int i = 0; i < 6; i++)
        passedPawnBonusEndgame[i + 1] = ScaledWeight(v, table[i][0], table[i][1]);
    egPassedPawn18 = ScaledWeight(v, 18, 100);
    egPassedPawn7 = ScaledWeight(v, 7, 100);
    egPassedPawn25 = ScaledWeight(v, 1, 25);
    weightsGeneration.fetch_add(1, std::memory_order_release);
}

void EnsureFullWeights(Position *pos) {
    if (!fullWeightsDirty.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(buildLock);
    if (!fullWeightsDirty.load(std::memory_order_relaxed))
        return;
    BuildWeightTables(pos);
    pieceValuesBuilt.store(1, std::memory_order_release);
    fullWeightsDirty.store(0, std::memory_order_release);
}

void EnsureEndgameWeights(Position *pos) {
    if (!endgameWeightsDirty.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(buildLock);
    if (!endgameWeightsDirty.load(std::memory_order_relaxed))
        return;
    BuildEndgameWeightTables(pos);
    endgameWeightsDirty.store(0, std::memory_order_release);
}

void ApplyBuiltPieceValues(Position *pos) {
    if (!pieceValuesBuilt.load(std::memory_order_acquire))
        return;
    for (int code = 0; code < 13; code++) {
        if (code == EMPTY_CODE)
            continue;
        pos->kinds[code].value = builtValue[code];
        pos->kinds[code].endgameValue = builtEndgameValue[code];
    }
    // Set-up summed the template values: keep the material in line.
    int32_t material = 0;
    for (int code = BLACK_QUEEN; code <= WHITE_QUEEN; code++)
        if (code != BLACK_PAWN && code != EMPTY_CODE && code != WHITE_PAWN)
            material += pos->kinds[code].count * pos->kinds[code].value;
    pos->pieceMaterial = material;
    // Men carry copies of their kind's values.
    for (int i = 0; i < N_MEN_RECORDS; i++) {
        PieceRecord *man = &pos->men[i];
        if (man->kindRecord) {
            man->value = man->kindRecord->value;
            man->endgameValue = man->kindRecord->endgameValue;
        }
    }
}

void ResetEvaluationWeights() {
    std::lock_guard<std::mutex> guard(buildLock);
    for (int i = 0; i < 8; i++) {
        passedPawnBonus[i] = PASSED_PAWN_BONUS_DEFAULT[i];
        passedPawnBonusStrong[i] = PASSED_PAWN_BONUS_STRONG_DEFAULT[i];
        passedPawnBonusEndgame[i] = PASSED_PAWN_BONUS_ENDGAME_DEFAULT[i];
    }
    pieceValuesBuilt.store(0, std::memory_order_relaxed);
    fullWeightsDirty.store(1, std::memory_order_release);
    endgameWeightsDirty.store(1, std::memory_order_release);
    weightsGeneration.fetch_add(1, std::memory_order_release);
}
