// Shared helpers and the inner steps of the evaluation files. The public
// entries are in evaluate.h.
#pragma once

#include <cstdint>

#include "engine/attacks.h"
#include "engine/eval_weights.h"
#include "engine/eval_work_area.h"
#include "engine/position.h"

// ---- square geometry ------------------------------------------------------

// King distance of every 0x88 difference, [difference + 119].
struct KingDistanceTable {
    uint8_t distance[239];
};

constexpr KingDistanceTable BuildKingDistanceTable() {
    KingDistanceTable t{};
    for (int dr = -7; dr <= 7; dr++) {
        for (int df = -7; df <= 7; df++) {
            int adr = dr < 0 ? -dr : dr, adf = df < 0 ? -df : df;
            t.distance[dr * 16 + df + 119] = uint8_t(adr > adf ? adr : adf);
        }
    }
    return t;
}

inline constexpr KingDistanceTable kingDistance = BuildKingDistanceTable();

// Which kinds attack along a square difference, and the unit step along it.
inline int LineMask(int difference) {
    return AttackMaskFor(difference);
}
inline int LineStep(int difference) {
    return StepFor(difference);
}
// King distance of two on-board squares.
inline int SquareDistance(int a, int b) {
    return kingDistance.distance[b - a + 119];
}

// Black's entry of a split map sits 8 slots after white's.
inline int SplitIndex(int square, int colour) {
    return colour > 0 ? square : square + 8;
}

// Saturating add into a 16-bit map entry.
inline void MapAdd(int16_t *entry, int32_t amount) {
    int32_t v = int32_t(*entry) + amount;
    *entry = int16_t(v > 32767 ? 32767 : (v < -32768 ? -32768 : v));
}
inline void MapSet(int16_t *entry, int32_t value) {
    *entry = int16_t(value > 32767 ? 32767 : (value < -32768 ? -32768 : value));
}

// ---- board reads ----------------------------------------------------------

inline const PieceRecord *ManAt(const Position *pos, int square) {
    return BoardAt(pos, square);
}
inline int CodeAt(const Position *pos, int square) {
    return BoardAt(pos, square)->code;
}
inline bool SquareIsEmpty(const Position *pos, int square) {
    return BoardAt(pos, square) == &pos->emptyRecord;
}
inline int KindCount(const Position *pos, int code) {
    return pos->kinds[code].count;
}
inline bool HasCastlingRight(int castleFlags, int colour) {
    return (castleFlags & (colour > 0 ? 0x0A : 0x14)) != 0;
}
inline SideRecord *SideOf(Position *pos, int colour) {
    return pos->sideTable[colour + 1];
}
inline const SideRecord *SideOf(const Position *pos, int colour) {
    return pos->sideTable[colour + 1];
}
inline bool ListEnd(const Position *pos, const PieceRecord *man) {
    return man == &pos->emptyRecord || man == nullptr;
}
// Iterate a side's men in list order.
#define FOR_EACH_MAN(pos, side, man) \
    for (PieceRecord *man = (side)->head.next; !ListEnd(pos, man); man = man->next)

// The first man of `colour` in list order that attacks `square`, or null.
const PieceRecord *FirstAttacker(const Position *pos, int square, int colour);
// The man attacks `target` from where it stands (sliders need a clear path).
bool ManAttacks(const Position *pos, const PieceRecord *man, int target);

// Pawn facts by file for one side: index file + 1 covers files -1..8.
inline PawnFileRecord &PawnFile(EvalWorkArea *area, int colour, int file) {
    return area->pawnFiles[SideIndex(colour)][file + 1];
}

// The king centralisation table, rows -1..8 in 0x88 layout.
int KingCentreValue(int indexWithShift);

// Sets every kind's squareTable to its colour's half of its map.
// Men of each kind but the kings; wPieces/bPieces count knights to queens.
struct MaterialCounts {
    int wQ, wR, wB, wN, wP, bQ, bR, bB, bN, bP;
    int wPieces, bPieces;
};

MaterialCounts CountMaterial(const Position *pos);
void LinkEvalSquareTables(Position *pos);
// (x * f + 32) >> 6: a factor out of 64.
inline int32_t ScaleBy(int32_t x, int f) {
    return (x * f + 32) >> 6;
}
// Scales every kind's effective value (kings excepted) and square table by f/64.
void ScaleKindValues(Position *pos, int f);
// Scales both sides' per-file entries of a table by f/64.
void ScaleFileTable(int16_t table[2][8], int f);
// Clears the work area and both sides' pawn flag bytes and pawn square tables.
void ClearEvalWorkArea(Position *pos);
void CountOpenFiles(Position *pos);

// ---- full evaluation steps --------------------------------------------------

void AddFileRun(Position *pos, int side, int rank, int file, int value);
// Accumulates square weights along one line into the queen map and the
// rook or bishop map; damped applies the damping flags (full evaluation).
int AddRayWeights(Position *pos, int fromSquare, int step, int direction, bool damped);
// Every line of one direction (0..3 ranks and files, 4..7 diagonals).
void WalkRay(Position *pos, int direction, bool damped);
void BuildSquareMaps(Position *pos);
void PenaliseTrappedBishops(Position *pos);
// The trapped-piece table with its amount (90 full, 140 endgame).
void ApplyTrapRules(Position *pos, int amount);

void ScanPawns(Position *pos);      // scan, passed-pawn runs, attack spans
void ScanPawnLists(Position *pos);  // per-file records, control bits, pawnSpan
void MarkAttackSpans(Position *pos, int colour, int walkToBackRank);
void BuildPawnPenaltyTables(Position *pos);  // isolated and neighbour tables
void AddPawnMapEntries(Position *pos, int square, int castleFlags);
int SpaceWeight(const Position *pos);  // the advance weight of the pawn map

void SetKingShelters(Position *pos, int castleFlags);
void AddKingZoneEntries(Position *pos, int square);
void AddEndgameKingPawnTerms(Position *pos);
int PawnWedgeScore(const Position *pos);
void AddKingSafety(Position *pos, int castleFlags);

void AddSliderPressure(Position *pos);
int SpaceBehindPawns(const Position *pos);
void RunSquarePass(Position *pos, int castleFlags);

// ---- shared by both entries ------------------------------------------------

// The square of the man that just moved when the hanging-man test looks
// at it (a capture or special move led here), else NO_SQUARE.
int HangingTestSquare(const SearchNode *node);
// The man that just moved when the side to move simply wins it, taken out
// of its kind's count and the material; null when none.
PieceRecord *TakeOutHangingMan(SearchNode *node);
void PutBackHangingMan(Position *pos, PieceRecord *man);
// Frees the evaluation snapshot slots through the installed hook.
void ReleaseSnapshots();
// Pulls s toward zero by the no-progress amount and stores the amount.
int32_t ApplyNoProgressPull(Position *pos, int side, int32_t s);

// ---- endgame evaluation steps --------------------------------------------

void ScanPawnFiles(Position *pos);
void BuildEndgameSquareMaps(Position *pos);
void AddSliderMaps(Position *pos);
void PenaliseTrappedPiecesEndgame(Position *pos);
