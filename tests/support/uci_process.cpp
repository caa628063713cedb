// Child process plumbing for the end-to-end tests.
#include "tests/support/uci_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

static int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool UciStart(UciProcess *process, const std::string &programPath) {
    return UciStartCommand(process, {programPath});
}

bool UciStartCommand(UciProcess *process, const std::vector<std::string> &command) {
    if (command.empty())
        return false;
    signal(SIGPIPE, SIG_IGN);
    // Built before the fork: the child of a threaded test only execs.
    std::vector<char *> arguments;
    for (const std::string &word : command)
        arguments.push_back(const_cast<char *>(word.c_str()));
    arguments.push_back(nullptr);
    int input[2], output[2];
    if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        // A sanitizer report must not pass for the exit status 1 of "quit".
        // The program leaves through _exit, where the thread sanitizer no
        // longer sets the status: it must end at its first report.
        for (const char *name : {"ASAN_OPTIONS", "TSAN_OPTIONS", "UBSAN_OPTIONS"}) {
            const char *old = getenv(name);
            std::string options = old ? std::string(old) + ":" : "";
            options += strcmp(name, "TSAN_OPTIONS") ? "exitcode=86" : "exitcode=86:halt_on_error=1";
            setenv(name, options.c_str(), 1);
        }
        dup2(input[0], 0);
        dup2(output[1], 1);
        execv(arguments[0], arguments.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    process->pid = pid;
    process->toChild = input[1];
    process->fromChild = output[0];
    return true;
}

void UciSend(UciProcess *process, const std::string &line) {
    std::string text = line + "\n";
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(process->toChild, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += size_t(n);
    }
}

void UciCloseInput(UciProcess *process) {
    if (process->toChild >= 0)
        close(process->toChild);
    process->toChild = -1;
}

bool UciReadLine(UciProcess *process, int timeoutMs, std::string *line) {
    int64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        size_t feed = process->pending.find('\n');
        if (feed != std::string::npos) {
            *line = process->pending.substr(0, feed);
            process->pending.erase(0, feed + 1);
            return true;
        }
        if (process->outputClosed)
            return false;
        int64_t left = deadline - NowMs();
        if (left <= 0)
            return false;
        struct pollfd poller = {process->fromChild, POLLIN, 0};
        if (poll(&poller, 1, int(left)) <= 0)
            continue;
        char buffer[4096];
        ssize_t n = read(process->fromChild, buffer, sizeof buffer);
        if (n <= 0)
            process->outputClosed = true;
        else
            process->pending.append(buffer, size_t(n));
    }
}

std::vector<std::string> UciReadUntil(UciProcess *process, const std::string &prefix,
                                      int timeoutMs) {
    std::vector<std::string> lines;
    int64_t deadline = NowMs() + timeoutMs;
    std::string line;
    while (UciReadLine(process, int(std::max<int64_t>(0, deadline - NowMs())), &line)) {
        lines.push_back(line);
        if (line.compare(0, prefix.size(), prefix) == 0)
            break;
    }
    return lines;
}

int UciWaitExit(UciProcess *process, int timeoutMs) {
    int64_t deadline = NowMs() + timeoutMs;
    int status = 0;
    for (;;) {
        pid_t done = waitpid(process->pid, &status, WNOHANG);
        if (done == process->pid)
            break;
        if (NowMs() > deadline) {
            kill(process->pid, SIGKILL);
            waitpid(process->pid, &status, 0);
            UciCloseInput(process);
            close(process->fromChild);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    UciCloseInput(process);
    close(process->fromChild);
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

RunResult RunProgram(const std::string &programPath, const std::string &input, int timeoutMs) {
    return RunCommand({programPath}, input, timeoutMs);
}

RunResult RunCommand(const std::vector<std::string> &command, const std::string &input,
                     int timeoutMs) {
    RunResult result;
    UciProcess process;
    if (!UciStartCommand(&process, command))
        return result;
    // The writer owns the input pipe, so a child that stops reading
    // cannot block the reader.
    int inputPipe = process.toChild;
    process.toChild = -1;
    std::thread writer([&input, inputPipe] {
        size_t done = 0;
        while (done < input.size()) {
            ssize_t n = write(inputPipe, input.data() + done, input.size() - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        close(inputPipe);
    });
    int64_t deadline = NowMs() + timeoutMs;
    std::string line;
    while (NowMs() < deadline && UciReadLine(&process, int(deadline - NowMs()), &line))
        result.lines.push_back(line);
    result.exitStatus = UciWaitExit(&process, int(std::max<int64_t>(100, deadline - NowMs())));
    writer.join();
    return result;
}

std::vector<std::string> UciCommand(UciProcess *process, const std::string &line,
                                    const std::string &prefix, int timeoutMs) {
    UciSend(process, line);
    return UciReadUntil(process, prefix, timeoutMs);
}

int CountLinesWithPrefix(const std::vector<std::string> &lines, const std::string &prefix) {
    int count = 0;
    for (const std::string &line : lines)
        count += line.compare(0, prefix.size(), prefix) == 0;
    return count;
}
