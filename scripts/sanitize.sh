#!/usr/bin/env bash
# Builds the program and its whole test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (clang when present) into build-asan, and runs
# every test there. Any sanitizer report fails the run, also one from a
# process that a test starts: reports go to build-asan/sanitizer-logs/ and are
# shown at the end.
#   scripts/sanitize.sh [-DOPTION=VALUE...]    extra options for cmake
#   scripts/sanitize.sh -DZANDOR_GUI=OFF       only the Qt-free cores, the command line and their tests
# To rerun one test by hand afterwards, with the same settings:
#   eval "$(scripts/sanitize.sh --print-env)"; ctest --test-dir build-asan -R <name> --output-on-failure
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
logs=$root/build-asan/sanitizer-logs

# Stop at the first report with a stack trace, find leaks (less the system
# libraries' in tests/lsan.supp), and catch use after return and
# initialisation-order bugs too.
sanitizer_env() {
    cat <<ENV
export ASAN_OPTIONS='halt_on_error=1:abort_on_error=0:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_odr_violation=2:log_path=$logs/report'
export UBSAN_OPTIONS='halt_on_error=1:print_stacktrace=1:report_error_type=1:log_path=$logs/report'
export LSAN_OPTIONS='suppressions=$root/tests/lsan.supp:print_suppressions=0'
export QT_QPA_PLATFORM=offscreen
ENV
}
if [ "${1:-}" = --print-env ]; then
    sanitizer_env
    exit 0
fi

scripts/setup.sh test
if command -v clang++ >/dev/null; then cxx=clang++; else cxx=g++; fi
# -O1 keeps the stack traces whole and the tests fast.
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer -O1"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DZANDOR_GUI=ON -DZANDOR_FUZZ=OFF "$@" >/dev/null
cmake --build build-asan -j"$(nproc)"

rm -rf "$logs"
mkdir -p "$logs"
eval "$(sanitizer_env)"
status=0
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" || status=$?

shopt -s nullglob
reports=("$logs"/*)
if [ ${#reports[@]} -gt 0 ]; then
    for report in "${reports[@]}"; do
        echo "== sanitizer report ${report#"$root"/} =="
        cat "$report"
    done
    echo "sanitize: ${#reports[@]} sanitizer report(s); failing" >&2
    status=1
fi
exit $status
