// Paired speed comparison of two search_bench builds on a busy machine.
// Each pair runs both builds at once, pinned to the same CPU, and rates
// each by its node total over its own CPU time; which one starts first
// alternates. The result is the median of the pairs' ratios, so noise that
// hits both runs of a pair alike cancels. Each pair runs fresh copies of
// the two programs: where a program's code happens to lie in physical
// memory moves its speed by a percent or two, and fresh copies draw that
// anew for every pair instead of favouring one file throughout.
//
// Usage: compare_speed <baseline bench> <candidate bench> [pairs] [depth] [cpu]
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int PAIRS_DEFAULT = 7;
constexpr int DEPTH_DEFAULT = 10;

struct Run {
    pid_t pid = -1;
    int outFd = -1;
    std::string output;
    long long nodes = -1;
    double cpuSeconds = 0;
};

// Copies the program to `to`, replacing any earlier copy.
bool CopyProgram(const char *from, const std::string &to) {
    unlink(to.c_str());
    int in = open(from, O_RDONLY), out = open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0755);
    bool ok = in >= 0 && out >= 0;
    char buffer[1 << 16];
    ssize_t got = 0;
    while (ok && (got = read(in, buffer, sizeof buffer)) > 0)
        ok = write(out, buffer, size_t(got)) == got;
    ok = ok && got == 0;
    if (in >= 0)
        close(in);
    if (out >= 0 && close(out) != 0)
        ok = false;
    return ok;
}

// Starts the bench with its output on a pipe, pinned to `cpu`.
bool StartRun(const char *bench, const char *depth, int cpu, Run *run) {
    int fds[2];
    if (pipe(fds) != 0)
        return false;
    pid_t pid = fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        cpu_set_t set;
        CPU_ZERO(&set);
        CPU_SET(cpu, &set);
        if (sched_setaffinity(0, sizeof set, &set) != 0)
            _exit(126);
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        execl(bench, bench, depth, (char *)nullptr);
        _exit(127);
    }
    close(fds[1]);
    run->pid = pid;
    run->outFd = fds[0];
    return true;
}

// Reads both outputs to their end, then reaps both with their CPU times.
bool FinishRuns(Run *runs) {
    int open = 2;
    while (open > 0) {
        pollfd p[2];
        int n = 0;
        for (int i = 0; i < 2; i++)
            if (runs[i].outFd >= 0)
                p[n++] = {runs[i].outFd, POLLIN, 0};
        if (poll(p, n, -1) < 0)
            return false;
        for (int k = 0; k < n; k++) {
            if (!p[k].revents)
                continue;
            Run *run = runs[0].outFd == p[k].fd ? &runs[0] : &runs[1];
            char buffer[4096];
            ssize_t got = read(run->outFd, buffer, sizeof buffer);
            if (got > 0) {
                run->output.append(buffer, size_t(got));
            } else {
                close(run->outFd);
                run->outFd = -1;
                open--;
            }
        }
    }
    bool ok = true;
    for (int i = 0; i < 2; i++) {
        int status = 0;
        rusage usage = {};
        if (wait4(runs[i].pid, &status, 0, &usage) < 0 || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0)
            ok = false;
        runs[i].cpuSeconds = double(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec / 1e6 +
                             double(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec / 1e6;
        const char *total = strstr(runs[i].output.c_str(), "total nodes ");
        if (!total || sscanf(total, "total nodes %lld", &runs[i].nodes) != 1)
            ok = false;
    }
    return ok;
}

int LastAllowedCpu() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 0;
    for (int cpu = CPU_SETSIZE - 1; cpu > 0; cpu--)
        if (CPU_ISSET(cpu, &set))
            return cpu;
    return 0;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: %s <baseline bench> <candidate bench> [pairs] [depth] [cpu]\n",
                argv[0]);
        return 2;
    }
    int pairs = argc > 3 ? atoi(argv[3]) : PAIRS_DEFAULT;
    std::string depth = argc > 4 ? argv[4] : std::to_string(DEPTH_DEFAULT);
    int cpu = argc > 5 ? atoi(argv[5]) : LastAllowedCpu();
    if (pairs < 1 || pairs > 1000 || cpu < 0 || cpu >= CPU_SETSIZE) {
        fprintf(stderr, "pairs must be 1..1000 and cpu a valid CPU number\n");
        return 2;
    }
    const char *benches[2] = {argv[1], argv[2]};
    char scratch[] = "/tmp/compare_speed.XXXXXX";
    if (!mkdtemp(scratch)) {
        perror("mkdtemp");
        return 1;
    }
    // Same-length paths, so that both programs start with the same stack layout.
    std::string copies[2] = {std::string(scratch) + "/0", std::string(scratch) + "/1"};
    std::vector<double> gains;
    long long nodes[2] = {-1, -1};
    for (int pair = 0; pair < pairs; pair++) {
        // Even pairs start the baseline first, odd pairs the candidate.
        Run runs[2];
        int first = pair % 2;
        bool ok = CopyProgram(benches[0], copies[0]) && CopyProgram(benches[1], copies[1]) &&
                  StartRun(copies[first].c_str(), depth.c_str(), cpu, &runs[first]) &&
                  StartRun(copies[1 - first].c_str(), depth.c_str(), cpu, &runs[1 - first]) &&
                  FinishRuns(runs);
        if (!ok) {
            fprintf(stderr, "pair %d: a bench run failed\n", pair + 1);
            break;
        }
        for (int i = 0; i < 2; i++) {
            if (nodes[i] >= 0 && nodes[i] != runs[i].nodes)
                fprintf(stderr, "warning: %s gave %lld nodes, before %lld\n", benches[i],
                        runs[i].nodes, nodes[i]);
            nodes[i] = runs[i].nodes;
        }
        double rate[2];
        for (int i = 0; i < 2; i++)
            rate[i] = runs[i].cpuSeconds > 0 ? runs[i].nodes / runs[i].cpuSeconds : 0;
        double gain = rate[0] > 0 ? (rate[1] / rate[0] - 1) * 100 : 0;
        gains.push_back(gain);
        printf("pair %d (%s first): baseline %.0f n/s, candidate %.0f n/s, %+.1f%%\n", pair + 1,
               first == 0 ? "baseline" : "candidate", rate[0], rate[1], gain);
        fflush(stdout);
    }
    unlink(copies[0].c_str());
    unlink(copies[1].c_str());
    rmdir(scratch);
    if (gains.size() < size_t(pairs))
        return 1;
    auto [low, high] = std::minmax_element(gains.begin(), gains.end());
    printf("nodes: baseline %lld, candidate %lld%s\n", nodes[0], nodes[1],
           nodes[0] == nodes[1] ? "" : "  (DIFFERENT SEARCHES)");
    printf("median %+.1f%% over %d pairs (range %+.1f%% .. %+.1f%%), depth %s, cpu %d\n",
           Median(gains), pairs, *low, *high, depth.c_str(), cpu);
    return 0;
}
