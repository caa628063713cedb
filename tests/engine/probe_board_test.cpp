// The board handed to the tablebase probe: square a1 = 0 to h8 = 63, rank
// by rank, each holding the piece code of the man on it (6 when empty).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "board_fixture.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"

namespace {

// The probe board read off the placement field of a FEN, independently of
// the engine's board.
void ExpectedBoard(const char *fen, int8_t board[64]) {
    const std::string codes = "kqrbnp PNBRQK";  // code = index in this text
    int rank = 7, file = 0;
    for (const char *c = fen; *c && *c != ' '; c++) {
        if (*c == '/') {
            rank--, file = 0;
        } else if (*c >= '1' && *c <= '8') {
            for (int n = *c - '0'; n > 0; n--)
                board[rank * 8 + file++] = 6;
        } else {
            board[rank * 8 + file++] = int8_t(codes.find(*c));
        }
    }
}

struct ProbeCall {
    int8_t board[64];
    int side, epSquare;
};
ProbeCall lastCall;

int RecordProbe(const int8_t *board, int side, int epSquare, int *score) {
    memcpy(lastCall.board, board, 64);
    lastCall.side = side;
    lastCall.epSquare = epSquare;
    *score = 7;
    return 1;
}

TEST(ProbeBoard, HoldsEverySquareInRankOrder) {
    // No two squares that a mirror or a turn of the board exchanges hold
    // the same code.
    const char *fens[] = {
        "1nbqkbn1/r6p/8/3Pp3/8/8/P5R1/RNBQKBN1 w - e6 0 1",
        "8/8/8/8/8/8/1k6/K7 b - - 0 1",
        "7k/8/2p5/8/4N3/8/3P4/6QK w - - 0 1",
    };
    static TestBoard board;
    for (const char *fen : fens) {
        ASSERT_TRUE(SetUpBoard(&board, fen)) << fen;
        int8_t expected[64], built[64];
        ExpectedBoard(fen, expected);
        BuildProbeBoard(&board.position, built);
        for (int square = 0; square < 64; square++)
            EXPECT_EQ(built[square], expected[square]) << fen << " square " << square;
    }
    // Spot values of the first position: a1 rook, e1 king, h2 empty, d5
    // white pawn, e5 black pawn, a7 rook, e8 king, h8 empty.
    ASSERT_TRUE(SetUpBoard(&board, fens[0]));
    int8_t built[64];
    BuildProbeBoard(&board.position, built);
    EXPECT_EQ(built[0], 10);
    EXPECT_EQ(built[4], 12);
    EXPECT_EQ(built[15], 6);
    EXPECT_EQ(built[35], 7);
    EXPECT_EQ(built[36], 5);
    EXPECT_EQ(built[48], 2);
    EXPECT_EQ(built[60], 0);
    EXPECT_EQ(built[63], 6);
}

TEST(ProbeBoard, WrapperHandsBoardSideAndSquareToTheProgram) {
    static TestBoard board;
    const char *fen = "7k/8/2p5/8/4N3/8/3P4/6QK w - - 0 1";
    ASSERT_TRUE(SetUpBoard(&board, fen));
    FrontEndCallbacks saved = frontEnd;
    frontEnd.probeTablebase = RecordProbe;
    int score = 0;
    int found = ProbeTablebase(&board.position, -1, 44, &score);
    frontEnd = saved;
    EXPECT_EQ(found, 1);
    EXPECT_EQ(score, 7);
    EXPECT_EQ(lastCall.side, -1);
    EXPECT_EQ(lastCall.epSquare, 44);
    int8_t expected[64];
    ExpectedBoard(fen, expected);
    EXPECT_EQ(memcmp(lastCall.board, expected, 64), 0);
}

}  // namespace
