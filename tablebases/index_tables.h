// Lookup tables of the index functions: constant symmetry and king-pair
// tables, and the square numberings and offset tables that
// BuildIndexTables computes once. Squares are 0..63, a1 = 0.
#pragma once

#include <array>
#include <cstdint>

constexpr int16_t KING_PAIR_INVALID = 4000;
constexpr int PAWN_KING_PAIRS = 1806;
constexpr int PAWNLESS_KING_PAIRS = 462;

// Kinds of square numbering: the man numbered beside a king.
enum SquareKind {
    KIND_FREE_PAWN,  // pawn of the side not to move, beside its own king
    KIND_PAWN,       // pawn moving up the board, kept out of contact check
    KIND_KNIGHT,
    KIND_BISHOP,
    KIND_ROOK,
    KIND_QUEEN,
    SQUARE_KINDS
};

enum OffsetVariant { OFFSETS_PAWN, OFFSETS_PAWNLESS, OFFSET_VARIANTS };

struct OffsetTable {
    int32_t *offsets;  // [king pair]: placements summed over all lower pairs
    int64_t total;     // placements over all king pairs
};

typedef std::array<std::array<int16_t, 64>, 64> KingPairTable;

constexpr int SquareFile(int square) {
    return square & 7;
}
constexpr int SquareRank(int square) {
    return square >> 3;
}
constexpr bool SquaresTouch(int a, int b) {
    int fileGap = SquareFile(a) - SquareFile(b), rankGap = SquareRank(a) - SquareRank(b);
    return fileGap >= -1 && fileGap <= 1 && rankGap >= -1 && rankGap <= 1;
}

// C(n, k) for the group sizes 1..3 used here; 0 when n < k.
constexpr int64_t CombinationCount(int64_t n, int k) {
    if (n < k)
        return 0;
    if (k == 1)
        return n;
    if (k == 2)
        return n * (n - 1) / 2;
    return n * (n - 1) * (n - 2) / 6;
}

constexpr std::array<int32_t, 2> invertMask = {0, 0x38};

constexpr std::array<int32_t, 64> MakePawnMirrorMask() {
    std::array<int32_t, 64> mask{};
    for (int s = 0; s < 64; s++)
        mask[s] = SquareFile(s) >= 4 ? 7 : 0;
    return mask;
}

constexpr std::array<int32_t, 64> MakePawnlessMirrorMask() {
    std::array<int32_t, 64> mask{};
    for (int s = 0; s < 64; s++)
        mask[s] = (SquareFile(s) >= 4 ? 7 : 0) | (SquareRank(s) >= 4 ? 0x38 : 0);
    return mask;
}

// Rows: 0 in the triangle a1-d1-d4, 1 off the a1-h8 diagonal, 2 on or
// below that diagonal.
constexpr std::array<std::array<uint8_t, 64>, 3> MakeDiagonalTest() {
    std::array<std::array<uint8_t, 64>, 3> test{};
    for (int s = 0; s < 64; s++) {
        int file = SquareFile(s), rank = SquareRank(s);
        test[0][s] = file <= 3 && rank <= 3 && file >= rank;
        test[1][s] = file != rank;
        test[2][s] = file >= rank;
    }
    return test;
}

constexpr std::array<int32_t, 64> MakeTransposeSquare() {
    std::array<int32_t, 64> transposed{};
    for (int s = 0; s < 64; s++)
        transposed[s] = SquareFile(s) * 8 + SquareRank(s);
    return transposed;
}

// Valid pairs are numbered in row-major order (king to move, other king).
constexpr KingPairTable MakeKingPairIndex(bool pawnless) {
    KingPairTable index{};
    int16_t next = 0;
    for (int k = 0; k < 64; k++) {
        for (int o = 0; o < 64; o++) {
            bool valid = !SquaresTouch(k, o);
            if (pawnless) {
                int kFile = SquareFile(k), kRank = SquareRank(k);
                bool inTriangle = kFile <= 3 && kRank <= 3 && kFile >= kRank;
                bool onDiagonal = kFile == kRank;
                valid = valid && inTriangle && (!onDiagonal || SquareFile(o) >= SquareRank(o));
            } else {
                valid = valid && SquareFile(k) <= 3;
            }
            index[k][o] = valid ? next++ : KING_PAIR_INVALID;
        }
    }
    return index;
}

constexpr std::array<int32_t, 64> pawnMirrorMask = MakePawnMirrorMask();
constexpr std::array<int32_t, 64> pawnlessMirrorMask = MakePawnlessMirrorMask();
constexpr std::array<std::array<uint8_t, 64>, 3> diagonalTest = MakeDiagonalTest();
constexpr std::array<int32_t, 64> transposeSquare = MakeTransposeSquare();
constexpr KingPairTable pawnKingPairIndex = MakeKingPairIndex(false);
constexpr KingPairTable pawnlessKingPairIndex = MakeKingPairIndex(true);

// Built tables, valid once BuildIndexTables has run.
extern uint8_t (*squareNumbering[SQUARE_KINDS])[64];  // [kind][king][square], 255 excluded
extern uint8_t squareCount[SQUARE_KINDS][64];         // [kind][king]
extern OffsetTable pieceOffsets[OFFSET_VARIANTS][SQUARE_KINDS];
extern OffsetTable pairOffsets[OFFSET_VARIANTS][SQUARE_KINDS][SQUARE_KINDS];
extern OffsetTable tripleOffsets[OFFSET_VARIANTS][SQUARE_KINDS][SQUARE_KINDS][SQUARE_KINDS];

// Builds everything once per process; later calls return at once.
void BuildIndexTables();

// The offset table of a block of men; kinds ascending, 1..3 of them.
const OffsetTable *FindOffsetTable(int variant, const int *kinds, int nKinds);

void BuildSquareNumbering(int kind, uint8_t (*numbering)[64], uint8_t *counts);
void BuildOffsetsOne(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts,
                     const uint8_t (*numbering)[64], int64_t *total);
void BuildOffsetsTwo(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts1,
                     const uint8_t (*numbering1)[64], const uint8_t *counts2,
                     const uint8_t (*numbering2)[64], int64_t *total);
void BuildOffsetsThree(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts1,
                       const uint8_t (*numbering1)[64], const uint8_t *counts2,
                       const uint8_t (*numbering2)[64], const uint8_t *counts3,
                       const uint8_t (*numbering3)[64], int64_t *total);
