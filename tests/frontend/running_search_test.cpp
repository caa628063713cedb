// Commands that meet a running search: "setoption" right after "go",
// "stop" at once ("move now"), and the lines of a multi-line analysis.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/support/test_board.h"
#include "tests/support/test_book.h"
#include "tests/support/uci_process.h"

namespace {

const int TIMEOUT_MS = 60000;

struct Session {
    UciProcess process;
    explicit Session(const std::string &options) {
        EXPECT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
        UciSend(&process, options);
        Sync();
    }
    ~Session() {
        UciSend(&process, "quit");
        EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    }
    std::vector<std::string> Sync() {
        std::vector<std::string> lines = UciCommand(&process, "isready", "readyok", TIMEOUT_MS);
        EXPECT_EQ(lines.empty() ? "" : lines.back(), "readyok");
        return lines;
    }
    // Sends text (one write), reads to the bestmove line and checks that
    // it is the only one and names a legal move of fen.
    std::string BestMove(const std::string &text, const std::string &fen,
                         std::vector<std::string> *lines = nullptr, int64_t *ms = nullptr) {
        auto start = std::chrono::steady_clock::now();
        std::vector<std::string> read = UciCommand(&process, text, "bestmove", TIMEOUT_MS);
        if (ms)
            *ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                      std::chrono::steady_clock::now() - start)
                      .count();
        EXPECT_EQ(CountLinesWithPrefix(read, "bestmove"), 1) << text;
        EXPECT_EQ(CountLinesWithPrefix(Sync(), "bestmove"), 0) << text;
        char best[16] = "";
        if (read.empty() || sscanf(read.back().c_str(), "bestmove %15s", best) != 1)
            ADD_FAILURE() << text;
        auto board = std::make_unique<TestBoard>();
        EXPECT_TRUE(TestSetUp(board.get(), fen));
        EXPECT_TRUE(TestMoveIsLegal(board.get(), best)) << text << ": " << best;
        if (lines)
            *lines = read;
        return best;
    }
};

// One PV line: depth, multipv slot and first move; false for other lines.
bool ReadPvLine(const std::string &line, int *depth, int *slot, std::string *first) {
    const char *at = strstr(line.c_str(), " multipv ");
    char move[16];
    if (line.rfind("info depth ", 0) != 0 || !at ||
        sscanf(line.c_str(), "info depth %d", depth) != 1 ||
        sscanf(at, " multipv %d pv %15s", slot, move) != 2)
        return false;
    *first = move;
    return true;
}

// A book for the start position: d2d4 weighs 10, e2e4 9.
struct TwoMoveBook {
    std::string path = (std::filesystem::temp_directory_path() /
                        ("vlm_running_book_" + std::to_string(getpid()) + ".bin"))
                           .string();
    TwoMoveBook() { EXPECT_TRUE(WriteTestBook(path, {{"", 0x3313, 10}, {"", 0x3414, 9}})); }
    ~TwoMoveBook() { std::filesystem::remove(path); }
};

// Highest slot of an analysis, stopped once its first iteration is done.
int AnalysisSlots(Session *session) {
    UciSend(&session->process, "position startpos\ngo infinite");
    std::vector<std::string> lines = UciReadUntil(&session->process, "info depth 6", TIMEOUT_MS);
    std::vector<std::string> rest = UciCommand(&session->process, "stop", "bestmove", TIMEOUT_MS);
    lines.insert(lines.end(), rest.begin(), rest.end());
    int depth, slot, most = 0;
    std::string first;
    for (const std::string &line : lines) {
        if (ReadPvLine(line, &depth, &slot, &first))
            most = std::max(most, slot);
    }
    return most;
}

// Book answers of 16 searches: how many played the lighter e2e4 (none
// by chance once in 30,000 runs when both are kept).
int BookPicksOfE4(Session *session) {
    int nE4 = 0;
    for (int i = 0; i < 16; i++)
        nE4 += session->BestMove("position startpos\ngo depth 2", START_FEN) == "e2e4";
    return nE4;
}

// The control thread reads OwnBook, Book_selectivity and MultiPV as it
// starts a search: a value set right after "go", short or long enough to
// live in its own heap block, must wait for that search to end and be in
// force for the next one. Run under the thread sanitizer.
TEST(RunningSearch, SetOptionRightAfterGo) {
    TwoMoveBook book;
    Session session("setoption name Book_file value " + book.path);
    const std::string set = "\nsetoption name ";
    for (const char *go : {"go infinite", "go depth 2"}) {
        std::string start = "position startpos\n" + std::string(go);
        session.BestMove(start + set + "MultiPV value 0000000000000000000002", START_FEN);
        EXPECT_EQ(AnalysisSlots(&session), 2) << go;
        session.BestMove(start + set + "MultiPV value 3", START_FEN);
        EXPECT_EQ(AnalysisSlots(&session), 3) << go;

        session.BestMove(start + set + "Book_selectivity value 0000000000000000000030", START_FEN);
        EXPECT_EQ(BookPicksOfE4(&session), 0) << go;
        session.BestMove(start + set + "Book_selectivity value 0", START_FEN);
        EXPECT_GT(BookPicksOfE4(&session), 0) << go;

        std::vector<std::string> lines;
        session.BestMove(start + set + "OwnBook value off-for-the-next-searches", START_FEN);
        session.BestMove("position startpos\ngo depth 2", START_FEN, &lines);
        EXPECT_EQ(CountLinesWithPrefix(lines, "info depth 0 "), 0) << go;
        session.BestMove(start + set + "OwnBook value true", START_FEN);
        session.BestMove("position startpos\ngo depth 2", START_FEN, &lines);
        EXPECT_EQ(CountLinesWithPrefix(lines, "info depth 0 "), 1) << go;
        if (HasFailure())
            return;  // the program may have ended at a sanitizer report
    }
}

// Slot by slot, the lines of the last depth whose every slot was reached;
// false when the depth of the lines ever falls back.
bool LastCompletedDepth(const std::vector<std::string> &lines, int nSlots,
                        std::map<int, std::string> *slots) {
    std::map<int, std::map<int, std::string>> byDepth;
    int deepest = 0, depth, slot;
    std::string first;
    for (const std::string &line : lines) {
        if (!ReadPvLine(line, &depth, &slot, &first))
            continue;
        if (depth < deepest)
            return false;
        deepest = depth;
        byDepth[depth][slot] = first;
    }
    for (auto at = byDepth.rbegin(); at != byDepth.rend(); ++at) {
        if (int(at->second.size()) == nSlots) {
            *slots = at->second;
            return true;
        }
    }
    return false;
}

// Each line of a multi-line iteration fills its own slot, and nothing
// shallower writes over it later.
TEST(RunningSearch, AnalysisFillsOneSlotPerLine) {
    Session session("setoption name OwnBook value false\nsetoption name MultiPV value 3");
    struct Case {
        std::string fen;
        int nSlots;
    } cases[] = {{START_FEN, 3}, {"k7/8/8/8/8/8/8/K6r w - - 0 1", 2}};
    for (const Case &c : cases) {
        // Until the last slot of a ninth-ply iteration is reached: by then a
        // shallower reference search of the root has run for slot 2.
        UciSend(&session.process, "position fen " + c.fen + "\ngo infinite");
        std::vector<std::string> lines;
        int depth = 0, slot = 0;
        std::string first;
        for (std::string line; !(depth >= 9 && slot == c.nSlots);) {
            ASSERT_TRUE(UciReadLine(&session.process, TIMEOUT_MS, &line)) << c.fen;
            lines.push_back(line);
            if (!ReadPvLine(line, &depth, &slot, &first))
                depth = slot = 0;
        }
        std::vector<std::string> rest;
        session.BestMove("stop", c.fen, &rest);
        lines.insert(lines.end(), rest.begin(), rest.end());
        std::map<int, std::string> slots;
        ASSERT_TRUE(LastCompletedDepth(lines, c.nSlots, &slots)) << c.fen;
        std::set<std::string> moves;
        for (int slot = 1; slot <= c.nSlots; slot++) {
            ASSERT_EQ(slots.count(slot), 1u) << c.fen << " slot " << slot;
            moves.insert(slots[slot]);
        }
        EXPECT_EQ(int(moves.size()), c.nSlots) << c.fen;
    }
}

// "go" then "stop" at once: the stop waits for the first, three-ply
// iteration (well under a millisecond), so the answer is a searched move
// that a line reported, never the generator's first move. When the stop
// is read before that iteration ends it is the move of "go depth 3";
// when the scheduler lets the search run on first, a deeper line's.
TEST(RunningSearch, StopAtOnceAnswersASearchedMove) {
    Session session("setoption name OwnBook value false");
    const char *fens[] = {START_FEN.c_str(),
                          "rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq - 0 1"};
    const char *gos[] = {"go", "go infinite", "go ponder", "go wtime 60000 btime 60000",
                         "go movetime 60000"};
    std::vector<int64_t> delays;
    int nAtDepth3 = 0;
    for (const char *fen : fens) {
        std::string position = "ucinewgame\nposition fen " + std::string(fen);
        std::string depth3 = session.BestMove(position + "\ngo depth 3", fen);
        auto board = std::make_unique<TestBoard>();
        ASSERT_TRUE(TestSetUp(board.get(), fen));
        ASSERT_NE(depth3, TestLegalMoveTexts(board.get()).front());
        for (int i = 0; i < 25; i++) {
            UciSend(&session.process, position);
            session.Sync();
            std::string text = std::string(gos[i % 5]) + "\nstop";
            std::vector<std::string> lines;
            int64_t ms;
            std::string best = session.BestMove(text, fen, &lines, &ms);
            delays.push_back(ms);
            int depth, slot, deepest = 0;
            std::string first, last;
            for (const std::string &line : lines) {
                if (ReadPvLine(line, &depth, &slot, &first)) {
                    last = first;
                    deepest = std::max(deepest, depth);
                }
            }
            EXPECT_EQ(best, last) << text;
            EXPECT_GE(deepest, 3) << text;
            if (deepest == 3) {
                EXPECT_EQ(best, depth3) << text;
                nAtDepth3++;
            }
        }
    }
    // Most stops are read before the first iteration ends.
    EXPECT_GE(nAtDepth3, 10);
    // A deep fixed-depth pass stopped at once answers with the line of a
    // three-ply search (the table the stopped pass filled may sway it).
    for (const char *fen : fens) {
        auto board = std::make_unique<TestBoard>();
        ASSERT_TRUE(TestSetUp(board.get(), fen));
        std::string generatorFirst = TestLegalMoveTexts(board.get()).front();
        for (int i = 0; i < 5; i++) {
            UciSend(&session.process, "ucinewgame\nposition fen " + std::string(fen));
            session.Sync();
            std::vector<std::string> lines;
            int64_t ms;
            std::string best = session.BestMove("go depth 30\nstop", fen, &lines, &ms);
            int depth, slot;
            std::string first, last;
            for (const std::string &line : lines)
                if (ReadPvLine(line, &depth, &slot, &first))
                    last = first;
            EXPECT_EQ(best, last) << fen;
            EXPECT_NE(best, generatorFirst) << fen;
            delays.push_back(ms);
        }
    }
    // Scheduling on a loaded machine may delay a few answers.
    std::sort(delays.begin(), delays.end());
    EXPECT_LE(delays[delays.size() * 9 / 10], 50 * SLOW);
    EXPECT_LE(delays.back(), 500 * SLOW);
}

}  // namespace
