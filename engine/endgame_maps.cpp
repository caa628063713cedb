// Square maps of the endgame evaluation: plain primaries and pawn-target
// totals, knight and line maps without damping, the line corrections of
// the pieces and the trapped-piece corrections. Entries are signed.
#include "engine/eval_terms.h"
#include "engine/module_state.h"

static bool WhitePawnAttacks(const Position *pos, int s) {
    return RankOf(s) >= 2 &&
           (CodeAt(pos, s - 15) == WHITE_PAWN || CodeAt(pos, s - 17) == WHITE_PAWN);
}
static bool BlackPawnAttacks(const Position *pos, int s) {
    return RankOf(s) <= 5 &&
           (CodeAt(pos, s + 15) == BLACK_PAWN || CodeAt(pos, s + 17) == BLACK_PAWN);
}

static void BuildEndgameSquare(Position *pos, int s, int32_t d) {
    EvalWorkArea *area = &pos->evalArea;
    uint16_t flags = 0;
    if (WhitePawnAttacks(pos, s))
        flags |= SQ_WHITE_PAWN_ATTACK;
    if (BlackPawnAttacks(pos, s))
        flags |= SQ_BLACK_PAWN_ATTACK;
    int r = RankOf(s);
    bool wide = area->openFiles > 4;
    int32_t white = d, black = d, whiteTotal = 0, blackTotal = 0;
    if (r <= 1 || s == 0x20 || s == 0x21 || s == 0x26 || s == 0x27 || wide ||
        (flags & SQ_BLACK_PAWN_ATTACK))
        white = 0;
    if (r >= 6 || s == 0x50 || s == 0x51 || s == 0x56 || s == 0x57 || wide ||
        (flags & SQ_WHITE_PAWN_ATTACK))
        black = 0;
    int code = CodeAt(pos, s);
    if (code == WHITE_PAWN) {
        white = 0;
        if (!(flags & SQ_BLACK_PAWN_ATTACK))
            flags |= SQ_WHITE_FIXED_PAWN;
        if (!(SideOf(pos, WHITE)->eval.pawnFlags[s] & PAWN_EXPOSED))
            black += pawnSquareBonusEndgame, blackTotal = pawnSquareBonusEndgame;
    } else if (code == BLACK_PAWN) {
        black = 0;
        if (!(flags & SQ_WHITE_PAWN_ATTACK))
            flags |= SQ_BLACK_FIXED_PAWN;
        if (!(SideOf(pos, BLACK)->eval.pawnFlags[s] & PAWN_EXPOSED))
            white += pawnSquareBonusEndgame, whiteTotal = pawnSquareBonusEndgame;
    }
    area->squareFlags[s] = flags;
    MapSet(&area->weightMap[s], white);
    MapSet(&area->weightMap[s + 8], black);
    MapSet(&area->totalWeightMap[s], whiteTotal);
    MapSet(&area->totalWeightMap[s + 8], blackTotal);
}

void BuildEndgameSquareMaps(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int32_t d = ScaledWeight(settings.Mobility_value_pct, 1, 50);
    for (int s = 0; s < 128; s++)
        if (SquareIsOnBoard(s))
            BuildEndgameSquare(pos, s, d);
    if (KindCount(pos, WHITE_KNIGHT) + KindCount(pos, BLACK_KNIGHT) > 0) {
        static const int knightSteps[8] = {14, -14, 18, -18, 31, -31, 33, -33};
        for (int s = 0; s < 128; s++) {
            if (!SquareIsOnBoard(s))
                continue;
            int32_t white = 0, black = 0;
            for (int step : knightSteps)
                if (SquareIsOnBoard(s + step))
                    white += area->totalWeightMap[s + step],
                        black += area->totalWeightMap[s + step + 8];
            MapSet(&area->knightMap[s], white);
            MapSet(&area->knightMap[s + 8], black);
        }
    }
    int queens = KindCount(pos, WHITE_QUEEN) + KindCount(pos, BLACK_QUEEN);
    int rooks = KindCount(pos, WHITE_ROOK) + KindCount(pos, BLACK_ROOK);
    int bishops = KindCount(pos, WHITE_BISHOP) + KindCount(pos, BLACK_BISHOP);
    for (int direction = 0; direction < 8; direction++) {
        if (direction < 4 ? queens + rooks == 0 : queens + bishops == 0)
            continue;
        WalkRay(pos, direction, false);
    }
}

static int FirstOccupiedFrom(const Position *pos, int from, int step) {
    int t = from + step;
    while (SquareIsOnBoard(t) && SquareIsEmpty(pos, t))
        t += step;
    return t;
}

// The first man along the line from a slider, when it does not attack
// back along it: its square, and the weight of pressing beyond it. A pawn
// weighs 6; a man of lightColour 2; any other 2 on a square the slider's
// own pawns attack, else 4. Returns 0 when there is no such blocker.
static int WeighBlocker(const Position *pos, const PieceRecord *piece, int step, int lightColour,
                        int *blockerSquare) {
    int t = FirstOccupiedFrom(pos, piece->square, step);
    if (!SquareIsOnBoard(t))
        return 0;
    const PieceRecord *blocker = BoardAt(pos, t);
    if (LineMask(piece->square - t) & blocker->attackMask)
        return 0;
    *blockerSquare = t;
    uint16_t ownAttack = piece->colour > 0 ? SQ_WHITE_PAWN_ATTACK : SQ_BLACK_PAWN_ATTACK;
    if (blocker->kind == KIND_PAWN)
        return 6;
    if (blocker->colour == lightColour)
        return 2;
    return (pos->evalArea.squareFlags[t] & ownAttack) ? 2 : 4;
}

// Step 1: the lines a bishop, rook or queen presses beyond its first blocker.
static void PressBeyondBlocker(Position *pos, const PieceRecord *piece, int step) {
    int colour = piece->colour, t;
    int w = WeighBlocker(pos, piece, step, colour, &t);
    if (w == 0)
        return;
    for (int u = t + step; SquareIsOnBoard(u); u += step) {
        const PieceRecord *man = BoardAt(pos, u);
        if (!(man == &pos->emptyRecord || (man->colour == -colour && man->kind > piece->kind)))
            break;
        for (int kind = piece->kind + 1; kind <= KIND_KING; kind++)
            MapAdd(&pos->kinds[colour > 0 ? 12 - kind : kind].squareTable[u], -w);
    }
}

// Step 2: squares behind the first blocker that lower enemy kinds on the
// same line would like to stand on.
static void GuardBeyondBlocker(Position *pos, const PieceRecord *piece, int step) {
    int colour = piece->colour, t;
    int w = WeighBlocker(pos, piece, step, -colour, &t);
    if (w == 0)
        return;
    for (int u = t + step; SquareIsOnBoard(u); u += step) {
        const PieceRecord *man = BoardAt(pos, u);
        for (int kind = KIND_PAWN; kind < piece->kind; kind++) {
            int code = colour > 0 ? 12 - kind : kind;
            PieceKindRecord *record = &pos->kinds[code];
            if ((LineMask(piece->square - u) & record->attackMask) && man->code != code)
                MapAdd(&record->squareTable[u], w);
        }
        if (man != &pos->emptyRecord)
            break;
    }
}

static const int EG_DIAGONALS[4] = {17, -17, 15, -15};

void AddSliderMaps(Position *pos) {
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            int kind = man->kind;
            if (kind == KIND_BISHOP || kind == KIND_ROOK || kind == KIND_QUEEN)
                for (const int32_t *step = man->steps; step <= man->stepsEnd; step++)
                    PressBeyondBlocker(pos, man, *step);
            if (kind == KIND_ROOK)
                for (int step : EG_DIAGONALS)
                    GuardBeyondBlocker(pos, man, step);
            else if (kind == KIND_QUEEN || kind == KIND_KING)
                for (const int32_t *step = man->steps; step <= man->stepsEnd; step++)
                    GuardBeyondBlocker(pos, man, *step);
        }
    }
}

void PenaliseTrappedPiecesEndgame(Position *pos) {
    ApplyTrapRules(pos, 140);
}
