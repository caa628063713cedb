#!/bin/sh
# Builds the Release engine and starts it, ready for UCI input.
set -e
cd "$(dirname "$0")"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/release --target vlmuci.x64 >/dev/null
exec build/release/vlmuci.x64
