// Runs the built program as a child process: write UCI lines to it and
// read its output lines with a timeout, as a GUI would.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#ifdef VLM_DEBUG
const int SLOW = 4;  // sanitizer builds run several times slower
#else
const int SLOW = 1;
#endif
const std::string START_FEN = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";

struct UciProcess {
    pid_t pid = -1;
    int toChild = -1;
    int fromChild = -1;
    std::string pending;  // output read but not yet split into lines
    bool outputClosed = false;
};

struct RunResult {
    int exitStatus = -1;  // -1: did not exit in time (killed)
    std::vector<std::string> lines;
};

// Starts programPath with stdin/stdout piped (stderr inherited).
bool UciStart(UciProcess *process, const std::string &programPath);
// The same for a command line: the program's path and its arguments,
// perhaps after a runner such as an emulator.
bool UciStartCommand(UciProcess *process, const std::vector<std::string> &command);
void UciSend(UciProcess *process, const std::string &line);
void UciCloseInput(UciProcess *process);
// One output line without its line feed; false on timeout or end of output.
bool UciReadLine(UciProcess *process, int timeoutMs, std::string *line);
// Lines up to and including the first that starts with prefix; stops
// early on timeout (the last line then lacks the prefix).
std::vector<std::string> UciReadUntil(UciProcess *process, const std::string &prefix,
                                      int timeoutMs);
// Exit status once the child ends within timeoutMs; else kills it, -1.
int UciWaitExit(UciProcess *process, int timeoutMs);
// Feeds input, closes stdin, collects every line and the exit status.
RunResult RunProgram(const std::string &programPath, const std::string &input, int timeoutMs);
RunResult RunCommand(const std::vector<std::string> &command, const std::string &input,
                     int timeoutMs);

// Sends line, then reads up to and including the first line that starts
// with prefix.
std::vector<std::string> UciCommand(UciProcess *process, const std::string &line,
                                    const std::string &prefix, int timeoutMs);
// Lines that start with prefix.
int CountLinesWithPrefix(const std::vector<std::string> &lines, const std::string &prefix);
