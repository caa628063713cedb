// FEN set-up: the forms that are accepted, the text that is refused
// without harm, and what set-up builds from it.
#include "engine/fen_setup.h"

#include <gtest/gtest.h>

#include <string>

#include "board_fixture.h"
#include "engine/board_check.h"

namespace {

const char *START_BOARD = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR";

std::string WithBoard(const char *rest) {
    return std::string(START_BOARD) + " " + rest;
}

TEST(FenSetup, AcceptedForms) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, nullptr));
    EXPECT_EQ(board.record.setupMoveNumber, 1);
    EXPECT_EQ(board.root.castleFlags, CASTLE_ALL);
    EXPECT_TRUE(PositionIsConsistent(&board.position));
    EXPECT_EQ(board.position.menCount, 32);
    EXPECT_EQ(board.position.pieceMaterial, 2 * (732 + 2 * 350 + 2 * 242 + 2 * 228));
    // An absent castling field means all rights; "-" none.
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("w").c_str()));
    EXPECT_EQ(board.root.castleFlags, CASTLE_ALL);
    EXPECT_EQ(board.record.setupMoveNumber, 21);
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("w -").c_str()));
    EXPECT_EQ(board.root.castleFlags, 0);
    // Either case of the side letter, and "nil" fields.
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("W KQkq").c_str()));
    EXPECT_EQ(board.root.side, WHITE);
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("b nil nil 5 9").c_str()));
    EXPECT_EQ(board.root.side, BLACK);
    EXPECT_EQ(board.root.castleFlags, 0);
    EXPECT_EQ(board.root.sideRecord, &board.position.blackSide);
    // Counters are not read, whatever they say.
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("w KQkq - x y").c_str()));
    EXPECT_EQ(board.root.halfMoves, 0);
}

TEST(FenSetup, EnPassantSquare) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1"));
    EXPECT_EQ(board.root.epSquare, 0x24);
    EXPECT_EQ(board.root.nodeFlags, NODE_EP_SQUARE);
    // Off the board fails.
    EXPECT_FALSE(SetUpBoard(&board, WithBoard("w KQkq e9").c_str()));
    EXPECT_FALSE(SetUpBoard(&board, WithBoard("w KQkq i3").c_str()));
    EXPECT_FALSE(SetUpBoard(&board, WithBoard("w KQkq e3x").c_str()));
    // On the board but no double step explains it: dropped.
    ASSERT_TRUE(SetUpBoard(&board, WithBoard("w KQkq e3").c_str()));
    EXPECT_EQ(board.root.epSquare, NO_SQUARE);
    EXPECT_EQ(board.root.nodeFlags, 0);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/4P3/8/8/4K3 b - d3"));
    EXPECT_EQ(board.root.epSquare, NO_SQUARE);
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/4P3/4N3/8/4K3 b - e3"));
    EXPECT_EQ(board.root.epSquare, NO_SQUARE);
}

TEST(FenSetup, MenBeyondTheStartingSet) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/QQQ5/4K3 w - -"));
    EXPECT_EQ(board.position.kinds[WHITE_QUEEN].count, 3);
    EXPECT_EQ(board.position.men[17].code, WHITE_QUEEN);  // pawn records turned queens
    EXPECT_EQ(board.position.men[18].code, WHITE_QUEEN);
    EXPECT_TRUE(PositionIsConsistent(&board.position));
    // Eight pawns and two extra knights need ten pawn records.
    EXPECT_FALSE(SetUpBoard(&board, "4k3/8/8/8/8/NNNN4/PPPPPPPP/4K3 w - -"));
    EXPECT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/NNNN4/PPPPPP2/4K3 w - -"));
}

TEST(FenSetup, KingsAndRights) {
    static TestBoard board;
    // Rights of a king away from home are dropped.
    ASSERT_TRUE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/3K4 w KQ"));
    EXPECT_EQ(board.root.castleFlags & CASTLE_ALL, 0);
    // No king, or two, is refused.
    EXPECT_FALSE(SetUpBoard(&board, "8/8/8/8/8/8/8/8 w"));
    EXPECT_FALSE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/8 w"));
    EXPECT_FALSE(SetUpBoard(&board, "4k3/8/8/8/8/8/8/3KK3 w"));
    EXPECT_FALSE(SetUpBoard(&board, "4kk2/8/8/8/8/8/8/4K3 w"));
}

TEST(FenSetup, MalformedTextIsRefused) {
    static TestBoard board;
    const char *bad[] = {
        "",
        "   ",
        START_BOARD,                                        // no side field
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP w",             // seven ranks
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/8 w",  // nine ranks
        "rnbqkbnr/ppppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",   // nine squares
        "rnbqkbnr/ppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",     // seven squares
        "rnbqkbnr/pppppppp/9/8/8/8/PPPPPPPP/RNBQKBNR w",    // digit 9
        "rnbqkbnr/pppppppp/08/8/8/8/PPPPPPPP/RNBQKBNR w",   // digit 0
        "rnbqkbnr/pppxpppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",    // unknown letter
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNP w",    // pawn on the first rank
        "rnbqkbnp/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w",    // pawn on the last rank
        "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR/ w",   // trailing slash
        "4k3/8/8/8/8/P7/PPPPPPPP/4K3 w",                    // nine pawns
    };
    for (const char *fen : bad)
        EXPECT_FALSE(SetUpBoard(&board, fen)) << fen;
    for (const char *rest :
         {"white", "x", "w KX", "w -x", "w nilx", "w K- e3", "w KQkq e", "w KQkq -x"})
        EXPECT_FALSE(SetUpBoard(&board, WithBoard(rest).c_str())) << rest;
}

TEST(FenSetup, LongTextIsKeptWhole) {
    static TestBoard board;
    std::string text = WithBoard("b") + std::string(300, ' ') + "KQkq   -  0   1";
    ASSERT_TRUE(SetUpBoard(&board, text.c_str()));
    EXPECT_EQ(board.root.side, BLACK);
    EXPECT_EQ(board.root.castleFlags, CASTLE_ALL);
    // Text longer than any UCI line is refused, not cut.
    std::string huge = WithBoard("w KQkq -") + std::string(FEN_TEXT_SIZE, ' ');
    EXPECT_FALSE(SetUpBoard(&board, huge.c_str()));
}

TEST(FenSetup, RefusedTextLeavesTheRecordAndPosition) {
    static TestBoard board;
    ASSERT_TRUE(SetUpBoard(&board, "r3k2r/8/8/8/8/8/8/R3K2R b KQkq - 0 1"));
    HashKey key = board.root.key;
    GameRecord copy = board.record;
    EXPECT_EQ(ParseSetupText("r3k2r/8/8/8/8/8/8/R3K2R w KQkq e9", &board.record), -1);
    EXPECT_EQ(memcmp(&copy, &board.record, sizeof copy), 0);
    // ParseFen refuses a bad board before touching the Position.
    strcpy(board.record.setupText, "r3k2r/8/8/8/8/8");
    EXPECT_EQ(ParseFen(&board.root, &board.record), -1);
    EXPECT_EQ(board.root.key.lock32, key.lock32);
    EXPECT_TRUE(PositionIsConsistent(&board.position));
    EXPECT_EQ(board.root.side, BLACK);
}

}  // namespace
