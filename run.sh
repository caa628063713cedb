#!/bin/sh
# Builds the Release engine and starts it, ready for UCI input.
set -e
cd "$(dirname "$0")"
./scripts/install_deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target vlmuci.x64 >/tmp/vlm-build.$$.log 2>&1 || { cat /tmp/vlm-build.$$.log >&2; exit 1; }
rm -f /tmp/vlm-build.$$.log
exec build/release/vlmuci.x64
