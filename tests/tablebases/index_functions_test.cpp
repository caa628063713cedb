// Index functions against the files they address: every function's range
// fits its table's position count, every legal placement gets a number
// below the count, and only symmetric images share a number. Legality is
// judged here on 0..63 squares, without the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <unordered_map>
#include <vector>

#include "tablebases/endgame_descriptors.h"
#include "tablebases/index_tables.h"
#include "tablebases/material_registry.h"

namespace {

#ifdef VLM_DEBUG
constexpr int SAMPLE_DIVISOR = 10;
#else
constexpr int SAMPLE_DIVISOR = 1;
#endif

enum { PAWN, KNIGHT, BISHOP, ROOK, QUEEN, TYPES };
enum { WHITE, BLACK };

struct Material {
    int n[2][TYPES];  // [colour][type]
    bool hasPawns;
    int nMen;  // besides the kings
};

struct Placement {
    int king[2];
    int men[2][TYPES][3];
    int ep;
};

struct Table {
    int id;
    Material material;
};

Table TableOf(int id) {
    Table table;
    table.id = id;
    int32_t counts[2][5];
    ParseTablebaseName(tablebases[id].name, counts[0], counts[1]);
    table.material.nMen = 0;
    for (int c = 0; c < 2; c++) {
        for (int t = 0; t < TYPES; t++) {
            table.material.n[c][t] = counts[c][t];
            table.material.nMen += counts[c][t];
        }
    }
    table.material.hasPawns = counts[0][PAWN] + counts[1][PAWN] > 0;
    return table;
}

int IdOf(const char *name) {
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        if (strcmp(tablebases[id].name, name) == 0)
            return id;
    }
    return 0;
}

int Men(const Table &table) {
    return table.material.nMen + 2;
}

int FileOf(int s) {
    return s & 7;
}
int RankOf(int s) {
    return s >> 3;
}

// Occupancy: 0 empty, else 1 + colour.
void FillBoard(const Placement &p, const Material &m, int *board) {
    for (int s = 0; s < 64; s++)
        board[s] = 0;
    for (int c = 0; c < 2; c++) {
        board[p.king[c]] = 1 + c;
        for (int t = 0; t < TYPES; t++) {
            for (int i = 0; i < m.n[c][t]; i++)
                board[p.men[c][t][i]] = 1 + c;
        }
    }
}

bool SlideReaches(const int *board, int from, int target, int df, int dr) {
    int f = FileOf(from) + df, r = RankOf(from) + dr;
    while (f >= 0 && f < 8 && r >= 0 && r < 8) {
        int s = r * 8 + f;
        if (s == target)
            return true;
        if (board[s] != 0)
            return false;
        f += df;
        r += dr;
    }
    return false;
}

bool ManAttacks(const int *board, int colour, int type, int from, int target) {
    int df = FileOf(target) - FileOf(from), dr = RankOf(target) - RankOf(from);
    int adf = abs(df), adr = abs(dr);
    static const int rookSteps[4][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
    static const int bishopSteps[4][2] = {{1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
    bool reached = false;
    switch (type) {
        case PAWN:
            return adf == 1 && dr == (colour == WHITE ? 1 : -1);
        case KNIGHT:
            return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
        default:
            for (int i = 0; i < 4; i++) {
                if (type != BISHOP)
                    reached = reached ||
                              SlideReaches(board, from, target, rookSteps[i][0], rookSteps[i][1]);
                if (type != ROOK)
                    reached = reached || SlideReaches(board, from, target, bishopSteps[i][0],
                                                      bishopSteps[i][1]);
            }
            return reached;
    }
}

// Distinct squares, pawns off the edge ranks, kings apart, and the side
// not to move not in check.
bool PlacementIsLegal(const Placement &p, const Material &m, int sideToMove) {
    int seen[64] = {0};
    int board[64];
    if (abs(FileOf(p.king[0]) - FileOf(p.king[1])) <= 1 &&
        abs(RankOf(p.king[0]) - RankOf(p.king[1])) <= 1)
        return false;
    seen[p.king[0]]++;
    seen[p.king[1]]++;
    for (int c = 0; c < 2; c++) {
        for (int t = 0; t < TYPES; t++) {
            for (int i = 0; i < m.n[c][t]; i++) {
                int s = p.men[c][t][i];
                if (seen[s]++ || (t == PAWN && (s < 8 || s > 55)))
                    return false;
            }
        }
    }
    FillBoard(p, m, board);
    int target = p.king[1 - sideToMove];
    for (int t = 0; t < TYPES; t++) {
        for (int i = 0; i < m.n[sideToMove][t]; i++) {
            if (ManAttacks(board, sideToMove, t, p.men[sideToMove][t][i], target))
                return false;
        }
    }
    return true;
}

void ToRecords(const Placement &p, const Material &m, PieceSquares *white, PieceSquares *black) {
    PieceSquares *records[2] = {white, black};
    for (int c = 0; c < 2; c++) {
        for (int slot = 0; slot < 16; slot++)
            records[c]->squares[slot] = -77;  // absent men must not be read
        records[c]->squares[15] = p.king[c];
        for (int t = 0; t < TYPES; t++) {
            for (int i = 0; i < m.n[c][t]; i++)
                records[c]->squares[3 * t + i] = p.men[c][t][i];
        }
    }
}

int64_t IndexOf(const Table &table, int side, const Placement &p, int invert = 0) {
    PieceSquares white, black;
    ToRecords(p, table.material, &white, &black);
    return tablebases[table.id].indexFunction[side](&white, &black, p.ep, invert);
}

int TransformSquare(int s, int xorMask, bool transpose) {
    s ^= xorMask;
    return transpose ? FileOf(s) * 8 + RankOf(s) : s;
}

Placement Transform(const Placement &p, const Material &m, int xorMask, bool transpose) {
    Placement image = p;
    for (int c = 0; c < 2; c++) {
        image.king[c] = TransformSquare(p.king[c], xorMask, transpose);
        for (int t = 0; t < TYPES; t++) {
            for (int i = 0; i < m.n[c][t]; i++)
                image.men[c][t][i] = TransformSquare(p.men[c][t][i], xorMask, transpose);
        }
    }
    if (p.ep != TB_NO_SQUARE)
        image.ep = TransformSquare(p.ep, xorMask, transpose);
    return image;
}

// The placement as the tables see it: the mover's king brought to files
// a-d (with pawns) or below the a1-h8 diagonal in a1-d4 (without), the
// other king deciding on the diagonal; identical men sorted.
uint64_t CanonicalKey(const Placement &p, const Material &m, int side) {
    int k = p.king[side];
    Placement framed;
    if (m.hasPawns) {
        framed = Transform(p, m, FileOf(k) >= 4 ? 7 : 0, false);
    } else {
        int mask = (FileOf(k) >= 4 ? 7 : 0) | (RankOf(k) >= 4 ? 0x38 : 0);
        framed = Transform(p, m, mask, false);
        int ks = framed.king[side], ko = framed.king[1 - side];
        bool transpose =
            FileOf(ks) < RankOf(ks) || (FileOf(ks) == RankOf(ks) && FileOf(ko) < RankOf(ko));
        if (transpose)
            framed = Transform(framed, m, 0, true);
    }
    uint64_t key = (framed.king[0] << 6 | framed.king[1]) + 1;
    for (int c = 0; c < 2; c++) {
        for (int t = 0; t < TYPES; t++) {
            int *squares = framed.men[c][t];
            std::sort(squares, squares + m.n[c][t]);
            for (int i = 0; i < m.n[c][t]; i++)
                key = key << 6 | squares[i];
        }
    }
    return (key << 7) | (framed.ep & 127);
}

Placement RandomPlacement(const Material &m, std::mt19937_64 *rng) {
    Placement p;
    p.ep = TB_NO_SQUARE;
    std::uniform_int_distribution<int> anySquare(0, 63), pawnSquare(8, 55);
    p.king[0] = anySquare(*rng);
    p.king[1] = anySquare(*rng);
    for (int c = 0; c < 2; c++) {
        for (int t = 0; t < TYPES; t++) {
            for (int i = 0; i < m.n[c][t]; i++)
                p.men[c][t][i] = t == PAWN ? pawnSquare(*rng) : anySquare(*rng);
        }
    }
    return p;
}

Placement RandomLegalPlacement(const Table &table, int side, std::mt19937_64 *rng) {
    for (;;) {
        Placement p = RandomPlacement(table.material, rng);
        if (PlacementIsLegal(p, table.material, side))
            return p;
    }
}

class IndexFunctions : public testing::Test {
   protected:
    static void SetUpTestSuite() { BuildIndexTables(); }
};

// Which functions leave numbers at the top of their file unused, and how
// many, for the tables with pawns on both sides.
const struct {
    const char *name;
    int side;
    int64_t unused;
} EN_PASSANT_TOP_GAPS[] = {
    {"kppkpp", 0, 1},    {"kppkpp", 1, 1},    {"kppkp", 0, 1},     {"kbppkp", 0, 1},
    {"knppkp", 0, 1},    {"kpppkp", 0, 1},    {"kbnpkp", 0, 14},   {"kqpkp", 0, 28},
    {"krpkp", 0, 28},    {"kqpkpp", 0, 1232}, {"krpkpp", 0, 1232}, {"kqppkp", 0, 1233},
    {"krppkp", 0, 1233}, {"kqqpkp", 0, 1610}, {"krrpkp", 0, 1638}, {"kqrpkp", 0, 1722},
};

TEST_F(IndexFunctions, RangesFitEveryPositionCount) {
    int nExact = 0, nShort = 0, nWithEnPassant = 0;
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        const TablebaseDescriptor &d = tablebases[id];
        for (int side = 0; side < 2; side++) {
            int64_t ordinary = OrdinaryIndexRange(id, side);
            int64_t enPassant = EnPassantIndexRange(id, side);
            int64_t count = d.positionCount[side];
            if (enPassant == 0) {
                ASSERT_LE(count, ordinary) << d.name << " side " << side;
                nExact += count == ordinary;
                nShort += count < ordinary;
                continue;
            }
            nWithEnPassant++;
            int64_t expectedGap = 0;
            for (const auto &gap : EN_PASSANT_TOP_GAPS) {
                if (strcmp(gap.name, d.name) == 0 && gap.side == side)
                    expectedGap = gap.unused;
            }
            EXPECT_EQ(ordinary + enPassant - count, expectedGap) << d.name << " side " << side;
        }
    }
    EXPECT_EQ(nExact, 647);
    EXPECT_EQ(nShort, 161);
    EXPECT_EQ(nWithEnPassant, 72);
    // Known gaps of tables without pawns on both sides.
    EXPECT_EQ(OrdinaryIndexRange(4, 0), 27036);
    EXPECT_EQ(OrdinaryIndexRange(5, 0), 25635);
    EXPECT_EQ(OrdinaryIndexRange(35, 0), 699072);
    EXPECT_EQ(OrdinaryIndexRange(20, 0), 1563735);
}

// Exhaustive over every placement of the five three-men tables (every
// fifth white king square in the slow checked builds).
TEST_F(IndexFunctions, ThreeMenPlacementsAreNumberedOneToOne) {
    for (int id = 1; id <= LAST_THREE_MEN_ID; id++) {
        Table table = TableOf(id);
        int type = PAWN;
        while (table.material.n[WHITE][type] == 0)
            type++;
        for (int side = 0; side < 2; side++) {
            int64_t count = tablebases[id].positionCount[side];
            std::vector<uint64_t> keyAt(count, 0);
            int64_t nNumbers = 0;
            Placement p;
            p.ep = TB_NO_SQUARE;
            for (int wk = 0; wk < 64; wk += SAMPLE_DIVISOR == 1 ? 1 : 5) {
                for (int bk = 0; bk < 64; bk++) {
                    for (int s = 0; s < 64; s++) {
                        p.king[WHITE] = wk;
                        p.king[BLACK] = bk;
                        p.men[WHITE][type][0] = s;
                        if (!PlacementIsLegal(p, table.material, side))
                            continue;
                        int64_t index = IndexOf(table, side, p);
                        ASSERT_GE(index, 0);
                        ASSERT_LT(index, count)
                            << tablebases[id].name << " " << wk << " " << bk << " " << s;
                        uint64_t key = CanonicalKey(p, table.material, side);
                        if (keyAt[index] == 0) {
                            keyAt[index] = key;
                            nNumbers++;
                        }
                        ASSERT_EQ(keyAt[index], key)
                            << tablebases[id].name << " " << wk << " " << bk << " " << s;
                    }
                }
            }
            // Every number is a legal position except, with white to move,
            // those where a slider checks from afar.
            static const int64_t sliderWtmUsed[3] = {24736, 22400, 18492};
            bool sliderWtm = side == 0 && id >= 3;
            if (SAMPLE_DIVISOR == 1) {
                EXPECT_EQ(nNumbers, sliderWtm ? sliderWtmUsed[id - 3] : count)
                    << tablebases[id].name;
            }
        }
    }
}

// Moves each man of a sample over the board: a different placement (not
// an image) must get a different number.
void ExpectNeighboursDiffer(const Table &table, int side, const Placement &p) {
    int64_t index = IndexOf(table, side, p);
    uint64_t key = CanonicalKey(p, table.material, side);
    for (int c = 0; c < 2; c++) {
        for (int t = -1; t < TYPES; t++) {
            int n = t < 0 ? 1 : table.material.n[c][t];
            for (int i = 0; i < n; i++) {
                for (int s = 0; s < 64; s++) {
                    Placement q = p;
                    (t < 0 ? q.king[c] : q.men[c][t][i]) = s;
                    if (!PlacementIsLegal(q, table.material, side) ||
                        CanonicalKey(q, table.material, side) == key)
                        continue;
                    ASSERT_NE(IndexOf(table, side, q), index) << tablebases[table.id].name;
                }
            }
        }
    }
}

// Symmetric images share the number; without pawns, an image across the
// diagonal is numbered apart when both kings stand on a long diagonal.
void ExpectImagesShare(const Table &table, int side, const Placement &p) {
    int64_t index = IndexOf(table, side, p);
    const Material &m = table.material;
    int k0 = p.king[0], k1 = p.king[1];
    bool kingsOnDiagonal = (FileOf(k0) == RankOf(k0) && FileOf(k1) == RankOf(k1)) ||
                           (FileOf(k0) + RankOf(k0) == 7 && FileOf(k1) + RankOf(k1) == 7);
    int masks = m.hasPawns ? 1 : 4;
    for (int transpose = 0; transpose < (m.hasPawns ? 1 : 2); transpose++) {
        for (int mi = 0; mi < masks; mi++) {
            static const int xorMasks[4] = {7, 0, 0x38, 0x3F};
            int mask = m.hasPawns ? 7 : xorMasks[mi];
            Placement image = Transform(p, m, mask, transpose);
            if (transpose && kingsOnDiagonal)
                EXPECT_EQ(IndexOf(table, side, image) == index,
                          CanonicalKey(image, m, side) == CanonicalKey(p, m, side));
            else
                ASSERT_EQ(IndexOf(table, side, image), index) << tablebases[table.id].name;
        }
    }
    if (m.hasPawns) {
        // Colours swapped and the board upside down: invert restores it.
        Placement turned = Transform(p, m, 0x38, false);
        PieceSquares white, black;
        ToRecords(turned, m, &white, &black);
        EXPECT_EQ(tablebases[table.id].indexFunction[side](&white, &black, turned.ep, 1), index);
    } else {
        EXPECT_EQ(IndexOf(table, side, p, 1), index);
    }
}

void CheckSampledTable(const Table &table, int side, int nSamples, int nNeighbourSamples,
                       std::mt19937_64 *rng) {
    int64_t count = tablebases[table.id].positionCount[side];
    std::unordered_map<int64_t, uint64_t> keyAt;
    for (int n = 0; n < nSamples; n++) {
        Placement p = RandomLegalPlacement(table, side, rng);
        int64_t index = IndexOf(table, side, p);
        ASSERT_GE(index, 0);
        ASSERT_LT(index, count) << tablebases[table.id].name << " side " << side;
        uint64_t key = CanonicalKey(p, table.material, side);
        auto [slot, fresh] = keyAt.emplace(index, key);
        ASSERT_TRUE(fresh || slot->second == key) << tablebases[table.id].name << " side " << side;
        if (n < nNeighbourSamples) {
            ExpectNeighboursDiffer(table, side, p);
            ExpectImagesShare(table, side, p);
        }
    }
}

TEST_F(IndexFunctions, SampledPlacementsAreNumberedOneToOne) {
    std::mt19937_64 rng(20261209);
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        Table table = TableOf(id);
        int men = Men(table);
        int nSamples = (men <= 3   ? 2000
                        : men == 4 ? 20000
                        : men == 5 ? 2000
                                   : 300) /
                       SAMPLE_DIVISOR;
        int nNeighbours = (men <= 4 ? 40 : 6) / SAMPLE_DIVISOR + 1;
        for (int side = 0; side < 2; side++) {
            CheckSampledTable(table, side, nSamples, nNeighbours, &rng);
            if (HasFatalFailure())
                return;
        }
    }
}

TEST_F(IndexFunctions, IdenticalMenInEitherSlotOrder) {
    std::mt19937_64 rng(7);
    for (const char *name : {"kqqk", "krrkp", "kppkpp", "kbbbkn", "knnkpp", "kpppkq"}) {
        Table table = TableOf(IdOf(name));
        for (int side = 0; side < 2; side++) {
            for (int n = 0; n < 50; n++) {
                Placement p = RandomLegalPlacement(table, side, &rng);
                Placement swapped = p;
                for (int c = 0; c < 2; c++) {
                    for (int t = 0; t < TYPES; t++) {
                        int k = table.material.n[c][t];
                        for (int i = 0; i < k; i++)
                            swapped.men[c][t][i] = p.men[c][t][k - 1 - i];
                    }
                }
                EXPECT_EQ(IndexOf(table, side, p), IndexOf(table, side, swapped)) << name;
            }
        }
    }
}

TEST_F(IndexFunctions, SymmetricPawnTablesAnswerBlackFromWhite) {
    std::mt19937_64 rng(11);
    for (const char *name : {"kppkpp", "kqpkqp", "krpkrp", "kbpkbp", "knpknp"}) {
        Table table = TableOf(IdOf(name));
        for (int n = 0; n < 100; n++) {
            Placement p = RandomLegalPlacement(table, 1, &rng);
            PieceSquares white, black;
            ToRecords(p, table.material, &white, &black);
            const TablebaseDescriptor &d = tablebases[table.id];
            for (int invert = 0; invert < 2; invert++) {
                EXPECT_EQ(d.indexFunction[1](&white, &black, TB_NO_SQUARE, invert),
                          d.indexFunction[0](&black, &white, TB_NO_SQUARE, 1 - invert));
            }
        }
    }
}

TEST_F(IndexFunctions, UnnumberablePlacementsAreRefused) {
    PieceSquares white, black;
    for (int slot = 0; slot < 16; slot++)
        white.squares[slot] = black.squares[slot] = 0;
    IndexFunction krkWtm = tablebases[IdOf("krk")].indexFunction[0];
    IndexFunction kpkBtm = tablebases[IdOf("kpk")].indexFunction[1];
    white.squares[SLOT_ROOKS] = 20;
    white.squares[SLOT_PAWNS] = 20;
    white.squares[SLOT_KING] = 0;
    black.squares[SLOT_KING] = 63;
    EXPECT_GE(krkWtm(&white, &black, TB_NO_SQUARE, 0), 0);
    black.squares[SLOT_KING] = 9;  // touching
    EXPECT_EQ(krkWtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
    black.squares[SLOT_KING] = 0;  // same square
    EXPECT_EQ(krkWtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
    black.squares[SLOT_KING] = -1;  // missing
    EXPECT_EQ(krkWtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
    black.squares[SLOT_KING] = 64;
    EXPECT_EQ(krkWtm(&white, &black, TB_NO_SQUARE, 1), TB_INDEX_INVALID);
    black.squares[SLOT_KING] = 63;
    white.squares[SLOT_ROOKS] = 99;
    EXPECT_EQ(krkWtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
    EXPECT_GE(kpkBtm(&white, &black, TB_NO_SQUARE, 0), 0);
    white.squares[SLOT_PAWNS] = 60;  // last rank
    EXPECT_EQ(kpkBtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
    white.squares[SLOT_PAWNS] = 3;
    EXPECT_EQ(kpkBtm(&white, &black, TB_NO_SQUARE, 0), TB_INDEX_INVALID);
}

// The worked forms of single functions, computed here from the tables on
// placements already in their frame.
int64_t Numbered(int kind, int kO, int kS, int square) {
    int number = squareNumbering[kind][kO][square], king = squareNumbering[kind][kO][kS];
    return number - (king != 255 && king < number);
}

int64_t Usable(int kind, int kO, int kS) {
    return squareCount[kind][kO] - (squareNumbering[kind][kO][kS] != 255);
}

int Below(int square, std::initializer_list<int> occupied) {
    int n = 0;
    for (int s : occupied)
        n += s < square;
    return n;
}

int64_t PairNumber(int64_t a, int64_t b) {
    return std::min(a, b) + CombinationCount(std::max(a, b), 2);
}

bool InPawnFrame(int king) {
    return FileOf(king) <= 3;
}
bool InPawnlessFrame(int king) {
    return FileOf(king) <= 3 && RankOf(king) <= 3 && FileOf(king) > RankOf(king);
}

struct WorkedForm {
    const char *name;
    int side;
    int64_t (*expected)(const Placement &p);
};

constexpr int W = WHITE, B = BLACK;

const WorkedForm WORKED_FORMS[] = {
    {"kpk", 0,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B];
         return pieceOffsets[OFFSETS_PAWN][KIND_PAWN].offsets[pawnKingPairIndex[wk][bk]] +
                Numbered(KIND_PAWN, bk, wk, p.men[W][PAWN][0]);
     }},
    {"kpk", 1,
     [](const Placement &p) {
         int wk = p.king[W] ^ 0x38, bk = p.king[B] ^ 0x38;
         return pieceOffsets[OFFSETS_PAWN][KIND_FREE_PAWN].offsets[pawnKingPairIndex[bk][wk]] +
                Numbered(KIND_FREE_PAWN, wk, bk, p.men[W][PAWN][0] ^ 0x38);
     }},
    {"krk", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], r = p.men[W][ROOK][0];
         return pawnlessKingPairIndex[bk][wk] * int64_t{62} + r - Below(r, {wk, bk});
     }},
    {"kqkq", 0,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], wq = p.men[W][QUEEN][0], bq = p.men[B][QUEEN][0];
         int64_t block =
             pieceOffsets[OFFSETS_PAWNLESS][KIND_QUEEN].offsets[pawnlessKingPairIndex[wk][bk]] +
             Numbered(KIND_QUEEN, bk, wk, wq);
         return block * 61 + bq - Below(bq, {wk, bk, wq});
     }},
    {"kqkp", 0,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B];
         int64_t block = pieceOffsets[OFFSETS_PAWN][KIND_QUEEN].offsets[pawnKingPairIndex[wk][bk]] +
                         Numbered(KIND_QUEEN, bk, wk, p.men[W][QUEEN][0]);
         return block * 48 + p.men[B][PAWN][0] - 8;
     }},
    {"kqkp", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], bp = p.men[B][PAWN][0], wq = p.men[W][QUEEN][0];
         int64_t block =
             pieceOffsets[OFFSETS_PAWN][KIND_PAWN].offsets[pawnKingPairIndex[bk ^ 56][wk ^ 56]] +
             Numbered(KIND_PAWN, wk ^ 56, bk ^ 56, bp ^ 56);
         return block * 61 + wq - Below(wq, {wk, bk, bp});
     }},
    {"kqrk", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], q = p.men[W][QUEEN][0], r = p.men[W][ROOK][0];
         return pawnlessKingPairIndex[bk][wk] * int64_t{3782} + (q - Below(q, {wk, bk})) * 61 + r -
                Below(r, {wk, bk, q});
     }},
    {"kqqrk", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], r = p.men[W][ROOK][0];
         int q1 = p.men[W][QUEEN][0], q2 = p.men[W][QUEEN][1];
         int64_t pair = PairNumber(q1 - Below(q1, {wk, bk, r}), q2 - Below(q2, {wk, bk, r}));
         return pawnlessKingPairIndex[bk][wk] * int64_t{113460} + pair * 62 + r -
                Below(r, {wk, bk});
     }},
    {"kqrrk", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], q = p.men[W][QUEEN][0];
         int r1 = p.men[W][ROOK][0], r2 = p.men[W][ROOK][1];
         int64_t pair = PairNumber(r1 - Below(r1, {wk, bk, q}), r2 - Below(r2, {wk, bk, q}));
         return pawnlessKingPairIndex[bk][wk] * int64_t{62 * 1830} +
                (q - Below(q, {wk, bk})) * 1830 + pair;
     }},
    {"kqqpkq", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], bq = p.men[B][QUEEN][0], wp = p.men[W][PAWN][0];
         int q1 = p.men[W][QUEEN][0], q2 = p.men[W][QUEEN][1];
         int64_t block = pieceOffsets[OFFSETS_PAWN][KIND_QUEEN].offsets[pawnKingPairIndex[bk][wk]] +
                         Numbered(KIND_QUEEN, wk, bk, bq);
         int64_t pair =
             PairNumber(q1 - Below(q1, {wk, bk, bq, wp}), q2 - Below(q2, {wk, bk, bq, wp}));
         return (block * 1770 + pair) * 48 + wp - 8;
     }},
    {"kqqpkq", 0,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], bq = p.men[B][QUEEN][0], wp = p.men[W][PAWN][0];
         int q1 = p.men[W][QUEEN][0], q2 = p.men[W][QUEEN][1];
         int64_t pair =
             PairNumber(Numbered(KIND_QUEEN, bk, wk, q1), Numbered(KIND_QUEEN, bk, wk, q2));
         int64_t block = tripleOffsets[OFFSETS_PAWN][KIND_PAWN][KIND_QUEEN][KIND_QUEEN]
                             .offsets[pawnKingPairIndex[wk][bk]] +
                         Numbered(KIND_PAWN, bk, wk, wp) + pair * Usable(KIND_PAWN, bk, wk);
         return block * 59 + bq - Below(bq, {wk, bk, wp, q1, q2});
     }},
    {"kqqkqp", 0,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], bq = p.men[B][QUEEN][0], bp = p.men[B][PAWN][0];
         int q1 = p.men[W][QUEEN][0], q2 = p.men[W][QUEEN][1];
         int64_t block =
             pairOffsets[OFFSETS_PAWN][KIND_QUEEN][KIND_QUEEN].offsets[pawnKingPairIndex[wk][bk]] +
             PairNumber(Numbered(KIND_QUEEN, bk, wk, q1), Numbered(KIND_QUEEN, bk, wk, q2));
         return block * 2832 + (bp - 8) * 59 + bq - Below(bq, {wk, bk, q1, q2, bp});
     }},
    // Two single pieces trailing a block of pawns: the lower kind first.
    {"kqrkpp", 1,
     [](const Placement &p) {
         int wk = p.king[W], bk = p.king[B], q = p.men[W][QUEEN][0], r = p.men[W][ROOK][0];
         int p1 = p.men[B][PAWN][0], p2 = p.men[B][PAWN][1];
         int64_t block = pairOffsets[OFFSETS_PAWN][KIND_PAWN][KIND_PAWN]
                             .offsets[pawnKingPairIndex[bk ^ 56][wk ^ 56]] +
                         PairNumber(Numbered(KIND_PAWN, wk ^ 56, bk ^ 56, p1 ^ 56),
                                    Numbered(KIND_PAWN, wk ^ 56, bk ^ 56, p2 ^ 56));
         return (block * 60 + r - Below(r, {wk, bk, p1, p2})) * 59 + q -
                Below(q, {wk, bk, p1, p2, r});
     }},
};

TEST_F(IndexFunctions, WorkedFormsHold) {
    std::mt19937_64 rng(3);
    for (const WorkedForm &form : WORKED_FORMS) {
        Table table = TableOf(IdOf(form.name));
        for (int n = 0; n < 300; n++) {
            Placement p = RandomLegalPlacement(table, form.side, &rng);
            int king = p.king[form.side];
            if (table.material.hasPawns ? !InPawnFrame(king) : !InPawnlessFrame(king)) {
                n--;
                continue;
            }
            ASSERT_EQ(IndexOf(table, form.side, p), form.expected(p))
                << form.name << " side " << form.side;
        }
    }
}

// Positions right after a double step of the other side, with a pawn of
// the mover beside the pawn that moved.
bool MakeEnPassant(const Table &table, int side, int stepperFile, int capturerSide, Placement *p) {
    int rank = side == WHITE ? 4 : 3;
    int capturerFile = stepperFile + capturerSide;
    if (capturerFile < 0 || capturerFile > 7)
        return false;
    int stepper = rank * 8 + stepperFile;
    p->men[1 - side][PAWN][0] = stepper;
    p->men[side][PAWN][0] = rank * 8 + capturerFile;
    p->ep = side == WHITE ? stepper + 8 : stepper - 8;
    int origin = side == WHITE ? stepper + 16 : stepper - 16;
    int board[64];
    FillBoard(*p, table.material, board);
    return board[p->ep] == 0 && board[origin] == 0 && PlacementIsLegal(*p, table.material, side);
}

void CheckEnPassantNumber(const Table &table, int side, const Placement &p,
                          std::unordered_map<int64_t, uint64_t> *keyAt) {
    int64_t index = IndexOf(table, side, p);
    ASSERT_GE(index, OrdinaryIndexRange(table.id, side)) << tablebases[table.id].name;
    ASSERT_LT(index, tablebases[table.id].positionCount[side]) << tablebases[table.id].name;
    uint64_t key = CanonicalKey(p, table.material, side);
    auto [slot, fresh] = keyAt->emplace(index, key);
    ASSERT_TRUE(fresh || slot->second == key) << tablebases[table.id].name << " side " << side;
    ASSERT_EQ(IndexOf(table, side, Transform(p, table.material, 7, false)), index);
    Placement turned = Transform(p, table.material, 0x38, false);
    PieceSquares white, black;
    ToRecords(turned, table.material, &white, &black);
    ASSERT_EQ(tablebases[table.id].indexFunction[side](&white, &black, turned.ep, 1), index);
}

TEST_F(IndexFunctions, EnPassantPlacementsOfKpkpAreNumberedOneToOne) {
    Table table = TableOf(IdOf("kpkp"));
    for (int side = 0; side < 2; side++) {
        std::unordered_map<int64_t, uint64_t> keyAt;
        Placement p;
        for (int wk = 0; wk < 64; wk += SAMPLE_DIVISOR == 1 ? 1 : 3) {
            for (int bk = 0; bk < 64; bk++) {
                for (int file = 0; file < 8; file++) {
                    for (int capturerSide = -1; capturerSide <= 1; capturerSide += 2) {
                        p.king[WHITE] = wk;
                        p.king[BLACK] = bk;
                        if (!MakeEnPassant(table, side, file, capturerSide, &p))
                            continue;
                        CheckEnPassantNumber(table, side, p, &keyAt);
                        if (HasFatalFailure())
                            return;
                    }
                }
            }
        }
    }
}

TEST_F(IndexFunctions, SampledEnPassantPlacementsAreNumberedOneToOne) {
    std::mt19937_64 rng(5);
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        Table table = TableOf(id);
        if (EnPassantIndexRange(id, 0) == 0)
            continue;
        int nSamples = (Men(table) == 5 ? 3000 : 600) / SAMPLE_DIVISOR;
        for (int side = 0; side < 2; side++) {
            std::unordered_map<int64_t, uint64_t> keyAt;
            for (int n = 0; n < nSamples;) {
                Placement p = RandomPlacement(table.material, &rng);
                if (!MakeEnPassant(table, side, static_cast<int>(rng() % 8), rng() % 2 ? 1 : -1,
                                   &p))
                    continue;
                CheckEnPassantNumber(table, side, p, &keyAt);
                if (HasFatalFailure())
                    return;
                n++;
            }
        }
    }
}

TEST_F(IndexFunctions, DiagonalKingsDecideTheTransposition) {
    Table krk = TableOf(IdOf("krk"));
    Placement p;
    p.ep = TB_NO_SQUARE;
    // Both kings on the diagonal (b2, d4): the image across it is another
    // number.
    p.king[WHITE] = 9;
    p.king[BLACK] = 27;
    p.men[WHITE][ROOK][0] = 6;
    EXPECT_NE(IndexOf(krk, 0, p), IndexOf(krk, 0, Transform(p, krk.material, 0, true)));
    // The other king above the diagonal (b5): transposed first, so the
    // image shares the number.
    p.king[BLACK] = 33;
    EXPECT_EQ(IndexOf(krk, 0, p), IndexOf(krk, 0, Transform(p, krk.material, 0, true)));
}

}  // namespace
