// The endgame evaluation: every man at its endgame value, per-kind square
// tables for king advance, pawn advance, passed pawns, king proximity and
// outposts, drawish material scaled down. EvaluateEndgame wraps the body
// as Evaluate wraps the full evaluation, with a fixed 2-point tempo and
// plain contempt.
#include <cstdlib>

#include "engine/eval_snapshot.h"
#include "engine/eval_terms.h"
#include "engine/evaluate.h"
#include "engine/module_state.h"

namespace {

// White's king-advance table by rank 1..8 (row 0 = rank 1); black reads it
// mirrored top to bottom.
const int8_t KING_ADVANCE[8][8] = {
    {0, 1, 2, 3, 3, 2, 1, 0}, {2, 2, 3, 4, 4, 3, 2, 2}, {2, 3, 4, 5, 5, 4, 3, 2},
    {3, 4, 5, 6, 6, 5, 4, 3}, {4, 5, 6, 7, 7, 6, 5, 4}, {4, 5, 6, 7, 7, 6, 5, 4},
    {3, 4, 5, 6, 6, 5, 4, 3}, {2, 3, 4, 5, 5, 4, 3, 2},
};

struct EndgameMaterial : MaterialCounts {
    bool pieces;       // any knight, bishop, rook or queen on the board
    int32_t balance;   // B
    int32_t material;  // S
    int32_t delta;     // bishop value - knight value
    int32_t h;         // running white-minus-black adjustment
};

EndgameMaterial CountEndgameMaterial(const Position *pos) {
    EndgameMaterial m = {};
    static_cast<MaterialCounts &>(m) = CountMaterial(pos);
    m.pieces = m.wPieces + m.bPieces > 0;
    return m;
}

int BishopColourOf(const Position *pos, int colour) {
    if (KindCount(pos, colour > 0 ? WHITE_BISHOP : BLACK_BISHOP) != 1)
        return -1;
    FOR_EACH_MAN(pos, SideOf(pos, colour), man)
    if (man->kind == KIND_BISHOP)
        return (FileOf(man->square) + RankOf(man->square)) & 1;
    return -1;
}

// Steps 1-4.
void SetUpEndgame(Position *pos, EndgameMaterial *m) {
    EvalWorkArea *area = &pos->evalArea;
    ClearEvalWorkArea(pos);
    LinkEvalSquareTables(pos);
    CountOpenFiles(pos);
    area->queensOnBoard = m->wQ > 0 || m->bQ > 0;
    area->drawishness = 0;
    area->oppositeBishops = 0;
    area->passedPawnTable = passedPawnBonusEndgame;
    PieceKindRecord *k = pos->kinds;
    k[WHITE_KING].effectiveValue = k[BLACK_KING].effectiveValue = k[WHITE_KING].value;
    for (int kind = KIND_PAWN; kind <= KIND_QUEEN; kind++) {
        int extra = (kind == KIND_PAWN && pos->pieceMaterial == 0) ? 47 : 0;
        k[kind].effectiveValue = k[kind].endgameValue + extra;
        k[12 - kind].effectiveValue = k[12 - kind].endgameValue + extra;
    }
    area->bishopColour[1] = BishopColourOf(pos, WHITE);
    area->bishopColour[0] = BishopColourOf(pos, BLACK);
    area->contemptScale = ((m->wP + m->bP + 2 * (m->wPieces + m->bPieces)) * 92 + 22) / 44;
}

// Steps 6-8.
void SetBalanceAndPull(Position *pos, EndgameMaterial *m, unsigned *nodeFlags,
                       int reversibleCount) {
    EvalWorkArea *area = &pos->evalArea;
    const PieceKindRecord *k = pos->kinds;
    m->balance = (m->wN - m->bN) * k[WHITE_KNIGHT].effectiveValue +
                 (m->wR - m->bR) * k[WHITE_ROOK].effectiveValue +
                 (m->wQ - m->bQ) * k[WHITE_QUEEN].effectiveValue +
                 (m->wB - m->bB) * k[WHITE_BISHOP].effectiveValue;
    m->material =
        m->wP * k[WHITE_PAWN].effectiveValue + m->balance - m->bP * k[BLACK_PAWN].effectiveValue;
    m->delta = k[WHITE_BISHOP].effectiveValue - k[WHITE_KNIGHT].effectiveValue;
    if (area->openFiles > 2 || (m->pieces && area->openFiles > 0))
        area->contemptScale -= 9;
    *nodeFlags &= ~unsigned(NO_PROGRESS_PULL_ON);
    if (reversibleCount > 0 && m->wP + m->bP > 0) {
        int64_t n = int64_t(reversibleCount) * (m->pieces ? 10 : 20);
        pos->noProgressPull = ScaledWeight(settings.No_progress_penalty_pct, n, 100);
        *nodeFlags |= NO_PROGRESS_PULL_ON;
    } else {
        pos->noProgressPull = 0;
    }
}

// Step 9.
void BuildFileTables(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int c = SideIndex(colour);
        bool rook = KindCount(pos, colour > 0 ? WHITE_ROOK : BLACK_ROOK) > 0;
        for (int f = 0; f < 8; f++) {
            int32_t a = egPawnStructure1, b = egPawnStructure6, x = 4 * endgameZeroWeight;
            if (rook && PawnsOnFile(SideOf(pos, colour), f) == 0)
                a += egPawnStructure7, b += egPawnStructure7, x += 2 * egPawnStructure7;
            MapSet(&area->fileTableA[c][f], a);
            MapSet(&area->fileTableB[c][f], b);
            MapSet(&area->fileTableC[c][f], x);
        }
    }
}

// Step 13: a lone bishop of the wrong colour for its rook pawns.
bool WrongBishop(const Position *pos, const EndgameMaterial *m, int colour) {
    int ownPieces = colour > 0 ? m->wPieces : m->bPieces;
    int otherPieces = colour > 0 ? m->bPieces : m->wPieces;
    int bishops = colour > 0 ? m->wB : m->bB;
    int pawns = colour > 0 ? m->wP : m->bP;
    if (ownPieces != 1 || bishops != 1 || otherPieces != 0 || pawns == 0)
        return false;
    const SideRecord *own = SideOf(pos, colour);
    int bishopColour = pos->evalArea.bishopColour[SideIndex(colour)];
    int promotionRank = colour > 0 ? 7 : 0;
    for (int file = 0; file <= 7; file += 7) {
        if (PawnsOnFile(own, file) != pawns)
            continue;
        if (((file + promotionRank) & 1) != bishopColour)
            return true;
    }
    return false;
}

// Steps 10-15.
void ClassifyEndgame(Position *pos, EndgameMaterial *m, unsigned nodeFlags) {
    EvalWorkArea *area = &pos->evalArea;
    PieceKindRecord *k = pos->kinds;
    int32_t s = m->material, b = m->balance, d = m->delta, bishop = k[WHITE_BISHOP].effectiveValue;
    if (m->wP <= 1 && s >= -d && b <= bishop) {
        int32_t t = s;
        if (m->wP == 0)
            area->drawishness = 2;
        else
            t = s - 87;
        m->h -= (2 * t) / 3;
        if (m->wP == 1)
            k[WHITE_PAWN].effectiveValue += (2 * t) / 3;
    }
    if (m->bP <= 1 && s <= d && b >= -bishop) {
        int32_t t = s;
        if (m->bP == 0)
            area->drawishness = 2;
        else
            t = s + 87;
        int32_t u = (-2 * t) / 3;
        m->h += u;
        if (m->bP == 1)
            k[BLACK_PAWN].effectiveValue += u;
    }
    if (m->pieces && ((m->bP == 1 && s <= 0 && b >= -d) || (m->wP == 1 && s >= 0 && b <= d)))
        area->drawishness = 2;
    if (m->wB == 1 && m->bB == 1 && area->bishopColour[1] != area->bishopColour[0] && m->wN == 0 &&
        b == 0) {
        area->oppositeBishops = 1;
        area->contemptScale -= 5;
        bool few = m->wP <= 3 && m->bP <= 3 && std::abs(m->wP - m->bP) <= 1;
        if ((m->wPieces == 1 || few) && area->drawishness < 2)
            area->drawishness = area->pawnSpan > (m->wPieces == 1 ? 6 : 2) ? 1 : 2;
    }
    area->contemptScale -= (119 - 17 * area->pawnSpan) / 4;
    if (nodeFlags & NO_PROGRESS_PULL_ON)
        area->contemptScale -= 2;
    if (WrongBishop(pos, m, WHITE) || WrongBishop(pos, m, BLACK))
        area->drawishness = 2;
    if (m->pieces) {
        if ((-d <= b && b <= d && area->pawnSpan < 4 && std::abs(m->wP - m->bP) <= 1) ||
            (m->wP <= 1 && m->bP <= 1))
            if (area->drawishness < 1)
                area->drawishness = 1;
        if (area->openFiles < 3 && m->wP == m->bP && m->wP > 3)
            area->contemptScale -= 8;
    }
    if (m->wB == 2)
        k[WHITE_BISHOP].effectiveValue += 22, m->h -= 22;
    if (m->bB == 2)
        k[BLACK_BISHOP].effectiveValue += 22, m->h += 22;
}

// Step 17.
int PawnFrontCount(const Position *pos) {
    const EvalWorkArea *area = &pos->evalArea;
    if (area->openFiles >= 5 || area->oppositeBishops)
        return 0;
    const SideRecord *white = SideOf(pos, WHITE), *black = SideOf(pos, BLACK);
    int h = 0;
    for (int f = 0; f < 8; f++) {
        for (int r = 1; r <= 3; r++) {
            int s = MakeSquare(f, r);
            if ((area->squareFlags[s] & SQ_BLACK_PAWN_ATTACK) &&
                area->pawnFiles[1][f + 1].frontRank < r && !(white->eval.pawnFlags[s] & PAWN_SPAN))
                h -= 1;
            int t = MakeSquare(f, 7 - r);
            if ((area->squareFlags[t] & SQ_WHITE_PAWN_ATTACK) &&
                area->pawnFiles[0][f + 1].frontRank > 7 - r &&
                !(black->eval.pawnFlags[t] & PAWN_SPAN))
                h += 1;
        }
    }
    return h;
}

bool PawnOn(const Position *pos, int square, int code) {
    return SquareIsOnBoard(square) && CodeAt(pos, square) == code;
}

// A pawn of `code` on `square` that no enemy pawn attacks.
bool FixedPawnOn(const Position *pos, int square, int code) {
    if (!PawnOn(pos, square, code))
        return false;
    int up = code == WHITE_PAWN ? 16 : -16;
    int enemy = code == WHITE_PAWN ? BLACK_PAWN : WHITE_PAWN;
    return !PawnOn(pos, square + up - 1, enemy) && !PawnOn(pos, square + up + 1, enemy);
}

// The defending king on q can no longer catch the pawn on s (pawn endings).
bool OutsidePawnSquare(int s, int q, int colour, int sideToMove) {
    int rr = colour > 0 ? RankOf(s) : 7 - RankOf(s);
    int behind = (RankOf(s) - RankOf(q)) * colour;  // ranks q lies behind the pawn
    int df = std::abs(FileOf(q) - FileOf(s));
    if (sideToMove == colour)
        return behind >= 1 && df > 7 - rr;
    return behind >= 2 && df > 8 - rr;
}

struct PassContext {
    EndgameMaterial *m;
    int side;
    bool pawnEnding;
};

// Step 18, passed squares of one colour.
void AddEndgamePassedSquare(Position *pos, int s, int colour, const PassContext &ctx) {
    EvalWorkArea *area = &pos->evalArea;
    SideRecord *own = SideOf(pos, colour);
    int r = RankOf(s), f = FileOf(s), rr = colour > 0 ? r : 7 - r;
    int32_t t = area->passedPawnTable[rr];
    int16_t *pawn = &area->pawnMap[SplitIndex(s, colour)];
    MapAdd(pawn, t);
    if (rr >= 3)
        own->eval.pawnFlags[s] |= PAWN_PASSED_4;
    if (own->eval.pawnFlags[s] & PAWN_EXPOSED)
        MapAdd(pawn, egPassedPawn25);
    if (f <= 1 || f >= 6) {
        if (ctx.pawnEnding)
            MapAdd(pawn, 10 * egPassedPawn7);
    } else {
        MapAdd(pawn, -egPassedPawn18);
    }
    int32_t p = (t * 36 + 32) >> 6;
    int front = s + 16 * colour;
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    if (CodeAt(pos, s) == ownPawn) {
        for (int q = 0; q < 128; q++) {
            if (!SquareIsOnBoard(q))
                continue;
            int16_t *enemyKing = &area->kingMap[SplitIndex(q, -colour)];
            if (ctx.pawnEnding && OutsidePawnSquare(s, q, colour, ctx.side)) {
                MapAdd(enemyKing, -50);
                continue;
            }
            int ahead = (RankOf(q) - r) * colour, df = std::abs(FileOf(q) - f);
            if (rr >= 4 && (df > 7 - rr || ahead <= -2)) {
                MapAdd(enemyKing, -egKing11);
            } else if (ahead > 0 && df <= 1) {
                MapAdd(enemyKing, p);
                MapAdd(&area->kingMap[SplitIndex(q, colour)],
                       ctx.pawnEnding ? 2 * egKing3 : egKing3);
            }
        }
        MapAdd(&area->knightMap[SplitIndex(front, -colour)], p);
        MapAdd(&area->bishopMap[SplitIndex(front, -colour)], p);
    } else {
        const PieceRecord *blocker = BoardAt(pos, front);
        if (blocker->colour == -colour &&
            (blocker->kind == KIND_PAWN || blocker->kind == KIND_KNIGHT ||
             blocker->kind == KIND_BISHOP))
            MapAdd(pawn, -p);
    }
}

// Step 18 for the middle ranks of one colour.
void AddMiddleRankTerms(Position *pos, int s, int colour, const PassContext &ctx) {
    EvalWorkArea *area = &pos->evalArea;
    int r = RankOf(s), f = FileOf(s), rr = colour > 0 ? r : 7 - r;
    int16_t *pawn = &area->pawnMap[SplitIndex(s, colour)];
    int k = area->spaceWeight;
    if (rr >= 2)
        MapAdd(pawn, ((rr - 1) * k) / 4);
    if (area->drawishness == 0 &&
        (SideOf(pos, -colour)->eval.pawnFlags[s + 16 * colour] & PAWN_CONTROL))
        MapAdd(pawn, 1);
    const PieceRecord *enemyKing = pos->kingByColour[1 - colour];
    int enemyBack = colour > 0 ? 7 : 0;
    if (rr == 6 && enemyKing && PieceIsMan(enemyKing) && RankOf(enemyKing->square) == enemyBack)
        MapAdd(&area->rookMap[SplitIndex(s, colour)], 3);
    int limit = PawnFile(area, colour, f).passedLimit;
    if (colour > 0 ? r >= limit : r <= limit)
        AddEndgamePassedSquare(pos, s, colour, ctx);
}

void AddBishopColourTerms(Position *pos, int s) {
    EvalWorkArea *area = &pos->evalArea;
    int f = FileOf(s), colourOfSquare = (f + RankOf(s)) & 1;
    if (f < 1 || f > 6)
        return;
    if (KindCount(pos, WHITE_BISHOP) == 1) {
        if (colourOfSquare == area->bishopColour[1])
            MapAdd(&area->pawnMap[s], -4), MapAdd(&area->pawnMap[s + 8], 1);
        else
            MapAdd(&area->pawnMap[s], 3);
    }
    if (KindCount(pos, BLACK_BISHOP) == 1) {
        if (colourOfSquare == area->bishopColour[0])
            MapAdd(&area->pawnMap[s + 8], -4), MapAdd(&area->pawnMap[s], 1);
        else
            MapAdd(&area->pawnMap[s + 8], 4), MapAdd(&area->pawnMap[s], -1);
    }
}

// Step 18, the terms on every square and on ranks 3 and up for one colour.
void AddEveryRankTerms(Position *pos, int s, int colour) {
    EvalWorkArea *area = &pos->evalArea;
    const SideRecord *own = SideOf(pos, colour);
    int r = RankOf(s), f = FileOf(s), rr = colour > 0 ? r : 7 - r, up = 16 * colour;
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    int16_t *pawn = &area->pawnMap[SplitIndex(s, colour)];
    if (!(own->eval.pawnFlags[s] & PAWN_EXPOSED) &&
        (PawnsOnFile(own, f - 1) > 0 || PawnsOnFile(own, f + 1) > 0))
        MapAdd(pawn, -area->fileTableA[SideIndex(-colour)][f]);
    if (rr >= 2 && f >= 1 && f <= 6) {
        if (CodeAt(pos, s) == ownPawn && rr >= 4) {
            MapAdd(&area->pawnMap[SplitIndex(s - 1, colour)], rr == 4 ? 16 : 32);
            MapAdd(&area->pawnMap[SplitIndex(s + 1, colour)], rr == 4 ? 16 : 32);
        }
        if (CodeAt(pos, s - up) == ownPawn && !(own->eval.pawnFlags[s] & PAWN_SPAN)) {
            MapAdd(&area->knightMap[SplitIndex(s, -colour)], 2);
            MapAdd(&area->bishopMap[SplitIndex(s, -colour)], 2);
        }
    }
    if (rr >= 2 && !(SideOf(pos, -colour)->eval.pawnFlags[s] & PAWN_SPAN) &&
        (PawnOn(pos, s - up - 1, ownPawn) || PawnOn(pos, s - up + 1, ownPawn))) {
        if (rr >= 3)
            MapAdd(&area->knightMap[SplitIndex(s, colour)], 31);
        int guard = f <= 2 ? s - up + 1 : (f >= 5 ? s - up - 1 : -1);
        if (!(guard >= 0 && SquareIsOnBoard(guard) && FixedPawnOn(pos, guard, ownPawn)))
            MapAdd(&area->bishopMap[SplitIndex(s, colour)], 5);
    }
    const PawnFileRecord &file = PawnFile(area, colour, f);
    bool behind = colour > 0 ? r < file.rearRank : r > file.rearRank;
    bool passedRear =
        colour > 0 ? file.rearRank >= file.passedLimit : file.rearRank <= file.passedLimit;
    if (area->openFiles > 3 && PawnsOnFile(own, f) > 0 && passedRear && behind)
        MapAdd(&area->rookMap[SplitIndex(s, colour)], 42);
    int rim = (r == 0 || r == 7) + (f == 0 || f == 7);
    if (rim)
        MapAdd(&area->knightMap[SplitIndex(s, colour)], -41 * rim);
    if (PawnsOnFile(own, f) > 1)
        MapAdd(pawn, -12);
    if (area->openFiles < 3) {
        bool centre =
            ((r == 3 || r == 4) && f >= 2 && f <= 5) || ((r == 2 || r == 5) && (f == 3 || f == 4));
        if (centre)
            MapAdd(&area->knightMap[SplitIndex(s, colour)], 21);
    }
}

void RunEndgameSquarePass(Position *pos, const PassContext &ctx) {
    EvalWorkArea *area = &pos->evalArea;
    area->spaceWeight = ScaledWeight(settings.Space_value_pct,
                                     (!ctx.m->pieces || area->oppositeBishops) ? 5 : 11, 100);
    for (int s = 0; s < 128; s++) {
        if (!SquareIsOnBoard(s))
            continue;
        int r = RankOf(s), f = FileOf(s);
        MapAdd(&area->kingMap[s], egKing12 * KING_ADVANCE[r][f]);
        MapAdd(&area->kingMap[s + 8], egKing12 * KING_ADVANCE[7 - r][f]);
        if (r == 7)
            MapSet(&area->pawnMap[s], area->queenMap[s] + pos->kinds[WHITE_QUEEN].effectiveValue);
        if (r == 0)
            MapSet(&area->pawnMap[s + 8],
                   area->queenMap[s + 8] + pos->kinds[BLACK_QUEEN].effectiveValue);
        if (r >= 1 && r <= 6) {
            AddMiddleRankTerms(pos, s, WHITE, ctx);
            AddMiddleRankTerms(pos, s, BLACK, ctx);
            AddBishopColourTerms(pos, s);
        }
        AddEveryRankTerms(pos, s, WHITE);
        AddEveryRankTerms(pos, s, BLACK);
    }
}

const int AROUND_PAWN[8] = {1, -1, 16, -16, 17, -17, 15, -15};

// Step 19.
void AddKingProximity(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int32_t pawnValue = pos->kinds[colour > 0 ? WHITE_PAWN : BLACK_PAWN].effectiveValue;
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            if (man->kind != KIND_PAWN)
                continue;
            int s = man->square, r = RankOf(s), rr = colour > 0 ? r : 7 - r;
            int64_t worth = int64_t(area->pawnMap[SplitIndex(s, colour)]) + pawnValue;
            int32_t a = ScaledWeight((worth * egKing15 + 32) >> 6, 1, 1);
            int limit = PawnFile(area, colour, FileOf(s)).passedLimit;
            int32_t d = (colour > 0 ? r >= limit : r <= limit) ? rr * egKing7 : 0;
            if (a < 1 && d < 1)
                continue;
            for (int step : AROUND_PAWN) {
                int q = s + step;
                if (!SquareIsOnBoard(q))
                    continue;
                MapAdd(&area->kingMap[SplitIndex(q, -colour)], a);
                MapAdd(&area->kingMap[SplitIndex(q, colour)], d);
            }
        }
    }
}

// Step 22.
void ScaleEndgame(Position *pos, EndgameMaterial *m, unsigned nodeFlags, int reversibleCount) {
    EvalWorkArea *area = &pos->evalArea;
    const PieceKindRecord *k = pos->kinds;
    bool pull = nodeFlags & NO_PROGRESS_PULL_ON;
    int32_t margin = 2 * k[WHITE_KNIGHT].effectiveValue - k[WHITE_ROOK].effectiveValue;
    if (area->drawishness == 0 && (!pull || m->wP > 3 || m->bP > 3)) {
        if (m->balance >= margin && area->openFiles <= 3)
            area->contemptScale += 23, m->h += 1;
        else if (m->balance <= -margin && area->openFiles < 4)
            area->contemptScale += 23, m->h -= 1;
        return;
    }
    int f = 64;
    if (pull) {
        f = ((100 - reversibleCount) * (area->oppositeBishops ? 11 : 46) + 150) / 100;
        f = f < 0 ? 0 : (f > 64 ? 64 : f);  // a long reversible run must not flip the sign
    }
    if (area->drawishness == 2 && f > 11)
        f = 11;
    if (area->drawishness == 1 && f > 35)
        f = 35;
    m->h = ScaleBy(m->h, f);
    ScaleFileTable(area->fileTableB, f);
    ScaleFileTable(area->fileTableC, f);
    ScaleKindValues(pos, f);
}

// Step 23.
int32_t SumEndgameMen(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int32_t sum = 0;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        const SideRecord *own = SideOf(pos, colour), *enemy = SideOf(pos, -colour);
        int other = SideIndex(-colour);
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            PieceKindRecord *kind = man->kindRecord;
            man->squareTable = kind->squareTable;
            man->effectiveValue = kind->effectiveValue;
            int s = man->square, f = FileOf(s);
            int32_t v = kind->squareTable[s] + kind->effectiveValue;
            if (man->kind == KIND_ROOK && PawnsOnFile(own, f) == 0 && PawnsOnFile(enemy, f) == 0)
                v += area->rookOpenFileBonus;
            man->squareValue = v;
            if (man->kind == KIND_PAWN && PawnsOnFile(own, f - 1) == 0 &&
                PawnsOnFile(own, f + 1) == 0)
                v -= PawnsOnFile(own, f) == 1 ? area->fileTableB[other][f]
                                              : area->fileTableC[other][f] / 2;
            sum += colour > 0 ? v : -v;
        }
    }
    return sum;
}

}  // namespace

int ScoreEndgame(Position *pos, unsigned *nodeFlags, int reversibleCount, int side) {
    EndgameMaterial m = CountEndgameMaterial(pos);
    // 1-9: set-up, pawn scan, balance, no-progress pull, file tables.
    SetUpEndgame(pos, &m);
    ScanPawnFiles(pos);
    SetBalanceAndPull(pos, &m, nodeFlags, reversibleCount);
    BuildFileTables(pos);
    // 10-15: drawish material, opposite bishops, wrong bishop, bishop pair.
    ClassifyEndgame(pos, &m, *nodeFlags);
    // 16-20: maps, square pass, king proximity, trapped pieces.
    if (m.pieces) {
        BuildEndgameSquareMaps(pos);
        AddSliderMaps(pos);
    }
    m.h += PawnFrontCount(pos);
    PassContext ctx = {&m, side, !m.pieces};
    RunEndgameSquarePass(pos, ctx);
    if (m.pieces && m.wP + m.bP > 0)
        AddKingProximity(pos);
    PenaliseTrappedPiecesEndgame(pos);
    // 21-24: tempo, draw scaling, sum, the engine's bare side.
    tempoBase.store(evalNoise.load(std::memory_order_relaxed) + 1, std::memory_order_relaxed);
    ScaleEndgame(pos, &m, *nodeFlags, reversibleCount);
    int32_t h = m.h + SumEndgameMen(pos);
    if (rootSide == WHITE && m.wPieces == 0)
        h -= 30;
    if (rootSide == BLACK && m.bPieces == 0)
        h += 30;
    return h;
}

void EvaluateEndgame(SearchNode *node, int resetSnapshots) {
    Position *pos = node->position;
    EnsureEndgameWeights(pos);
    ApplyBuiltPieceValues(pos);
    if (resetSnapshots)
        ReleaseSnapshots();
    int32_t *flags = &node->castleFlags;
    if (*flags & (CASTLE_WHITE_QUEEN_SIDE | CASTLE_WHITE_KING_SIDE)) {
        if (CodeAt(pos, SQUARE_A1) != WHITE_ROOK)
            *flags &= ~CASTLE_WHITE_QUEEN_SIDE;
        if (CodeAt(pos, SQUARE_H1) != WHITE_ROOK)
            *flags &= ~CASTLE_WHITE_KING_SIDE;
    }
    if (*flags & (CASTLE_BLACK_QUEEN_SIDE | CASTLE_BLACK_KING_SIDE)) {
        if (CodeAt(pos, SQUARE_A8) != BLACK_ROOK)
            *flags &= ~CASTLE_BLACK_QUEEN_SIDE;
        if (CodeAt(pos, SQUARE_H8) != BLACK_ROOK)
            *flags &= ~CASTLE_BLACK_KING_SIDE;
    }
    PieceRecord *hanging = TakeOutHangingMan(node);
    unsigned nodeFlags = unsigned(node->castleFlags);
    int32_t score = ScoreEndgame(pos, &nodeFlags, node->halfMoves, node->side);
    node->castleFlags = int32_t(nodeFlags);
    PutBackHangingMan(pos, hanging);
    evalMargin.store(
        tempoBase.load(std::memory_order_relaxed) - evalNoise.load(std::memory_order_relaxed) - 10,
        std::memory_order_relaxed);
    score += rootSide == WHITE ? -2 : 2;
    if (node->side < 0)
        score = -score;
    score += tempoBase.load(std::memory_order_relaxed) / 2;
    if (node->castleFlags & NO_PROGRESS_PULL_ON)
        score = ApplyNoProgressPull(pos, node->side, score);
    int32_t k = settings.Contempt;
    k = k > WEIGHT_LIMIT ? WEIGHT_LIMIT : (k < -WEIGHT_LIMIT ? -WEIGHT_LIMIT : k);
    node->score = node->side == rootSide ? score + k : score - k;
}
