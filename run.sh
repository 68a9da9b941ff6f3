#!/usr/bin/env bash
# Installs what is missing, builds Zandor and starts it on the shipped data.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh run
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target zandor
cd share
exec ../build/zandor "$@"
