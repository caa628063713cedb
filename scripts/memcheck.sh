#!/bin/bash
# Valgrind memcheck over one part of a built tree; exits non-zero on any
# memory error or definite leak. Parts: bench (the search bench at a small
# depth), uci (the program searching over UCI, one and two threads),
# search-tests (the engine's search and module search tests).
# Usage: scripts/memcheck.sh <build dir> <part>
# To find where an uninitialised value came from, add --track-origins=yes.
set -u
dir=$1
part=$2
vg=(valgrind -q --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite
    --show-leak-kinds=definite)

# Sends the UCI lines, waiting for each search's "bestmove", then quits.
uci_session() {
    coproc ENGINE { "${vg[@]}" "$dir/vlmuci.x64"; }
    local line
    while read -r line; do
        echo "$line" >&"${ENGINE[1]}"
        [[ $line == go* ]] || continue
        while read -r -t 600 reply <&"${ENGINE[0]}"; do
            [[ $reply == bestmove* ]] && { echo "$reply"; break; }
        done
    done <<'UCI'
uci
setoption name Hash value 16
isready
position startpos moves e2e4 e7e5 g1f3
go depth 7
position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1
go depth 6
position fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1
go depth 9
setoption name Threads value 2
position fen r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P3/2NP1N2/PPP1QPPP/R4RK1 w - - 0 1
go depth 7
go movetime 1500
UCI
    echo quit >&"${ENGINE[1]}"
    local pid=$ENGINE_PID
    wait "$pid"
    # The program ends "quit" with status 1; valgrind's errors give 99.
    local status=$?
    [ $status -eq 1 ] || { echo "program ended with status $status" >&2; return 1; }
}

case $part in
bench) "${vg[@]}" "$dir/bench/search_bench" 7 ;;
uci) uci_session ;;
search-tests)
    # The repeat test only searches again what the bench covers.
    "${vg[@]}" "$dir/tests/engine_tests" --gtest_brief=1 \
        --gtest_filter='ModuleSearch.*:Search.*:IncrementalScore.*:-Search.NodeCounts*' ;;
*)
    echo "unknown part $part" >&2
    exit 2
    ;;
esac
