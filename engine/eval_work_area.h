// The evaluation's work area inside each Position, and the evaluation
// words of each side record. Make and unmake read the isolated-pawn
// tables and the rook open-file bonus incrementally; the search snapshots
// the whole area as one block.
#pragma once

#include <atomic>
#include <cstdint>

// Index of a colour (+1 white, -1 black) into per-side tables: 0 black, 1 white.
inline int SideIndex(int colour) {
    return (colour + 1) >> 1;
}

// Pawn flag byte bits (one byte per 0x88 square and side).
constexpr uint8_t PAWN_SPAN = 0x01;      // a pawn of this side can attack here soon
constexpr uint8_t PAWN_CONTROL = 0x02;   // a pawn of this side stands on or attacks it
constexpr uint8_t PAWN_EXPOSED = 0x04;   // enemy pawn attack, or behind a span square
constexpr uint8_t PAWN_PASSED_4 = 0x08;  // passed square from the fourth rank on

// Square flag word bits.
constexpr uint16_t SQ_WHITE_PAWN_ATTACK = 0x01;
constexpr uint16_t SQ_BLACK_PAWN_ATTACK = 0x02;
constexpr uint16_t SQ_CENTRE = 0x04;
constexpr uint16_t SQ_WHITE_DAMP = 0x08;
constexpr uint16_t SQ_BLACK_DAMP = 0x10;
constexpr uint16_t SQ_WHITE_FIXED_PAWN = 0x20;
constexpr uint16_t SQ_BLACK_FIXED_PAWN = 0x40;

struct SideEvalWords {
    uint8_t pawnFlags[128];  // by 0x88 square; off-board entries stay 0
};

// Pawn facts of one side and file. White's record: rearmost and most
// advanced white pawn, white's passed limit, black's lowest blocking rank.
// Black's record mirrors it. Files -1 and 8 are guards at index 0 and 9.
struct PawnFileRecord {
    int32_t rearRank;
    int32_t frontRank;
    int32_t passedLimit;
    int32_t blockLimit;
};

struct EvalWorkArea {
    int32_t rookOpenFileBonus;
    int16_t isolatedSingle[2][8];  // [SideIndex][file], counts against the side
    int16_t isolatedMulti[2][8];
    int16_t neighbourPenalty[2][8];
    int16_t fileTableA[2][8];  // endgame per-file pawn tables
    int16_t fileTableB[2][8];
    int16_t fileTableC[2][8];

    // Split maps: entry s is white's value of square s, s + 8 black's.
    int16_t kingMap[128];
    int16_t queenMap[128];
    int16_t rookMap[128];
    int16_t bishopMap[128];
    int16_t knightMap[128];
    int16_t pawnMap[128];
    int16_t weightMap[128];
    int16_t totalWeightMap[128];
    uint16_t squareFlags[128];

    PawnFileRecord pawnFiles[2][10];  // [SideIndex][file + 1]
    int32_t whiteFrontRank;
    int32_t blackFrontRank;
    int32_t pawnSpan;
    int32_t openFiles;
    int32_t symmetricFiles;

    int32_t queensOnBoard;
    int32_t fullKingSafety;
    int32_t fullArmies;
    int32_t imbalanced;
    int32_t activeKings;
    int32_t oppositeBishops;
    int32_t drawishness;
    int32_t contemptScale;
    int32_t bishopColour[2];    // [SideIndex]; -1 without exactly one bishop
    int32_t kingZoneSquare[2];  // [SideIndex]; 12 when the shelter is not evaluated
    int32_t kingWeightTable;    // 0 none, 1 with queens, 2 queenless
    int32_t kingWeight;
    int32_t kingRowShift[2];  // [SideIndex] 0x88 offset of the centralisation read
    const int32_t *passedPawnTable;
    int32_t spaceWeight;  // pawn advance weight of the current square pass
};

// Written by the evaluation, read by make: the tempo share of the score.
// Every searching thread writes the same value; atomics keep that defined.
extern std::atomic<int32_t> tempoBase;
// Opening randomisation offset and the search's positional margin.
extern std::atomic<int32_t> evalNoise;
extern std::atomic<int32_t> evalMargin;
