// Perft counts against public reference values, with the key and unmake
// checks at every node in debug builds.
#include "engine/perft.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "board_fixture.h"
#include "engine/board_check.h"

namespace {

#ifdef VLM_DEBUG
constexpr int DEPTH_CUT = 1;  // sanitizer and debug builds run shallower
constexpr bool SLOW_CHECKS = true;
#else
constexpr int DEPTH_CUT = 0;
constexpr bool SLOW_CHECKS = false;
#endif

struct PerftCase {
    const char *fen;
    std::vector<int64_t> counts;  // depth 1, 2, ...
};

const PerftCase referenceCases[] = {
    {"rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1", {20, 400, 8902, 197281, 4865609}},
    {"r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
     {48, 2039, 97862, 4085603}},
    {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", {14, 191, 2812, 43238, 674624}},
    {"r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1", {6, 264, 9467, 422333}},
    {"rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8", {44, 1486, 62379, 2103487}},
    {"r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
     {46, 2079, 89890, 3894594}},
    // Mirror of the fourth, black to move.
    {"r2q1rk1/pP1p2pp/Q4n2/bbp1p3/Np6/1B3NBn/pPPP1PPP/R3K2R b KQ - 0 1", {6, 264, 9467, 422333}},
};

int64_t CountPerft(const char *fen, int depth, bool checks) {
    static TestBoard board;
    if (!SetUpBoard(&board, fen))
        return -1;
    slowChecks = checks;
    int64_t count = Perft(&board.root, depth);
    slowChecks = false;
    return count;
}

TEST(Perft, ReferencePositions) {
    for (const PerftCase &c : referenceCases) {
        int maxDepth = int(c.counts.size()) - DEPTH_CUT;
        for (int depth = 1; depth <= maxDepth; depth++) {
            // The slow checks run at every node of the shallower depths.
            bool checks = SLOW_CHECKS && depth <= 3;
            EXPECT_EQ(CountPerft(c.fen, depth, checks), c.counts[depth - 1])
                << c.fen << " depth " << depth;
        }
    }
}

// The public suite: every position to depth 3 (2 in debug builds), the
// first thirty with every node checked.
TEST(Perft, PublicSuite) {
    std::ifstream file(std::string(VLM_TEST_DATA_DIR) + "/perftsuite.epd");
    ASSERT_TRUE(file.good());
    std::string line;
    int nPositions = 0;
    while (std::getline(file, line)) {
        std::stringstream fields(line);
        std::string fen, field;
        std::getline(fields, fen, ';');
        int maxDepth = 3 - DEPTH_CUT;
        while (std::getline(fields, field, ';')) {
            int depth;
            long long expected;
            if (sscanf(field.c_str(), " D%d %lld", &depth, &expected) != 2 || depth > maxDepth)
                continue;
            EXPECT_EQ(CountPerft(fen.c_str(), depth, SLOW_CHECKS && nPositions < 30), expected)
                << fen << " depth " << depth;
        }
        nPositions++;
    }
    EXPECT_EQ(nPositions, 126);
}

}  // namespace
