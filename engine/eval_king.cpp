// King terms of the full evaluation: shelter squares, the king zone of the
// square pass, king proximity to pawns in endings, pawn wedges, shelter and
// storm files and the castling-rights entry. Writes skip squares off the
// board, judged from the real square before black's map offset.
#include "engine/eval_terms.h"
#include "engine/module_state.h"

static int ShelterSquare(const Position *pos, int colour, int castleFlags) {
    if (castleFlags & (colour > 0 ? CASTLE_WHITE_KING_SIDE : CASTLE_BLACK_KING_SIDE))
        return colour > 0 ? SQUARE_G1 : 0x76;
    const PieceRecord *king = pos->kingByColour[colour + 1];
    if (!king || !PieceIsMan(king) || !SquareIsOnBoard(king->square))
        return NO_SQUARE;
    int s = king->square;
    int home = colour > 0 ? 0x00 : 0x70, next = colour > 0 ? 0x10 : 0x60;
    int f = FileOf(s);
    bool homeRanks = (s & 0xF0) == home || (s & 0xF0) == next;
    if (homeRanks && (f == 5 || f == 7 || (f == 6 && (s & 0xF0) == next)))
        return home + 6;
    if (homeRanks && (f == 0 || f == 2 || (f == 1 && (s & 0xF0) == next)))
        return home + 1;
    return s;
}

void SetKingShelters(Position *pos, int castleFlags) {
    EvalWorkArea *area = &pos->evalArea;
    bool evaluated = pos->pieceMaterial > materialQueenRookBishop;
    for (int colour = WHITE; colour >= BLACK; colour -= 2)
        area->kingZoneSquare[SideIndex(colour)] =
            evaluated ? ShelterSquare(pos, colour, castleFlags) : NO_SQUARE;
    area->kingWeightTable = area->activeKings ? 0 : (area->queensOnBoard ? 1 : 2);
}

// Zone shape by rank difference (zone rank minus square rank, seen from
// the king's side), as the lowest and highest file difference.
static bool InKingZone(int dr, int df) {
    switch (dr) {
        case 0:
        case -1:
            return df >= -6 && df <= 5;
        case 1:
        case -2:
            return df >= -5 && df <= 4;
        case 2:
        case 3:
        case -3:
        case -4:
            return df >= -4 && df <= 3;
        case 4:
        case -5:
            return df >= -2 && df <= 1;
        case 5:
        case -6:
            return df == -1 || df == 0;
        default:
            return false;
    }
}

// The storm value of a square in front of the king: 7 without an own pawn
// beside it, else 0 at distance 2 and 36 or 72 next to the zone square.
static int StormValue(const Position *pos, int pawnSquare, int ownPawn, int dist) {
    if (!SquareIsOnBoard(pawnSquare) || CodeAt(pos, pawnSquare) != ownPawn)
        return 7;
    if (dist == 2)
        return 0;
    return (pos->pieceMaterial < QueenMaterialThreshold() || pos->evalArea.fullArmies) ? 36 : 72;
}

static void AddOneKingZone(Position *pos, int s, int colour) {
    EvalWorkArea *area = &pos->evalArea;
    int z = area->kingZoneSquare[SideIndex(colour)];
    if (z == NO_SQUARE)
        return;
    int dr = (RankOf(z) - RankOf(s)) * colour, df = FileOf(z) - FileOf(s);
    if (!InKingZone(dr, df))
        return;
    int dist = SquareDistance(z, s), f = FileOf(s), up = 16 * colour;
    int ownPawn = colour > 0 ? WHITE_PAWN : BLACK_PAWN;
    int enemyPawn = colour > 0 ? BLACK_PAWN : WHITE_PAWN;
    uint16_t enemyAttack = colour > 0 ? SQ_BLACK_PAWN_ATTACK : SQ_WHITE_PAWN_ATTACK;
    if (dist <= 2 && !area->activeKings) {
        if (dr < 0) {  // s lies in front of the zone square
            int left = s + up - 1, right = s + up + 1;
            if (f >= 1 && SquareIsOnBoard(left))
                MapAdd(&area->pawnMap[SplitIndex(left, -colour)],
                       StormValue(pos, s - 1, ownPawn, dist));
            bool skip = (SquareIsOnBoard(left) && f >= 1 && CodeAt(pos, left) == enemyPawn) ||
                        f == 7 || (FileOf(z) == f + 1 && f != 6);
            if (!skip && SquareIsOnBoard(right))
                MapAdd(&area->pawnMap[SplitIndex(right, -colour)],
                       StormValue(pos, s + 1, ownPawn, dist));
        }
        int rr = colour > 0 ? RankOf(s) : 7 - RankOf(s);
        if (rr >= 1) {
            int16_t *pawn = area->pawnMap;
            if (dist == 2 && !(area->squareFlags[s] & enemyAttack))
                MapAdd(&pawn[SplitIndex(s, colour)], kingSafety10a);
            int behindLeft = s - up - 1, behindRight = s - up + 1;
            if (f >= 1 && !(area->squareFlags[behindLeft] & enemyAttack))
                MapAdd(&pawn[SplitIndex(behindLeft, colour)], kingSafety10a);
            if (f <= 6 && !(area->squareFlags[behindRight] & enemyAttack))
                MapAdd(&pawn[SplitIndex(behindRight, colour)], kingSafety10a);
        }
    }
    if (df >= -2 && df <= 2) {
        int i = SplitIndex(s, -colour);
        MapAdd(&area->queenMap[i], kingSafety8b);
        MapAdd(&area->rookMap[i], kingSafety8b);
        MapAdd(&area->knightMap[i], kingSafety8b);
        MapAdd(&area->bishopMap[i], kingSafety8b);
    }
}

void AddKingZoneEntries(Position *pos, int s) {
    if (!pos->evalArea.queensOnBoard)
        return;
    AddOneKingZone(pos, s, WHITE);
    AddOneKingZone(pos, s, BLACK);
}

static const int AROUND[8] = {1, -1, 16, -16, 17, -17, 15, -15};

void AddEndgameKingPawnTerms(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    if (pos->pieceMaterial >= QueenMaterialThreshold() ||
        KindCount(pos, WHITE_PAWN) + KindCount(pos, BLACK_PAWN) == 0)
        return;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int pawnValue = pos->kinds[colour > 0 ? WHITE_PAWN : BLACK_PAWN].effectiveValue;
        FOR_EACH_MAN(pos, SideOf(pos, colour), man) {
            if (man->kind != KIND_PAWN)
                continue;
            int s = man->square, r = RankOf(s);
            int64_t worth = int64_t(area->pawnMap[SplitIndex(s, colour)]) + pawnValue;
            int32_t near = ScaledWeight((worth * endgameKing12 + 32) >> 6, 1, 1);
            int limit = PawnFile(area, colour, FileOf(s)).passedLimit;
            bool passed = colour > 0 ? r >= limit : r <= limit;
            int escort = colour > 0 ? r * endgameKing8a : 7 * endgameKing8b - r * endgameKing8b;
            for (int step : AROUND) {
                int q = s + step;
                if (!SquareIsOnBoard(q))
                    continue;
                MapAdd(&area->kingMap[SplitIndex(q, -colour)], near);
                if (passed)
                    MapAdd(&area->kingMap[SplitIndex(q, colour)], escort);
            }
        }
    }
}

int PawnWedgeScore(const Position *pos) {
    const EvalWorkArea *area = &pos->evalArea;
    if (!area->queensOnBoard || pos->pieceMaterial < QueenMaterialThreshold() || area->openFiles)
        return 0;
    auto pawns = [&](int code, int a, int b) {
        return CodeAt(pos, a) == code && CodeAt(pos, b) == code;
    };
    int score = 0, white = area->kingZoneSquare[1], black = area->kingZoneSquare[0];
    if ((white == 0x06 && pawns(BLACK_PAWN, 0x35, 0x44)) ||
        (white == 0x01 && pawns(BLACK_PAWN, 0x32, 0x43)))
        score -= 10;
    if ((black == 0x76 && pawns(WHITE_PAWN, 0x45, 0x34)) ||
        (black == 0x71 && pawns(WHITE_PAWN, 0x42, 0x33)))
        score += 10;
    return score;
}

// Highest white (lowest black) pawn rank on a file; off-board files have none.
static int FrontRankOn(const Position *pos, int colour, int file) {
    if (file < 0 || file > 7)
        return colour > 0 ? 0 : 7;
    return pos->evalArea.pawnFiles[SideIndex(colour)][file + 1].frontRank;
}

static void AddShelterFiles(Position *pos) {
    EvalWorkArea *area = &pos->evalArea;
    int whiteFile = FileOf(area->kingZoneSquare[1]), blackFile = FileOf(area->kingZoneSquare[0]);
    for (int d = -1; d <= 1; d++) {
        for (int r = 1; r <= 6; r++) {
            int fw = whiteFile + d, fb = blackFile + d;
            if (fw >= 0 && fw <= 7 && FrontRankOn(pos, WHITE, fw) <= r)
                MapAdd(&area->pawnMap[MakeSquare(fw, r)], kingSafety10b);
            if (fb >= 0 && fb <= 7 && FrontRankOn(pos, BLACK, fb) >= 7 - r)
                MapAdd(&area->pawnMap[MakeSquare(fb, 7 - r) + 8], kingSafety10b);
            if (area->openFiles != 0)
                continue;
            if (fb >= 0 && fb <= 7 && FrontRankOn(pos, WHITE, fb) <= r)
                MapAdd(&area->pawnMap[MakeSquare(fb, r)], -kingSafety7);
            if (fw >= 0 && fw <= 7 && FrontRankOn(pos, BLACK, fw) >= 7 - r)
                MapAdd(&area->pawnMap[MakeSquare(fw, 7 - r) + 8], -kingSafety7);
        }
    }
}

void AddKingSafety(Position *pos, int castleFlags) {
    EvalWorkArea *area = &pos->evalArea;
    if (area->kingZoneSquare[0] != NO_SQUARE && area->kingZoneSquare[1] != NO_SQUARE &&
        area->fullKingSafety)
        AddShelterFiles(pos);
    if (area->activeKings)
        return;
    int cost = area->fullKingSafety ? kingSafety53 : kingSafety41;
    for (int colour = WHITE; colour >= BLACK; colour -= 2) {
        int zone = area->kingZoneSquare[SideIndex(colour)];
        if (!HasCastlingRight(castleFlags, colour) || zone == NO_SQUARE)
            continue;
        int home = colour > 0 ? SQUARE_E1 : SQUARE_E8;
        MapAdd(&area->kingMap[SplitIndex(home, colour)],
               (KingCentreValue(zone) - 4) * area->kingWeight - cost);
    }
}
