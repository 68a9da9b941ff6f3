#!/usr/bin/env bash
# Installs what is missing, builds Zandor and starts it on the shipped data.
# The files named are opened from where the script was started:
#   ./run.sh spectrum.msa
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
(
    cd "$top"
    scripts/setup.sh run
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build build -j"$(nproc)" --target zandor
)
ZANDOR_DATA_DIR=$top/share exec "$top/build/zandor" "$@"
