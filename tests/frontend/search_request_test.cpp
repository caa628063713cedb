// "go", "stop", "ponderhit" and the book through the running program.
// Every search must end with exactly one legal "bestmove".
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/bench_positions.h"
#include "engine/move_gen.h"
#include "tests/support/test_board.h"
#include "tests/support/test_book.h"
#include "tests/support/uci_process.h"

namespace {

const int TIMEOUT_MS = 60000;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Session {
    UciProcess process;
    explicit Session(const std::string &options = "setoption name OwnBook value false") {
        EXPECT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
        if (!options.empty())
            UciSend(&process, options);
        std::vector<std::string> lines = UciCommand(&process, "isready", "readyok", TIMEOUT_MS);
        EXPECT_FALSE(lines.empty());
        EXPECT_EQ(lines.empty() ? "" : lines.back(), "readyok");
    }
    ~Session() {
        UciSend(&process, "quit");
        EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    }
    // Lines until the program answers "isready": nothing may be pending.
    std::vector<std::string> Sync() {
        std::vector<std::string> lines = UciCommand(&process, "isready", "readyok", TIMEOUT_MS);
        EXPECT_EQ(lines.empty() ? "" : lines.back(), "readyok");
        return lines;
    }
};

// The move of a bestmove line, and its ponder move or "".
void SplitBestMove(const std::string &line, std::string *best, std::string *ponder) {
    char bestText[16] = "", ponderText[16] = "";
    int n = sscanf(line.c_str(), "bestmove %15s ponder %15s", bestText, ponderText);
    *best = n >= 1 ? bestText : "";
    *ponder = n == 2 ? ponderText : "";
}

bool IsMoveText(const std::string &text) {
    auto square = [&](size_t i) {
        return text[i] >= 'a' && text[i] <= 'h' && text[i + 1] >= '1' && text[i + 1] <= '8';
    };
    return (text.size() == 4 || (text.size() == 5 && strchr("qrbn", text[4]))) && square(0) &&
           square(2);
}

// The words after prefix: depth and the numbers, then " pv  " and moves.
bool IsPvLine(const std::string &line, std::string *pvText) {
    char scoreKind[8];
    int depth, score, timeMs, multiPv, used = 0;
    long long nodes, nps, tbHits;
    int n =
        sscanf(line.c_str(),
               "info depth %d score %7s %d nodes %lld nps %lld tbhits %lld time %d multipv %d%n",
               &depth, scoreKind, &score, &nodes, &nps, &tbHits, &timeMs, &multiPv, &used);
    if (n != 8 || (strcmp(scoreKind, "cp") && strcmp(scoreKind, "mate")) ||
        line.compare(used, 5, " pv  ") != 0)
        return false;
    *pvText = line.substr(used + 5);
    std::istringstream words(*pvText);
    int nMoves = 0;
    for (std::string move; words >> move; nMoves++) {
        if (!IsMoveText(move))
            return false;
    }
    return nMoves > 0 && pvText->find("  ") == std::string::npos;
}

// Every info line has the protocol's form; every PV is a line of legal
// moves from the searched position.
void ExpectWellFormedInfoLines(const std::vector<std::string> &lines, const std::string &fen,
                               const std::string &moves) {
    for (const std::string &line : lines) {
        char text[16];
        int depth, number, used = 0;
        long long nodes;
        if (line.rfind("info currmove ", 0) == 0) {
            EXPECT_TRUE(sscanf(line.c_str(), "info currmove %15s currmovenumber %d%n", text,
                               &number, &used) == 2 &&
                        used == int(line.size()) && IsMoveText(text))
                << line;
            continue;
        }
        if (line.rfind("info depth ", 0) != 0)
            continue;
        if (line.find(" pv ") == std::string::npos) {
            EXPECT_TRUE(sscanf(line.c_str(), "info depth %d nodes %lld%n", &depth, &nodes, &used) ==
                            2 &&
                        used == int(line.size()))
                << line;
            continue;
        }
        std::string pvText;
        ASSERT_TRUE(IsPvLine(line, &pvText)) << line;
        auto board = std::make_unique<TestBoard>();
        ASSERT_TRUE(TestSetUp(board.get(), fen, moves));
        std::istringstream pv(pvText);
        for (std::string move; pv >> move;)
            ASSERT_TRUE(TestPlay(board.get(), move)) << line;
    }
}

// Checks a finished search: one bestmove, at the end, naming a legal move
// of fen + moves (and a legal ponder move after it).
void ExpectOneLegalBestMove(Session *session, const std::vector<std::string> &lines,
                            const std::string &fen, const std::string &moves) {
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove"), 1);
    ASSERT_EQ(lines.back().rfind("bestmove ", 0), 0u) << lines.back();
    EXPECT_EQ(CountLinesWithPrefix(session->Sync(), "bestmove"), 0);
    auto board = std::make_unique<TestBoard>();
    ASSERT_TRUE(TestSetUp(board.get(), fen, moves));
    ExpectWellFormedInfoLines(lines, fen, moves);
    std::string best, ponder;
    SplitBestMove(lines.back(), &best, &ponder);
    if (TestLegalMoveTexts(board.get()).empty()) {
        EXPECT_EQ(best, "0000");
        return;
    }
    ASSERT_TRUE(TestMoveIsLegal(board.get(), best)) << lines.back();
    if (!ponder.empty()) {
        ASSERT_TRUE(TestPlay(board.get(), best));
        EXPECT_TRUE(TestMoveIsLegal(board.get(), ponder)) << lines.back();
    }
}

std::vector<std::string> Search(Session *session, const std::string &moves, const std::string &go,
                                const std::string &fen = START_FEN) {
    UciSend(&session->process, "position fen " + fen + (moves.empty() ? "" : " moves " + moves));
    std::vector<std::string> lines = UciCommand(&session->process, go, "bestmove", TIMEOUT_MS);
    ExpectOneLegalBestMove(session, lines, fen, moves);
    return lines;
}

TEST(SearchRequest, FixedDepthAndClockSearches) {
    Session session;
    Search(&session, "", "go depth 3");
    Search(&session, "e2e4 e7e5", "go depth 5 wtime 60000");
    Search(&session, "d2d4", "go wtime 3000 btime 2000 winc 100 binc 100 movestogo 10");
    Search(&session, "", "go wtime 500 btime 500");
    Search(&session, "", "go btime 1000 wtime 1000 winc 1000 binc 1000");
    Search(&session, "", "go");
    Search(&session, "e2e4", "go depth");
    Search(&session, "e2e4", "go depth -7 movestogo -1");
}

TEST(SearchRequest, MoveTimeIsKept) {
    Session session;
    int64_t start = NowMs();
    std::vector<std::string> lines = Search(&session, "e2e4", "go movetime 500");
    EXPECT_LT(NowMs() - start, 500 + 1500 * SLOW);
    start = NowMs();
    Search(&session, "e2e4 c7c5", "go movetime 300 wtime 5000 btime 5000");
    EXPECT_LT(NowMs() - start, 300 + 1500 * SLOW);
}

TEST(SearchRequest, MateAndNodesAreReportedThenSearched) {
    Session session;
    std::vector<std::string> lines = Search(&session, "", "go mate 3");
    EXPECT_EQ(lines[0], "info string Error (unsupported option mate): go mate 3");
    lines = Search(&session, "", "go nodes 100 depth 2");
    EXPECT_EQ(lines[0], "info string Error (unsupported option nodes): go nodes 100 depth 2");
}

TEST(SearchRequest, MatedAndStalematedRootsAnswerNullMove) {
    Session session;
    std::vector<std::string> lines = Search(&session, "f2f3 e7e5 g2g4 d8h4", "go depth 3");
    EXPECT_EQ(lines.back(), "bestmove 0000");
    lines = Search(&session, "", "go depth 3", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1");
    EXPECT_EQ(lines.back(), "bestmove 0000");
}

// A pin or a check: a man other than the king has a pseudo-legal move
// that leaves its own king attacked.
bool HasPinOrCheck(TestBoard *board) {
    SearchNode scan = *TestNode(board);
    ResetMoveList(&scan);
    SearchNode child;
    Move move;
    while (NextMove(&scan, &move) != MOVE_NONE) {
        if (BoardAt(&board->position, MoveFrom(move))->kind == KIND_KING)
            continue;
        MakeMove(&scan, move, &child);
        bool leavesKingAttacked = MoverKingIsAttacked(&child);
        UnmakeMove(&child);
        if (leavesKingAttacked)
            return true;
    }
    return false;
}

struct SweepPosition {
    std::string fen, moves;
};

// Positions with pins and checks: four where the search once preferred a
// move that left its king attacked, then from each bench position the
// first one with a pin or a check that random legal play reaches.
std::vector<SweepPosition> PinAndCheckPositions(size_t nPlayed) {
    std::vector<SweepPosition> positions;
    for (const char *fen : PIN_AND_CHECK_POSITIONS)
        positions.push_back({fen, ""});
    uint32_t random = 12345;
    auto board = std::make_unique<TestBoard>();
    for (const char *fen : BENCH_POSITIONS) {
        if (positions.size() >= std::size(PIN_AND_CHECK_POSITIONS) + nPlayed)
            break;
        EXPECT_TRUE(TestSetUp(board.get(), fen));
        std::string moves;
        for (int ply = 0; ply < 40; ply++) {
            std::vector<std::string> legal = TestLegalMoveTexts(board.get());
            if (legal.empty())
                break;
            if (ply >= 2 && HasPinOrCheck(board.get())) {
                positions.push_back({fen, moves});
                break;
            }
            random = random * 1103515245 + 12345;
            const std::string &move = legal[(random >> 16) % legal.size()];
            moves += (moves.empty() ? "" : " ") + move;
            EXPECT_TRUE(TestPlay(board.get(), move));
        }
    }
    return positions;
}

// Every fixed-depth search reports a line at its depth whose first move is
// legal, and plays that move.
TEST(SearchRequest, EveryDepthReportsALegalLineAndPlaysIt) {
#ifdef VLM_DEBUG
    const size_t nPlayed = 6;
    const int maxDepth = 7;
#else
    const size_t nPlayed = 20;
    const int maxDepth = 9;
#endif
    Session session;
    UciSend(&session.process, "setoption name Threads value 1");
    std::vector<SweepPosition> positions = PinAndCheckPositions(nPlayed);
    EXPECT_EQ(positions.size(), std::size(PIN_AND_CHECK_POSITIONS) + nPlayed);
    auto board = std::make_unique<TestBoard>();
    for (const SweepPosition &position : positions) {
        std::string command = "position fen " + position.fen;
        if (!position.moves.empty())
            command += " moves " + position.moves;
        ASSERT_TRUE(TestSetUp(board.get(), position.fen, position.moves)) << command;
        for (int depth = 1; depth <= maxDepth; depth++) {
            UciSend(&session.process, command);
            std::string go = "go depth " + std::to_string(depth);
            std::vector<std::string> lines =
                UciCommand(&session.process, go, "bestmove", TIMEOUT_MS);
            ASSERT_EQ(lines.empty() ? "" : lines.back().substr(0, 9), "bestmove ") << command;
            std::string lastPv, pvText;
            for (const std::string &line : lines) {
                if (IsPvLine(line, &pvText))
                    lastPv = line;
            }
            ASSERT_TRUE(IsPvLine(lastPv, &pvText)) << command << ", " << go;
            int lineDepth = 0;
            sscanf(lastPv.c_str(), "info depth %d", &lineDepth);
            EXPECT_EQ(lineDepth, depth) << command << ", " << go;
            std::string first = pvText.substr(0, pvText.find(' '));
            EXPECT_TRUE(TestMoveIsLegal(board.get(), first)) << command << ", " << go;
            std::string best, ponder;
            SplitBestMove(lines.back(), &best, &ponder);
            EXPECT_EQ(best, first) << command << ", " << go;
        }
    }
}

// Under a clock the first iteration is three plies deep: it must give the
// double-checked king's only good move, not a move that leaves it in check.
TEST(SearchRequest, ClockSearchOfADoubleCheckReportsAndPlaysTheKingMove) {
    Session session("setoption name OwnBook value false\nsetoption name Threads value 1");
    const std::string fen = PIN_AND_CHECK_POSITIONS[0];
    std::vector<std::string> lines =
        Search(&session, "", "go wtime 1800 btime 1800 winc 50 binc 50", fen);
    std::string pvText;
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [&](const std::string &line) { return IsPvLine(line, &pvText); }));
    std::string best, ponder;
    SplitBestMove(lines.back(), &best, &ponder);
    EXPECT_EQ(best, "f6e5");
}

// Material just above the endgame line: a fresh program builds its endgame
// weights at the first endgame node, deep in the tree, on whichever of four
// threads gets there first while the others search. The thread sanitizer
// build ends a program at its first report, which fails its exit status.
TEST(SearchRequest, FreshProgramsBuildTheEndgameWeightsWhileFourThreadsSearch) {
    const struct {
        const char *fen;
        int depth;  // the first endgame node comes after the first split
    } cases[] = {
        {"8/8/7K/R2n1k2/p6r/B7/8/8 w - - 62 104", 14},
        {"8/8/3k4/8/3r4/4b3/8/3QK3 w - - 0 60", 10},
        {"3q4/8/4k3/8/8/2B5/3R4/4K3 b - - 0 50", 12},
    };
    for (int round = 0; round < 3; round++) {
        std::vector<std::unique_ptr<Session>> sessions;
        for (const auto &c : cases) {
            sessions.push_back(std::make_unique<Session>(
                "setoption name OwnBook value false\nsetoption name Threads value 4"));
            UciSend(&sessions.back()->process, "setoption name Use_half_ply_heuristic value false");
            UciSend(&sessions.back()->process, std::string("position fen ") + c.fen);
            UciSend(&sessions.back()->process, "go depth " + std::to_string(c.depth));
        }
        for (size_t i = 0; i < sessions.size(); i++) {
            std::vector<std::string> lines =
                UciReadUntil(&sessions[i]->process, "bestmove", TIMEOUT_MS);
            ExpectOneLegalBestMove(sessions[i].get(), lines, cases[i].fen, "");
        }
    }
}

TEST(SearchRequest, InfiniteWaitsForStop) {
    Session session;
    UciSend(&session.process, "position startpos moves e2e4");
    UciSend(&session.process, "go infinite");
    std::vector<std::string> early = UciReadUntil(&session.process, "bestmove", 400);
    EXPECT_EQ(CountLinesWithPrefix(early, "bestmove"), 0);
    std::vector<std::string> lines = UciCommand(&session.process, "stop", "bestmove", TIMEOUT_MS);
    lines.insert(lines.begin(), early.begin(), early.end());
    ExpectOneLegalBestMove(&session, lines, START_FEN, "e2e4");
}

TEST(SearchRequest, AnalysisShowsSeveralLinesAndPlaysTheFirst) {
    Session session("setoption name OwnBook value false\nsetoption name MultiPV value 3");
    UciSend(&session.process, "position startpos");
    UciSend(&session.process, "go infinite");
    std::vector<std::string> lines = UciReadUntil(&session.process, "info depth", TIMEOUT_MS);
    for (int64_t start = NowMs(); NowMs() - start < 20000;) {
        std::vector<std::string> more = UciReadUntil(&session.process, "info depth", 1000);
        lines.insert(lines.end(), more.begin(), more.end());
        if (CountLinesWithPrefix(more, "bestmove") > 0 ||
            (!more.empty() && more.back().find(" multipv 3 ") != std::string::npos))
            break;
    }
    std::vector<std::string> rest = UciCommand(&session.process, "stop", "bestmove", TIMEOUT_MS);
    lines.insert(lines.end(), rest.begin(), rest.end());
    ExpectOneLegalBestMove(&session, lines, START_FEN, "");
    std::string firstOfBest;
    int nThird = 0;
    for (const std::string &line : lines) {
        nThird += line.find(" multipv 3 pv  ") != std::string::npos;
        size_t at = line.find(" multipv 1 pv  ");
        if (at != std::string::npos)
            firstOfBest = line.substr(at + 15, line.find(' ', at + 15) - at - 15);
    }
    EXPECT_GT(nThird, 0);
    std::string best, ponder;
    SplitBestMove(lines.back(), &best, &ponder);
    EXPECT_EQ(best, firstOfBest);
}

TEST(SearchRequest, PonderWaitsForPonderHit) {
    Session session;
    UciSend(&session.process, "position startpos moves e2e4 e7e5");
    UciSend(&session.process, "go ponder wtime 2000 btime 2000");
    std::vector<std::string> early = UciReadUntil(&session.process, "bestmove", 400);
    EXPECT_EQ(CountLinesWithPrefix(early, "bestmove"), 0);
    std::vector<std::string> lines =
        UciCommand(&session.process, "ponderhit", "bestmove", TIMEOUT_MS);
    lines.insert(lines.begin(), early.begin(), early.end());
    ExpectOneLegalBestMove(&session, lines, START_FEN, "e2e4 e7e5");
}

// Sends "isready" and reads until it and nBestMoves bestmove lines have
// come, or the program has been silent for a while.
std::vector<std::string> ReadyAndBestMoves(Session *session, int nBestMoves) {
    UciSend(&session->process, "isready");
    std::vector<std::string> lines;
    std::string line;
    while ((CountLinesWithPrefix(lines, "readyok") == 0 ||
            CountLinesWithPrefix(lines, "bestmove") < nBestMoves) &&
           UciReadLine(&session->process, 10000 * SLOW, &line))
        lines.push_back(line);
    return lines;
}

// A "go" while a search runs ends that search first, as "position" does:
// its bestmove, then the new search's, and the program goes on reading.
TEST(SearchRequest, GoDuringASearchEndsItFirst) {
    Session session;
    struct Case {
        std::string moves, first, second;
    } cases[] = {{"e2e4", "go infinite", "go depth 3"},
                 {"e2e4 e7e5", "go ponder wtime 2000 btime 2000", "go wtime 2000 btime 2000"}};
    for (const Case &c : cases) {
        UciSend(&session.process, "position startpos moves " + c.moves);
        UciSend(&session.process, c.first);
        std::vector<std::string> lines = UciReadUntil(&session.process, "info depth", TIMEOUT_MS);
        UciSend(&session.process, c.second);
        std::vector<std::string> more = ReadyAndBestMoves(&session, 2);
        lines.insert(lines.end(), more.begin(), more.end());
        ASSERT_EQ(CountLinesWithPrefix(lines, "readyok"), 1) << c.first;
        ASSERT_EQ(CountLinesWithPrefix(lines, "bestmove"), 2) << c.first;
        lines.erase(std::find(lines.begin(), lines.end(), "readyok"));
        auto firstEnd =
            std::find_if(lines.begin(), lines.end(),
                         [](const std::string &line) { return line.rfind("bestmove ", 0) == 0; }) +
            1;
        ExpectOneLegalBestMove(&session, {lines.begin(), firstEnd}, START_FEN, c.moves);
        ExpectOneLegalBestMove(&session, {firstEnd, lines.end()}, START_FEN, c.moves);
    }
}

// An invalid FEN drops the moves after it: the game stays as the last
// valid "position" left it (the start position before any), and "go"
// searches that.
TEST(SearchRequest, MovesAfterAnInvalidFenAreDropped) {
    Session session;
    struct Case {
        std::string before, invalid, kept;
    } cases[] = {{"", "position fen nonsense moves e2e4", ""},
                 {"position startpos moves e2e4", "position fen 8/8/8 w moves e7e5", "e2e4"},
                 {"position startpos moves d2d4 d7d5",
                  "position fen 8/8/8/8/8/8/8/K7 w - - 0 1 moves a1a2", "d2d4 d7d5"}};
    for (const Case &c : cases) {
        if (!c.before.empty())
            UciSend(&session.process, c.before);
        UciSend(&session.process, c.invalid);
        std::vector<std::string> expected = {"info string Illegal position", "readyok"};
        EXPECT_EQ(session.Sync(), expected) << c.invalid;
        std::vector<std::string> lines =
            UciCommand(&session.process, "go depth 3", "bestmove", TIMEOUT_MS);
        ExpectOneLegalBestMove(&session, lines, START_FEN, c.kept);
    }
}

TEST(SearchRequest, StopWithNothingRunningAndGoRightAfterStop) {
    Session session;
    EXPECT_TRUE(UciCommand(&session.process, "stop", "readyok", 300).empty());
    EXPECT_TRUE(session.Sync().size() == 1);
    UciSend(&session.process, "position startpos");
    UciSend(&session.process, "go infinite");
    UciSend(&session.process, "stop");
    std::vector<std::string> lines =
        UciCommand(&session.process, "go depth 2", "bestmove", TIMEOUT_MS);
    EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove"), 1);
    std::vector<std::string> second = UciReadUntil(&session.process, "bestmove", TIMEOUT_MS);
    lines.insert(lines.end(), second.begin(), second.end());
    EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove"), 2);
    EXPECT_EQ(CountLinesWithPrefix(session.Sync(), "bestmove"), 0);
}

TEST(SearchRequest, CommandsBeforeTheFirstIsReady) {
    for (const char *commands : {"position startpos moves e2e4\ngo depth 2", "go depth 1"}) {
        UciProcess process;
        ASSERT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
        UciSend(&process, "setoption name OwnBook value false");
        UciSend(&process, commands);
        std::vector<std::string> lines = UciReadUntil(&process, "bestmove", TIMEOUT_MS);
        EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove"), 1) << commands;
        EXPECT_EQ(CountLinesWithPrefix(lines, "info string Error"), 0) << commands;
        UciSend(&process, "quit");
        EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    }
}

TEST(SearchRequest, QuitDuringASearchEndsPromptly) {
    UciProcess process;
    ASSERT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
    UciSend(&process, "setoption name OwnBook value false");
    UciSend(&process, "position startpos");
    UciSend(&process, "go infinite");
    UciReadUntil(&process, "info depth", 300);
    int64_t start = NowMs();
    UciSend(&process, "quit");
    EXPECT_EQ(UciWaitExit(&process, 5000 * SLOW), 1);
    EXPECT_LT(NowMs() - start, 3000 * SLOW);
}

// A book for the start position (and one illegal entry for the position
// after 1.e4): d2d4, and e2e4, which is no black move.
struct TestBook {
    std::string path;
    explicit TestBook(
        const std::filesystem::path &directory = std::filesystem::temp_directory_path())
        : path((directory / ("vlm_search_book_" + std::to_string(getpid()) + ".bin")).string()) {
        EXPECT_TRUE(WriteTestBook(path, {{"", 0x3313, 10}, {"e2e4", 0x3414, 10}}));
    }
    ~TestBook() { std::filesystem::remove(path); }
};

TEST(SearchRequest, BookMovesAreAnsweredAtOnce) {
    TestBook book;
    Session session("setoption name Book_file value " + book.path);
    std::vector<std::string> lines = Search(&session, "", "go wtime 10000 btime 10000");
    std::vector<std::string> expected = {
        "info depth 0 score cp 0 nodes 0 nps 0 tbhits 0 time 0 multipv 1 pv  d2d4",
        "bestmove d2d4"};
    EXPECT_EQ(lines, expected);
    // Analysis never uses the book.
    UciSend(&session.process, "position startpos");
    UciSend(&session.process, "go infinite");
    std::vector<std::string> early = UciReadUntil(&session.process, "bestmove", 300);
    EXPECT_EQ(CountLinesWithPrefix(early, "bestmove"), 0);
    EXPECT_EQ(CountLinesWithPrefix(early, "info depth 0 "), 0);
    lines = UciCommand(&session.process, "stop", "bestmove", TIMEOUT_MS);
    EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove"), 1);
    // A book move that is not legal in the position is never played.
    lines = Search(&session, "e2e4", "go depth 2");
    EXPECT_EQ(CountLinesWithPrefix(lines, "info depth 0 "), 0);
}

TEST(SearchRequest, PonderFromTheBookWaitsForPonderHit) {
    TestBook book;
    Session session("setoption name Book_file value " + book.path);
    UciSend(&session.process, "position startpos");
    UciSend(&session.process, "go ponder wtime 10000 btime 10000");
    std::vector<std::string> early = UciReadUntil(&session.process, "bestmove", 400);
    EXPECT_EQ(CountLinesWithPrefix(early, "bestmove"), 0);
    std::vector<std::string> lines = UciCommand(&session.process, "stop", "bestmove", TIMEOUT_MS);
    EXPECT_EQ(lines.back(), "bestmove d2d4");
    EXPECT_EQ(CountLinesWithPrefix(session.Sync(), "bestmove"), 0);
    // A new position without "stop" ends the waiting search too.
    UciSend(&session.process, "go ponder wtime 10000 btime 10000");
    lines = UciCommand(&session.process, "position startpos moves e2e4", "bestmove", TIMEOUT_MS);
    EXPECT_EQ(lines.back(), "bestmove d2d4");
    EXPECT_EQ(CountLinesWithPrefix(session.Sync(), "bestmove"), 0);
    // So does a new "go", which is then answered from the book at once.
    UciSend(&session.process, "position startpos\ngo ponder wtime 10000 btime 10000");
    UciSend(&session.process, "go wtime 10000 btime 10000");
    lines = ReadyAndBestMoves(&session, 2);
    EXPECT_EQ(CountLinesWithPrefix(lines, "bestmove d2d4"), 2);
    EXPECT_EQ(CountLinesWithPrefix(lines, "readyok"), 1);
}

}  // namespace
