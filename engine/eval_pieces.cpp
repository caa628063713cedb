// Piece terms of the full evaluation: slider pressure along lines, space
// behind the pawns, rooks shut in on the back rank, and the square pass
// that writes every per-square term into the kind maps in a fixed order.
#include "engine/eval_terms.h"

namespace {

// The map of every kind record of `colour` whose kind lies in [low, high].
void AddToKinds(Position *pos, int colour, int lowKind, int highKind, int u, int amount) {
    for (int kind = lowKind; kind <= highKind; kind++) {
        int code = colour > 0 ? kind : 12 - kind;
        MapAdd(&pos->kinds[code].squareTable[u], amount);
    }
}

int FirstOccupied(const Position *pos, int from, int step) {
    int t = from + step;
    while (SquareIsOnBoard(t) && SquareIsEmpty(pos, t))
        t += step;
    return t;
}

void PressAlongLine(Position *pos, const PieceRecord *slider, int step) {
    const EvalWorkArea *area = &pos->evalArea;
    int t = FirstOccupied(pos, slider->square, step);
    if (!SquareIsOnBoard(t))
        return;
    const PieceRecord *target = BoardAt(pos, t);
    if (LineMask(slider->square - t) & target->attackMask)
        return;
    int colour = slider->colour, w;
    uint16_t enemyAttack = colour > 0 ? SQ_BLACK_PAWN_ATTACK : SQ_WHITE_PAWN_ATTACK;
    if (target->kind == KIND_PAWN)
        w = 1;
    else if (target->colour == colour)
        w = area->fullArmies ? 12 : 6;
    else if (!(area->squareFlags[t] & enemyAttack))
        w = 9;
    else
        w = area->fullArmies ? 1 : 3;
    for (int u = t + step; SquareIsOnBoard(u); u += step) {
        AddToKinds(pos, -colour, slider->kind + 1, KIND_KING, u, -w);
        const PieceRecord *man = BoardAt(pos, u);
        if (!(man == &pos->emptyRecord || (man->colour == -colour && man->kind > slider->kind)))
            break;
    }
}

void GuardAlongLine(Position *pos, const PieceRecord *slider, int step) {
    const EvalWorkArea *area = &pos->evalArea;
    int t = FirstOccupied(pos, slider->square, step);
    if (!SquareIsOnBoard(t))
        return;
    const PieceRecord *target = BoardAt(pos, t);
    int colour = slider->colour, w;
    uint16_t ownAttack = colour > 0 ? SQ_WHITE_PAWN_ATTACK : SQ_BLACK_PAWN_ATTACK;
    if (target->kind == KIND_PAWN)
        w = 1;
    else if (target->colour == colour)
        w = !(area->squareFlags[t] & ownAttack) ? 9 : (area->fullArmies ? 1 : 3);
    else
        w = area->fullArmies ? 12 : 6;
    for (int u = t + step; SquareIsOnBoard(u); u += step) {
        const PieceRecord *man = BoardAt(pos, u);
        if (!ManAttacks(pos, target, u)) {
            for (int kind = KIND_PAWN; kind < slider->kind; kind++) {
                int code = -colour > 0 ? kind : 12 - kind;
                const PieceKindRecord *record = &pos->kinds[code];
                if (!(LineMask(slider->square - u) & record->attackMask))
                    continue;
                if (man->code != code)
                    MapAdd(&record->squareTable[u], w);
            }
        }
        if (man != &pos->emptyRecord)
            break;
    }
}

const int DIAGONALS[4] = {17, -17, 15, -15};

}  // namespace

void AddSliderPressure(Position *pos) {
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            if (man->kind != KIND_BISHOP && man->kind != KIND_ROOK && man->kind != KIND_QUEEN)
                continue;
            for (const int32_t *step = man->steps; step <= man->stepsEnd; step++)
                PressAlongLine(pos, man, *step);
            if (man->kind == KIND_ROOK) {
                for (int step : DIAGONALS)
                    GuardAlongLine(pos, man, step);
            } else if (man->kind == KIND_QUEEN) {
                for (const int32_t *step = man->steps; step <= man->stepsEnd; step++)
                    GuardAlongLine(pos, man, *step);
            }
        }
    }
}

int SpaceBehindPawns(const Position *pos) {
    const EvalWorkArea *area = &pos->evalArea;
    if (area->openFiles >= 4 || area->oppositeBishops)
        return 0;
    const SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    int score = 0;
    for (int f = 0; f < 8; f++) {
        for (int k = 1; k <= 3; k++) {
            int ws = MakeSquare(f, k), bs = MakeSquare(f, 7 - k);
            if ((area->squareFlags[ws] & SQ_BLACK_PAWN_ATTACK) &&
                area->pawnFiles[1][f + 1].frontRank < k && !(white->eval.pawnFlags[ws] & PAWN_SPAN))
                score -= 2;
            if ((area->squareFlags[bs] & SQ_WHITE_PAWN_ATTACK) &&
                area->pawnFiles[0][f + 1].frontRank > 7 - k &&
                !(black->eval.pawnFlags[bs] & PAWN_SPAN))
                score += 2;
        }
    }
    return score;
}

// Back-rank files (bit per file) that a side's own rooks shut in.
static int ShutInFiles(const Position *pos, int colour) {
    int rookCode = colour > 0 ? WHITE_ROOK : BLACK_ROOK;
    if (KindCount(pos, rookCode) == 0)
        return 0;
    const SideRecord *own = SideOf(pos, colour);
    int back = colour > 0 ? 0x00 : 0x70;
    int kingLimit = -1, queenLimit = -1;
    const int kingSide[3] = {7, 6, 5}, queenSide[4] = {0, 1, 2, 3};
    for (int f : kingSide) {
        if (CodeAt(pos, back + f) != rookCode)
            continue;
        if (PawnsOnFile(own, f) == 0) {
            kingLimit = -1;
            break;
        }
        kingLimit = f;
    }
    for (int f : queenSide) {
        if (CodeAt(pos, back + f) != rookCode)
            continue;
        if (PawnsOnFile(own, f) == 0) {
            queenLimit = -1;
            break;
        }
        queenLimit = f;
    }
    int files = 0;
    if (kingLimit >= 0)
        for (int f = 4; f < kingLimit; f++)
            files |= 1 << f;
    if (queenLimit >= 0)
        for (int f = queenLimit + 1; f <= 4; f++)
            files |= 1 << f;
    return files;
}

static bool CentralKnightSquare(int s) {
    int r = RankOf(s), f = FileOf(s);
    if (r == 3 || r == 4)
        return f >= 2 && f <= 5;
    return (r == 2 || r == 5) && (f == 3 || f == 4);
}

static bool HasFlag(const EvalWorkArea *area, int square, uint16_t flag) {
    return SquareIsOnBoard(square) && (area->squareFlags[square] & flag);
}

// Items 1 to 5 of the pass.
static void AddKingAndBackRankTerms(Position *pos, int s, int castleFlags, const int shutIn[2]) {
    EvalWorkArea *area = &pos->evalArea;
    int r = RankOf(s), f = FileOf(s);
    MapAdd(&area->kingMap[s], area->kingWeight * KingCentreValue(s + area->kingRowShift[1]));
    MapAdd(&area->kingMap[s + 8], area->kingWeight * KingCentreValue(s + area->kingRowShift[0]));
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int homeRank = colour > 0 ? 0 : 7;
        if (r != homeRank)
            continue;
        int i = SplitIndex(s, colour);
        if (shutIn[SideIndex(colour)] & (1 << f)) {
            MapAdd(&area->knightMap[i], -15);
            MapAdd(&area->bishopMap[i], -15);
            if (!HasCastlingRight(castleFlags, colour))
                MapAdd(&area->kingMap[i], -60);
        }
        int j = SplitIndex(s, -colour);  // the other side promotes here
        MapSet(
            &area->pawnMap[j],
            area->queenMap[j] + pos->kinds[colour > 0 ? BLACK_QUEEN : WHITE_QUEEN].effectiveValue);
    }
    bool storms = area->fullKingSafety ||
                  (area->queensOnBoard && pos->pieceMaterial >= QueenMaterialThreshold());
    uint16_t flags = area->squareFlags[s];
    if (storms) {
        int bz = area->kingZoneSquare[0], wz = area->kingZoneSquare[1];
        bool blackOk = (flags & SQ_BLACK_PAWN_ATTACK) && !(flags & SQ_WHITE_PAWN_ATTACK) &&
                       !HasCastlingRight(castleFlags, BLACK);
        bool whiteOk = (flags & SQ_WHITE_PAWN_ATTACK) && !(flags & SQ_BLACK_PAWN_ATTACK) &&
                       !HasCastlingRight(castleFlags, WHITE);
        if (blackOk && ((bz == 0x71 && (s == 0x40 || s == 0x50 || s == 0x51)) ||
                        (bz == 0x76 && (s == 0x47 || s == 0x56 || s == 0x57))))
            MapAdd(&area->pawnMap[s + 8], 6);
        if (whiteOk && ((wz == 0x01 && (s == 0x20 || s == 0x21 || s == 0x30)) ||
                        (wz == 0x06 && (s == 0x26 || s == 0x27 || s == 0x37))))
            MapAdd(&area->pawnMap[s], 6);
    }
    if (f >= 1 && f <= 6) {
        int colourOfSquare = (f + r) & 1;
        if (KindCount(pos, WHITE_BISHOP) == 1) {
            if (colourOfSquare == area->bishopColour[1]) {
                MapAdd(&area->pawnMap[s], -4);
                MapAdd(&area->pawnMap[s + 8], 1);
            } else {
                MapAdd(&area->pawnMap[s], 3);
            }
        }
        if (KindCount(pos, BLACK_BISHOP) == 1) {
            if (colourOfSquare == area->bishopColour[0]) {
                MapAdd(&area->pawnMap[s + 8], -4);
                MapAdd(&area->pawnMap[s], 1);
            } else {
                MapAdd(&area->pawnMap[s + 8], 4);
                MapAdd(&area->pawnMap[s], -1);
            }
        }
    }
    const PieceRecord *whiteKing = pos->kingByColour[2], *blackKing = pos->kingByColour[0];
    if (r == 1 && whiteKing && PieceIsMan(whiteKing) && RankOf(whiteKing->square) == 0)
        MapAdd(&area->rookMap[s + 8], 22);
    if (r == 6 && blackKing && PieceIsMan(blackKing) && RankOf(blackKing->square) == 7)
        MapAdd(&area->rookMap[s], 22);
}

// Items 6 to 10 of the pass.
static void AddMinorPieceTerms(Position *pos, int s, int castleFlags) {
    EvalWorkArea *area = &pos->evalArea;
    int r = RankOf(s), f = FileOf(s);
    const SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    if (!area->fullKingSafety) {
        if (PawnsOnFile(white, f) > 1)
            MapAdd(&area->pawnMap[s], -9);
        if (PawnsOnFile(black, f) > 1)
            MapAdd(&area->pawnMap[s + 8], -9);
    }
    if (area->openFiles < 3 && CentralKnightSquare(s)) {
        MapAdd(&area->knightMap[s], 28);
        MapAdd(&area->knightMap[s + 8], 28);
    }
    if (f >= 1 && f <= 6) {
        if (r <= 6 && CodeAt(pos, s + 16) == BLACK_PAWN &&
            !(black->eval.pawnFlags[s] & PAWN_SPAN)) {
            MapAdd(&area->knightMap[s], 14);
            MapAdd(&area->bishopMap[s], 14);
        }
        if (r >= 1 && CodeAt(pos, s - 16) == WHITE_PAWN &&
            !(white->eval.pawnFlags[s] & PAWN_SPAN)) {
            MapAdd(&area->knightMap[s + 8], 14);
            MapAdd(&area->bishopMap[s + 8], 14);
        }
    }
    uint16_t flags = area->squareFlags[s];
    int bishopOutpost = area->fullArmies ? 9 : 19;
    if (!(white->eval.pawnFlags[s] & PAWN_SPAN) && (flags & SQ_BLACK_PAWN_ATTACK)) {
        if (r <= 4)
            MapAdd(&area->knightMap[s + 8], 16);
        if (!((f <= 2 && HasFlag(area, s + 17, SQ_BLACK_FIXED_PAWN)) ||
              (f >= 5 && HasFlag(area, s + 15, SQ_BLACK_FIXED_PAWN))))
            MapAdd(&area->bishopMap[s + 8], bishopOutpost);
    }
    if (!(black->eval.pawnFlags[s] & PAWN_SPAN) && (flags & SQ_WHITE_PAWN_ATTACK)) {
        if (r >= 3)
            MapAdd(&area->knightMap[s], 16);
        if (!((f <= 2 && HasFlag(area, s - 15, SQ_WHITE_FIXED_PAWN)) ||
              (f >= 5 && HasFlag(area, s - 17, SQ_WHITE_FIXED_PAWN))))
            MapAdd(&area->bishopMap[s], bishopOutpost);
    }
    int rim = (castleFlags & CASTLE_ALL) ? 11 : 23;
    int times = (r == 0 || r == 7) + (f == 0 || f == 7);
    if (times) {
        MapAdd(&area->knightMap[s], -rim * times);
        MapAdd(&area->knightMap[s + 8], -rim * times);
    }
}

// Item 13: rooks behind the rearmost pawn of a passed file.
static void AddRookBehindPassedPawn(Position *pos, int s) {
    EvalWorkArea *area = &pos->evalArea;
    int r = RankOf(s), f = FileOf(s);
    const PawnFileRecord &w = area->pawnFiles[1][f + 1], &b = area->pawnFiles[0][f + 1];
    if (PawnsOnFile(SideOf(pos, WHITE), f) > 0 && w.rearRank >= w.passedLimit && r < w.rearRank)
        MapAdd(&area->rookMap[s], 35);
    if (PawnsOnFile(SideOf(pos, BLACK), f) > 0 && b.rearRank <= b.passedLimit && r > b.rearRank)
        MapAdd(&area->rookMap[s + 8], 35);
}

void RunSquarePass(Position *pos, int castleFlags) {
    const int shutIn[2] = {ShutInFiles(pos, BLACK), ShutInFiles(pos, WHITE)};
    bool rooksBehind =
        pos->pieceMaterial < materialTwoRooksTwoBishops && pos->evalArea.openFiles >= 4;
    pos->evalArea.spaceWeight = SpaceWeight(pos);
    for (int s = 0; s < 128; s++) {
        if (!SquareIsOnBoard(s))
            continue;
        AddKingAndBackRankTerms(pos, s, castleFlags, shutIn);
        AddMinorPieceTerms(pos, s, castleFlags);
        AddPawnMapEntries(pos, s, castleFlags);
        AddKingZoneEntries(pos, s);
        if (rooksBehind)
            AddRookBehindPassedPawn(pos, s);
    }
}
