// Square numberings and offset tables of the index functions. A numbering
// counts upwards from square 0 over the squares a man may use beside a
// king; an offset entry sums the placements of all lower king pairs.
// Built once, from AllocateCounted memory that is never freed.
#include "tablebases/index_tables.h"

#include <cstdlib>

#include "tablebases/index_functions.h"
#include "tablebases/tb_memory.h"

uint8_t (*squareNumbering[SQUARE_KINDS])[64];
uint8_t squareCount[SQUARE_KINDS][64];
OffsetTable pieceOffsets[OFFSET_VARIANTS][SQUARE_KINDS];
OffsetTable pairOffsets[OFFSET_VARIANTS][SQUARE_KINDS][SQUARE_KINDS];
OffsetTable tripleOffsets[OFFSET_VARIANTS][SQUARE_KINDS][SQUARE_KINDS][SQUARE_KINDS];

static bool indexTablesBuilt = false;

static bool SquareIsAllowed(int kind, int king, int square) {
    int fileGap = abs(SquareFile(square) - SquareFile(king));
    int rankGap = abs(SquareRank(square) - SquareRank(king));
    if (square == king)
        return false;
    switch (kind) {
        case KIND_FREE_PAWN:
            return true;
        case KIND_PAWN:
            // The pawn must not attack the king from below.
            return !(king == square + 7 && SquareFile(square) != 0) &&
                   !(king == square + 9 && SquareFile(square) != 7);
        case KIND_KNIGHT:
            return !((fileGap == 1 && rankGap == 2) || (fileGap == 2 && rankGap == 1));
        case KIND_BISHOP:
            return !(fileGap == 1 && rankGap == 1);
        case KIND_ROOK:
            return fileGap + rankGap != 1;
        default:
            return fileGap > 1 || rankGap > 1;
    }
}

void BuildSquareNumbering(int kind, uint8_t (*numbering)[64], uint8_t *counts) {
    bool isPawn = kind == KIND_FREE_PAWN || kind == KIND_PAWN;
    int first = isPawn ? 8 : 0, last = isPawn ? 55 : 63;
    for (int king = 0; king < 64; king++) {
        int next = 0;
        for (int square = 0; square < 64; square++)
            numbering[king][square] = 255;
        for (int square = first; square <= last; square++) {
            if (SquareIsAllowed(kind, king, square))
                numbering[king][square] = static_cast<uint8_t>(next++);
        }
        counts[king] = static_cast<uint8_t>(next);
    }
}

// Squares a man of one numbering may use for the pair (k to move, o).
static int64_t UsableSquares(const uint8_t *counts, const uint8_t (*numbering)[64], int k, int o) {
    return counts[o] - (numbering[o][k] != 255 ? 1 : 0);
}

typedef int64_t (*PlacementCounter)(const void *context, int k, int o);

// Walks the valid king pairs in row-major order, storing running sums.
static void FillOffsets(int32_t *offsets, const KingPairTable &kingPairIndex,
                        PlacementCounter count, const void *context, int64_t *total) {
    int64_t sum = 0;
    for (int k = 0; k < 64; k++) {
        for (int o = 0; o < 64; o++) {
            int16_t pair = kingPairIndex[k][o];
            if (pair == KING_PAIR_INVALID)
                continue;
            offsets[pair] = static_cast<int32_t>(sum);
            sum += count(context, k, o);
        }
    }
    *total = sum;
}

struct OffsetSet {
    const uint8_t *counts[3];
    const uint8_t (*numbering[3])[64];
};

static int64_t CountOne(const void *context, int k, int o) {
    const OffsetSet *set = static_cast<const OffsetSet *>(context);
    return UsableSquares(set->counts[0], set->numbering[0], k, o);
}

static int64_t CountTwo(const void *context, int k, int o) {
    const OffsetSet *set = static_cast<const OffsetSet *>(context);
    int64_t n1 = UsableSquares(set->counts[0], set->numbering[0], k, o);
    int64_t n2 = UsableSquares(set->counts[1], set->numbering[1], k, o);
    return set->numbering[0] == set->numbering[1] ? CombinationCount(n1, 2) : n1 * n2;
}

// Identical kinds are given the same numbering, and in an ascending set
// they are the first two, the last two or all three.
static int64_t CountThree(const void *context, int k, int o) {
    const OffsetSet *set = static_cast<const OffsetSet *>(context);
    int64_t n1 = UsableSquares(set->counts[0], set->numbering[0], k, o);
    int64_t n2 = UsableSquares(set->counts[1], set->numbering[1], k, o);
    int64_t n3 = UsableSquares(set->counts[2], set->numbering[2], k, o);
    bool firstPair = set->numbering[0] == set->numbering[1];
    bool lastPair = set->numbering[1] == set->numbering[2];
    if (firstPair && lastPair)
        return CombinationCount(n1, 3);
    if (firstPair)
        return CombinationCount(n1, 2) * n3;
    if (lastPair)
        return n1 * CombinationCount(n2, 2);
    return n1 * n2 * n3;
}

void BuildOffsetsOne(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts,
                     const uint8_t (*numbering)[64], int64_t *total) {
    OffsetSet set = {{counts, nullptr, nullptr}, {numbering, nullptr, nullptr}};
    FillOffsets(offsets, kingPairIndex, CountOne, &set, total);
}

void BuildOffsetsTwo(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts1,
                     const uint8_t (*numbering1)[64], const uint8_t *counts2,
                     const uint8_t (*numbering2)[64], int64_t *total) {
    OffsetSet set = {{counts1, counts2, nullptr}, {numbering1, numbering2, nullptr}};
    FillOffsets(offsets, kingPairIndex, CountTwo, &set, total);
}

void BuildOffsetsThree(int32_t *offsets, const KingPairTable &kingPairIndex, const uint8_t *counts1,
                       const uint8_t (*numbering1)[64], const uint8_t *counts2,
                       const uint8_t (*numbering2)[64], const uint8_t *counts3,
                       const uint8_t (*numbering3)[64], int64_t *total) {
    OffsetSet set = {{counts1, counts2, counts3}, {numbering1, numbering2, numbering3}};
    FillOffsets(offsets, kingPairIndex, CountThree, &set, total);
}

static int32_t *AllocateOffsets(int variant) {
    int nPairs = variant == OFFSETS_PAWN ? PAWN_KING_PAIRS : PAWNLESS_KING_PAIRS;
    return static_cast<int32_t *>(AllocateCounted(sizeof(int32_t) * nPairs));
}

// One variant: kinds lowKind..5 singly, in pairs and in triples (with
// repetition, non-decreasing), plus the free pawn alone, paired and tripled
// in the pawn variant.
static void BuildOffsetVariant(int variant, int lowKind) {
    const KingPairTable &pairs =
        variant == OFFSETS_PAWN ? pawnKingPairIndex : pawnlessKingPairIndex;
    const uint8_t *c[SQUARE_KINDS];
    const uint8_t(*n[SQUARE_KINDS])[64];
    for (int kind = 0; kind < SQUARE_KINDS; kind++) {
        c[kind] = squareCount[kind];
        n[kind] = squareNumbering[kind];
    }
    for (int a = lowKind; a < SQUARE_KINDS; a++) {
        OffsetTable *one = &pieceOffsets[variant][a];
        one->offsets = AllocateOffsets(variant);
        BuildOffsetsOne(one->offsets, pairs, c[a], n[a], &one->total);
        for (int b = a; b < SQUARE_KINDS; b++) {
            if ((a == KIND_FREE_PAWN) != (b == KIND_FREE_PAWN))
                continue;
            OffsetTable *two = &pairOffsets[variant][a][b];
            two->offsets = AllocateOffsets(variant);
            BuildOffsetsTwo(two->offsets, pairs, c[a], n[a], c[b], n[b], &two->total);
            for (int d = b; d < SQUARE_KINDS; d++) {
                if ((a == KIND_FREE_PAWN) != (d == KIND_FREE_PAWN))
                    continue;
                OffsetTable *three = &tripleOffsets[variant][a][b][d];
                three->offsets = AllocateOffsets(variant);
                BuildOffsetsThree(three->offsets, pairs, c[a], n[a], c[b], n[b], c[d], n[d],
                                  &three->total);
            }
        }
    }
}

void BuildIndexTables() {
    if (indexTablesBuilt)
        return;
    indexTablesBuilt = true;
    for (int kind = 0; kind < SQUARE_KINDS; kind++) {
        squareNumbering[kind] = static_cast<uint8_t(*)[64]>(AllocateCounted(64 * 64));
        BuildSquareNumbering(kind, squareNumbering[kind], squareCount[kind]);
    }
    BuildOffsetVariant(OFFSETS_PAWN, KIND_FREE_PAWN);
    BuildOffsetVariant(OFFSETS_PAWNLESS, KIND_KNIGHT);
    BuildIndexPlans();
}

const OffsetTable *FindOffsetTable(int variant, const int *kinds, int nKinds) {
    if (nKinds == 1)
        return &pieceOffsets[variant][kinds[0]];
    if (nKinds == 2)
        return &pairOffsets[variant][kinds[0]][kinds[1]];
    return &tripleOffsets[variant][kinds[0]][kinds[1]][kinds[2]];
}
