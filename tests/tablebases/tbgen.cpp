// tbgen DIR: solves kqk, krk, kbk, knk, kpk and kpkp and writes their
// tables into DIR, plain and compressed. A test tool: kpkp scores a
// promotion as a win, so its distances are not those of real play.
#include <chrono>
#include <cstdio>
#include <string>

#include "tests/tablebases/tb_solver.h"

int main(int argc, char **argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: tbgen DIR\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    SolveEndings(true);
    std::string error;
    if (!WriteSolvedTables(argv[1], true, true, &error)) {
        fprintf(stderr, "tbgen: %s\n", error.c_str());
        return 1;
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("tables written to %s in %.1f s\n", argv[1], seconds);
    return 0;
}
