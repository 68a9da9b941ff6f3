#!/usr/bin/env bash
# Builds Zandor for release and runs its benchmark on a private X server:
# the loaders and the main window's paths in the benchmark's own process,
# then start-up time and memory of the program against a plain Qt program
# with as many controls (bench/benchmark.cpp). Prints the machine first.
#   scripts/benchmark.sh [zandor-benchmark options]
#   scripts/benchmark.sh --repeat 500 --startup-runs 10    a quicker run
# BUILD_DIR (default build-bench) is configured as a Release build when it
# is not a build yet. Installs what is missing first, like run.sh.
# Figures move with the load on the machine: run it on an otherwise idle one.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-bench}

scripts/setup.sh run
missing=()
for p in xvfb xauth; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "benchmark: installing ${missing[*]}"
    as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zandor-benchmark zandor-startprobe baseline-startprobe >/dev/null

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo unknown)
echo "machine: $(nproc) cores, ${cpu:-unknown CPU}; $(uname -sr); Qt $qt"
echo "build:   $build ($(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/zandor-benchmark" "$@"
