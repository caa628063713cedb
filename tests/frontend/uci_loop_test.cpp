// The command loop as a GUI sees it: exact lines, exit statuses, long
// and odd input.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/support/uci_process.h"

namespace {

const int TIMEOUT_MS = 10000 * SLOW;  // a limit only: the sanitizer builds start slowly

RunResult RunUci(const std::string &input) {
    return RunProgram(VLM_PROGRAM_PATH, input, TIMEOUT_MS);
}

TEST(UciLoop, UciPrintsIdLinesThenUciok) {
    RunResult result = RunUci("uci\nquit\n");
    ASSERT_GE(result.lines.size(), 4u);
    EXPECT_EQ(result.lines[0], "id name Velmorat 11.1 UCI");
    EXPECT_EQ(result.lines[1].rfind("id author ", 0), 0u);
    EXPECT_EQ(result.lines[2].rfind("id ", 0), 0u);
    EXPECT_EQ(result.lines.back(), "uciok");
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(UciLoop, EndOfInputEndsLikeQuit) {
    RunResult result = RunUci("isready\n");
    EXPECT_EQ(result.exitStatus, 1);
    RunResult quit = RunUci("quit\nuci\n");
    EXPECT_EQ(quit.exitStatus, 1);
    EXPECT_TRUE(quit.lines.empty());
}

TEST(UciLoop, ErrorLines) {
    RunResult result = RunUci("Isready\nuci extra\nsetoption name\nfoo bar baz\nquit\n");
    std::vector<std::string> expected = {
        "info string Error (Unknown command): Isready",
        "info string Error (too many parameters): uci extra",
        "info string Error (too few parameters): setoption name",
        "info string Error (Unknown command): foo",
    };
    EXPECT_EQ(result.lines, expected);
}

TEST(UciLoop, BlankLinesAndDebugPrintNothing) {
    RunResult result = RunUci("\n   \ndebug\ndebug on\ndebug a b c\nquit\n");
    EXPECT_TRUE(result.lines.empty());
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(UciLoop, RepeatedBlanksSeparateTabsDoNot) {
    RunResult result = RunUci("   uci   \nuci\textra\nquit\n");
    ASSERT_FALSE(result.lines.empty());
    EXPECT_EQ(result.lines[0], "id name Velmorat 11.1 UCI");
    EXPECT_EQ(result.lines.back(), "info string Error (Unknown command): uci\textra");
}

TEST(UciLoop, CarriageReturnIsStripped) {
    RunResult result = RunUci("setoption name OwnBook value false\r\nisready\r\nquit\r\n");
    std::vector<std::string> expected = {"readyok"};
    EXPECT_EQ(result.lines, expected);
    EXPECT_EQ(result.exitStatus, 1);
}

TEST(UciLoop, LongLineIsReadWholeAndErrorLineIsCut) {
    // 5000 characters: its tail must not run as a command of its own.
    std::string line = "xyz" + std::string(4997, 'a');
    line.replace(4000, 7, "isready");
    RunResult result = RunUci(line + "\nquit\n");
    ASSERT_EQ(result.lines.size(), 1u);
    EXPECT_EQ(result.lines[0].rfind("info string Error (Unknown command): xyzaaa", 0), 0u);
    EXPECT_LE(result.lines[0].size(), 2047u);

    std::string longUci = "uci " + std::string(3000, 'b');
    RunResult cut = RunUci(longUci + "\nquit\n");
    ASSERT_EQ(cut.lines.size(), 1u);
    EXPECT_EQ(cut.lines[0].size(), 2047u);
    EXPECT_EQ(cut.lines[0].rfind("info string Error (too many parameters): uci bbb", 0), 0u);
}

TEST(UciLoop, ManyWordsAreAllKept) {
    // More than 512 words on one line, then a command that must still run.
    std::string line = "position startpos moves";
    for (int i = 0; i < 600; i++)
        line += " e2e4";
    RunResult result = RunUci(line + "\nisready\nquit\n");
    ASSERT_FALSE(result.lines.empty());
    EXPECT_EQ(result.lines.back(), "readyok");
}

std::filesystem::path CopyProgramAlone(const std::string &name) {
    auto dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::filesystem::copy_file(VLM_PROGRAM_PATH, dir / "vlmuci.x64");
    return dir;
}

TEST(UciLoop, MissingModuleEndsWithStatus255) {
    auto dir = CopyProgramAlone("vlm_no_module_test");
    RunResult result = RunProgram((dir / "vlmuci.x64").string(), "uci\nquit\n", TIMEOUT_MS);
    std::vector<std::string> expected = {"info string Error (Cannot find engine module): "};
    EXPECT_EQ(result.lines, expected);
    EXPECT_EQ(result.exitStatus, 255);
    std::filesystem::remove_all(dir);
}

TEST(UciLoop, ModuleWithoutEntryPointEndsWithStatus255) {
    // Any shared library without EngineInit will do: use the C library's.
    auto dir = CopyProgramAlone("vlm_no_entry_test");
    std::filesystem::path libc;
    for (const char *candidate : {"/lib/x86_64-linux-gnu/libm.so.6",
                                  "/usr/lib/x86_64-linux-gnu/libm.so.6", "/lib64/libm.so.6"}) {
        if (std::filesystem::exists(candidate)) {
            libc = candidate;
            break;
        }
    }
    ASSERT_FALSE(libc.empty());
    std::filesystem::copy_file(libc, dir / "vlm11.1.x64.so");
    RunResult result = RunProgram((dir / "vlmuci.x64").string(), "uci\nquit\n", TIMEOUT_MS);
    std::vector<std::string> expected = {"info string Error (Engine entry point not found): "};
    EXPECT_EQ(result.lines, expected);
    EXPECT_EQ(result.exitStatus, 255);
    std::filesystem::remove_all(dir);
}

TEST(UciLoop, FindsModuleFromAnyWorkingDirectory) {
    auto here = std::filesystem::current_path();
    std::filesystem::current_path("/");
    RunResult result = RunUci("uci\nquit\n");
    std::filesystem::current_path(here);
    ASSERT_FALSE(result.lines.empty());
    EXPECT_EQ(result.lines.back(), "uciok");
}

}  // namespace
