// Helpers of the test-side writer.
#include "tests/tablebases/tb_writer.h"

#include <gtest/gtest.h>

TEST(TbWriter, BoardsSplitIntoScanOrder) {
    PieceSquares white, black;
    SplitBoard(BoardOf("Ke1 Ra1 Rh1 Pe2 ke8 pd7"), &white, &black);
    EXPECT_EQ(white.squares[15], 4);
    EXPECT_EQ(white.squares[9], 0);
    EXPECT_EQ(white.squares[10], 7);
    EXPECT_EQ(white.squares[0], 12);
    EXPECT_EQ(black.squares[15], 60);
    EXPECT_EQ(black.squares[0], 51);
}
