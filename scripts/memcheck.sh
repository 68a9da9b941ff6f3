#!/usr/bin/env bash
# Runs one short session of the program under valgrind's memcheck and tells
# whether any memory error, or any block "definitely lost", comes from
# Zandor's own code.
#   scripts/memcheck.sh [--x11] [BUILD_DIR]
# The session is bench/cycle.cpp (zandor-cycle): start-up as app/windowmain.cpp does
# it, the pointer over several cells, both search boxes, the language switch
# there and back, the read-me and About windows, and Exit; on the offscreen
# platform, or with --x11 on the xcb platform under a private X server
# (xvfb-run).
# BUILD_DIR: build-memcheck by default, configured here (RelWithDebInfo, so
# the stacks have file names and lines); a directory that is already a
# build is used as it is configured. Only zandor-cycle is built.
#
# A report is Zandor's own when the frame that allocated the block (for a
# leak) or that made the error is in the project's sources: the first frame
# of its stack that is not an allocator of the C or C++ library. The log
# stays in BUILD_DIR/memcheck.log. Reports that start inside a system
# library are listed, not counted; those that are known and harmless are
# suppressed in tests/valgrind.supp, each with the reason. Exit status 1
# when a report is Zandor's own.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

x11=false
build=build-memcheck
for arg in "$@"; do
    case $arg in
        --x11) x11=true ;;
        -*) echo "usage: scripts/memcheck.sh [--x11] [BUILD_DIR]" >&2; exit 2 ;;
        *) build=$arg ;;
    esac
done

scripts/setup.sh run
missing=()
for p in valgrind $($x11 && echo xvfb xauth); do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "memcheck: installing ${missing[*]}"
    as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" --target zandor-cycle >/dev/null
build=$(cd "$build" && pwd)
# The sources the build was made from (BUILD_DIR may belong to another tree).
sources=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
log=$build/memcheck.log

runtime=$(mktemp -d)
trap 'rm -rf "$runtime"' EXIT
export XDG_RUNTIME_DIR=$runtime
valgrind_cmd=(valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite
    --errors-for-leak-kinds=definite --num-callers=50 --fullpath-after=
    --child-silent-after-fork=yes --suppressions="$root/tests/valgrind.supp"
    --log-file="$log" "$build/bench/zandor-cycle" "$sources/share")
started=$(date +%s)
if $x11; then
    platform=xcb
    QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x1024x24" "${valgrind_cmd[@]}" >/dev/null 2>&1 || true
else
    platform=offscreen
    QT_QPA_PLATFORM=offscreen "${valgrind_cmd[@]}" >/dev/null 2>&1 || true
fi
seconds=$(($(date +%s) - started))

if ! grep -q 'ERROR SUMMARY' "$log"; then
    echo "memcheck: the session did not run to its end; see $log" >&2
    exit 1
fi

# One line per report: OWN or LIBRARY, what it is, and the frame it starts
# in; every line of an OWN report after it.
awk -v src="$sources/" '
function flush(   i, site, own, line) {
    if (header == "" || !(header ~ /definitely lost in loss record/ || header ~ /^(Invalid|Conditional jump|Use of uninitialised|Syscall param|Mismatched|Source and destination overlap|Argument .* fishy)/)) {
        header = ""; n = 0; return
    }
    site = ""
    for (i = 1; i <= n; ++i) {
        line = frames[i]
        if (line !~ /^ *(at|by) 0x/) break
        if (line ~ /vgpreload_|: (malloc|calloc|realloc|free|memalign|posix_memalign|operator new|operator delete)/) continue
        site = line; break
    }
    sub(/^ *(at|by) 0x[0-9A-Fa-f]+: /, "", site)
    own = index(site, "(" src) > 0
    printf "%s %s\n    at %s\n", own ? "OWN" : "LIBRARY", header, site
    if (own)
        for (i = 1; i <= n; ++i) print "      " frames[i]
    header = ""; n = 0
}
{
    sub(/^==[0-9]+== ?/, "")
    if ($0 == "") { flush(); next }
    if (header == "" && n == 0 && $0 !~ /^ /) { header = $0; next }
    frames[++n] = $0
}
END { flush() }
' "$log" >"$build/memcheck-reports.txt"

own=$(grep -c '^OWN' "$build/memcheck-reports.txt" || true)
library=$(grep -c '^LIBRARY' "$build/memcheck-reports.txt" || true)
summary() { sed -n "s/^==[0-9]*== *$1: *//p" "$log" | head -n1; }
echo "memcheck: zandor-cycle on the $platform platform, ${seconds} s under valgrind"
echo "  definitely lost: $(summary 'definitely lost'); indirectly lost: $(summary 'indirectly lost'); possibly lost: $(summary 'possibly lost')"
echo "  errors: $(summary 'ERROR SUMMARY')"
echo "  suppressed (tests/valgrind.supp): $(summary 'suppressed')"
if [ "$library" -gt 0 ]; then
    echo "  $library report(s) starting in system libraries, not Zandor's (add to tests/valgrind.supp with the reason once understood):"
    grep -A1 '^LIBRARY' "$build/memcheck-reports.txt" | sed 's/^/    /'
fi
if [ "$own" -gt 0 ]; then
    echo "  $own report(s) from Zandor's own code:"
    awk '/^OWN/ { show = 1 } /^LIBRARY/ { show = 0 } show' "$build/memcheck-reports.txt" | sed 's/^/    /'
    echo "memcheck: FAILED; the whole log is $log"
    exit 1
fi
echo "memcheck: nothing from Zandor's own code; the whole log is $log"
