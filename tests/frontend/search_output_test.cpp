// The score part of PV lines.
#include "frontend/search_output.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Score(int score, int contempt) {
    char out[24];
    FormatScore(out, score, contempt);
    return out;
}

TEST(SearchOutput, ScoresAreShownWithoutContemptAndMatesInMoves) {
    EXPECT_EQ(Score(35, 10), "cp 25");
    EXPECT_EQ(Score(0, 10), "cp 0");
    EXPECT_EQ(Score(-40, -15), "cp -25");
    EXPECT_EQ(Score(9999 - 4, 10), "mate 2");
    EXPECT_EQ(Score(-(9999 - 3), 10), "mate -1");
    EXPECT_EQ(Score(8999, 0), "cp 8999");
    EXPECT_EQ(Score(-8999, 0), "cp -8999");
}

}  // namespace
