// The 32-bit pair run as a GUI runs it: directly where the kernel starts
// 32-bit programs, else under the user-mode emulator. Node counts, lines
// and moves are compared with the x64 build's for the same commands, so
// they follow any change of the search.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/test_board.h"
#include "tests/support/uci_process.h"

extern char **environ;

namespace {

namespace fs = std::filesystem;

const int TIMEOUT_MS = 60000;
const char *const EMULATOR = "qemu-i386";
const std::string MISSING_MODULE_LINE = "info string Error (Cannot find engine module): ";
const int MISSING_MODULE_STATUS = 255;  // main's -1

// Starts path with no input and waits; the spawn's error, 0 once it ran.
int SpawnError(const std::string &path) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char *arguments[] = {const_cast<char *>(path.c_str()), nullptr};
    pid_t pid;
    int error = posix_spawn(&pid, path.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error == 0)
        waitpid(pid, nullptr, 0);
    return error;
}

std::string FindOnPath(const std::string &name) {
    const char *path = getenv("PATH");
    std::istringstream directories(path ? path : "");
    for (std::string directory; std::getline(directories, directory, ':');) {
        std::string candidate = (directory.empty() ? "." : directory) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return "";
}

// How a 32-bit program is started here: the words before its path.
struct W32Runner {
    bool found = false;
    std::vector<std::string> prefix;  // empty where the kernel runs it
    std::string failure;              // why it cannot be started at all
};

W32Runner FindW32Runner() {
    W32Runner runner;
    int error = SpawnError(VLM_W32_PROGRAM_PATH);
    if (error != 0 && error != ENOEXEC) {
        runner.failure =
            std::string("cannot start ") + VLM_W32_PROGRAM_PATH + ": " + strerror(error);
        return runner;
    }
    if (error == ENOEXEC) {
        std::string emulator = FindOnPath(EMULATOR);
        if (emulator.empty()) {
            runner.failure = std::string("this kernel cannot run 32-bit programs and ") + EMULATOR +
                             " is not on PATH: install qemu-user (scripts/install_deps.sh does)";
            return runner;
        }
        runner.prefix.push_back(emulator);
    }
    runner.found = true;
    return runner;
}

// Looked for once, by the first test that runs.
const W32Runner &TheW32Runner() {
    static const W32Runner runner = FindW32Runner();
    return runner;
}

// Without a way to start the 32-bit program every test fails at once.
class W32Pair : public testing::Test {
   protected:
    void SetUp() override { ASSERT_TRUE(TheW32Runner().found) << TheW32Runner().failure; }
};

// The command line that runs a 32-bit program with its arguments.
std::vector<std::string> W32Command(const std::vector<std::string> &programAndArguments) {
    std::vector<std::string> command = TheW32Runner().prefix;
    command.insert(command.end(), programAndArguments.begin(), programAndArguments.end());
    return command;
}

// Sets up fen with Threads nThreads, searches to depth and quits; every
// line read.
std::vector<std::string> SearchLines(const std::vector<std::string> &command,
                                     const std::string &fen, int depth, int nThreads) {
    UciProcess process;
    if (!UciStartCommand(&process, command)) {
        ADD_FAILURE() << "cannot start the program";
        return {};
    }
    UciSend(&process, "setoption name Threads value " + std::to_string(nThreads));
    UciSend(&process, "position fen " + fen);
    std::vector<std::string> lines = UciCommand(&process, "isready", "readyok", TIMEOUT_MS);
    EXPECT_EQ(lines.empty() ? "" : lines.back(), "readyok");
    std::vector<std::string> search =
        UciCommand(&process, "go depth " + std::to_string(depth), "bestmove", TIMEOUT_MS);
    lines.insert(lines.end(), search.begin(), search.end());
    UciSend(&process, "quit");
    EXPECT_EQ(UciWaitExit(&process, TIMEOUT_MS), 1);
    return lines;
}

// The last PV line without its clock fields, then the bestmove line.
std::vector<std::string> SearchResult(const std::vector<std::string> &lines) {
    static const std::regex clockFields(" (nps|time) [0-9]+");
    std::string lastPv, best;
    for (const std::string &line : lines) {
        if (line.rfind("info depth ", 0) == 0 && line.find(" pv ") != std::string::npos)
            lastPv = std::regex_replace(line, clockFields, "");
        else if (line.rfind("bestmove ", 0) == 0)
            best = line;
    }
    return {lastPv, best};
}

TEST_F(W32Pair, AnswersUciWithItsOwnName) {
    RunResult run = RunCommand(W32Command({VLM_W32_PROGRAM_PATH}), "uci\nquit\n", TIMEOUT_MS);
    EXPECT_EQ(CountLinesWithPrefix(run.lines, "id name Velmorat 11.1 (Win32) UCI"), 1);
    EXPECT_EQ(run.lines.empty() ? "" : run.lines.back(), "uciok");
    EXPECT_EQ(run.exitStatus, 1);
}

// A copy of the program in a directory of its own finds the module only
// there: alone, or beside the x64 module under the 32-bit name, it ends
// with its error line before reading input; beside the 32-bit one it
// starts the engine.
TEST_F(W32Pair, LoadsOnlyThe32BitModuleBesideIt) {
    std::string pattern = (fs::temp_directory_path() / "vlm_w32_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    fs::path directory = pattern;
    fs::path program = directory / "vlmuci.w32";
    fs::path module = directory / "vlm11.1.w32.so";
    fs::copy_file(VLM_W32_PROGRAM_PATH, program);
    std::vector<std::string> command = W32Command({program.string()});
    const std::string input = "uci\nisready\nquit\n";

    RunResult alone = RunCommand(command, input, TIMEOUT_MS);
    EXPECT_EQ(alone.lines, std::vector<std::string>{MISSING_MODULE_LINE});
    EXPECT_EQ(alone.exitStatus, MISSING_MODULE_STATUS);

    fs::copy_file(VLM_MODULE_PATH, module);
    RunResult wrongClass = RunCommand(command, input, TIMEOUT_MS);
    EXPECT_EQ(wrongClass.lines, std::vector<std::string>{MISSING_MODULE_LINE});
    EXPECT_EQ(wrongClass.exitStatus, MISSING_MODULE_STATUS);

    fs::copy_file(VLM_W32_MODULE_PATH, module, fs::copy_options::overwrite_existing);
    RunResult own = RunCommand(command, input, TIMEOUT_MS);
    EXPECT_EQ(CountLinesWithPrefix(own.lines, "uciok"), 1);
    EXPECT_EQ(own.lines.empty() ? "" : own.lines.back(), "readyok");
    EXPECT_EQ(own.exitStatus, 1);
    fs::remove_all(directory);
}

struct SearchCase {
    const char *fen;
    int depth;
};

// Depths keep each search to about half a million nodes: a second or two
// under the emulator.
const SearchCase MIDDLEGAME = {
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 7};
const SearchCase ENDGAME = {"8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1", 12};
const SearchCase PROMOTIONS_AND_EN_PASSANT = {
    "r3k2r/Pp1p1ppp/1b3nbN/nPp5/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq c6 0 2", 9};

void ExpectOneThreadSearchAsX64(const SearchCase &test) {
    std::vector<std::string> x64 =
        SearchResult(SearchLines({VLM_PROGRAM_PATH}, test.fen, test.depth, 1));
    ASSERT_NE(x64[0], "") << "no PV line from the x64 program";
    ASSERT_NE(x64[1], "") << "no bestmove from the x64 program";
    EXPECT_EQ(
        SearchResult(SearchLines(W32Command({VLM_W32_PROGRAM_PATH}), test.fen, test.depth, 1)),
        x64);
}

TEST_F(W32Pair, MiddlegameSearchAsX64) {
    ExpectOneThreadSearchAsX64(MIDDLEGAME);
}
TEST_F(W32Pair, EndgameSearchAsX64) {
    ExpectOneThreadSearchAsX64(ENDGAME);
}
TEST_F(W32Pair, PromotionsAndEnPassantSearchAsX64) {
    ExpectOneThreadSearchAsX64(PROMOTIONS_AND_EN_PASSANT);
}

TEST_F(W32Pair, TwoThreadSearchAnswersALegalMove) {
    const SearchCase &test = MIDDLEGAME;
    std::vector<std::string> lines =
        SearchLines(W32Command({VLM_W32_PROGRAM_PATH}), test.fen, test.depth, 2);
    ASSERT_EQ(CountLinesWithPrefix(lines, "bestmove "), 1);
    char best[16] = "";
    ASSERT_EQ(sscanf(lines.back().c_str(), "bestmove %15s", best), 1) << lines.back();
    auto board = std::make_unique<TestBoard>();
    ASSERT_TRUE(TestSetUp(board.get(), test.fen));
    EXPECT_TRUE(TestMoveIsLegal(board.get(), best)) << lines.back();
}

TEST_F(W32Pair, PerftMatchesX64) {
    const std::string fen = MIDDLEGAME.fen;
    RunResult x64 = RunCommand({VLM_PERFT_PATH, fen, "4"}, "", TIMEOUT_MS);
    ASSERT_EQ(x64.exitStatus, 0);
    ASSERT_FALSE(x64.lines.empty());
    RunResult w32 = RunCommand(W32Command({VLM_W32_PERFT_PATH, fen, "4"}), "", TIMEOUT_MS);
    EXPECT_EQ(w32.exitStatus, 0);
    EXPECT_EQ(w32.lines, x64.lines);
}

}  // namespace
