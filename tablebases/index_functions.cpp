// The interpreter behind the 880 index functions. A table side's plan says
// which men form the king block and how the other men trail it; the
// number is the block value times the trailing radixes plus the trailing
// digits, so every legal placement gets one number below the range.
#include "tablebases/index_functions.h"

#include "tablebases/endgame_descriptors.h"
#include "tablebases/index_plan.h"
#include "tablebases/material_registry.h"

static IndexPlan indexPlans[TABLEBASE_COUNT][2];

static void SortAscending(int64_t *values, int n) {
    for (int i = 1; i < n; i++) {
        for (int j = i; j > 0 && values[j - 1] > values[j]; j--) {
            int64_t swap = values[j];
            values[j] = values[j - 1];
            values[j - 1] = swap;
        }
    }
}

// x1 + C(x2, 2) + C(x3, 3) over the sorted numbers of identical men.
static int64_t CombinationNumber(int64_t *numbers, int n) {
    SortAscending(numbers, n);
    int64_t number = 0;
    for (int i = 0; i < n; i++)
        number += CombinationCount(numbers[i], i + 1);
    return number;
}

int64_t UnitDigit(const int32_t *squares, int nMen, int base, const int32_t *occupied,
                  int nOccupied) {
    int64_t numbers[3];
    for (int i = 0; i < nMen; i++) {
        numbers[i] = squares[i] - base;
        for (int j = 0; j < nOccupied; j++)
            numbers[i] -= occupied[j] < squares[i];
    }
    return CombinationNumber(numbers, nMen);
}

int64_t BlockValue(const BlockPlan *block, int kS, int kO, const int32_t (*squares)[3]) {
    const KingPairTable &pairs =
        block->variant == OFFSETS_PAWN ? pawnKingPairIndex : pawnlessKingPairIndex;
    int64_t kp = pairs[kS][kO];
    if (block->nGroups == 0)
        return kp;
    int64_t digits = 0;
    for (int g = block->nGroups - 1; g >= 0; g--) {
        const BlockGroup *group = &block->groups[g];
        const uint8_t *numbering = squareNumbering[group->kind][kO];
        int kingNumber = numbering[kS];
        int64_t usable = squareCount[group->kind][kO] - (kingNumber != 255);
        int64_t numbers[3];
        for (int i = 0; i < group->nMen; i++) {
            int number = numbering[squares[g][i]];
            numbers[i] = number - (kingNumber != 255 && kingNumber < number);
        }
        digits = digits * CombinationCount(usable, group->nMen) +
                 CombinationNumber(numbers, group->nMen);
    }
    return block->offsets->offsets[kp] + digits;
}

void SetBlockGroups(BlockPlan *block, int variant, const BlockGroup *groups, int nGroups) {
    int kinds[3], nKinds = 0;
    block->variant = static_cast<int8_t>(variant);
    block->nGroups = 0;
    for (int pass = 0; pass < 2; pass++) {
        for (int g = 0; g < nGroups; g++) {
            if ((groups[g].nMen > 1) == (pass == 1))
                block->groups[block->nGroups++] = groups[g];
        }
    }
    for (int g = 0; g < nGroups; g++) {
        for (int i = 0; i < groups[g].nMen; i++)
            kinds[nKinds++] = groups[g].kind;
    }
    block->offsets = nKinds > 0 ? FindOffsetTable(variant, kinds, nKinds) : nullptr;
    int64_t nPairs = variant == OFFSETS_PAWN ? PAWN_KING_PAIRS : PAWNLESS_KING_PAIRS;
    block->range = block->offsets != nullptr ? block->offsets->total : nPairs;
}

static int CountMen(const int8_t *nMen) {
    int total = 0;
    for (int type = 0; type < MAN_TYPES; type++)
        total += nMen[type];
    return total;
}

// The mover's men; when the mover has only its king, the other side's
// pawns, numbered beside their own king.
static void BuildKingBlock(IndexPlan *plan) {
    BlockGroup groups[MAN_TYPES];
    int nGroups = 0;
    if (CountMen(plan->nMen[ROLE_MOVER]) > 0) {
        for (int type = 0; type < MAN_TYPES; type++) {
            int8_t n = plan->nMen[ROLE_MOVER][type];
            int8_t kind = static_cast<int8_t>(type == MAN_PAWN ? KIND_PAWN : type + 1);
            if (n > 0)
                groups[nGroups++] = {kind, ROLE_MOVER, static_cast<int8_t>(type), n};
        }
    } else if (plan->nMen[ROLE_OTHER][MAN_PAWN] > 0) {
        groups[nGroups++] = {KIND_FREE_PAWN, ROLE_OTHER, MAN_PAWN,
                             plan->nMen[ROLE_OTHER][MAN_PAWN]};
    }
    SetBlockGroups(&plan->block, plan->hasPawns ? OFFSETS_PAWN : OFFSETS_PAWNLESS, groups, nGroups);
    bool blockHasPawn = false;
    for (int g = 0; g < plan->block.nGroups; g++)
        blockHasPawn = blockHasPawn || plan->block.groups[g].type == MAN_PAWN;
    plan->flipBlock = plan->moverColour == 1 && plan->hasPawns && blockHasPawn;
}

static int BlockMen(const BlockPlan *block, int type) {
    int n = 0;
    for (int g = 0; g < block->nGroups; g++)
        n += block->groups[g].type == type ? block->groups[g].nMen : 0;
    return n;
}

// Orders the trailing units and fixes their radixes. Pieces are placed
// by descending kind among the squares left free, and the more
// significant digit comes first; the pawn unit counts pawn squares only.
static void BuildTrailingUnits(IndexPlan *plan) {
    const int8_t *other = plan->nMen[ROLE_OTHER];
    bool moverHasMen = CountMen(plan->nMen[ROLE_MOVER]) > 0;
    bool threeAgainstThree = CountMen(plan->nMen[ROLE_MOVER]) == 2 && CountMen(other) == 2;
    int nTrailingPawns = moverHasMen ? other[MAN_PAWN] : 0;
    int nPieces = 0;
    for (int type = MAN_QUEEN; type > MAN_PAWN; type--) {
        if (other[type] > 0)
            plan->units[nPieces++] = {ROLE_OTHER, static_cast<int8_t>(type), other[type], 0};
    }
    bool pairThenLowerSingle =
        !plan->hasPawns && nPieces == 2 && plan->units[0].nMen == 2 && plan->units[1].nMen == 1;
    bool twoSinglesWithPawns = threeAgainstThree && plan->hasPawns && nPieces == 2 &&
                               plan->units[0].nMen == 1 && plan->units[1].nMen == 1;
    if (pairThenLowerSingle || twoSinglesWithPawns) {
        // The single (lower) piece is placed first.
        TrailingUnit swap = plan->units[0];
        plan->units[0] = plan->units[1];
        plan->units[1] = swap;
    }
    int nSignificant = 0;
    if (nTrailingPawns > 0 && threeAgainstThree)
        plan->significance[nSignificant++] = static_cast<int8_t>(nPieces);
    for (int u = 0; u < nPieces; u++) {
        // A pair placed after its single still gives the higher digit.
        int unit = pairThenLowerSingle ? 1 - u : u;
        plan->significance[nSignificant++] = static_cast<int8_t>(unit);
    }
    if (nTrailingPawns > 0 && !threeAgainstThree)
        plan->significance[nSignificant++] = static_cast<int8_t>(nPieces);

    int nBlockPawns = BlockMen(&plan->block, MAN_PAWN);
    int nOccupied =
        2 + CountMen(plan->nMen[ROLE_MOVER]) + (moverHasMen ? 0 : other[MAN_PAWN]) + nTrailingPawns;
    for (int u = 0; u < nPieces; u++) {
        plan->units[u].radix = CombinationCount(64 - nOccupied, plan->units[u].nMen);
        nOccupied += plan->units[u].nMen;
    }
    plan->nUnits = static_cast<int8_t>(nPieces);
    if (nTrailingPawns > 0) {
        plan->units[plan->nUnits++] = {ROLE_OTHER, MAN_PAWN, static_cast<int8_t>(nTrailingPawns),
                                       CombinationCount(48 - nBlockPawns, nTrailingPawns)};
    }
    plan->ordinaryRange = plan->block.range;
    for (int u = 0; u < plan->nUnits; u++)
        plan->ordinaryRange *= plan->units[u].radix;
}

static void BuildIndexPlan(int id, int side, IndexPlan *plan) {
    int32_t counts[2][MAN_TYPES];
    ParseTablebaseName(tablebases[id].name, counts[0], counts[1]);
    *plan = IndexPlan{};
    plan->usable = 1;
    plan->moverColour = static_cast<int8_t>(side);
    bool symmetric = true;
    for (int type = 0; type < MAN_TYPES; type++) {
        plan->nMen[ROLE_MOVER][type] = static_cast<int8_t>(counts[side][type]);
        plan->nMen[ROLE_OTHER][type] = static_cast<int8_t>(counts[1 - side][type]);
        symmetric = symmetric && counts[0][type] == counts[1][type];
    }
    plan->hasPawns = counts[0][MAN_PAWN] + counts[1][MAN_PAWN] > 0;
    // Six men of equal material with pawns: black to move is white to
    // move with the colours swapped.
    if (side == 1 && plan->hasPawns && symmetric && CountMen(plan->nMen[ROLE_MOVER]) == 2) {
        plan->delegateToWtm = 1;
        return;
    }
    BuildKingBlock(plan);
    BuildTrailingUnits(plan);
    plan->hasEnPassant = counts[0][MAN_PAWN] > 0 && counts[1][MAN_PAWN] > 0;
    if (plan->hasEnPassant)
        BuildEnPassantPlan(plan);
}

void BuildIndexPlans() {
    for (int id = 1; id < TABLEBASE_COUNT; id++) {
        BuildIndexPlan(id, 0, &indexPlans[id][0]);
        BuildIndexPlan(id, 1, &indexPlans[id][1]);
    }
}

static const IndexPlan *PlanOf(int id, int side) {
    if (id <= 0 || id >= TABLEBASE_COUNT || side < 0 || side > 1)
        return &indexPlans[0][0];  // never built: ranges of 0
    const IndexPlan *plan = &indexPlans[id][side];
    return plan->delegateToWtm ? &indexPlans[id][0] : plan;
}

int64_t OrdinaryIndexRange(int id, int side) {
    return PlanOf(id, side)->ordinaryRange;
}

int64_t EnPassantIndexRange(int id, int side) {
    const IndexPlan *plan = PlanOf(id, side);
    return plan->hasEnPassant ? plan->enPassant.range : 0;
}

static bool SquareIsOnBoard(int32_t square) {
    return square >= 0 && square < 64;
}

// Reads the men of the plan's material from the records, refusing what the
// tables cannot number before any table is read.
static bool ReadMen(const IndexPlan *plan, const PieceSquares *mover, const PieceSquares *other,
                    FramedMen *men) {
    const PieceSquares *records[SIDE_ROLES] = {mover, other};
    for (int role = 0; role < SIDE_ROLES; role++) {
        men->king[role] = records[role]->squares[SLOT_KING];
        if (!SquareIsOnBoard(men->king[role]))
            return false;
        for (int type = 0; type < MAN_TYPES; type++) {
            for (int i = 0; i < plan->nMen[role][type]; i++) {
                int32_t square = records[role]->squares[3 * type + i];
                if (!SquareIsOnBoard(square) || (type == MAN_PAWN && (square < 8 || square > 55)))
                    return false;
                men->men[role][type][i] = square;
            }
        }
    }
    return !SquaresTouch(men->king[ROLE_MOVER], men->king[ROLE_OTHER]);
}

// Every man's square s becomes s ^ xorMask, then transposed if asked.
static void MapMen(const IndexPlan *plan, int32_t xorMask, bool transpose, FramedMen *men) {
    for (int role = 0; role < SIDE_ROLES; role++) {
        int32_t *king = &men->king[role];
        *king = transpose ? transposeSquare[*king ^ xorMask] : *king ^ xorMask;
        for (int type = 0; type < MAN_TYPES; type++) {
            for (int i = 0; i < plan->nMen[role][type]; i++) {
                int32_t *square = &men->men[role][type][i];
                *square = transpose ? transposeSquare[*square ^ xorMask] : *square ^ xorMask;
            }
        }
    }
}

// With pawns: the mover's king to files a-d, the board upside down when
// inverted. Without: the mover's king into a1-d4, then across the
// diagonal unless it is in the triangle and off the diagonal or the other
// king is on or below it.
static void FrameMen(const IndexPlan *plan, int32_t epSquare, int32_t invert, FramedMen *men) {
    int kS = men->king[ROLE_MOVER];
    men->epSquare = TB_NO_SQUARE;
    if (plan->hasPawns) {
        int32_t mask = pawnMirrorMask[kS] ^ invertMask[invert];
        MapMen(plan, mask, false, men);
        if (SquareIsOnBoard(epSquare))
            men->epSquare = epSquare ^ mask;
        return;
    }
    MapMen(plan, pawnlessMirrorMask[kS], false, men);
    kS = men->king[ROLE_MOVER];
    int kO = men->king[ROLE_OTHER];
    if (!(diagonalTest[0][kS] && (diagonalTest[1][kS] || diagonalTest[2][kO])))
        MapMen(plan, 0, true, men);
}

static int64_t OrdinaryIndex(const IndexPlan *plan, const FramedMen *men) {
    // 1. The king block, upside down when the plan says so.
    int32_t flip = plan->flipBlock ? 0x38 : 0;
    int32_t blockSquares[3][3];
    int32_t occupied[8], blockPawns[3];
    int nOccupied = 0, nBlockPawns = 0;
    occupied[nOccupied++] = men->king[ROLE_MOVER];
    occupied[nOccupied++] = men->king[ROLE_OTHER];
    for (int g = 0; g < plan->block.nGroups; g++) {
        const BlockGroup *group = &plan->block.groups[g];
        for (int i = 0; i < group->nMen; i++) {
            int32_t square = men->men[group->role][group->type][i];
            blockSquares[g][i] = square ^ flip;
            occupied[nOccupied++] = square;
            if (group->type == MAN_PAWN)
                blockPawns[nBlockPawns++] = square;
        }
    }
    int64_t number = BlockValue(&plan->block, men->king[ROLE_MOVER] ^ flip,
                                men->king[ROLE_OTHER] ^ flip, blockSquares);
    // 2. Trailing pawns occupy their squares before any piece is placed.
    for (int u = 0; u < plan->nUnits; u++) {
        const TrailingUnit *unit = &plan->units[u];
        for (int i = 0; unit->type == MAN_PAWN && i < unit->nMen; i++)
            occupied[nOccupied++] = men->men[unit->role][MAN_PAWN][i];
    }
    // 3. Trailing digits in placement order, folded by significance.
    int64_t digits[4];
    for (int u = 0; u < plan->nUnits; u++) {
        const TrailingUnit *unit = &plan->units[u];
        const int32_t *squares = men->men[unit->role][unit->type];
        if (unit->type == MAN_PAWN) {
            digits[u] = UnitDigit(squares, unit->nMen, 8, blockPawns, nBlockPawns);
            continue;
        }
        digits[u] = UnitDigit(squares, unit->nMen, 0, occupied, nOccupied);
        for (int i = 0; i < unit->nMen; i++)
            occupied[nOccupied++] = squares[i];
    }
    for (int s = 0; s < plan->nUnits; s++)
        number = number * plan->units[plan->significance[s]].radix + digits[plan->significance[s]];
    return number;
}

int64_t ComputeTablebaseIndex(int id, int side, const PieceSquares *white,
                              const PieceSquares *black, int32_t epSquare, int32_t invert) {
    if (id <= 0 || id >= TABLEBASE_COUNT || side < 0 || side > 1)
        return TB_INDEX_INVALID;
    const IndexPlan *plan = &indexPlans[id][side];
    invert = invert != 0;
    if (plan->delegateToWtm)
        return ComputeTablebaseIndex(id, 0, black, white, epSquare, 1 - invert);
    if (!plan->usable)
        return TB_INDEX_INVALID;
    FramedMen men;
    const PieceSquares *mover = plan->moverColour == 0 ? white : black;
    const PieceSquares *other = plan->moverColour == 0 ? black : white;
    if (!ReadMen(plan, mover, other, &men))
        return TB_INDEX_INVALID;
    FrameMen(plan, epSquare, invert, &men);
    if (plan->hasEnPassant && men.epSquare != TB_NO_SQUARE) {
        int64_t number = EnPassantIndex(plan, &men);
        if (number >= 0)
            return number;
    }
    return OrdinaryIndex(plan, &men);
}
