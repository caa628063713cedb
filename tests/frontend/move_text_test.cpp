// Move text out, and which texts name which generated move.
#include "frontend/move_text.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/test_board.h"

namespace {

std::string Text(Move move, char letter) {
    char out[MOVE_TEXT_BYTES];
    FormatMove(out, move, letter);
    return out;
}

TEST(MoveTextOut, CoordinatesAndLowerCasePromotions) {
    EXPECT_EQ(Text(MakeMoveCode(0x14, 0x34), 'P'), "e2e4");
    EXPECT_EQ(Text(MakeMoveCode(0x04, 0x06), 'K'), "e1g1");
    EXPECT_EQ(Text(MakeMoveCode(0x64, 0x74), 'P'), "e7e8q");
    EXPECT_EQ(Text(MakeMoveCode(0x14, 0x04), 'p'), "e2e1q");
    EXPECT_EQ(Text(MakeMoveCode(0x64, 0x74), 'R'), "e7e8");  // a rook reaching rank 8
    EXPECT_EQ(Text(MakeMoveCode(0x11, 0xD0), 'p'), "b2a1n");
    EXPECT_EQ(Text(MakeMoveCode(0x11, 0xE0), 'p'), "b2a1b");
    EXPECT_EQ(Text(MakeMoveCode(0x11, 0xF0), 'p'), "b2a1r");
    EXPECT_EQ(Text(MakeMoveCode(0x66, 0x87), 'P'), "g7h8r");
    EXPECT_EQ(Text(MakeMoveCode(0x66, 0x97), 'P'), "g7h8b");
    EXPECT_EQ(Text(MakeMoveCode(0x66, 0xA7), 'P'), "g7h8n");
}

struct MoveTextFixture : testing::Test {
    std::unique_ptr<TestBoard> board = std::make_unique<TestBoard>();
    void SetUp(const char *fen) { ASSERT_TRUE(TestSetUp(board.get(), fen)); }
    bool Names(const char *text, int from, int toByte) {
        return MatchMoveText(TestNode(board.get()), MakeMoveCode(from, toByte), text);
    }
};

TEST_F(MoveTextFixture, PieceMovesInEveryForm) {
    SetUp("rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const int G1 = 0x06, F3 = 0x25;
    for (const char *text :
         {"g1f3", "Nf3", "Ngf3", "N1f3", "Ng1f3", "f3", "g1-f3", "g1xf3", "Nf3+", "Nf3#", "Nf3!"})
        EXPECT_TRUE(Names(text, G1, F3)) << text;
    for (const char *text : {"nf3", "Bf3", "Nhf3", "N2f3", "Nf3+!", "Nf3=", "-f3", "xf3", "NNf3",
                             "g1f4", "", "f", "Nf3 ", "g1f3q7"})
        EXPECT_FALSE(Names(text, G1, F3)) << text;
    EXPECT_TRUE(Names("e4", 0x14, 0x34));
    EXPECT_TRUE(Names("e2e4", 0x14, 0x34));
    EXPECT_FALSE(Names("Pe4", 0x14, 0x34));   // a pawn takes no letter
    EXPECT_TRUE(Names("e2e4q", 0x14, 0x34));  // Q refuses only under-promotions
}

TEST_F(MoveTextFixture, Promotions) {
    SetUp("4k3/P7/8/8/8/8/8/4K3 w - - 0 1");
    const int A7 = 0x60, A8 = 0x70;
    for (const char *text : {"a7a8", "a7a8q", "a7a8Q", "a8", "a8Q"})
        EXPECT_TRUE(Names(text, A7, A8)) << text;
    EXPECT_FALSE(Names("a7a8n", A7, A8));
    EXPECT_FALSE(Names("a8=Q", A7, A8));
    EXPECT_TRUE(Names("a7a8n", A7, A8 + 0x30));
    EXPECT_TRUE(Names("a7a8N", A7, A8 + 0x30));
    EXPECT_TRUE(Names("a7a8r", A7, A8 + 0x10));
    EXPECT_TRUE(Names("a7a8b", A7, A8 + 0x20));
    EXPECT_FALSE(Names("a7a8q", A7, A8 + 0x20));
    EXPECT_FALSE(Names("a7a8r", A7, A8 + 0x20));
}

TEST_F(MoveTextFixture, Castling) {
    SetUp("r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1");
    EXPECT_TRUE(Names("O-O", 0x04, 0x06));
    EXPECT_TRUE(Names("0-0", 0x04, 0x06));
    EXPECT_TRUE(Names("O-O+", 0x04, 0x06));
    EXPECT_TRUE(Names("e1g1", 0x04, 0x06));
    EXPECT_FALSE(Names("O-O-O", 0x04, 0x06));
    EXPECT_FALSE(Names("o-o", 0x04, 0x06));
    EXPECT_TRUE(Names("O-O-O", 0x04, 0x02));
    EXPECT_TRUE(Names("0-0-0", 0x04, 0x02));
    EXPECT_FALSE(Names("O-O", 0x04, 0x02));
    EXPECT_FALSE(Names("O-O", 0x07, 0x05));  // a rook's two-file move is no castling
}

}  // namespace
