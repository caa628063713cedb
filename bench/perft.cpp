// Perft benchmark and checker. Without arguments: nodes per second for the
// start position at depth 6 and a busy middlegame at depth 5. With a FEN
// and a depth: that position's count alone on the last line.
#include "engine/perft.h"

#include <cstdio>
#include <cstdlib>

#include "engine/board.h"
#include "engine/fen_setup.h"
#include "platform/clock.h"

static Position benchPosition;
static GameRecord benchRecord;

static bool SetUp(const char *fen, SearchNode *root) {
    InitWorkAreas(&benchPosition);
    InitRootNode(root, &benchPosition);
    return ParseSetupText(fen, &benchRecord) == 0 && ParseFen(root, &benchRecord) == 0;
}

static int RunTimed(const char *name, const char *fen, int depth) {
    SearchNode root;
    if (!SetUp(fen, &root)) {
        fprintf(stderr, "bad position: %s\n", fen);
        return 1;
    }
    int32_t start = ClockMs();
    int64_t nodes = Perft(&root, depth);
    int32_t ms = ElapsedMs(start, ClockMs());
    double nps = ms > 0 ? double(nodes) * 1000.0 / ms : 0.0;
    printf("%-10s depth %d  nodes %lld  time %d ms  nps %.0f\n", name, depth, (long long)nodes, ms,
           nps);
    return 0;
}

int main(int argc, char **argv) {
    if (argc == 3) {
        SearchNode root;
        int depth = atoi(argv[2]);
        if (depth < 0 || depth > 12 || !SetUp(argv[1], &root)) {
            fprintf(stderr, "usage: perft \"<fen>\" <depth 0..12>\n");
            return 1;
        }
        printf("%lld\n", (long long)Perft(&root, depth));
        return 0;
    }
    if (argc != 1) {
        fprintf(stderr, "usage: perft [\"<fen>\" <depth>]\n");
        return 1;
    }
    int failed = RunTimed("start", nullptr, 6);
    failed |= RunTimed("kiwipete",
                       "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1", 5);
    return failed;
}
