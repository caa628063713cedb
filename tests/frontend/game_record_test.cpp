// "position" through the running program: set-up, move text, illegal
// input and the result lines after the last move of a list.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/test_board.h"
#include "tests/support/uci_process.h"

namespace {

const int TIMEOUT_MS = 20000;
const std::string QUIET_START = "setoption name OwnBook value false\n";

// Output of the position commands, ended by a sync on "isready".
std::vector<std::string> RunPositions(const std::string &commands) {
    RunResult result =
        RunProgram(VLM_PROGRAM_PATH, QUIET_START + commands + "isready\nquit\n", TIMEOUT_MS);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_FALSE(result.lines.empty());
    if (!result.lines.empty() && result.lines.back() == "readyok")
        result.lines.pop_back();
    return result.lines;
}

std::vector<std::string> Lines(std::initializer_list<const char *> lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(GameRecord, MoveTextFormsBuildTheGame) {
    EXPECT_TRUE(RunPositions("position startpos moves e2e4 e7e5 g1f3\n"
                             "position startpos moves e4 e5 Nf3\n"
                             "position startpos moves e2-e4 d7d5 e4xd5 Qxd5 Nc3 Qa5 d4 Nf6 "
                             "Nf3 Bf5 Bd3 Bxd3 Qxd3 e6 Bd2 Nbd7 O-O-O O-O-O\n"
                             "position startpos moves Nf3 Nf6 g3 g6 Bg2 Bg7 0-0 O-O\n"
                             "position startpos moves e4+ Nf6!\n")
                    .empty());
}

TEST(GameRecord, IllegalMovesStopTheList) {
    EXPECT_EQ(RunPositions("position startpos moves e2e5\n"), Lines({"Illegal move: e2e5"}));
    EXPECT_EQ(RunPositions("position startpos moves e2e4 e7e5 nf3 b8c6\n"),
              Lines({"Illegal move: nf3"}));
    EXPECT_EQ(RunPositions("position startpos moves o-o\n"), Lines({"Illegal move: o-o"}));
    EXPECT_EQ(RunPositions("position startpos moves e2e4 e7e5 e4e5\n"),
              Lines({"Illegal move: e4e5"}));
    // Pseudo-legal is not enough: the bishop is pinned, the king may not
    // step into check.
    EXPECT_EQ(RunPositions("position fen 4k3/4r3/8/8/8/8/4B3/4K3 w - - 0 1 moves e2d3\n"),
              Lines({"Illegal move: e2d3"}));
    EXPECT_EQ(RunPositions("position fen 4k3/8/8/8/8/8/3r4/K7 w - - 0 1 moves a1a2\n"),
              Lines({"Illegal move: a1a2"}));
    std::string longText(40, 'e');
    EXPECT_EQ(RunPositions("position startpos moves " + longText + "\n"),
              std::vector<std::string>{"Illegal move: " + longText});
}

TEST(GameRecord, IllegalPositions) {
    EXPECT_EQ(RunPositions("position fen xyz\n"), Lines({"info string Illegal position"}));
    EXPECT_EQ(RunPositions("position fen\n"), Lines({"info string Illegal position"}));
    EXPECT_EQ(RunPositions("position fen 8/8/8/8/8/8/8/8 w - - 0 1\n"),
              Lines({"info string Illegal position"}));
    // The side that has just moved stands in check.
    EXPECT_EQ(RunPositions("position fen 4k3/8/8/8/8/8/4R3/4K3 b - - 0 1\n").size(), 0u);
    EXPECT_EQ(RunPositions("position fen 4k3/8/8/8/8/8/4R3/4K3 w - - 0 1\n"),
              Lines({"info string Illegal position"}));
    // An en-passant square no pawn can use is dropped, not refused.
    EXPECT_TRUE(RunPositions("position fen 4k3/8/8/8/8/8/8/4K3 w - e6 0 1\n").empty());
    EXPECT_TRUE(
        RunPositions("position fen 4k3/8/8/3pP3/8/8/8/4K3 w - d6 0 1 moves e5d6\n").empty());
}

TEST(GameRecord, ResultLines) {
    EXPECT_EQ(RunPositions("position startpos moves f2f3 e7e5 g2g4 d8h4\n"),
              Lines({"info string result 0-1 checkmate"}));
    EXPECT_EQ(RunPositions("position startpos moves e2e4 e7e5 d1h5 b8c6 f1c4 g8f6 h5f7\n"),
              Lines({"info string result 1-0 checkmate"}));
    EXPECT_EQ(RunPositions("position fen 7k/8/6Q1/8/8/8/8/K7 w - - 0 1 moves g6f7\n"),
              Lines({"info string result 1/2-1/2 stalemate"}));
    EXPECT_EQ(RunPositions("position startpos moves g1f3 g8f6 f3g1 f6g8 g1f3 g8f6 f3g1 f6g8\n"),
              Lines({"info string result 1/2-1/2 draw by repetition"}));
    EXPECT_EQ(RunPositions("position fen 4k3/8/8/8/8/8/4n3/4K3 w - - 0 1 moves e1e2\n"),
              Lines({"info string result 1/2-1/2 draw due to insufficient material"}));
    // Only the last move of a list is classified; after the end no move
    // is taken.
    EXPECT_TRUE(RunPositions("position fen 7k/8/6Q1/8/8/8/8/K7 w - - 0 1\n").empty());
    EXPECT_EQ(RunPositions("position startpos moves f2f3 e7e5 g2g4 d8h4 a2a3\n"),
              Lines({"Illegal move: a2a3"}));
}

TEST(GameRecord, ShortFenReadsItsMoves) {
    EXPECT_EQ(RunPositions("position fen 7k/8/6Q1/8/8/8/8/K7 w moves g6f7\n"),
              Lines({"info string result 1/2-1/2 stalemate"}));
}

// A walk of quiet piece moves that never repeats a position.
std::string FiftyMoveWalk(int nPlies) {
    auto board = std::make_unique<TestBoard>();
    EXPECT_TRUE(TestSetUp(board.get(), "r3k3/8/8/8/8/8/8/R3K3 w - - 0 1"));
    std::vector<uint64_t> seen;
    std::string moves;
    for (int ply = 0; ply < nPlies; ply++) {
        bool played = false;
        for (const std::string &text : TestLegalMoveTexts(board.get())) {
            if (!TestPlay(board.get(), text))
                continue;
            const SearchNode *node = TestNode(board.get());
            uint64_t key = (uint64_t(node->key.lock32) << 16) | node->key.lock16;
            bool fresh = node->halfMoves == ply + 1 && node->reversals == 0;
            for (uint64_t old : seen)
                fresh = fresh && old != key;
            if (fresh) {
                seen.push_back(key);
                moves += " " + text;
                played = true;
                break;
            }
            board->ply--;
            UnmakeMove(&board->nodes[board->ply + 1]);
        }
        if (!played)
            return "";
    }
    return moves;
}

// The rule applies from the hundredth quiet ply on, and past it the line
// still names it.
TEST(GameRecord, FiftyMoveRule) {
    std::string moves = FiftyMoveWalk(103);
    ASSERT_FALSE(moves.empty());
    std::string position = "position fen r3k3/8/8/8/8/8/8/R3K3 w - - 0 1 moves";
    for (int nPlies = 103; nPlies >= 100; nPlies--) {
        EXPECT_EQ(RunPositions(position + moves + "\n"),
                  Lines({"info string result 1/2-1/2 draw due to 50-move rule"}))
            << nPlies;
        moves.resize(moves.rfind(' '));
    }
    EXPECT_TRUE(RunPositions(position + moves + "\n").empty());
}

// After a hundred quiet plies (26 knight or king shuffles) the ends that
// follow a pawn move still name their own reason.
TEST(GameRecord, ResultsAfterLongQuietRuns) {
    std::string knights, kings;
    for (int i = 0; i < 26; i++) {
        knights += " g1f3 g8f6 f3g1 f6g8";
        kings += " e1f1 a8a7 f1e1 a7a8";
    }
    EXPECT_EQ(RunPositions("position startpos moves" + knights + " f2f3 e7e5 g2g4 d8h4\n"),
              Lines({"info string result 0-1 checkmate"}));
    EXPECT_EQ(RunPositions("position fen k7/8/8/7p/7P/8/1Q4P1/4K3 w - - 0 1 moves" + kings +
                           " g2g3 a8a7 b2b5 a7a8 b5b6\n"),
              Lines({"info string result 1/2-1/2 stalemate"}));
    EXPECT_EQ(RunPositions("position startpos moves" + knights + " e2e4 e7e5" +
                           knights.substr(0, 40) + "\n"),
              Lines({"info string result 1/2-1/2 draw by repetition"}));
    EXPECT_TRUE(RunPositions("position startpos moves" + knights + " e2e4\n").empty());
}

TEST(GameRecord, LongMoveListsAreTakenWhole) {
    std::string moves;
    for (int i = 0; i < 400; i++)
        moves += " g1f3 g8f6 f3g1 f6g8";
    std::vector<std::string> lines = RunPositions("position startpos moves" + moves + "\n");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("info string result 1/2-1/2 draw", 0), 0u);
}

}  // namespace
