// Attack tests from two tables indexed by the 0x88 difference of two
// squares, walking a side's piece list instead of scanning the board.
#pragma once

#include <array>

#include "engine/debug_check.h"
#include "engine/position.h"

constexpr int ATTACK_TABLE_SIZE = 239;
constexpr int ATTACK_TABLE_CENTRE = 119;

struct AttackTables {
    std::array<uint8_t, ATTACK_TABLE_SIZE> masks;
    std::array<int8_t, ATTACK_TABLE_SIZE> steps;
};

// attackMaskOf[target - from + 119]: attackMask bits of every kind that
// attacks a square that far away. stepOf[...]: the unit step towards the
// target along a line, the difference itself for a knight, else 0.
extern const std::array<uint8_t, ATTACK_TABLE_SIZE> attackMaskOf;
extern const std::array<int8_t, ATTACK_TABLE_SIZE> stepOf;

inline int AttackMaskFor(int difference) {
    DEBUG_CHECK(difference >= -119 && difference <= 119);
    return attackMaskOf[difference + ATTACK_TABLE_CENTRE];
}
inline int StepFor(int difference) {
    DEBUG_CHECK(difference >= -119 && difference <= 119);
    return stepOf[difference + ATTACK_TABLE_CENTRE];
}

// 1 when a man of node.opponent attacks square.
int IsSquareAttacked(const SearchNode *node, int square);
// The square of the first man of side's list (pawns first) attacking
// square, or 12.
int FindAttackerOfSquare(int square, const SideRecord *side);
// The square of an enemy man that man, standing on square, would attack
// and win, or 12. threshold: 6 men worth more than man, 7 any but a pawn,
// 11 the king only (a check).
int FindAttacker(int square, const PieceRecord *man, int threshold);
// True when a man with attackMask on from attacks target: the mask bit,
// and for sliders every square strictly between empty. Inline: it is the
// inner test of every attack walk.
inline bool MaskAttacksSquare(const Position *position, int attackMask, int from, int target) {
    int difference = target - from;
    if (!(AttackMaskFor(difference) & attackMask))
        return false;
    if (!(attackMask & ATTACK_SLIDERS))
        return true;
    int step = StepFor(difference);
    const PieceRecord *empty = &position->emptyRecord;
    int square = from + step;
    while (square != target && BoardAt(position, square) == empty)
        square += step;
    return square == target;
}
// True when man on from attacks target: mask bit, and a clear path for sliders.
inline bool ManAttacksSquare(const Position *position, const PieceRecord *man, int from,
                             int target) {
    return MaskAttacksSquare(position, man->attackMask, from, target);
}
