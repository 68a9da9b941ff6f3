#!/usr/bin/env bash
# Benchmarks of the command line and the X-ray core, in a Release build:
#  - zandor-xraybench: the line finder and the parsers in their own process,
#    medians in microseconds (bench/xraybench.cpp);
#  - zandor-identifybench: automatic identification of 4096-channel
#    synthetic spectra and of bounding cases, medians in milliseconds
#    (bench/identifybench.cpp);
#  - zandor-processtime: `zandor find 6.4keV --json`, two other
#    sub-commands and `zandor identify FILE --json` on two of those spectra
#    as processes, from start to exit, with their peak memory, beside
#    /bin/true run the same way (bench/processtime.cpp).
#   scripts/benchmark-cli.sh                       about 45 seconds once built
#   scripts/benchmark-cli.sh --repeat 2000 --runs 10   quicker, rougher
# BUILD_DIR (default build-bench, shared with scripts/benchmark.sh) is
# configured as a Release build when it is not a build yet. Installs what
# is missing first, like run.sh. Figures move with the load on the machine.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build-bench}
repeat=20000
runs=40
while [ $# -gt 0 ]; do
    case $1 in
        --repeat) repeat=$2; shift 2 ;;
        --runs) runs=$2; shift 2 ;;
        *) echo "usage: scripts/benchmark-cli.sh [--repeat N] [--runs N]" >&2; exit 2 ;;
    esac
done

scripts/setup.sh run
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zandor zandor-processtime zandor-xraybench zandor-identifybench >/dev/null

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
echo "machine: $(nproc) cores, ${cpu:-unknown CPU}; $(uname -sr)"
echo "build:   $build ($(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt")), commit $(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
echo

"$build/bench/zandor-xraybench" --repeat "$repeat"
echo
for command in "find 6.4keV --json" "find 2.31keV --limit 0 --json" "lines Fe --json"; do
    # shellcheck disable=SC2086 # the sub-command's words are meant to split
    "$build/bench/zandor-processtime" --runs "$runs" -- "$build/zandor" $command
    echo
done
"$build/bench/zandor-identifybench"
echo
samples=$(mktemp -d)
trap 'rm -rf "$samples"' EXIT
"$build/bench/zandor-identifybench" --write-samples "$samples" >/dev/null
for spectrum in fe-20kv s-mo-pb-25kv; do
    "$build/bench/zandor-processtime" --runs "$runs" -- "$build/zandor" identify "$samples/$spectrum.msa" --json
    echo
done
