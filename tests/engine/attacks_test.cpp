// Attack tables, attack walks, the attacker search and the drawn pawn
// endings.
#include "engine/attacks.h"

#include <gtest/gtest.h>

#include "board_fixture.h"
#include "engine/drawn_pawn_ending.h"

namespace {

TEST(AttackTables, PinnedEntries) {
    EXPECT_EQ(AttackMaskFor(17), 0x20 | 0x08 | 0x02 | 0x01);
    EXPECT_EQ(AttackMaskFor(-16), 0x04 | 0x02 | 0x01);
    EXPECT_EQ(AttackMaskFor(-17), 0x40 | 0x08 | 0x02 | 0x01);
    EXPECT_EQ(AttackMaskFor(33), 0x10);
    EXPECT_EQ(AttackMaskFor(0x77), 0x0A);  // a1 to h8
    EXPECT_EQ(AttackMaskFor(8), 0);        // not a square difference
    EXPECT_EQ(AttackMaskFor(0), 0);
    EXPECT_EQ(StepFor(0x70), 16);
    EXPECT_EQ(StepFor(-0x77), -17);
    EXPECT_EQ(StepFor(-31), -31);
    EXPECT_EQ(StepFor(0x25), 0);
    // Every kind's number of target differences; steps point both ways.
    int counts[7] = {};
    for (int i = 0; i < ATTACK_TABLE_SIZE; i++) {
        for (int bit = 0; bit < 7; bit++)
            counts[bit] += (attackMaskOf[i] >> bit) & 1;
        EXPECT_EQ(stepOf[i], -stepOf[ATTACK_TABLE_SIZE - 1 - i]) << i;
    }
    const int expected[7] = {8, 56, 28, 28, 8, 2, 2};  // K Q R B N white-P black-P
    for (int bit = 0; bit < 7; bit++)
        EXPECT_EQ(counts[bit], expected[bit]) << bit;
}

TEST(AttackWalks, SlidersStopAtMen) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "k7/8/8/8/P7/8/8/R3K3 b - -"));
    // Black to move: the rook on a1 does not attack a8 past the pawn on a4.
    EXPECT_EQ(IsSquareAttacked(&board.root, 0x70), 0);
    EXPECT_EQ(IsSquareAttacked(&board.root, 0x20), 1);                       // a3
    EXPECT_EQ(FindAttackerOfSquare(0x41, &board.position.whiteSide), 0x30);  // b5: the pawn
    EXPECT_EQ(FindAttackerOfSquare(0x01, &board.position.whiteSide), 0x00);
    EXPECT_EQ(FindAttackerOfSquare(0x77, &board.position.whiteSide), NO_SQUARE);
    // A captured king's square (capture square + 8) is attacked by nothing.
    EXPECT_EQ(FindAttackerOfSquare(0x7F, &board.position.whiteSide), NO_SQUARE);
    EXPECT_EQ(IsSquareAttacked(&board.root, NO_SQUARE), 0);
}

int FindAttackerFrom(const char *fen, int square, int threshold) {
    static TestBoard board;
    if (!SetUpBoard(&board, fen))
        return -1;
    return FindAttacker(square, BoardAt(&board.position, square), threshold);
}

TEST(AttackWalks, FindAttacker) {
    // A rook ranks above a knight: returned, defended or not.
    EXPECT_EQ(FindAttackerFrom("4k3/4r3/8/5N2/8/8/8/4K3 w - -", 0x45, 7), 0x64);
    EXPECT_EQ(FindAttackerFrom("8/4r3/5k2/5N2/8/8/8/4K3 w - -", 0x45, 7), 0x64);
    // An equal knight only when undefended.
    EXPECT_EQ(FindAttackerFrom("4k3/8/3n4/5N2/8/8/8/4K3 w - -", 0x45, 7), 0x53);
    EXPECT_EQ(FindAttackerFrom("4k3/2p5/3n4/5N2/8/8/8/4K3 w - -", 0x45, 7), NO_SQUARE);
    // Pawns are never worth the threshold.
    EXPECT_EQ(FindAttackerFrom("4k3/8/3p4/5N2/8/8/8/4K3 w - -", 0x45, 7), NO_SQUARE);
    // Threshold 11: only the king, a check.
    EXPECT_EQ(FindAttackerFrom("2k5/4r3/8/5N2/8/8/8/4K3 w - -", 0x45, 11), NO_SQUARE);
    EXPECT_EQ(FindAttackerFrom("8/4k3/8/5N2/8/8/8/4K3 w - -", 0x45, 11), 0x64);
    // A pawn on the seventh with nothing to take threatens to promote.
    EXPECT_EQ(FindAttackerFrom("4k3/1P6/8/8/8/8/8/4K3 w - -", 0x61, 7), 0x71);
    // A pawn prefers the more valuable target; black mirrors.
    EXPECT_EQ(FindAttackerFrom("4k3/8/8/8/1n1r4/2P5/8/4K3 w - -", 0x22, 7), 0x33);
    EXPECT_EQ(FindAttackerFrom("4k3/8/8/3p4/2N1Q3/8/8/4K3 b - -", 0x43, 7), 0x34);
}

int DrawnFlags(const char *fen) {
    static TestBoard board;
    if (!SetUpBoard(&board, fen))
        return -1;
    board.root.castleFlags &= ~(WHITE_CANNOT_WIN | BLACK_CANNOT_WIN);
    FlagDrawnPawnEndings(&board.root);
    return board.root.castleFlags & (WHITE_CANNOT_WIN | BLACK_CANNOT_WIN);
}

TEST(DrawnPawnEndings, RecognisedAndNot) {
    // Rook pawn with the defending king in the corner file.
    EXPECT_EQ(DrawnFlags("k7/8/8/8/8/8/P7/2K5 w - -"), WHITE_CANNOT_WIN);
    // The defending king right in front of the pawn.
    EXPECT_EQ(DrawnFlags("8/8/8/4k3/4P3/8/8/4K3 w - -"), WHITE_CANNOT_WIN);
    // Not in front: no flag.
    EXPECT_EQ(DrawnFlags("8/8/8/8/4P3/8/k7/4K3 w - -"), 0);
    // Black's mirror image.
    EXPECT_EQ(DrawnFlags("2k5/p7/8/8/8/8/8/K7 b - -"), BLACK_CANNOT_WIN);
    // Wrong bishop with the rook pawn: h8 is dark, the bishop on d1 light.
    EXPECT_EQ(DrawnFlags("7k/8/8/8/8/8/7P/3BK3 w - -"), WHITE_CANNOT_WIN);
    // The right bishop, on c1: no flag.
    EXPECT_EQ(DrawnFlags("7k/8/8/8/8/8/7P/2B1K3 w - -"), 0);
}

}  // namespace
