// Evaluation weights built from the percentage settings: piece values,
// material thresholds, term weights and the passed-pawn rank tables.
#pragma once

#include <atomic>
#include <cstdint>

struct Position;

// Largest size of any built weight or piece value: keeps every sum and
// product of the evaluation inside 32 bits and the maps inside 16 bits.
constexpr int32_t WEIGHT_LIMIT = 30000;
constexpr int32_t KING_VALUE = 14000;

// Piece values by piece code 0..12 as the builders wrote them (code 6 unused).
extern int32_t builtValue[13];
extern int32_t builtEndgameValue[13];

// Material thresholds. Both builders write the queen threshold, and the
// endgame build may run on one searching thread while the others read it.
extern std::atomic<int32_t> queenMaterialThreshold;
inline int32_t QueenMaterialThreshold() {
    return queenMaterialThreshold.load(std::memory_order_relaxed);
}
extern int32_t endgameMaterialThreshold;
extern int32_t materialTwoRooksTwoBishops;
extern int32_t materialQueenRookBishop;

// Full-evaluation weights.
extern int32_t kingSafety8a, kingSafety8b, kingSafety10a, kingSafety10b, kingSafety7;
extern int32_t kingSafety41, kingSafety53;
extern int32_t pawnAttackPenalty, backRankWeight, centreBonus;
extern int32_t pawnStructure20a, pawnStructure20b, pawnStructure50a, pawnStructure50b;
extern int32_t pawnSquareBonus;
extern int32_t endgameKing25, endgameKing10, endgameKing12, endgameKing8a, endgameKing8b;
extern int32_t endgameKing16;
extern int32_t passedPawn7, passedPawn8;

// Endgame-evaluation weights.
extern int32_t endgameZeroWeight;
extern int32_t egPawnStructure6, egPawnStructure1, egPawnStructure7, pawnSquareBonusEndgame;
extern int32_t egKing12, egKing15, egKing7, egKing11, egKing3;
extern int32_t egPassedPawn18, egPassedPawn7, egPassedPawn25;

// Passed-pawn bonus by rank counted from the pawn's own side.
extern int32_t passedPawnBonus[8];
extern int32_t passedPawnBonusStrong[8];
extern int32_t passedPawnBonusEndgame[8];

// Advances with every build or reset of a weight set, so that a cache of
// evaluation results can tell when its results went stale.
extern std::atomic<uint32_t> weightsGeneration;

// 1 until the set is built; cleared once per loaded module.
extern std::atomic<int32_t> fullWeightsDirty;
extern std::atomic<int32_t> endgameWeightsDirty;

void BuildWeightTables(Position *pos);         // full set, from the live settings
void BuildEndgameWeightTables(Position *pos);  // endgame set, from the live settings
// Builds a set when its flag is still up; safe when threads arrive together.
void EnsureFullWeights(Position *pos);
void EnsureEndgameWeights(Position *pos);
// Writes the persisting piece values into the kind records and, when they
// changed, recomputes pieceMaterial from the counts.
void ApplyBuiltPieceValues(Position *pos);
// Tests only: back to the state of a freshly loaded module.
void ResetEvaluationWeights();

// x * c / d in 64 bits, truncated toward zero and held to +-WEIGHT_LIMIT.
int32_t ScaledWeight(int64_t x, int64_t c, int64_t d);
