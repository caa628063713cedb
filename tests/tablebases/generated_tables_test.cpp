// Tables solved and numbered by the test solver, then read back through
// the probe: every legal position of each ending, both colourings and both
// sides to move, from plain files and from compressed files alone.
#include <gtest/gtest.h>

#include <string>

#include "tablebases/block_cache.h"
#include "tablebases/tablebase_probe.h"
#include "tablebases/tablebase_registration.h"
#include "tests/tablebases/tb_solver.h"
#include "tests/tablebases/tb_writer.h"

namespace {

// Debug and sanitizer builds probe a sample: every PROBE_STRIDE-th
// position. Release probes them all.
#ifdef VLM_DEBUG
constexpr int PROBE_STRIDE = 13;
#else
constexpr int PROBE_STRIDE = 1;
#endif

const int8_t WHITE_CODES[5] = {11, 10, 9, 8, 7};  // queen .. pawn
const int8_t BLACK_CODES[5] = {1, 2, 3, 4, 5};

void FillProbeBoard(const SolverPosition &p, int8_t *board) {
    for (int s = 0; s < 64; s++)
        board[s] = 6;
    board[p.whiteKing] = 12;
    board[p.blackKing] = 0;
    for (int i = 0; i < p.nMen; i++)
        board[p.men[i].square] = (p.men[i].white ? WHITE_CODES : BLACK_CODES)[p.men[i].type];
}

// What the probe must answer for a solver value: the byte of a position
// mated now reads as no value.
bool ExpectedProbe(int16_t value, int *score) {
    if (value == -1)
        return false;
    *score = value == 0 ? 0 : ValueIsWin(value) ? MovesToMate(value) : -MovesToMate(value) - 1;
    return true;
}

struct ProbeRun {
    int64_t nSeen = 0, nProbed = 0, nWrong = 0;
    std::string firstWrong;
};

void ProbeOne(const SolverPosition &p, int16_t value, ProbeRun *run) {
    int8_t board[64];
    FillProbeBoard(p, board);
    int ep = p.epSquare < 0 ? 0 : p.epSquare;
    int score = 99999, expected = 0;
    int found = LookUpTablebaseScore(board, p.whiteToMove ? 1 : -1, ep, &score);
    bool expectFound = ExpectedProbe(value, &expected);
    run->nProbed++;
    if (found == int(expectFound) && (!found || score == expected))
        return;
    if (run->nWrong++ == 0) {
        run->firstWrong = "K" + std::to_string(p.whiteKing) + " k" + std::to_string(p.blackKing);
        for (int i = 0; i < p.nMen; i++)
            run->firstWrong += " " + std::to_string(p.men[i].type) + (p.men[i].white ? "w" : "b") +
                               std::to_string(p.men[i].square);
        run->firstWrong += std::string(p.whiteToMove ? " wtm" : " btm") + " ep" +
                           std::to_string(p.epSquare) + ": found " + std::to_string(found) +
                           " score " + std::to_string(score) + ", solver " +
                           std::to_string(expected) + (expectFound ? "" : " (no value)");
    }
}

void ProbeBothColourings(const SolverPosition &p, int16_t value, void *context) {
    ProbeRun *run = static_cast<ProbeRun *>(context);
    if (run->nSeen++ % PROBE_STRIDE != 0)
        return;
    ProbeOne(p, value, run);
    ProbeOne(ColourMirror(p), value, run);
}

class GeneratedTables : public ::testing::Test {
   protected:
    std::string directory;
    void SetUp() override { directory = MakeTempDirectory(); }
    void TearDown() override {
        RegisterTablebases(nullptr);
        SetTablebaseCacheSize(0);
        RemoveDirectoryTree(directory);
    }
    // Registers the directory's tables and probes every solved position.
    void ExpectEveryPositionAgrees(const char *form) {
        ASSERT_EQ(RegisterTablebases(directory.c_str()), 4) << form;
        ASSERT_EQ(SetTablebaseCacheSize(16), 1);
        for (int ending = 0; ending < SOLVER_ENDINGS; ending++) {
            ProbeRun run;
            ForEachSolvedPosition(ending, ProbeBothColourings, &run);
            EXPECT_GT(run.nProbed, 1000) << SolverEndingName(ending);
            EXPECT_EQ(run.nWrong, 0)
                << form << " " << SolverEndingName(ending) << " " << run.firstWrong;
        }
    }
};

TEST_F(GeneratedTables, EveryPositionAgreesWithTheSolverInBothForms) {
    SolveEndings(true);
    std::string error;
    ASSERT_TRUE(WriteSolvedTables(directory, true, false, &error)) << error;
    ExpectEveryPositionAgrees("plain");
    RemoveDirectoryTree(directory);
    directory = MakeTempDirectory();
    ASSERT_TRUE(WriteSolvedTables(directory, false, true, &error)) << error;
    ExpectEveryPositionAgrees("compressed");
}

// Square 0 is a1, rank by rank; 12 white king, 0 black king, 7 white
// pawn, 5 black pawn. Turning the board over, reading files as ranks or
// swapping the colours each gives another distance.
TEST_F(GeneratedTables, ProbeBoardLayoutIsPinned) {
    SolveEndings(false);
    std::string error;
    ASSERT_TRUE(WriteSolvedTables(directory, true, false, &error)) << error;
    ASSERT_GE(RegisterTablebases(directory.c_str()), 3);
    ASSERT_EQ(SetTablebaseCacheSize(1), 1);
    struct Case {
        int whiteKing, blackKing, pawn;
        int8_t pawnCode;
        int score;
    } cases[] = {
        {0, 2, 13, 7, 14},   // Ka1 kc1 Pf2: mate in 14
        {56, 58, 53, 7, 7},  // Ka8 kc8 Pf7: mate in 7
        {2, 0, 13, 5, -9},   // Kc1 ka1 pf2: mated after 8 moves
        {0, 16, 41, 7, 9},   // Ka1 ka3 Pb6 (files read as ranks): mate in 9
    };
    for (const Case &c : cases) {
        int8_t board[64];
        for (int8_t &square : board)
            square = 6;
        board[c.whiteKing] = 12;
        board[c.blackKing] = 0;
        board[c.pawn] = c.pawnCode;
        int score = 0;
        EXPECT_EQ(LookUpTablebaseScore(board, 1, 0, &score), 1) << c.pawn;
        EXPECT_EQ(score, c.score) << c.pawn;
    }
    // Use_tablebases off: not found, no hit counted; on again without a
    // new registration.
    int8_t board[64];
    for (int8_t &square : board)
        square = 6;
    board[0] = 12, board[2] = 0, board[13] = 7;
    int score = 0, hits = tbHits;
    SetTablebaseProbing(false);
    EXPECT_EQ(LookUpTablebaseScore(board, 1, 0, &score), 0);
    EXPECT_EQ(tbHits, hits);
    SetTablebaseProbing(true);
    EXPECT_EQ(LookUpTablebaseScore(board, 1, 0, &score), 1);
    EXPECT_EQ(score, 14);
}

int LongestWin(int ending) {
    int longest = 0;
    ForEachSolvedPosition(
        ending,
        [](const SolverPosition &, int16_t value, void *context) {
            int *best = static_cast<int *>(context);
            if (ValueIsWin(value) && MovesToMate(value) > *best)
                *best = MovesToMate(value);
        },
        &longest);
    return longest;
}

TEST(TableSolver, LongestMatesAreTheKnownOnes) {
    SolveEndings(false);
    EXPECT_EQ(LongestWin(SOLVER_KQK), 10);
    EXPECT_EQ(LongestWin(SOLVER_KRK), 16);
    EXPECT_EQ(LongestWin(SOLVER_KPK), 28);
    EXPECT_EQ(LongestWin(SOLVER_KBK), 0);
    EXPECT_EQ(LongestWin(SOLVER_KNK), 0);
}

}  // namespace
