// The search on the pool-less core: mates found with their exact scores,
// simple tactics, repetitions found through the pinned history, and
// node counts and lines that repeat exactly on a cleared table.
#include "engine/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "bench/bench_positions.h"
#include "engine/attacks.h"
#include "engine/game.h"
#include "engine/legal_moves.h"
#include "engine/make_move.h"
#include "engine/module_state.h"
#include "engine/report_wrappers.h"
#include "engine/search_init.h"
#include "engine/transposition_table.h"

namespace {

struct Line {
    int index, depth, score;
    std::vector<Move> moves;
};
std::vector<Line> lines;

void RecordPv(int lineIndex, int depth, int score, int, const Move *pv, int) {
    Line line = {lineIndex, depth, score, {}};
    for (int i = 0; i < PV_LENGTH && MoveFrom(pv[i]) != NO_SQUARE; i++)
        line.moves.push_back(pv[i]);
    lines.push_back(line);
}

void SetUpGame(const char *fen) {
    FrontEndCallbacks callbacks = {};
    callbacks.reportPv = RecordPv;
    ResetModuleState(&callbacks);
    InstallReportHooks();
    if (!hashTable.entries)
        InitSearch(4 << 20);
    EXPECT_EQ(SetGamePosition(fen), 0) << fen;
}

// A search of the game position as it stands under the given limit, on a
// cleared table; returns the last line reported.
Line ThinkUnder(int kind, int limit) {
    ClearHashTable(&hashTable);
    timeControlKind = kind;
    limitValues[0] = limit;
    stopSearch = 0;
    searchState = 1;
    rootSide = rootNode.side;
    lines.clear();
    Think(&rootNode, 1);
    searchState = 0;
    return lines.empty() ? Line{-1, 0, 0, {}} : lines.back();
}

Line ThinkToDepth(int depth) {
    return ThinkUnder(0, depth);
}

Line SearchToDepth(const char *fen, int depth) {
    SetUpGame(fen);
    return ThinkToDepth(depth);
}

bool MatesWithin(SearchNode *node, int n);

// The side to move is mated within n more moves of the other side.
bool MatedWithin(SearchNode *node, int n) {
    Move moves[MAX_LEGAL_MOVES];
    int count = GenerateLegalMoves(node, moves);
    if (count == 0)
        return IsSquareAttacked(node, KingSquare(node->position, node->side)) != 0;
    if (n == 0)
        return false;
    for (int i = 0; i < count; i++) {
        SearchNode child;
        MakeMove(node, moves[i], &child);
        bool mated = MatesWithin(&child, n);
        UnmakeMove(&child);
        if (!mated)
            return false;
    }
    return true;
}

bool MatesWithin(SearchNode *node, int n) {
    Move moves[MAX_LEGAL_MOVES];
    int count = GenerateLegalMoves(node, moves);
    for (int i = 0; i < count; i++) {
        SearchNode child;
        MakeMove(node, moves[i], &child);
        bool mates = MatedWithin(&child, n - 1);
        UnmakeMove(&child);
        if (mates)
            return true;
    }
    return false;
}

struct MateCase {
    const char *fen;
    int moves;
    int depth;
};

TEST(Search, FindsForcedMatesWithTheirScores) {
    const MateCase cases[] = {
        {"7k/8/5K2/8/8/8/8/R7 w - -", 2, 6},     {"k7/8/2K5/8/8/8/8/7R w - -", 2, 6},
        {"6k1/8/8/8/8/8/R7/1R4K1 w - -", 2, 6},  {"k7/8/2K5/8/8/8/8/6Q1 w - -", 2, 6},
        {"8/6k1/8/8/8/8/R7/1R4K1 w - -", 3, 10}, {"8/5k2/8/8/8/8/R7/1R4K1 w - -", 3, 10},
    };
    for (const MateCase &c : cases) {
        Line line = SearchToDepth(c.fen, c.depth);
        EXPECT_EQ(line.score, SCORE_INFINITE - 2 * c.moves) << c.fen;
        ASSERT_FALSE(line.moves.empty()) << c.fen;
        // The position is a mate in exactly that many, and the first move
        // of the line keeps the mate.
        ResetMoveList(&rootNode);
        EXPECT_FALSE(MatesWithin(&rootNode, c.moves - 1)) << c.fen;
        SearchNode child;
        ASSERT_TRUE(MoveIsLegal(&rootNode, line.moves[0])) << c.fen;
        MakeMove(&rootNode, line.moves[0], &child);
        EXPECT_TRUE(MatedWithin(&child, c.moves - 1)) << c.fen;
        UnmakeMove(&child);
    }
}

TEST(Search, MateInOneAndMateAgainst) {
    Line line = SearchToDepth("r1bqkbnr/pppp1ppp/2n5/4p3/2B1P3/5Q2/PPPP1PPP/RNB1K1NR w KQkq -", 4);
    ASSERT_FALSE(line.moves.empty());
    EXPECT_EQ(line.moves[0], MakeMoveCode(0x25, 0x65));  // Qxf7#
    EXPECT_EQ(line.score, SCORE_INFINITE - 2);
    // The side to move is mated in one whatever it plays.
    line = SearchToDepth("k7/8/1K6/8/8/8/8/1R5Q b - -", 4);
    EXPECT_EQ(line.score, -(SCORE_INFINITE - 3));
}

TEST(Search, WinsAHangingQueen) {
    Line line = SearchToDepth("4k3/8/8/3q4/8/8/3R4/4K3 w - -", 3);
    ASSERT_FALSE(line.moves.empty());
    EXPECT_EQ(line.moves[0], MakeMoveCode(0x13, 0x43));  // Rxd5
    EXPECT_GT(line.score, 250);                          // a rook up
    line = SearchToDepth("r3k3/8/8/8/4q3/8/3N4/4K3 w - -", 3);
    ASSERT_FALSE(line.moves.empty());
    EXPECT_EQ(line.moves[0], MakeMoveCode(0x13, 0x34));  // Nxe4
}

TEST(Search, RepeatedPositionBelowTheRootIsADraw) {
    SearchToDepth(nullptr, 1);
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x06, 0x25), ' '), 0);  // g1f3
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x76, 0x55), ' '), 0);  // g8f6
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x25, 0x06), ' '), 0);  // f3g1
    ASSERT_EQ(nGameHistory, 4);
    ClearHashTable(&hashTable);
    stopSearch = 0;
    PrepareHash(&hashTable, 1);
    // f6g8 brings back the start position of the game.
    SearchNode child;
    ResetMoveList(&rootNode);
    MakeMove(&rootNode, MakeMoveCode(0x55, 0x76), &child);
    UpdateNodeAfterMove(&child);
    child.matedScore = -(SCORE_INFINITE - 2);
    child.pv[0] = child.pv[1] = MOVE_NONE;
    Move killers[2] = {MOVE_NONE, MOVE_NONE};
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    int64_t before = mainPosition.nodes;
    EXPECT_EQ(Search(&child, 6, 500, -500, killers, line, nullptr), 0);
    EXPECT_EQ(mainPosition.nodes, before) << "answered by the table alone";
    UnmakeMove(&child);
    UnpinHistoryEntries(&hashTable);
}

// Black, a rook down, after 1.Nf3 Nf6 2.Ng1: Nf6-g8 repeats the start.
const char *ROOKLESS = "1nbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w Kk - 0 1";

void PlayKnightShuffle() {
    SearchToDepth(ROOKLESS, 1);
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x06, 0x25), ' '), 0);  // g1f3
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x76, 0x55), ' '), 0);  // g8f6
    ASSERT_EQ(PlayGameMove(MakeMoveCode(0x25, 0x06), ' '), 0);  // f3g1
}

// A pinned game position stays a repetition however often it is met:
// every knight trip f6-x-f6 around Ng1-f3 brings back the position after
// 1...Nf6, and each is a draw found by the table alone.
TEST(Search, RepeatedPositionIsADrawInEveryBranch) {
    PlayKnightShuffle();
    ClearHashTable(&hashTable);
    stopSearch = 0;
    PrepareHash(&hashTable, 1);
    mainPosition.nRepetitions = 0;
    const int stops[] = {0x76, 0x47, 0x36, 0x34, 0x43};  // g8 h5 g4 e4 d5
    for (int i = 0; i < 5; i++) {
        const Move path[3] = {MakeMoveCode(0x55, stops[i]), MakeMoveCode(0x06, 0x25),
                              MakeMoveCode(stops[i], 0x55)};
        SearchNode nodes[3];
        SearchNode *parent = &rootNode;
        for (int k = 0; k < 3; k++) {
            ResetMoveList(parent);
            MakeMove(parent, path[k], &nodes[k]);
            UpdateNodeAfterMove(&nodes[k]);
            parent = &nodes[k];
        }
        nodes[2].matedScore = -(SCORE_INFINITE - 4);
        nodes[2].pv[0] = nodes[2].pv[1] = MOVE_NONE;
        Move killers[2] = {MOVE_NONE, MOVE_NONE};
        Move line[PV_LENGTH];
        ClearLine(line, PV_LENGTH);
        int64_t before = mainPosition.nodes;
        EXPECT_EQ(Search(&nodes[2], 6, 500, -500, killers, line, nullptr), 0) << i;
        EXPECT_EQ(mainPosition.nodes, before) << i;
        EXPECT_EQ(mainPosition.nRepetitions, i + 1);
        for (int k = 2; k >= 0; k--)
            UnmakeMove(&nodes[k]);
    }
    UnpinHistoryEntries(&hashTable);
    // A whole search meets the repetition in more than one branch and
    // Black takes the draw.
    PlayKnightShuffle();
    Line line = ThinkToDepth(8);
    EXPECT_EQ(line.score, 0);
    EXPECT_EQ(line.moves, std::vector<Move>{MakeMoveCode(0x55, 0x76)});
    EXPECT_GT(mainPosition.nRepetitions, 1);
}

// Lines reported below the deepest depth reported before them: a search
// stopped right after one would answer with its move.
int CountShallowerLines() {
    int deepest = 0, nShallower = 0;
    for (const Line &line : lines) {
        nShallower += line.depth < deepest;
        deepest = std::max(deepest, line.depth);
    }
    return nShallower;
}

// Timed searches with time to spare, ended by the depth limit after the
// iterations at 3, 6 and 8 plies. From the second iteration the previous
// best move leads, so no reduced search of the whole root runs and reports
// again; only the re-search for another move after the best move's score
// dropped still reports lines three plies shallower.
TEST(Search, TimedIterationsReportShallowerLinesOnlyAfterAScoreDrop) {
    const int expected[] = {0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                            0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    static_assert(std::size(expected) == std::size(BENCH_POSITIONS));
#ifdef VLM_DEBUG
    const size_t nPositions = 8;
#else
    const size_t nPositions = std::size(BENCH_POSITIONS);
#endif
    const EngineSettings saved = settings;
    for (size_t i = 0; i < nPositions; i++) {
        for (int dropPct : {100, 1000000}) {
            SetUpGame(BENCH_POSITIONS[i]);
            settings.Depth_limit = 8;
            settings.Score_drop_threshold_pct = dropPct;
            ThinkUnder(4, 1 << 30);
            ASSERT_FALSE(lines.empty());
            EXPECT_EQ(lines.back().depth, 8);
            EXPECT_EQ(CountShallowerLines(), dropPct == 100 ? expected[i] : 0)
                << "score drop " << dropPct << "%: " << BENCH_POSITIONS[i];
        }
    }
    settings = saved;
}

// The root of fen as a one-ply search leaves it: evaluated, with its
// mated score and flags set.
SearchNode *PreparedRoot(const char *fen) {
    SearchToDepth(fen, 1);
    ResetMoveList(&rootNode);
    rootNode.pv[0] = rootNode.pv[1] = MOVE_NONE;
    return &rootNode;
}

TEST(Search, LeafSearchesWithoutMovesOrBelowStandPat) {
    Move killers[2] = {MOVE_NONE, MOVE_NONE};
    Move line[PV_LENGTH];
    for (bool mated : {true, false}) {
        SearchNode *root =
            PreparedRoot(mated ? "k7/1Q6/1K6/8/8/8/8/8 b - -" : "k7/8/1Q6/8/8/8/8/7K b - -");
        ClearLine(line, PV_LENGTH);
        EXPECT_EQ(SearchFrontier(root, 1, 9999, -9999, killers, line),
                  mated ? root->matedScore : 0);
        ResetMoveList(root);
        Move excluded[1] = {MOVE_NONE};
        EXPECT_EQ(Search(root, 3, 9999, -9999, killers, line, &excluded[0]),
                  mated ? root->matedScore : 0);
    }
    // A score at or above beta stands without a move being made.
    SearchNode *root = PreparedRoot("4k3/8/8/3q4/8/8/3R4/4K3 w - -");
    int64_t before = mainPosition.nodes;
    EXPECT_EQ(Quiesce(root, root->score - 5, root->score - 100, killers, line), root->score);
    EXPECT_EQ(mainPosition.nodes, before);
    // Rxd5 wins the queen.
    ResetMoveList(root);
    ClearLine(line, PV_LENGTH);
    EXPECT_GT(Quiesce(root, 9999, -9999, killers, line), root->score + 500);
    EXPECT_EQ(line[0], MakeMoveCode(0x13, 0x43));
}

TEST(Search, ExcludedRootMovesAreSkippedAndTheTableUntouched) {
    SearchNode *root = PreparedRoot("k7/8/8/8/8/8/8/K6r w - -");  // Ka2 or Kb2
    ClearHashTable(&hashTable);
    Move killers[2] = {MOVE_NONE, MOVE_NONE};
    Move line[PV_LENGTH];
    ClearLine(line, PV_LENGTH);
    Move excluded[3] = {MOVE_NONE, MakeMoveCode(0x00, 0x10), MakeMoveCode(0x00, 0x11)};
    EXPECT_EQ(Search(root, 4, 9999, -9999, killers, line, &excluded[1]) > -9999, true);
    EXPECT_EQ(line[0], MakeMoveCode(0x00, 0x11)) << "only Kb2 is left";
    EXPECT_EQ(root->movesSeen, 1);
    EXPECT_EQ(ProbeHash(&hashTable, &root->key), nullptr);
    // With both moves excluded nothing is searched.
    ResetMoveList(root);
    ClearLine(line, PV_LENGTH);
    Search(root, 4, 9999, -9999, killers, line, &excluded[2]);
    EXPECT_EQ(line[0], MOVE_NONE);
    EXPECT_EQ(root->movesSeen, 0);
}

#ifdef VLM_DEBUG
// A move that leaves its own king attacked must be refuted in the child by
// the capture of the king, even where the child is in check itself.
TEST(Search, NoIllegalMoveRaisesAlpha) {
    int64_t before = nIllegalRaises;
    for (const char *fen : PIN_AND_CHECK_POSITIONS) {
        for (int depth = 2; depth <= 9; depth++) {
            Line line = SearchToDepth(fen, depth);
            EXPECT_EQ(nIllegalRaises - before, 0) << fen << " depth " << depth;
            before = nIllegalRaises;
            ASSERT_FALSE(line.moves.empty()) << fen << " depth " << depth;
            EXPECT_TRUE(MoveIsLegal(&rootNode, line.moves[0])) << fen << " depth " << depth;
        }
    }
    for (size_t i = 0; i < 8; i++) {
        SearchToDepth(BENCH_POSITIONS[i], 7);
        EXPECT_EQ(nIllegalRaises - before, 0) << BENCH_POSITIONS[i];
        before = nIllegalRaises;
    }
}
#endif

TEST(Search, NodeCountsAndLinesRepeatOnAClearedTable) {
#ifdef VLM_DEBUG
    const int depth = 5;
#else
    const int depth = 8;
#endif
    const char *fens[] = {
        nullptr,
        "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
        "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
        "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P3/2NP1N2/PPP1QPPP/R4RK1 w - -",
    };
    for (const char *fen : fens) {
        Line first = SearchToDepth(fen, depth);
        int64_t firstNodes = mainPosition.nodes;
        Line second = SearchToDepth(fen, depth);
        EXPECT_EQ(mainPosition.nodes, firstNodes) << (fen ? fen : "start");
        EXPECT_EQ(first.moves, second.moves) << (fen ? fen : "start");
        EXPECT_EQ(first.score, second.score);
        EXPECT_GT(firstNodes, 0);
    }
}

}  // namespace
