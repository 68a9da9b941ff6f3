#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang into build-fuzz and runs
# each for a while, one after the other.
#   scripts/fuzz.sh [seconds [target...]]
#   scripts/fuzz.sh                      every target for 60 seconds
#   scripts/fuzz.sh 600 numericvalue     one target for ten minutes
# Targets: elementloader lineloader numericvalue (the reference-data core),
# emsa spx text detect (the spectrum core's readers), identify (automatic
# identification), bcf ripple (the spectrum-image core's readers), mapmodel
# (element maps' model read from bytes).
# Each run starts from the committed seeds (fuzz/corpus/<target>), the shipped
# data files and what earlier runs kept (fuzz/corpus-work/<target>, not
# committed), and adds the new inputs it finds to the latter. A crash, hang,
# leak, sanitizer report or failed check stops the script with a non-zero
# status; the input that did it is left in build-fuzz/artifacts/ and the
# fuzzer's output in build-fuzz/logs/.
# Reproduce with: build-fuzz/fuzz/fuzz_<target> <input file>
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
all_targets=(elementloader lineloader numericvalue emsa spx text detect identify bcf ripple mapmodel)
[ ${#targets[@]} -gt 0 ] || targets=("${all_targets[@]}")
case $seconds in
    '' | *[!0-9]*) echo "fuzz: seconds must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
for target in "${targets[@]}"; do
    case $target in
        elementloader | lineloader | numericvalue | emsa | spx | text | detect | identify | bcf | ripple | mapmodel) ;;
        *) echo "fuzz: no target '$target' (${all_targets[*]})" >&2; exit 2 ;;
    esac
done

scripts/setup.sh test
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DZANDOR_GUI=OFF -DBUILD_TESTING=OFF -DZANDOR_FUZZ=ON >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# Largest input per target: a whole data file fits with room to spare (the
# shipped element files are about 12 KB, the line file about 14 KB); for the
# spectrum readers, a spectrum of a few thousand channels; for the image
# readers, a small map (the seeds are 5 to 30 KB); for identify, the seeds'
# 2048 channels (fuzz/identifyinput.h sums them down to 256).
max_len() {
    case $1 in
        elementloader | emsa | spx | detect | bcf | ripple | mapmodel) echo 65536 ;;
        identify) echo 4105 ;;
        lineloader | text) echo 32768 ;;
        numericvalue) echo 4096 ;;
    esac
}
# The shipped data files join the seeds: the most realistic inputs there are.
shipped() {
    case $1 in
        elementloader) echo share/elements.inf share/elements_br.inf ;;
        lineloader) echo share/kl_lines.inf ;;
    esac
}
dict() {
    case $1 in
        numericvalue) echo fuzz/numericvalue.dict ;;
        emsa | detect) echo fuzz/emsa.dict ;;
        spx) echo fuzz/spx.dict ;;
        text) echo fuzz/text.dict ;;
        identify) echo fuzz/identify.dict ;;
        bcf) echo fuzz/bcf.dict ;;
        ripple) echo fuzz/ripple.dict ;;
        mapmodel) echo fuzz/mapmodel.dict ;;
        *) echo fuzz/loader.dict ;;
    esac
}

# Options of one target: identification has some 8,000 coverage features,
# and libFuzzer's entropic schedule, which updates a frequency for each of
# them on every run, took a third of its time; without it the target runs
# half as fast again, and the plain schedule still explores it.
options() {
    case $1 in
        identify) echo -entropic=0 ;;
    esac
}

export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
# The loader targets' scratch directories go under build-fuzz/tmp, where one
# left behind by a crashed run is out of the way and cleared next time.
export TMPDIR=$PWD/build-fuzz/tmp
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR" build-fuzz/artifacts build-fuzz/logs
status=0
for target in "${targets[@]}"; do
    # Absolute paths: the loader targets work in a scratch directory of their own.
    work=$PWD/fuzz/corpus-work/$target
    log=$PWD/build-fuzz/logs/$target.log
    mkdir -p "$work"
    for file in $(shipped "$target"); do
        if [ -f "$file" ]; then cp "$file" "$work/shipped-$(basename "$file")"; fi
    done
    if build-fuzz/fuzz/fuzz_"$target" "$work" "$PWD/fuzz/corpus/$target" \
        -max_total_time="$seconds" -max_len="$(max_len "$target")" -dict="$PWD/$(dict "$target")" \
        -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=1024 \
        -artifact_prefix="$PWD/build-fuzz/artifacts/$target-" -print_final_stats=1 $(options "$target") >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
        kept=$(find "$work" -type f | wc -l)
        echo "fuzz_$target: ${seconds} s, ${runs:-?} inputs (${rate:-?}/s), no findings; $kept inputs kept in fuzz/corpus-work/$target"
    else
        status=1
        echo "fuzz_$target: FAILED; the end of $log:"
        tail -n 60 "$log"
        ls -1 build-fuzz/artifacts/"$target"-* 2>/dev/null | sed 's/^/  input: /' || true
    fi
done
exit $status
