// Square maps of the full evaluation: per square and side a primary and a
// secondary value, then the knight and line maps that sum them as a piece
// on each square would see them. Both colours share each split map.
#include "engine/eval_terms.h"
#include "engine/module_state.h"

namespace {

struct SquarePair {
    int32_t primary[2];  // [SideIndex]
    int32_t secondary[2];
};

constexpr int SQUARE_A3 = 0x20, SQUARE_B3 = 0x21, SQUARE_G3 = 0x26, SQUARE_H3 = 0x27;
constexpr int SQUARE_A6 = 0x50, SQUARE_B6 = 0x51, SQUARE_G6 = 0x56, SQUARE_H6 = 0x57;

bool IsPiece(int code, int colour) {  // knight, bishop, rook or queen of the colour
    return colour > 0 ? (code >= WHITE_KNIGHT && code <= WHITE_QUEEN)
                      : (code >= BLACK_QUEEN && code <= BLACK_KNIGHT);
}

bool PieceOrKing(int code, int colour) {
    return IsPiece(code, colour) || code == (colour > 0 ? WHITE_KING : BLACK_KING);
}

// Step 2.1: the pawn attack and damping flags.
uint16_t PawnFlagsOf(const Position *pos, int s, int code) {
    uint16_t flags = 0;
    if (RankOf(s) >= 2) {
        if (CodeAt(pos, s - 15) == WHITE_PAWN || CodeAt(pos, s - 17) == WHITE_PAWN) {
            flags |= SQ_WHITE_PAWN_ATTACK;
            if (PieceOrKing(code, WHITE))
                flags |= SQ_BLACK_DAMP;
        }
    }
    if (RankOf(s) <= 5) {
        if (CodeAt(pos, s + 15) == BLACK_PAWN || CodeAt(pos, s + 17) == BLACK_PAWN) {
            flags |= SQ_BLACK_PAWN_ATTACK;
            if (!(flags & SQ_WHITE_PAWN_ATTACK) && PieceOrKing(code, BLACK))
                flags |= SQ_WHITE_DAMP;
            flags &= uint16_t(~SQ_BLACK_DAMP);
        }
    }
    return flags;
}

// Step 2.7 and 2.8 for one king: the pair the zone square s adds to the
// other side's values, or false when s is not in the zone.
bool KingZonePair(const Position *pos, int colour, int s, int code, uint16_t flags,
                  int32_t *primary, int32_t *secondary) {
    const EvalWorkArea *area = &pos->evalArea;
    int zone = area->kingZoneSquare[SideIndex(colour)];
    uint16_t ownAttack = colour > 0 ? SQ_WHITE_PAWN_ATTACK : SQ_BLACK_PAWN_ATTACK;
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    int enemyPawn = colour > 0 ? BLACK_PAWN : WHITE_PAWN;
    if ((flags & ownAttack) || zone == NO_SQUARE || code == enemyPawn)
        return false;
    const PieceRecord *king = pos->kingByColour[colour + 1];
    int kingSquare = king && PieceIsMan(king) ? king->square : NO_SQUARE;
    int home = colour > 0 ? SQUARE_E1 : SQUARE_E8;
    int dist = SquareDistance(zone, s);
    bool homeKing = kingSquare == home && s == home && zone != home;
    if (!(dist < 2 || (dist == 2 && code == ownPawn) || homeKing))
        return false;
    int back = colour > 0 ? 0 : 0x70;  // rank of the home squares
    bool castled = kingSquare == home && ((zone == back + 6 && (s == back + 5 || s == back + 6)) ||
                                          (zone == back + 1 && s >= back + 1 && s <= back + 3));
    int p, q;
    if (s == kingSquare || castled || homeKing) {
        p = 38, q = 16;
    } else {
        int homeRank = colour > 0 ? 0 : 7;
        const PieceRecord *defender = FirstAttacker(pos, s, colour);
        bool defended = code == ownPawn ||
                        (defender && defender->kind >= KIND_PAWN && defender->kind <= KIND_ROOK);
        if ((RankOf(s) == homeRank && CodeAt(pos, s + 16 * colour) == ownPawn) || defended)
            p = 4, q = 7;
        else
            p = 15, q = 24;
    }
    int f = FileOf(s), r = RankOf(s), up = 16 * colour;
    int ahead = colour > 0 ? 7 - r : r;  // ranks left in front of s
    if (ahead >= 1) {
        bool enemy = false;
        int enemyColour = -colour;
        auto enemyOn = [&](int t) {  // a pawn or piece; the king does not count
            const PieceRecord *m = BoardAt(pos, t);
            return SquareIsOnBoard(t) && m->colour == enemyColour && m->kind != KIND_KING;
        };
        if (colour > 0) {
            enemy = (f >= 2 && enemyOn(s + 14)) || (f >= 1 && enemyOn(s + 15)) || enemyOn(s + 16) ||
                    (f <= 6 && enemyOn(s + 17)) || (f <= 5 && enemyOn(s + 18)) ||
                    (ahead >= 2 && enemyOn(s + 32));
        } else {
            enemy = (f <= 5 && enemyOn(s - 14)) || (f <= 6 && enemyOn(s - 15)) || enemyOn(s - 16) ||
                    (f >= 1 && enemyOn(s - 17)) || (f >= 2 && enemyOn(s - 18)) ||
                    (ahead >= 2 && enemyOn(s - 32));
        }
        if (enemy)
            p += 8;
        auto ownOn = [&](int t) {
            return SquareIsOnBoard(t) && PieceOrKing(CodeAt(pos, t), colour);
        };
        bool covered = ownOn(s + up);
        if (ahead >= 2) {
            covered =
                covered || (colour > 0 ? (f >= 1 && ownOn(s + 31)) : (f <= 6 && ownOn(s - 31)));
            covered = covered || ownOn(s + 2 * up);
            covered =
                covered || (colour > 0 ? (f <= 6 && ownOn(s + 33)) : (f >= 1 && ownOn(s - 33)));
        }
        if (ahead >= 3) {
            covered =
                covered || (colour > 0 ? (f >= 1 && ownOn(s + 47)) : (f <= 6 && ownOn(s - 47)));
            covered = covered || ownOn(s + 3 * up);
            covered =
                covered || (colour > 0 ? (f <= 6 && ownOn(s + 49)) : (f >= 1 && ownOn(s - 49)));
        }
        if (covered)
            p = (p * 51 + 32) >> 6;
    }
    if (!area->fullKingSafety)
        p >>= 1, q >>= 1;
    int64_t k = settings.King_safety_value_pct;
    *primary = ScaledWeight(p, k, 100);
    *secondary = ScaledWeight(q, k, 100);
    return true;
}

// Step 2.3: back ranks and the pawn attack penalty.
void ApplyBackRanks(const Position *pos, int s, uint16_t flags, SquarePair *v) {
    const EvalWorkArea *area = &pos->evalArea;
    bool everywhere = area->activeKings && area->openFiles > 4;
    int r = RankOf(s);
    if (r <= 1 || s == SQUARE_A3 || s == SQUARE_B3 || s == SQUARE_G3 || s == SQUARE_H3 ||
        everywhere)
        v->primary[1] = backRankWeight, v->secondary[1] = 0;
    if (r >= 6 || s == SQUARE_A6 || s == SQUARE_B6 || s == SQUARE_G6 || s == SQUARE_H6 ||
        everywhere)
        v->primary[0] = backRankWeight, v->secondary[0] = 0;
    if (flags & SQ_BLACK_PAWN_ATTACK)
        v->primary[1] -= pawnAttackPenalty, v->secondary[1] = 0;
    if (flags & SQ_WHITE_PAWN_ATTACK)
        v->primary[0] -= pawnAttackPenalty, v->secondary[0] = 0;
}

// Step 2.4: what stands on the square.
void ApplyOccupant(const Position *pos, int s, int code, uint16_t *flags, SquarePair *v) {
    const SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    if (code == WHITE_PAWN) {
        if (!(*flags & SQ_BLACK_PAWN_ATTACK))
            *flags |= SQ_WHITE_FIXED_PAWN;
        *flags |= SQ_WHITE_DAMP | SQ_BLACK_DAMP;
        v->primary[1] = v->secondary[1] = 0;
        if (!(white->eval.pawnFlags[s] & PAWN_EXPOSED))
            v->primary[0] += pawnSquareBonus;
    } else if (code == BLACK_PAWN) {
        if (!(*flags & SQ_WHITE_PAWN_ATTACK))
            *flags |= SQ_BLACK_FIXED_PAWN;
        *flags |= SQ_WHITE_DAMP | SQ_BLACK_DAMP;
        v->primary[0] = v->secondary[0] = 0;
        if (!(black->eval.pawnFlags[s] & PAWN_EXPOSED))
            v->primary[1] += pawnSquareBonus;
    } else if (code == WHITE_KING || code == BLACK_KING) {
        *flags |= SQ_WHITE_DAMP | SQ_BLACK_DAMP;
    } else if (IsPiece(code, WHITE)) {
        if (!(*flags & SQ_BLACK_PAWN_ATTACK))
            *flags |= SQ_WHITE_DAMP;
        if (code == WHITE_QUEEN)
            v->primary[0] += 7;
    } else if (IsPiece(code, BLACK)) {
        if (!(*flags & SQ_WHITE_PAWN_ATTACK))
            *flags |= SQ_BLACK_DAMP;
        if (code == BLACK_QUEEN)
            v->primary[1] += 7;
    }
}

bool IsCentreSquare(int s) {
    return s == 0x33 || s == 0x34 || s == 0x43 || s == 0x44;
}

// Step 2 for one square.
void BuildSquareValues(Position *pos, int s, int32_t base, int32_t secondary, bool closed) {
    EvalWorkArea *area = &pos->evalArea;
    int code = CodeAt(pos, s);
    uint16_t flags = PawnFlagsOf(pos, s, code);
    SquarePair v = {{base, base}, {secondary, secondary}};
    if (!closed)
        ApplyBackRanks(pos, s, flags, &v);
    ApplyOccupant(pos, s, code, &flags, &v);
    for (int i = 0; i < 2; i++)
        if (v.primary[i] < 0)
            v.primary[i] = 0;
    if (area->queensOnBoard && pos->pieceMaterial >= QueenMaterialThreshold() &&
        IsCentreSquare(s)) {
        if (!(flags & SQ_BLACK_FIXED_PAWN))
            v.primary[1] += centreBonus;
        if (!(flags & SQ_WHITE_FIXED_PAWN))
            v.primary[0] += centreBonus;
        flags |= SQ_CENTRE;
    }
    int32_t p, q;
    if (KingZonePair(pos, WHITE, s, code, flags, &p, &q))
        v.primary[0] += p, v.secondary[0] += q;
    if (KingZonePair(pos, BLACK, s, code, flags, &p, &q))
        v.primary[1] += p, v.secondary[1] += q;
    area->squareFlags[s] = flags;
    MapSet(&area->weightMap[s], v.primary[1]);
    MapSet(&area->weightMap[s + 8], v.primary[0]);
    MapSet(&area->totalWeightMap[s], v.primary[1] + v.secondary[1]);
    MapSet(&area->totalWeightMap[s + 8], v.primary[0] + v.secondary[0]);
}

const int KNIGHT_STEPS[8] = {14, -14, 18, -18, 31, -31, 33, -33};

void BuildKnightMap(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    for (int s = 0; s < 128; s++) {
        if (s & 0x88)
            continue;
        int32_t white = 0, black = 0;
        for (int step : KNIGHT_STEPS) {
            int t = s + step;
            if (!SquareIsOnBoard(t))
                continue;
            white += area->totalWeightMap[t];
            black += area->totalWeightMap[t + 8];
        }
        MapSet(&area->knightMap[s], white);
        MapSet(&area->knightMap[s + 8], black);
    }
}

}  // namespace

int AddRayWeights(Position *pos, int fromSquare, int step, int direction, bool damped) {
    EvalWorkArea *area = &pos->evalArea;
    int16_t *lineMap = direction < 4 ? area->rookMap : area->bishopMap;
    int32_t white = 0, black = 0;
    int s = fromSquare;
    while (SquareIsOnBoard(s + step)) {
        int next = s + step;
        uint16_t flags = area->squareFlags[s];
        int32_t w = area->weightMap[s], b = area->weightMap[s + 8];
        if (!(flags & (SQ_WHITE_FIXED_PAWN | SQ_BLACK_FIXED_PAWN))) {
            w += (damped && (flags & SQ_WHITE_DAMP)) ? (white * 54 + 32) >> 6 : white;
            b += (damped && (flags & SQ_BLACK_DAMP)) ? (black * 54 + 32) >> 6 : black;
        }
        MapAdd(&area->queenMap[next], w);
        MapAdd(&area->queenMap[next + 8], b);
        MapAdd(&lineMap[next], w);
        MapAdd(&lineMap[next + 8], b);
        white = w, black = b;
        s = next;
    }
    return s + step;
}

// Direction numbers: 0..3 along ranks and files, 4..7 along diagonals.
static const int RAY_STEPS[8] = {1, -1, 16, -16, 17, -17, 15, -15};

// Every line of one direction walked once: from each square whose square
// behind it (against the step) is off the board.
void WalkRay(Position *pos, int direction, bool damped) {
    int step = RAY_STEPS[direction];
    for (int s = 0; s < 128; s++)
        if (SquareIsOnBoard(s) && !SquareIsOnBoard(s - step))
            AddRayWeights(pos, s, step, direction, damped);
}

static void WalkRays(Position *pos, int firstDirection, int lastDirection) {
    for (int direction = firstDirection; direction <= lastDirection; direction++)
        WalkRay(pos, direction, true);
}

void BuildSquareMaps(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int u = area->fullArmies ? 3 : ((area->pawnSpan <= 5 && area->queensOnBoard) ? 2 : 6);
    bool closed = !area->fullArmies && u == 2;
    int64_t m = settings.Mobility_value_pct;
    int32_t base = ScaledWeight(u, m, 100), secondary = ScaledWeight(6 - u, m, 100);
    for (int s = 0; s < 128; s++)
        if (SquareIsOnBoard(s))
            BuildSquareValues(pos, s, base, secondary, closed);
    if (KindCount(pos, WHITE_KNIGHT) + KindCount(pos, BLACK_KNIGHT) > 0)
        BuildKnightMap(pos);
    int queens = KindCount(pos, WHITE_QUEEN) + KindCount(pos, BLACK_QUEEN);
    if (queens + KindCount(pos, WHITE_ROOK) + KindCount(pos, BLACK_ROOK) > 0)
        WalkRays(pos, 0, 3);
    if (queens + KindCount(pos, WHITE_BISHOP) + KindCount(pos, BLACK_BISHOP) > 0)
        WalkRays(pos, 4, 7);
}

namespace {

struct TrapRule {
    int16_t flagSquares[2];  // both must carry the flag; a second of -1 is unused
    uint16_t flag;
    int8_t mapKind;  // 0 bishop, 1 knight, 2 rook
    int8_t colour;   // whose entry is lowered
    int16_t square;
};

const TrapRule TRAP_RULES[] = {
    {{0x21, -1}, SQ_WHITE_FIXED_PAWN, 0, BLACK, 0x10},    // b3: a2
    {{0x26, -1}, SQ_WHITE_FIXED_PAWN, 0, BLACK, 0x17},    // g3: h2
    {{0x31, -1}, SQ_WHITE_FIXED_PAWN, 0, BLACK, 0x20},    // b4: a3
    {{0x36, -1}, SQ_WHITE_FIXED_PAWN, 0, BLACK, 0x27},    // g4: h3
    {{0x51, -1}, SQ_BLACK_FIXED_PAWN, 0, WHITE, 0x60},    // b6: a7
    {{0x56, -1}, SQ_BLACK_FIXED_PAWN, 0, WHITE, 0x67},    // g6: h7
    {{0x41, -1}, SQ_BLACK_FIXED_PAWN, 0, WHITE, 0x50},    // b5: a6
    {{0x46, -1}, SQ_BLACK_FIXED_PAWN, 0, WHITE, 0x57},    // g5: h6
    {{0x10, -1}, SQ_WHITE_FIXED_PAWN, 1, BLACK, 0x00},    // a2: a1
    {{0x17, -1}, SQ_WHITE_FIXED_PAWN, 1, BLACK, 0x07},    // h2: h1
    {{0x60, -1}, SQ_BLACK_FIXED_PAWN, 1, WHITE, 0x70},    // a7: a8
    {{0x67, -1}, SQ_BLACK_FIXED_PAWN, 1, WHITE, 0x77},    // h7: h8
    {{0x20, 0x11}, SQ_WHITE_FIXED_PAWN, 2, WHITE, 0x10},  // a3 b2: a2
    {{0x27, 0x16}, SQ_WHITE_FIXED_PAWN, 2, WHITE, 0x17},  // h3 g2: h2
    {{0x50, 0x61}, SQ_BLACK_FIXED_PAWN, 2, BLACK, 0x60},  // a6 b7: a7
    {{0x57, 0x66}, SQ_BLACK_FIXED_PAWN, 2, BLACK, 0x67},  // h6 g7: h7
};

}  // namespace

// Shared by both evaluations: the same table, its own amount.
void ApplyTrapRules(Position *pos, int amount) {
    EvalWorkArea *area = &pos->evalArea;
    int16_t *maps[3] = {area->bishopMap, area->knightMap, area->rookMap};
    for (const TrapRule &rule : TRAP_RULES) {
        bool holds =
            (area->squareFlags[rule.flagSquares[0]] & rule.flag) &&
            (rule.flagSquares[1] < 0 || (area->squareFlags[rule.flagSquares[1]] & rule.flag));
        if (holds)
            MapAdd(&maps[rule.mapKind][SplitIndex(rule.square, rule.colour)], -amount);
    }
}

void PenaliseTrappedBishops(Position *pos) {
    ApplyTrapRules(pos, 90);
}

void AddFileRun(Position *pos, int side, int rank, int file, int value) {
    if (file < 0 || file > 7)
        return;
    int first, last;
    if (side > 0) {
        if (rank < 2)
            return;
        first = 1, last = rank - 1;
    } else {
        if (rank > 5)
            return;
        first = rank + 1, last = 6;
    }
    int16_t *table = SideOf(pos, side > 0 ? WHITE : BLACK)->pawnSquareTable;
    for (int r = first; r <= last; r++) {
        int s = MakeSquare(file, r);
        if (value > 0)
            MapAdd(&table[s], value);
        else
            MapAdd(&table[s + 8], -value);
    }
}
