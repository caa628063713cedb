// Evaluation benchmark: full evaluations per second over a fixed set of
// middlegame and endgame positions, one thread, default settings.
#include <chrono>
#include <cstdio>
#include <ctime>

#include "engine/board.h"
#include "engine/evaluate.h"
#include "engine/fen_setup.h"
#include "engine/module_state.h"

namespace {

const char *const BENCH_POSITIONS[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq -",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq -",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - -",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R w KQ -",
    "2r3k1/pp3ppp/4p3/3n4/3P4/2N2N2/PP3PPP/3R2K1 w - -",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - -",
    "8/5pk1/6p1/2p5/2P5/6P1/5PK1/8 w - -",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - -",
};
constexpr int N_POSITIONS = sizeof BENCH_POSITIONS / sizeof BENCH_POSITIONS[0];
constexpr int ROUNDS = 20000;

struct BenchBoard {
    Position position;
    SearchNode root;
    GameRecord record;
};

}  // namespace

int main() {
    settings = defaultSettings;
    rootSide = WHITE;
    static BenchBoard boards[N_POSITIONS];
    for (int i = 0; i < N_POSITIONS; i++) {
        InitWorkAreas(&boards[i].position);
        InitRootNode(&boards[i].root, &boards[i].position);
        if (ParseSetupText(BENCH_POSITIONS[i], &boards[i].record) != 0 ||
            ParseFen(&boards[i].root, &boards[i].record) != 0) {
            printf("bad position %s\n", BENCH_POSITIONS[i]);
            return 1;
        }
    }
    int64_t checksum = 0;
    auto start = std::chrono::steady_clock::now();
    std::clock_t cpuStart = std::clock();
    for (int round = 0; round < ROUNDS; round++) {
        for (int i = 0; i < N_POSITIONS; i++) {
            SearchNode node = boards[i].root;
            Evaluate(&node, 0);
            checksum += node.score;
        }
    }
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    int64_t evaluations = int64_t(ROUNDS) * N_POSITIONS;
    // CPU time as well: on a loaded machine the wall clock understates the rate.
    printf(
        "%lld evaluations in %.3f s (%.3f s CPU): %.0f per second, %.0f per CPU second "
        "(checksum %lld)\n",
        (long long)evaluations, seconds, cpuSeconds, evaluations / seconds,
        evaluations / cpuSeconds, (long long)checksum);
    return 0;
}
