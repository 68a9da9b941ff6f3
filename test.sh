#!/usr/bin/env bash
# Installs what is missing, builds Zandor and runs the whole test suite
# headless.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh test
export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build and test =="
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

echo "== sanitizers: AddressSanitizer + UndefinedBehaviorSanitizer (build-asan) =="
scripts/sanitize.sh

echo "== fuzzing: 20 s per target (build-fuzz) =="
scripts/fuzz.sh 20
