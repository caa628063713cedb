// Pawn terms of the full evaluation: the pawn scan with its per-file
// records and flag bytes, the passed-pawn runs, the isolated-pawn tables
// and the pawn map entries of the square pass. Flag bytes are written on
// real board squares only.
#include "engine/eval_terms.h"
#include "engine/module_state.h"

static void MarkFlag(SideRecord *side, int square, uint8_t bit) {
    if (SquareIsOnBoard(square))
        side->eval.pawnFlags[square] |= bit;
}

static void ResetPawnFiles(EvalWorkArea *area) {
    for (int i = 0; i < 10; i++) {
        area->pawnFiles[1][i] = {7, 0, 0, 7};
        area->pawnFiles[0][i] = {0, 7, 7, 0};
    }
    area->whiteFrontRank = 0;
    area->blackFrontRank = 7;
}

static int Min(int a, int b) {
    return a < b ? a : b;
}
static int Max(int a, int b) {
    return a > b ? a : b;
}

static void ScanWhitePawn(Position *pos, int s, int *lowFile, int *highFile) {
    EvalWorkArea *area = &pos->evalArea;
    SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    int r = RankOf(s), f = FileOf(s);
    MarkFlag(white, s, PAWN_CONTROL);
    MarkFlag(white, s + 15, PAWN_CONTROL);
    MarkFlag(white, s + 17, PAWN_CONTROL);
    MarkFlag(black, s + 15, PAWN_EXPOSED);
    MarkFlag(black, s + 17, PAWN_EXPOSED);
    PawnFileRecord &own = PawnFile(area, WHITE, f);
    own.rearRank = Min(own.rearRank, r);
    own.frontRank = Max(own.frontRank, r);
    own.passedLimit = Max(own.passedLimit, r);
    for (int g = f - 1; g <= f + 1; g++) {
        PawnFileRecord &other = PawnFile(area, BLACK, g);
        int limit = g == f ? r : r + 1;
        other.passedLimit = Min(other.passedLimit, limit);
        other.blockLimit = Max(other.blockLimit, limit);
    }
    area->whiteFrontRank = Max(area->whiteFrontRank, r);
    *lowFile = Min(*lowFile, f);
    *highFile = Max(*highFile, f);
}

static void ScanBlackPawn(Position *pos, int s, int *lowFile, int *highFile) {
    EvalWorkArea *area = &pos->evalArea;
    SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    int r = RankOf(s), f = FileOf(s);
    MarkFlag(black, s, PAWN_CONTROL);
    MarkFlag(black, s - 15, PAWN_CONTROL);
    MarkFlag(black, s - 17, PAWN_CONTROL);
    MarkFlag(white, s - 15, PAWN_EXPOSED);
    MarkFlag(white, s - 17, PAWN_EXPOSED);
    PawnFileRecord &own = PawnFile(area, BLACK, f);
    own.rearRank = Max(own.rearRank, r);
    own.frontRank = Min(own.frontRank, r);
    own.passedLimit = Min(own.passedLimit, r);
    for (int g = f - 1; g <= f + 1; g++) {
        PawnFileRecord &other = PawnFile(area, WHITE, g);
        int limit = g == f ? r : r - 1;
        other.passedLimit = Max(other.passedLimit, limit);
        other.blockLimit = Min(other.blockLimit, limit);
    }
    area->blackFrontRank = Min(area->blackFrontRank, r);
    *lowFile = Min(*lowFile, f);
    *highFile = Max(*highFile, f);
}

// Runs beside and in front of each side's most advanced pawn of a file,
// laid into the other side's pawn square table.
static void LayPassedPawnRuns(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    const int32_t *table = area->passedPawnTable;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        for (int f = 0; f < 8; f++) {
            if (PawnsOnFile(SideOf(pos, colour), f) == 0)
                continue;
            int r = PawnFile(area, colour, f).frontRank;
            int v = (table[colour > 0 ? r : 7 - r] * 37 + 32) >> 6;
            bool ahead[3];
            int nAhead = 0;
            for (int i = 0; i < 3; i++) {
                int rear = PawnFile(area, -colour, f - 1 + i).rearRank;
                ahead[i] = colour > 0 ? rear > r : rear < r;
                nAhead += ahead[i];
            }
            if (nAhead != 1)
                continue;
            int step = colour > 0 ? 1 : -1;  // the run starts beyond the pawn
            if (ahead[0])
                AddFileRun(pos, -colour, r + step, f - 1, v);
            else if (ahead[2])
                AddFileRun(pos, -colour, r + step, f + 1, v);
            else
                AddFileRun(pos, -colour, r, f, -v);
        }
    }
}

// Bit 1: squares a pawn attacks from its square or its next two advances.
// Bit 4: up to seven squares from a bit-1 square back toward the own side.
// Every file's bit-1 walk runs before any bit-4 walk: a pawn lays bit 1 on
// its neighbour files, so a bit-4 walk must see the marks of both sides'
// neighbours, or the result would depend on the order of the files.
// walkToBackRank: whether the bit-4 walk reaches the side's own back rank;
// the endgame scan stops one rank short.
void MarkAttackSpans(Position *pos, int colour, int walkToBackRank) {
    SideRecord *own = SideOf(pos, colour), *enemy = SideOf(pos, -colour);
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    for (int f = 0; f < 8; f++) {
        int counter = 0;
        for (int i = 1; i <= 6; i++) {
            int q = MakeSquare(f, colour > 0 ? i : 7 - i);
            if (enemy->eval.pawnFlags[q] & PAWN_CONTROL)
                counter = 0;
            if (CodeAt(pos, q) == ownPawn)
                counter = 3;
            if (--counter >= 0) {
                MarkFlag(own, q + 16 * colour - 1, PAWN_SPAN);
                MarkFlag(own, q + 16 * colour + 1, PAWN_SPAN);
            }
        }
    }
    for (int f = 0; f < 8; f++) {
        int counter = 0;
        for (int i = 0; i <= (walkToBackRank ? 7 : 6); i++) {
            int q = MakeSquare(f, colour > 0 ? 7 - i : i);
            if (enemy->eval.pawnFlags[q] & PAWN_CONTROL)
                counter = 0;
            if (own->eval.pawnFlags[q] & PAWN_SPAN)
                counter = 7;
            if (--counter >= 0)
                own->eval.pawnFlags[q] |= PAWN_EXPOSED;
        }
    }
}

void ScanPawnLists(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    ResetPawnFiles(area);
    int lowFile = 8, highFile = -1;
    FOR_EACH_MAN(pos, SideOf(pos, WHITE), man)
    if (man->kind == KIND_PAWN)
        ScanWhitePawn(pos, man->square, &lowFile, &highFile);
    FOR_EACH_MAN(pos, SideOf(pos, BLACK), man)
    if (man->kind == KIND_PAWN)
        ScanBlackPawn(pos, man->square, &lowFile, &highFile);
    area->pawnSpan = highFile - lowFile;
}

void ScanPawns(Position *pos) {
    ScanPawnLists(pos);
    LayPassedPawnRuns(pos);
    MarkAttackSpans(pos, WHITE, 1);
    MarkAttackSpans(pos, BLACK, 1);
}

void BuildPawnPenaltyTables(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int q = area->activeKings ? 2 : 1;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int c = SideIndex(colour);
        int enemyRooks = KindCount(pos, colour > 0 ? BLACK_ROOK : WHITE_ROOK);
        for (int f = 0; f < 8; f++) {
            int single = pawnStructure20a, multi = 2 * q * pawnStructure50a;
            int neighbour = pawnStructure50b;
            if (PawnsOnFile(SideOf(pos, -colour), f) == 0 && enemyRooks > 0) {
                single += q * pawnStructure20b;
                neighbour += q * pawnStructure20b;
                multi += 2 * q * pawnStructure20a;
            }
            MapSet(&area->isolatedSingle[c][f], single);
            MapSet(&area->isolatedMulti[c][f], multi);
            MapSet(&area->neighbourPenalty[c][f], neighbour);
        }
    }
}

static bool MiddlegameQueens(const Position *pos) {
    return pos->evalArea.queensOnBoard && pos->pieceMaterial >= QueenMaterialThreshold();
}

int SpaceWeight(const Position *pos) {
    const EvalWorkArea *area = &pos->evalArea;
    int w =
        area->activeKings ? (area->oppositeBishops ? 6 : 12) : (area->contemptScale * 22 + 47) / 94;
    return ScaledWeight(w, settings.Space_value_pct, 100);
}

// Items 1 and 2 for a passed square of one colour.
static void AddPassedSquare(Position *pos, int s, int colour) {
    EvalWorkArea *area = &pos->evalArea;
    SideRecord *own = SideOf(pos, colour);
    int r = RankOf(s), f = FileOf(s), rr = colour > 0 ? r : 7 - r;
    int t = area->passedPawnTable[rr];
    int16_t *pawn = &area->pawnMap[SplitIndex(s, colour)];
    MapAdd(pawn, t);
    if (rr >= 3)
        own->eval.pawnFlags[s] |= PAWN_PASSED_4;
    if (own->eval.pawnFlags[s] & PAWN_EXPOSED)
        MapAdd(pawn, passedPawn8);
    if (f >= 2 && f <= 5)
        MapAdd(pawn, -2 * passedPawn7);
    int blockFile = f == 0 ? 1 : (f == 7 ? 6 : f);
    if (MiddlegameQueens(pos) && PawnsOnFile(SideOf(pos, -colour), blockFile) > 0)
        MapAdd(pawn, -((t * 16 + 32) >> 6));
    int e = (t * 24 + 32) >> 6;
    int front = s + 16 * colour;
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    if (CodeAt(pos, s) == ownPawn) {
        int far = MiddlegameQueens(pos) ? endgameKing16 / 2 : endgameKing16;
        for (int q = 0; q < 128; q++) {
            if (!SquareIsOnBoard(q))
                continue;
            int dr = (RankOf(q) - r) * colour, df = FileOf(q) - f;
            df = df < 0 ? -df : df;
            if (rr < 4 || (df <= 7 - rr && dr > -2)) {
                if (dr > 0 && df < 2) {
                    MapAdd(&area->kingMap[SplitIndex(q, -colour)], e);
                    if (!MiddlegameQueens(pos))
                        MapAdd(&area->kingMap[SplitIndex(q, colour)], endgameKing8a);
                }
            } else {
                MapAdd(&area->kingMap[SplitIndex(q, -colour)], -far);
            }
        }
        if (SquareIsOnBoard(front)) {
            MapAdd(&area->knightMap[SplitIndex(front, -colour)], e);
            MapAdd(&area->bishopMap[SplitIndex(front, -colour)], e);
        }
    } else if (rr < 7) {
        int code = CodeAt(pos, front);
        int kind = BoardAt(pos, front)->kind;
        bool enemyMan = BoardAt(pos, front)->colour == -colour;
        if (enemyMan && (kind == KIND_BISHOP || kind == KIND_KNIGHT || kind == KIND_PAWN) &&
            code != EMPTY_CODE)
            MapAdd(pawn, -e);
    }
}

// Pawn-map items of the square pass for square s, both colours.
void AddPawnMapEntries(Position *pos, int s, int castleFlags) {
    EvalWorkArea *area = &pos->evalArea;
    int r = RankOf(s), f = FileOf(s);
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        SideRecord *own = SideOf(pos, colour);
        int rr = colour > 0 ? r : 7 - r;
        int16_t *pawn = &area->pawnMap[SplitIndex(s, colour)];
        if (rr >= 2 && rr <= 6)
            MapAdd(pawn, ((rr - 1) * area->spaceWeight) >> 2);
        int limit = PawnFile(area, colour, f).passedLimit;
        if (colour > 0 ? r >= limit : r <= limit)
            AddPassedSquare(pos, s, colour);
        if (!(own->eval.pawnFlags[s] & PAWN_EXPOSED) &&
            (PawnsOnFile(own, f - 1) > 0 || PawnsOnFile(own, f + 1) > 0))
            MapAdd(pawn, -area->neighbourPenalty[SideIndex(colour)][f]);
        if (CodeAt(pos, s) == (colour > 0 ? WHITE_PAWN : BLACK_PAWN) && rr >= 4 && f >= 1 &&
            f <= 6) {
            int amount = (rr >= 5 || ((f == 3 || f == 4) && MiddlegameQueens(pos))) ? 30 : 15;
            MapAdd(&area->pawnMap[SplitIndex(s - 1, colour)], amount);
            MapAdd(&area->pawnMap[SplitIndex(s + 1, colour)], amount);
        }
    }
    if (!(area->squareFlags[s] & SQ_CENTRE))
        return;
    // Chains: the squares from which a pawn would guard a centre square.
    const int whiteSquares[2] = {s - 17, s - 15}, blackSquares[2] = {s + 15, s + 17};
    int whiteExtra = 0, blackExtra = 0;
    if (area->openFiles == 0) {
        uint16_t below = SquareIsOnBoard(s - 16) ? area->squareFlags[s - 16] : 0;
        uint16_t above = SquareIsOnBoard(s + 16) ? area->squareFlags[s + 16] : 0;
        if ((below & SQ_WHITE_FIXED_PAWN) && (below & SQ_CENTRE))
            whiteExtra = HasCastlingRight(castleFlags, WHITE) ? 16 : 8;
        if ((above & SQ_BLACK_FIXED_PAWN) && (above & SQ_CENTRE))
            blackExtra = HasCastlingRight(castleFlags, BLACK) ? 16 : 8;
    }
    for (int i = 0; i < 2; i++) {
        if (SquareIsOnBoard(whiteSquares[i]))
            MapAdd(&area->pawnMap[whiteSquares[i]], 7 + whiteExtra);
        if (SquareIsOnBoard(blackSquares[i]))
            MapAdd(&area->pawnMap[blackSquares[i] + 8], 7 + blackExtra);
    }
}
