// Tablebases through the running program: NalimovPath pointed at tables
// the test solver wrote, mate distances in the "info" lines, tbhits, the
// path set after the engine started, Use_tablebases off, and a KRK ending
// played out to mate against the longest defence.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/uci_process.h"
#include "tests/tablebases/tb_solver.h"
#include "tests/tablebases/tb_writer.h"

namespace {

const int TIMEOUT_MS = 120000;
const int DEPTH = 12;  // deep enough that the search probes below the root

// The solver's tables in a fresh directory, plain or compressed only.
struct TableDirectory {
    std::string path;
    explicit TableDirectory(bool compressed) {
        SolveEndings(false);
        path = MakeTempDirectory();
        std::string error;
        EXPECT_TRUE(WriteSolvedTables(path, !compressed, compressed, &error)) << error;
    }
    ~TableDirectory() { RemoveDirectoryTree(path); }
};

std::string FenOf(const SolverPosition &p) {
    char board[64];
    memset(board, 0, sizeof board);
    board[p.whiteKing] = 'K';
    board[p.blackKing] = 'k';
    for (int i = 0; i < p.nMen; i++) {
        char c = "QRBNP"[p.men[i].type];
        board[p.men[i].square] = p.men[i].white ? c : char(c - 'A' + 'a');
    }
    std::string fen;
    for (int rank = 7; rank >= 0; rank--) {
        int empty = 0;
        for (int file = 0; file < 8; file++) {
            char c = board[rank * 8 + file];
            if (c == 0) {
                empty++;
                continue;
            }
            if (empty > 0)
                fen += char('0' + empty);
            empty = 0;
            fen += c;
        }
        if (empty > 0)
            fen += char('0' + empty);
        if (rank > 0)
            fen += '/';
    }
    return fen + (p.whiteToMove ? " w - - 0 1" : " b - - 0 1");
}

std::string MoveText(const SolverMove &move) {
    std::string text;
    for (int s : {move.from, move.to}) {
        text += char('a' + (s & 7));
        text += char('1' + (s >> 3));
    }
    if (move.promotion >= 0)
        text += "qrbn"[move.promotion];
    return text;
}

struct LongestSearch {
    int moves = 0;
    SolverPosition position;
};

// The first position of the ending, white to move, with the longest win.
SolverPosition LongestWin(int ending) {
    LongestSearch search;
    ForEachSolvedPosition(
        ending,
        [](const SolverPosition &p, int16_t value, void *context) {
            LongestSearch *s = static_cast<LongestSearch *>(context);
            if (p.whiteToMove && ValueIsWin(value) && MovesToMate(value) > s->moves) {
                s->moves = MovesToMate(value);
                s->position = p;
            }
        },
        &search);
    return search.position;
}

struct SearchResult {
    std::string score;  // "mate 16", "cp 35"
    long long tbHits = -1;
    std::string bestMove;
};

struct Session {
    UciProcess process;
    explicit Session(const std::vector<std::string> &options) {
        EXPECT_TRUE(UciStart(&process, VLM_PROGRAM_PATH));
        UciSend(&process, "setoption name OwnBook value false");
        for (const std::string &option : options)
            UciSend(&process, option);
        Sync();
    }
    ~Session() {
        UciSend(&process, "quit");
        EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    }
    void Sync() {
        std::vector<std::string> lines = UciCommand(&process, "isready", "readyok", TIMEOUT_MS);
        EXPECT_EQ(lines.empty() ? "" : lines.back(), "readyok");
    }
    // The last PV line's score and tbhits, and the best move.
    SearchResult Search(const std::string &position, int depth) {
        UciSend(&process, position);
        std::vector<std::string> lines =
            UciCommand(&process, "go depth " + std::to_string(depth), "bestmove", TIMEOUT_MS);
        SearchResult result;
        for (const std::string &line : lines) {
            char kind[8], move[8];
            int value;
            long long tbHits;
            if (sscanf(line.c_str(), "info depth %*d score %7s %d nodes %*d nps %*d tbhits %lld",
                       kind, &value, &tbHits) == 3) {
                result.score = std::string(kind) + " " + std::to_string(value);
                result.tbHits = tbHits;
            } else if (sscanf(line.c_str(), "bestmove %7s", move) == 1) {
                result.bestMove = move;
            }
        }
        return result;
    }
};

std::string PathOption(const std::string &path) {
    return "setoption name NalimovPath value " + path;
}

TEST(TablebaseUci, TableMatesHaveTheirTrueDistance) {
    TableDirectory tables(false);
    Session session({PathOption(tables.path)});
    const std::string shortMate = "position fen 8/8/8/8/8/8/k7/2K3Q1 w - - 0 1";
    SearchResult probed = session.Search(shortMate, DEPTH);
    EXPECT_EQ(probed.score, "mate 2");
    EXPECT_GT(probed.tbHits, 0);
    struct Case {
        int ending, moves;
    } cases[] = {{SOLVER_KQK, 10}, {SOLVER_KRK, 16}, {SOLVER_KPK, 28}};
    for (const Case &c : cases) {
        SolverPosition p = LongestWin(c.ending);
        SearchResult result = session.Search("position fen " + FenOf(p), DEPTH);
        EXPECT_EQ(result.score, "mate " + std::to_string(c.moves)) << FenOf(p);
        EXPECT_GT(result.tbHits, 0) << FenOf(p);
        // The defender of the same ending, one move later, is mated after
        // one move fewer of the winner's.
        SolverPosition after = p;
        for (const SolverMove &move : SolverLegalMoves(p)) {
            int16_t value = SolverValue(move.after);
            if (ValueIsLoss(value) && MovesToMate(value) == c.moves - 1)
                after = move.after;
        }
        ASSERT_FALSE(after.whiteToMove);
        result = session.Search("position fen " + FenOf(after), DEPTH);
        EXPECT_EQ(result.score, "mate -" + std::to_string(c.moves - 1)) << FenOf(after);
    }
    // The search alone (a fresh program, no tables) prints the same mate.
    Session withoutTables({});
    SearchResult alone = withoutTables.Search(shortMate, 20);
    EXPECT_EQ(alone.score, "mate 2");
    EXPECT_EQ(alone.tbHits, 0);
}

TEST(TablebaseUci, PathSetAfterStartReachesTheSearch) {
    TableDirectory tables(true);
    Session session({});
    UciSend(&session.process, PathOption(tables.path));
    session.Sync();
    SolverPosition krk = LongestWin(SOLVER_KRK);
    SearchResult result = session.Search("position fen " + FenOf(krk), DEPTH);
    EXPECT_EQ(result.score, "mate 16");
    EXPECT_GT(result.tbHits, 0);
}

TEST(TablebaseUci, UseTablebasesSwitchesProbingOffAndOn) {
    TableDirectory tables(false);
    Session session({PathOption(tables.path)});
    const std::string krk = "position fen " + FenOf(LongestWin(SOLVER_KRK));
    UciSend(&session.process, "setoption name Use_tablebases value false");
    SearchResult off = session.Search(krk, DEPTH);
    EXPECT_EQ(off.tbHits, 0);
    EXPECT_NE(off.score, "mate 16");
    UciSend(&session.process, "setoption name Use_tablebases value true");
    SearchResult on = session.Search(krk, DEPTH);
    EXPECT_GT(on.tbHits, 0);
    EXPECT_EQ(on.score, "mate 16");
}

// The child's address space in kB, from its status file.
long long VirtualKb(pid_t pid) {
    std::FILE *status = fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    long long kb = -1;
    char line[256];
    while (status != nullptr && fgets(line, sizeof line, status) != nullptr)
        sscanf(line, "VmSize: %lld kB", &kb);
    if (status != nullptr)
        fclose(status);
    return kb;
}

// The printed range ends at 4 MB, but a larger cache is allocated.
TEST(TablebaseUci, NalimovCacheAboveFourMegabytesIsHonoured) {
    TableDirectory tables(false);
    Session session({PathOption(tables.path)});
    long long before = VirtualKb(session.process.pid);
    UciSend(&session.process, "setoption name NalimovCache value 512");
    session.Sync();
    EXPECT_GT(VirtualKb(session.process.pid) - before, 500 * 1024);
    SearchResult result = session.Search("position fen " + FenOf(LongestWin(SOLVER_KRK)), DEPTH);
    EXPECT_EQ(result.score, "mate 16");
}

// The defender's reply that keeps the mate furthest away.
SolverMove LongestDefence(const SolverPosition &p) {
    std::vector<SolverMove> moves = SolverLegalMoves(p);
    SolverMove best = moves.front();
    for (const SolverMove &move : moves) {
        if (SolverValue(move.after) > SolverValue(best.after))
            best = move;
    }
    return best;
}

TEST(TablebaseUci, KrkIsMatedWithinTheTableDistance) {
    TableDirectory tables(false);
    Session session({PathOption(tables.path)});
    SolverPosition start = LongestWin(SOLVER_KRK);
    SolverPosition p = start;
    std::string moves;
    int nWhiteMoves = 0;
    while (nWhiteMoves < 16) {
        std::string position =
            "position fen " + FenOf(start) + (moves.empty() ? "" : " moves" + moves);
        SearchResult result = session.Search(position, DEPTH);
        bool played = false;
        for (const SolverMove &move : SolverLegalMoves(p)) {
            if (MoveText(move) == result.bestMove) {
                p = move.after;
                played = true;
            }
        }
        ASSERT_TRUE(played) << position << ": bestmove " << result.bestMove;
        moves += " " + result.bestMove;
        nWhiteMoves++;
        // The win never slips: black stays lost within the moves left.
        int16_t value = SolverValue(p);
        ASSERT_TRUE(value == -1 || (ValueIsLoss(value) && MovesToMate(value) <= 16 - nWhiteMoves))
            << position << " " << result.bestMove;
        if (SolverLegalMoves(p).empty())
            break;
        SolverMove defence = LongestDefence(p);
        p = defence.after;
        moves += " " + MoveText(defence);
    }
    EXPECT_EQ(SolverValue(p), -1) << "not mated after" << moves;
    EXPECT_TRUE(SolverLegalMoves(p).empty());
}

}  // namespace
