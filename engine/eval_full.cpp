// The full evaluation: rebuilds every kind's square map and effective
// value, then sums them over the men. Leaves each man's squareValue, the
// kinds' effective values and the maps for make/unmake. White's view.
#include <cstdlib>

#include "engine/eval_terms.h"
#include "engine/evaluate.h"
#include "engine/module_state.h"

namespace {

// Values the material steps share.
struct Balance {
    int32_t pieces;       // B: piece balance in white effective values
    int32_t total;        // T: with the pawns
    int32_t minorMargin;  // m = 2 knights - rook
    int32_t bishopV, knightV;
    int32_t accumulator;  // A
};

void SetEffectiveValues(Position *pos, const MaterialCounts &c) {
    EvalWorkArea *area = &pos->evalArea;
    PieceKindRecord *k = pos->kinds;
    k[WHITE_KING].effectiveValue = k[BLACK_KING].effectiveValue = k[WHITE_KING].value;
    if (area->fullKingSafety) {
        for (int kind = KIND_PAWN; kind <= KIND_QUEEN; kind++)
            k[kind].effectiveValue = k[12 - kind].effectiveValue = k[kind].value;
        area->passedPawnTable = passedPawnBonusStrong;
        return;
    }
    for (int kind : {KIND_PAWN, KIND_ROOK, KIND_QUEEN})
        k[kind].effectiveValue = k[12 - kind].effectiveValue = k[kind].endgameValue;
    k[WHITE_KNIGHT].effectiveValue = k[WHITE_KNIGHT].endgameValue + (c.wQ > 0 ? 6 : 0);
    k[BLACK_KNIGHT].effectiveValue = k[WHITE_KNIGHT].endgameValue + (c.bQ > 0 ? 6 : 0);
    k[WHITE_BISHOP].effectiveValue = k[WHITE_BISHOP].endgameValue + (c.wR > 0 ? 6 : 0);
    k[BLACK_BISHOP].effectiveValue = k[WHITE_BISHOP].endgameValue + (c.bR > 0 ? 6 : 0);
    area->passedPawnTable = area->queensOnBoard ? passedPawnBonusStrong : passedPawnBonus;
}

int LoneBishopColour(const Position *pos, int colour) {
    if (KindCount(pos, colour > 0 ? WHITE_BISHOP : BLACK_BISHOP) != 1)
        return -1;
    FOR_EACH_MAN(pos, SideOf(pos, colour), man)
    if (man->kind == KIND_BISHOP)
        return (FileOf(man->square) + RankOf(man->square)) & 1;
    return -1;
}

// Step 2.
Balance SetUpMaterial(Position *pos, const MaterialCounts &c) {
    EvalWorkArea *area = &pos->evalArea;
    area->queensOnBoard = c.wQ > 0 || c.bQ > 0;
    area->fullKingSafety =
        area->queensOnBoard && c.wR + c.bR >= 2 && c.wPieces > 1 && c.bPieces > 1;
    area->fullArmies = !(c.wPieces + c.wP < 12 || c.bPieces + c.bP < 12);
    SetEffectiveValues(pos, c);
    area->bishopColour[1] = LoneBishopColour(pos, WHITE);
    area->bishopColour[0] = LoneBishopColour(pos, BLACK);
    const PieceKindRecord *k = pos->kinds;
    Balance b = {};
    b.knightV = k[WHITE_KNIGHT].effectiveValue;
    b.bishopV = k[WHITE_BISHOP].effectiveValue;
    b.pieces = (c.wN - c.bN) * b.knightV + (c.wR - c.bR) * k[WHITE_ROOK].effectiveValue +
               (c.wQ - c.bQ) * k[WHITE_QUEEN].effectiveValue + (c.wB - c.bB) * b.bishopV;
    b.minorMargin = 2 * b.knightV - k[WHITE_ROOK].effectiveValue;
    area->oppositeBishops = c.wB == 1 && c.bB == 1 &&
                            area->bishopColour[1] != area->bishopColour[0] && c.wN == 0 &&
                            b.pieces == 0;
    area->contemptScale = ((c.wP + c.bP + 2 * (c.wPieces + c.bPieces)) * 90 + 22) / 44;
    if (c.wQ == c.bQ && c.wR == c.bR && c.wN + c.wB == c.bN + c.bB) {
        area->contemptScale += 2;
    } else {
        area->contemptScale += 8;
        area->imbalanced = 1;
    }
    return b;
}

// Step 4.
void AdjustContemptScale(Position *pos, const MaterialCounts &c, Balance *b, int *castleFlags,
                         int halfMoves) {
    EvalWorkArea *area = &pos->evalArea;
    b->total = pos->kinds[WHITE_PAWN].effectiveValue * c.wP + b->pieces -
               pos->kinds[BLACK_PAWN].effectiveValue * c.bP;
    if (!area->fullKingSafety) {
        area->kingWeight = endgameKing25;
        bool eachSide = (c.wQ == 0 || c.wPieces == 1) && (c.bQ == 0 || c.bPieces == 1);
        if (pos->pieceMaterial < QueenMaterialThreshold() && eachSide) {
            area->activeKings = 1;
            area->kingWeight = area->queensOnBoard ? endgameKing10 / 2 : endgameKing10;
            area->kingRowShift[1] = -16;
            area->kingRowShift[0] = 16;
        }
    } else {
        area->kingWeight = -kingSafety8a;
        if (b->total != 0)
            area->contemptScale += 9;
    }
    if (area->openFiles >= 3)
        area->contemptScale -= 17;
    else if (area->openFiles == 2)
        area->contemptScale -= 7;
    if (area->symmetricFiles && !area->imbalanced && c.wP == c.bP && area->openFiles >= 2 &&
        !area->fullArmies && pos->pieceMaterial >= materialTwoRooksTwoBishops &&
        -b->minorMargin <= b->pieces && b->pieces <= b->minorMargin)
        area->contemptScale -= 5;
    int floor = area->queensOnBoard ? 16 : 8;
    if (area->contemptScale < floor)
        area->contemptScale = floor;
    *castleFlags &= ~NO_PROGRESS_PULL_ON;
    bool middlegame = area->fullKingSafety && area->queensOnBoard &&
                      pos->pieceMaterial >= QueenMaterialThreshold();
    if (halfMoves >= 1 && !middlegame && c.wP + c.bP > 0) {
        pos->noProgressPull =
            ScaledWeight(settings.No_progress_penalty_pct, 10 * int64_t(halfMoves), 100);
        *castleFlags |= NO_PROGRESS_PULL_ON;
    } else {
        pos->noProgressPull = 0;
    }
}

// Step 6, rules 1 and 2: a side short of winning material.
void ShortOfMaterial(Position *pos, const MaterialCounts &c, Balance *b) {
    EvalWorkArea *area = &pos->evalArea;
    int32_t d = b->bishopV - b->knightV, t = b->total;
    if (c.wP < 2 && t >= -d && b->pieces <= b->bishopV) {
        int32_t x = t;
        if (c.wP == 0)
            area->drawishness = 2;
        else
            x = t - 87 * c.wP;
        x = (2 * x) / 3;
        b->accumulator -= x;
        if (c.wP > 0)
            pos->kinds[WHITE_PAWN].effectiveValue += x;
    }
    if (c.bP < 2 && t <= d && b->pieces >= -b->bishopV) {
        int32_t x = t;
        if (c.bP == 0)
            area->drawishness = 2;
        else
            x = t + 87 * c.bP;
        x = (-2 * x) / 3;
        b->accumulator += x;
        if (c.bP > 0)
            pos->kinds[BLACK_PAWN].effectiveValue += x;
    }
}

// Step 6, the drawish classification of material below the middlegame.
void ClassifyDrawish(Position *pos, const MaterialCounts &c, Balance *b, int castleFlags) {
    EvalWorkArea *area = &pos->evalArea;
    int32_t d = b->bishopV - b->knightV, t = b->total, bal = b->pieces, m = b->minorMargin;
    ShortOfMaterial(pos, c, b);
    if ((c.bP == 1 && t <= 0 && bal >= -d) || (c.wP == 1 && t >= 0 && bal <= d))
        area->drawishness = 2;
    if (area->oppositeBishops) {
        if (c.wP < 4 && c.bP < 4 && std::abs(c.wP - c.bP) < 2 && area->drawishness < 2)
            area->drawishness = area->pawnSpan > 2 ? 1 : 2;
        area->contemptScale -= 4;
    }
    area->contemptScale += area->pawnSpan - 7;
    if (castleFlags & NO_PROGRESS_PULL_ON)
        area->contemptScale -= 2;
    if (c.wPieces == 1 && c.bPieces == 1 &&
        ((c.wQ == 1 && c.bR == 1 && c.wP == 0 && c.bP > 0) ||
         (c.bQ == 1 && c.wR == 1 && c.bP == 0 && c.wP > 0)))
        area->drawishness = 2;
    if (-d <= bal && bal <= d && area->pawnSpan < 5 && std::abs(c.wP - c.bP) < 2 &&
        area->drawishness < 1)
        area->drawishness = 1;
    if (c.wP <= (bal <= m ? 2 : 1) && c.bP <= (bal < -m ? 1 : 2) && area->drawishness < 1)
        area->drawishness = 1;
}

void AddBishopPair(Position *pos, const MaterialCounts &c, Balance *b) {
    const EvalWorkArea *area = &pos->evalArea;
    int bonus = (area->queensOnBoard && pos->pieceMaterial >= QueenMaterialThreshold() &&
                 area->fullKingSafety)
                    ? 21
                    : 32;
    if (c.wB == 2) {
        pos->kinds[WHITE_BISHOP].effectiveValue += bonus;
        b->accumulator -= bonus;
    }
    if (c.bB == 2) {
        pos->kinds[BLACK_BISHOP].effectiveValue += bonus;
        b->accumulator += bonus;
    }
}

// Step 11.2: the drawish scale applied to everything the sum reads.
void ScaleEverything(Position *pos, int f, Balance *b) {
    EvalWorkArea *area = &pos->evalArea;
    b->accumulator = ScaleBy(b->accumulator, f);
    ScaleFileTable(area->isolatedSingle, f);
    ScaleFileTable(area->isolatedMulti, f);
    ScaleKindValues(pos, f);
}

// Step 11.1 and 11.2.
void FinalScaling(Position *pos, const MaterialCounts &c, Balance *b, int castleFlags,
                  int halfMoves) {
    EvalWorkArea *area = &pos->evalArea;
    bool pull = castleFlags & NO_PROGRESS_PULL_ON;
    if (area->drawishness == 0 && (!pull || c.wP > 3 || c.bP > 3)) {
        if (b->pieces >= b->minorMargin && area->openFiles < 4) {
            area->contemptScale += 18;
            if (area->openFiles > 0)
                b->accumulator += 3;
        } else if (b->pieces <= -b->minorMargin && area->openFiles < 4) {
            area->contemptScale += 18;
            if (area->openFiles > 0)
                b->accumulator -= 3;
        }
        return;
    }
    int f = 64;
    if (pull && c.wPieces + c.bPieces < 4) {
        f = area->oppositeBishops ? 18 : 37;
        f = ((100 - halfMoves) * f + 150) / 100;
        if (f < 0)  // a long reversible run must not flip the sign
            f = 0;
        if (f > 64)
            f = 64;
    }
    if (area->drawishness > 0) {
        int cap =
            (pos->pieceMaterial < materialTwoRooksTwoBishops || c.wPieces + c.bPieces < 4) ? 7 : 14;
        if (area->contemptScale > cap)
            area->contemptScale = cap;
        if (f > 13)
            f = area->drawishness == 2 ? 13 : (f < 38 ? f : 38);
    }
    ScaleEverything(pos, f, b);
}

// Step 11.3: every man's square value, summed from white's view.
int32_t SumMen(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    area->rookOpenFileBonus = area->openFiles < 4 ? 6 : 0;
    int32_t sum = 0;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        const SideRecord *own = SideOf(pos, colour), *enemy = SideOf(pos, -colour);
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            PieceKindRecord *kind = man->kindRecord;
            man->squareTable = kind->squareTable;
            man->effectiveValue = kind->effectiveValue;
            int s = man->square, f = FileOf(s);
            int32_t v = kind->squareTable[s] + kind->effectiveValue;
            if (man->kind == KIND_ROOK) {
                v = kind->squareTable[s] + pos->kinds[WHITE_ROOK].effectiveValue;
                if (PawnsOnFile(own, f) == 0 && PawnsOnFile(enemy, f) == 0)
                    v += area->rookOpenFileBonus;
            }
            man->squareValue = v;
            if (man->kind == KIND_PAWN && PawnsOnFile(own, f - 1) == 0 &&
                PawnsOnFile(own, f + 1) == 0) {
                int c = SideIndex(colour);
                v -= PawnsOnFile(own, f) == 1 ? area->isolatedSingle[c][f]
                                              : area->isolatedMulti[c][f] / 2;
            }
            sum += colour > 0 ? v : -v;
        }
    }
    return sum;
}

}  // namespace

int EvaluateFull(Position *pos, int *castleFlags, int halfMoves) {
    EvalWorkArea *area = &pos->evalArea;
    ClearEvalWorkArea(pos);
    LinkEvalSquareTables(pos);
    CountOpenFiles(pos);
    MaterialCounts c = CountMaterial(pos);
    Balance b = SetUpMaterial(pos, c);
    ScanPawns(pos);
    AdjustContemptScale(pos, c, &b, castleFlags, halfMoves);
    BuildPawnPenaltyTables(pos);
    if (pos->pieceMaterial < QueenMaterialThreshold())
        ClassifyDrawish(pos, c, &b, *castleFlags);
    if ((area->openFiles == 1 || area->openFiles == 2) && c.wP == c.bP && c.wP > 3)
        area->contemptScale -= 10;
    AddBishopPair(pos, c, &b);
    SetKingShelters(pos, *castleFlags);
    BuildSquareMaps(pos);
    AddSliderPressure(pos);
    b.accumulator += SpaceBehindPawns(pos);
    RunSquarePass(pos, *castleFlags);
    AddEndgameKingPawnTerms(pos);
    b.accumulator += PawnWedgeScore(pos);
    if (!settings.Identify_drawish_positions)
        area->drawishness = 0;
    PenaliseTrappedBishops(pos);
    AddKingSafety(pos, *castleFlags);
    tempoBase.store(evalNoise.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    FinalScaling(pos, c, &b, *castleFlags, halfMoves);
    return b.accumulator + SumMen(pos);
}
