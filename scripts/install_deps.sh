#!/bin/bash
# Installs what the build and tests need, only where it is missing, so
# running it again costs nothing. Quiet unless something goes wrong.
set -e
# qemu-user runs the 32-bit programs' tests where the kernel cannot.
packages=(cmake ninja-build g++ g++-multilib libgtest-dev libgmock-dev valgrind qemu-user)
need=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || need+=("$package")
done
[ ${#need[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing ${need[*]} ..." >&2
$sudo apt-get update -qq >/dev/null
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
