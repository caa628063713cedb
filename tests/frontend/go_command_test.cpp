// "go" keywords into think requests: kinds, whole seconds, clamps and the
// error lines of unsupported or incomplete keywords.
#include "frontend/go_command.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "frontend/control_thread.h"

namespace {

struct Parsed {
    ThinkRequest request;
    std::string output;
};

Parsed Parse(const std::string &line) {
    std::vector<std::string> words;
    std::istringstream stream(line);
    for (std::string word; stream >> word;)
        words.push_back(word);
    std::vector<char *> pointers;
    for (std::string &word : words)
        pointers.push_back(word.data());
    testing::internal::CaptureStdout();
    ThinkRequest request = ParseGoCommand(line.c_str(), pointers.data(), int(pointers.size()));
    return {request, testing::internal::GetCapturedStdout()};
}

std::vector<int> Numbers(const ThinkRequest &r) {
    return {r.mode, r.kind, r.wtime, r.btime, r.movesToGo, r.winc, r.binc, r.extra};
}

TEST(GoCommand, KeywordsGiveTheThinkNumbers) {
    EXPECT_EQ(Numbers(Parse("go wtime 9000 btime 8000 winc 2000 binc 1000").request),
              (std::vector<int>{0, 6, 9, 8, 0, 2, 1, 0}));
    EXPECT_EQ(Numbers(Parse("go wtime 999").request), (std::vector<int>{0, 6, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go infinite").request), (std::vector<int>{2, 1, 60, 60, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go depth 8").request), (std::vector<int>{0, 0, 8, 8, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go movetime 5000").request),
              (std::vector<int>{0, 4, 5000, 5000, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go ponder wtime 60000 btime 60000 movestogo 20").request),
              (std::vector<int>{1, 6, 60, 60, 20, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go").request), (std::vector<int>{0, 6, 0, 0, 0, 0, 0, 0}));
}

TEST(GoCommand, ClockKeywordsDoNotOverwriteDepthOrMoveTime) {
    EXPECT_EQ(Numbers(Parse("go depth 5 wtime 60000").request),
              (std::vector<int>{0, 0, 5, 5, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go movetime 1000 wtime 5000 btime 7000").request),
              (std::vector<int>{0, 4, 1000, 1000, 0, 0, 0, 0}));
    // Among depth, movetime and infinite the later keyword wins.
    EXPECT_EQ(Numbers(Parse("go depth 5 movetime 200").request),
              (std::vector<int>{0, 4, 200, 200, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go movetime 200 depth 5").request),
              (std::vector<int>{0, 0, 5, 5, 0, 0, 0, 0}));
    EXPECT_EQ(Numbers(Parse("go depth 5 infinite").request),
              (std::vector<int>{2, 1, 60, 60, 0, 0, 0, 0}));
}

TEST(GoCommand, OddNumbersAreHeldToRange) {
    EXPECT_EQ(Numbers(Parse("go wtime -5000 btime -1 winc -3000 binc -2000 movestogo -4").request),
              (std::vector<int>{0, 6, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Parse("go depth -3").request.wtime, 1);
    EXPECT_EQ(Parse("go depth 0").request.wtime, 1);
    EXPECT_EQ(Parse("go movetime 0").request.wtime, 1);
    EXPECT_EQ(Parse("go depth abc").request.wtime, 1);
    ThinkRequest huge = Parse("go wtime 99999999999999999999 movestogo 99999999999").request;
    EXPECT_GT(huge.wtime, 0);
    EXPECT_LE(int64_t(huge.wtime) * 1000, int64_t(INT32_MAX));
    EXPECT_LE(huge.movesToGo, 1000);
    ThinkRequest longMove = Parse("go movetime 9999999999999").request;
    EXPECT_LE(int64_t(longMove.wtime) * 3, int64_t(INT32_MAX));
}

TEST(GoCommand, UnsupportedAndMissingValuesReportAndGoOn) {
    Parsed mate = Parse("go mate 3");
    EXPECT_EQ(mate.output, "info string Error (unsupported option mate): go mate 3\n");
    EXPECT_EQ(Numbers(mate.request), (std::vector<int>{0, 6, 0, 0, 0, 0, 0, 0}));
    Parsed nodes = Parse("go nodes 1000 depth 4");
    EXPECT_EQ(nodes.output,
              "info string Error (unsupported option nodes): go nodes 1000 depth 4\n");
    EXPECT_EQ(nodes.request.kind, 0);
    EXPECT_EQ(nodes.request.wtime, 4);
    Parsed moves = Parse("go searchmoves e2e4 depth 3");
    EXPECT_EQ(moves.output,
              "info string Error (unsupported option searchmoves): go searchmoves e2e4 depth 3\n");
    EXPECT_EQ(moves.request.wtime, 3);
    EXPECT_EQ(Parse("go mate").output, "info string Error (missing argument): go mate\n");
    Parsed last = Parse("go depth 4 wtime");
    EXPECT_EQ(last.output, "info string Error (missing argument): go depth 4 wtime\n");
    EXPECT_EQ(Numbers(last.request), (std::vector<int>{0, 0, 4, 4, 0, 0, 0, 0}));
    Parsed onlyDepth = Parse("go depth");
    EXPECT_EQ(onlyDepth.request.kind, 6);  // the keyword without value is dropped
}

}  // namespace
