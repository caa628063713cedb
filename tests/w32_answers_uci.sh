#!/bin/sh
# The 32-bit program answers "uci" with its own name. A kernel without
# 32-bit support cannot start it at all: that is a skip (77), not a pass.
program=$1
output=$(printf 'uci\nquit\n' | "$program" 2>&1)
status=$?
if [ "$status" -eq 126 ]; then
    echo "this kernel cannot run 32-bit programs: $output"
    exit 77
fi
echo "$output"
echo "$output" | grep -qx 'id name Velmorat 11.1 (Win32) UCI' || exit 1
echo "$output" | grep -qx 'uciok' || exit 1
exit 0
