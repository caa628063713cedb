// The option listing and "setoption", through the running program.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/threads.h"
#include "tests/support/test_book.h"
#include "tests/support/uci_process.h"

namespace {

const int TIMEOUT_MS = 20000;

RunResult RunUci(const std::string &input) {
    return RunProgram(VLM_PROGRAM_PATH, input, TIMEOUT_MS);
}

std::vector<std::string> OptionLines(const std::vector<std::string> &lines) {
    std::vector<std::string> options;
    for (const std::string &line : lines) {
        if (line.rfind("option name ", 0) == 0)
            options.push_back(line);
    }
    return options;
}

TEST(UciOptions, HandshakeListsEveryOptionInOrder) {
    RunResult result = RunUci("uci\nquit\n");
    int n = CountProcessors();
    std::vector<std::string> expected = {
        "option name Hash type spin default 16 min 4 max 4096",
        "option name Ponder type check default false",
        "option name OwnBook type check default true",
        "option name MultiPV type spin default 1 min 1 max 50",
        "option name Book_file type string default lm11.bin",
        "option name Book_selectivity type spin default 5 min 0 max 30",
        "option name Contempt type spin default 0 min -500 max 500",
        "option name Depth_limit type spin default 60 min 3 max 60",
        "option name Use_tablebases type check default true",
        "option name NalimovPath type string default C:\\TBs",
        "option name NalimovCache type spin default 1 min 1 max 4",
        "option name Null_move_reduction_(depth) type spin default 4 min 0 max 10",
        "option name Use_half_ply_heuristic type check default true",
        "option name Use_threat_detection type check default true",
        "option name Use_history_pruning type check default true",
        "option name Advanced_contempt type check default true",
        "option name Identify_drawish_positions type check default true",
        "option name Minimum_threat_value_(pct) type spin default 100 min 30 max 300",
        "option name Bad_move_threshold_(pct) type spin default 100 min 30 max 300",
        "option name Score_drop_threshold_(pct) type spin default 100 min 30 max 300",
        "option name Pawn_value_(pct) type spin default 100 min 30 max 300",
        "option name Pieces_value_(pct) type spin default 100 min 30 max 300",
        "option name King_safety_value_(pct) type spin default 100 min 30 max 300",
        "option name No_progress_penalty_(pct) type spin default 100 min 30 max 300",
        "option name Space_value_(pct) type spin default 100 min 30 max 300",
        "option name Mobility_value_(pct) type spin default 100 min 30 max 300",
        "option name Pawn_structure_value_(pct) type spin default 100 min 30 max 300",
        "option name Endgame_king_position_(pct) type spin default 100 min 30 max 300",
        "option name Passed_pawn_value_(pct) type spin default 100 min 30 max 300",
        "option name Clear_hash type check default false",
        "option name Threads type spin default " + std::to_string(n) + " min 1 max " +
            std::to_string(n),
    };
    EXPECT_EQ(OptionLines(result.lines), expected);
    ASSERT_EQ(result.lines.size(), expected.size() + 4);
    EXPECT_EQ(result.lines[0], "id name Velmorat 11.1 UCI");
    EXPECT_EQ(result.lines.back(), "uciok");
}

TEST(UciOptions, SetOptionFormsAndTheNextListing) {
    RunResult result = RunUci(
        "setoption name hash value 32\n"
        "setoption name Contempt value 20\n"
        "setoption name Depth_limit value\n"
        "setoption name Depth_limit\n"
        "setoption name No_such_option value 7\n"
        "setoption name MultiPV value 3 extra\n"
        "setoption Name MultiPV value 4\n"
        "uci\nquit\n");
    std::vector<std::string> options = OptionLines(result.lines);
    ASSERT_EQ(options.size(), 31u);
    EXPECT_EQ(options[0], "option name Hash type spin default 32 min 4 max 4096");
    EXPECT_EQ(options[3], "option name MultiPV type spin default 1 min 1 max 50");
    EXPECT_EQ(options[6], "option name Contempt type spin default 20 min -500 max 500");
    EXPECT_EQ(options[7], "option name Depth_limit type spin default 60 min 3 max 60");
    // Only the six-word line is refused with an error; the rest are silent.
    EXPECT_EQ(result.lines[0],
              "info string Error (too many parameters): "
              "setoption name MultiPV value 3 extra");
    EXPECT_EQ(result.lines[1], "id name Velmorat 11.1 UCI");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(UciOptions, OptionsAfterTheEngineStarted) {
    RunResult result = RunUci(
        "setoption name OwnBook value false\n"
        "isready\n"
        "setoption name Hash value 3\n"
        "setoption name Hash value 8\n"
        "setoption name Threads value 2\n"
        "setoption name Hash value 0\n"
        "setoption name Hash value -5\n"
        "setoption name Hash value lots\n"
        "setoption name MultiPV value 500\n"
        "setoption name Depth_limit value -1\n"
        "isready\nquit\n");
    std::vector<std::string> expected = {"readyok", "readyok"};
    EXPECT_EQ(result.lines, expected);
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(UciOptions, HarmfulHashValuesAtStart) {
    for (const char *value : {"0", "-20", "none", "1"}) {
        RunResult result = RunUci(std::string("setoption name OwnBook value false\n") +
                                  "setoption name Hash value " + value + "\nisready\nquit\n");
        std::vector<std::string> expected = {"readyok"};
        EXPECT_EQ(result.lines, expected) << value;
    }
}

TEST(UciOptions, MissingBookTurnsOwnBookOff) {
    RunResult result = RunUci(
        "setoption name Book_file value /nonexistent/dir/book.bin\n"
        "uci\nquit\n");
    ASSERT_FALSE(result.lines.empty());
    EXPECT_EQ(result.lines[0], "No such file or directory");
    std::vector<std::string> options = OptionLines(result.lines);
    ASSERT_EQ(options.size(), 31u);
    EXPECT_EQ(options[2], "option name OwnBook type check default false");
    EXPECT_EQ(options[4], "option name Book_file type string default /nonexistent/dir/book.bin");
}

// A string value is the rest of the line, blanks included (trailing
// blanks and a carriage return dropped): a book path with blanks is
// opened and played from.
TEST(UciOptions, StringValuesKeepTheirBlanks) {
    auto directory =
        std::filesystem::temp_directory_path() / ("vlm options  test " + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    std::string book = (directory / "my book.bin").string();
    ASSERT_TRUE(WriteTestBook(book, {{"", 0x3313, 10}}));
    UciProcess process;
    ASSERT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
    UciSend(&process, "setoption name Book_file value " + book + "  \r");
    UciSend(&process, "setoption name NalimovPath value " + directory.string() + ";C:\\My TBs ");
    std::vector<std::string> lines = UciCommand(&process, "uci", "uciok", TIMEOUT_MS);
    EXPECT_EQ(lines.empty() ? "" : lines[0], "id name Velmorat 11.1 UCI");
    std::vector<std::string> options = OptionLines(lines);
    ASSERT_EQ(options.size(), 31u);
    EXPECT_EQ(options[4], "option name Book_file type string default " + book);
    EXPECT_EQ(options[9],
              "option name NalimovPath type string default " + directory.string() + ";C:\\My TBs");
    UciSend(&process, "position startpos");
    lines = UciCommand(&process, "go wtime 10000 btime 10000", "bestmove", TIMEOUT_MS);
    std::vector<std::string> expected = {
        "info depth 0 score cp 0 nodes 0 nps 0 tbhits 0 time 0 multipv 1 pv  d2d4",
        "bestmove d2d4"};
    EXPECT_EQ(lines, expected);
    UciSend(&process, "quit");
    EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    std::filesystem::remove_all(directory);
}

}  // namespace
