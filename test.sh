#!/bin/sh
# Builds and runs every test: the Release build (then its memory check
# under valgrind), the address and undefined-behaviour sanitizer build,
# then the thread sanitizer build.
set -e
cd "$(dirname "$0")"
./scripts/install_deps.sh
jobs=$(nproc)
for type in Release AsanUbsan Tsan; do
    dir=build/$(echo "$type" | tr 'A-Z' 'a-z')
    echo "=== $type"
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" >/dev/null
    cmake --build "$dir"
    ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 900 -LE memcheck
    if [ "$type" = Release ]; then
        echo "=== Release under valgrind"
        ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 900 -L memcheck
    fi
done
