// Attack tables and walks. The tables are derived at compile time from
// the moves of each kind; a slider attacks only over empty squares, and a
// walk ends at the first attacker in list order.
#include "engine/attacks.h"

static constexpr int Sign(int x) {
    return (x > 0) - (x < 0);
}
static constexpr int Abs(int x) {
    return x < 0 ? -x : x;
}

// index = difference + 119 = (rankDelta + 7) * 16 + (fileDelta + 7).
static constexpr AttackTables BuildAttackTables() {
    AttackTables tables{};
    for (int index = 0; index < ATTACK_TABLE_SIZE; index++) {
        int fileDelta = (index & 15) - 7;
        int rankDelta = (index >> 4) - 7;
        int difference = index - ATTACK_TABLE_CENTRE;
        int mask = 0, step = 0;
        if (fileDelta > 7 || difference == 0) {
            tables.masks[index] = 0;
            tables.steps[index] = 0;
            continue;
        }
        int af = Abs(fileDelta), ar = Abs(rankDelta);
        if (af <= 1 && ar <= 1)
            mask |= ATTACK_KING;
        if (af == 0 || ar == 0) {
            mask |= ATTACK_ROOK | ATTACK_QUEEN;
            step = Sign(rankDelta) * 16 + Sign(fileDelta);
        } else if (af == ar) {
            mask |= ATTACK_BISHOP | ATTACK_QUEEN;
            step = Sign(rankDelta) * 16 + Sign(fileDelta);
        }
        if ((af == 1 && ar == 2) || (af == 2 && ar == 1)) {
            mask |= ATTACK_KNIGHT;
            step = difference;
        }
        if (difference == 15 || difference == 17)
            mask |= ATTACK_WHITE_PAWN;
        if (difference == -15 || difference == -17)
            mask |= ATTACK_BLACK_PAWN;
        tables.masks[index] = uint8_t(mask);
        tables.steps[index] = int8_t(step);
    }
    return tables;
}

static constexpr AttackTables attackTables = BuildAttackTables();

const std::array<uint8_t, ATTACK_TABLE_SIZE> attackMaskOf = attackTables.masks;
const std::array<int8_t, ATTACK_TABLE_SIZE> stepOf = attackTables.steps;

int FindAttackerOfSquare(int square, const SideRecord *side) {
    const Position *position = side->head.position;
    // A captured king's square lies off the board: nothing attacks it, and
    // its differences would run past the tables.
    if (!SquareIsOnBoard(square))
        return NO_SQUARE;
    for (const PieceRecord *man = side->head.next; man != &position->emptyRecord; man = man->next) {
        if (MaskAttacksSquare(position, man->attackMask, man->square, square))
            return man->square;
    }
    return NO_SQUARE;
}

int IsSquareAttacked(const SearchNode *node, int square) {
    return FindAttackerOfSquare(square, node->sideRecord->opponent) != NO_SQUARE;
}

// A pawn's own targets: the better of its two captures (kings count only
// for a check), else the square ahead when it is about to promote.
static int FindPawnTarget(int square, const PieceRecord *pawn, int threshold) {
    const Position *position = pawn->position;
    const PieceRecord *empty = &position->emptyRecord;
    if (pawn->colour == WHITE) {
        int limit = threshold == 11 ? BLACK_KING : BLACK_KNIGHT;
        int a = BoardAt(position, square + 15)->code;
        int b = BoardAt(position, square + 17)->code;
        if (a <= limit)
            return b >= a ? square + 15 : square + 17;
        if (b <= limit)
            return square + 17;
        if (RankOf(square) == 6 && BoardAt(position, square + 16) == empty)
            return square + 16;
        return NO_SQUARE;
    }
    int limit = threshold == 11 ? WHITE_KING : WHITE_KNIGHT;
    int a = BoardAt(position, square - 15)->code;
    int b = BoardAt(position, square - 17)->code;
    if (a >= limit)
        return b <= a ? square - 15 : square - 17;
    if (b >= limit)
        return square - 17;
    if (RankOf(square) == 1 && BoardAt(position, square - 16) == empty)
        return square - 16;
    return NO_SQUARE;
}

int FindAttacker(int square, const PieceRecord *man, int threshold) {
    const Position *position = man->position;
    if (!SquareIsOnBoard(square))
        return NO_SQUARE;
    int colour = man->colour;
    int rank = man->rank;
    int attackMask = man->attackMask;
    // Step 1: pawns, or a pawn on its last rank, which counts as a queen.
    if (man->kind == KIND_PAWN) {
        bool lastRank = colour == WHITE ? RankOf(square) == 7 : RankOf(square) == 0;
        if (!lastRank)
            return FindPawnTarget(square, man, threshold);
        const PieceKindRecord *queen =
            &position->kinds[colour == WHITE ? WHITE_QUEEN : BLACK_QUEEN];
        rank = queen->rank;
        attackMask = queen->attackMask;
    }
    // Step 2: threshold 6 means men worth more than this one.
    if (threshold == 6)
        threshold = rank;
    // Step 3: enemy men from the king backwards, most valuable first.
    const SideRecord *enemy = position->sideByColour[1 - colour];
    const PieceRecord *empty = &position->emptyRecord;
    for (const PieceRecord *e = enemy->head.prev;
         e != empty && e != &enemy->head && e->rank > threshold; e = e->prev) {
        if (!MaskAttacksSquare(position, attackMask, square, e->square))
            continue;
        if (rank < e->rank)
            return e->square;
        if (FindAttackerOfSquare(e->square, enemy) == NO_SQUARE)
            return e->square;
    }
    return NO_SQUARE;
}
