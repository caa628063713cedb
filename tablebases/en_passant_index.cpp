// Numbering of positions in which the side to move may capture en passant,
// stored after all ordinary positions of the tables with pawns on both
// sides: ordinary range + (E * R + D) * 14 + capture code. Only a real
// capturer next to a pawn that has just moved two squares is numbered so.
#include "tablebases/index_plan.h"

// Capture codes: file - 1 towards the a-file (0..6), file + 7 towards
// the h-file (7..13).
constexpr int CAPTURE_CODES = 14;
constexpr int OTHER_PAWN_SQUARES = 44;  // 48 pawn squares less P1, P2, e and origin

void BuildEnPassantPlan(IndexPlan *plan) {
    EnPassantPlan *ep = &plan->enPassant;
    BlockGroup groups[MAN_TYPES];
    int nGroups = 0, nMoverPieces = 0;
    for (int type = MAN_KNIGHT; type < MAN_TYPES; type++) {
        int8_t n = plan->nMen[ROLE_MOVER][type];
        if (n > 0)
            groups[nGroups++] = {static_cast<int8_t>(type + 1), ROLE_MOVER,
                                 static_cast<int8_t>(type), n};
        nMoverPieces += n;
    }
    SetBlockGroups(&ep->block, OFFSETS_PAWN, groups, nGroups);

    int nOtherMoverPawns = plan->nMen[ROLE_MOVER][MAN_PAWN] - 1;
    int nOtherPawns = plan->nMen[ROLE_OTHER][MAN_PAWN] - 1;
    int nOccupied = 2 + 4 + nMoverPieces + nOtherMoverPawns + nOtherPawns;
    ep->radixProduct = 1;
    ep->nUnits = 0;
    for (int type = MAN_QUEEN; type > MAN_PAWN; type--) {
        int8_t n = plan->nMen[ROLE_OTHER][type];
        if (n == 0)
            continue;
        int64_t radix = CombinationCount(64 - nOccupied, n);
        ep->units[ep->nUnits++] = {ROLE_OTHER, static_cast<int8_t>(type), n, radix};
        ep->radixProduct *= radix;
        nOccupied += n;
    }
    if (nOtherMoverPawns > 0 && nOtherPawns > 0)
        ep->radixProduct *= (OTHER_PAWN_SQUARES - 1) * OTHER_PAWN_SQUARES;
    else if (nOtherMoverPawns + nOtherPawns > 0)
        ep->radixProduct *= CombinationCount(OTHER_PAWN_SQUARES, nOtherMoverPawns + nOtherPawns);
    ep->range = CAPTURE_CODES * ep->block.range * ep->radixProduct;
}

struct EnPassantSquares {
    int32_t capturer;       // P1
    int32_t doubleStepper;  // P2
    int32_t origin;         // where P2 came from
    int captureCode;
};

// Finds P2 and the lowest pawn of the mover that attacks the e.p. square,
// comparing files so that no capture wraps around the board edge.
static bool FindEnPassantPawns(const IndexPlan *plan, const FramedMen *men,
                               EnPassantSquares *found) {
    int32_t e = men->epSquare;
    bool whiteMoves = plan->moverColour == 0;
    if (SquareRank(e) != (whiteMoves ? 5 : 2))
        return false;
    found->doubleStepper = whiteMoves ? e - 8 : e + 8;
    found->origin = whiteMoves ? e + 8 : e - 8;
    bool stepperFound = false;
    for (int i = 0; i < plan->nMen[ROLE_OTHER][MAN_PAWN]; i++)
        stepperFound = stepperFound || men->men[ROLE_OTHER][MAN_PAWN][i] == found->doubleStepper;
    if (!stepperFound)
        return false;
    found->capturer = 64;
    found->captureCode = 0;
    for (int i = 0; i < plan->nMen[ROLE_MOVER][MAN_PAWN]; i++) {
        int32_t pawn = men->men[ROLE_MOVER][MAN_PAWN][i];
        int file = SquareFile(pawn);
        bool towardsA = file > 0 && (whiteMoves ? pawn + 7 : pawn - 9) == e;
        bool towardsH = file < 7 && (whiteMoves ? pawn + 9 : pawn - 7) == e;
        if ((towardsA || towardsH) && pawn < found->capturer) {
            found->capturer = pawn;
            found->captureCode = towardsA ? file - 1 : file + 7;
        }
    }
    return found->capturer < 64;
}

// The pawns besides P1 and P2, mover's first, then the other side's.
static void CollectOtherPawns(const IndexPlan *plan, const FramedMen *men,
                              const EnPassantSquares *found, int32_t (*pawns)[3], int *nPawns) {
    const int32_t skip[SIDE_ROLES] = {found->capturer, found->doubleStepper};
    for (int role = 0; role < SIDE_ROLES; role++) {
        nPawns[role] = 0;
        for (int i = 0; i < plan->nMen[role][MAN_PAWN]; i++) {
            int32_t pawn = men->men[role][MAN_PAWN][i];
            if (pawn != skip[role])
                pawns[role][nPawns[role]++] = pawn;
        }
    }
}

int64_t EnPassantIndex(const IndexPlan *plan, const FramedMen *men) {
    const EnPassantPlan *ep = &plan->enPassant;
    EnPassantSquares found;
    if (!FindEnPassantPawns(plan, men, &found))
        return -1;
    // 1. E: the mover's pieces beside the king pair, never upside down.
    int32_t blockSquares[3][3];
    for (int g = 0; g < ep->block.nGroups; g++) {
        for (int i = 0; i < ep->block.groups[g].nMen; i++)
            blockSquares[g][i] = men->men[ROLE_MOVER][ep->block.groups[g].type][i];
    }
    int64_t blockValue =
        BlockValue(&ep->block, men->king[ROLE_MOVER], men->king[ROLE_OTHER], blockSquares);
    // 2. Squares taken before the other side's pieces are placed.
    const int32_t fixed[5] = {found.capturer, found.doubleStepper, men->epSquare, found.origin};
    int32_t pawns[SIDE_ROLES][3];
    int nPawns[SIDE_ROLES];
    int32_t occupied[12] = {
        men->king[ROLE_MOVER], men->king[ROLE_OTHER], fixed[0], fixed[1], fixed[2], fixed[3]};
    int nOccupied = 6;
    for (int g = 0; g < ep->block.nGroups; g++) {
        for (int i = 0; i < ep->block.groups[g].nMen; i++)
            occupied[nOccupied++] = blockSquares[g][i];
    }
    CollectOtherPawns(plan, men, &found, pawns, nPawns);
    for (int role = 0; role < SIDE_ROLES; role++) {
        for (int i = 0; i < nPawns[role]; i++)
            occupied[nOccupied++] = pawns[role][i];
    }
    // 3. Trailing digits, most significant first: pieces, then pawns.
    int64_t digits = 0;
    for (int u = 0; u < ep->nUnits; u++) {
        const int32_t *squares = men->men[ROLE_OTHER][ep->units[u].type];
        digits = digits * ep->units[u].radix +
                 UnitDigit(squares, ep->units[u].nMen, 0, occupied, nOccupied);
        for (int i = 0; i < ep->units[u].nMen; i++)
            occupied[nOccupied++] = squares[i];
    }
    if (nPawns[ROLE_MOVER] > 0 && nPawns[ROLE_OTHER] > 0) {
        int32_t fixedAndMoverPawn[5] = {fixed[0], fixed[1], fixed[2], fixed[3],
                                        pawns[ROLE_MOVER][0]};
        digits = digits * (OTHER_PAWN_SQUARES - 1) +
                 UnitDigit(pawns[ROLE_OTHER], 1, 8, fixedAndMoverPawn, 5);
        digits = digits * OTHER_PAWN_SQUARES + UnitDigit(pawns[ROLE_MOVER], 1, 8, fixed, 4);
    } else {
        int role = nPawns[ROLE_MOVER] > 0 ? ROLE_MOVER : ROLE_OTHER;
        if (nPawns[role] > 0) {
            digits = digits * CombinationCount(OTHER_PAWN_SQUARES, nPawns[role]) +
                     UnitDigit(pawns[role], nPawns[role], 8, fixed, 4);
        }
    }
    return plan->ordinaryRange + (blockValue * ep->radixProduct + digits) * CAPTURE_CODES +
           found.captureCode;
}
