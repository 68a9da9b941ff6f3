#!/usr/bin/env bash
# Checks an installed Zandor, as a user or a package would get it.
#
#   install-test.sh BUILD_DIR             install into a scratch prefix, check
#                                         what went where, validate the desktop
#                                         entry and the AppStream metadata, and
#                                         start the installed program from an
#                                         empty directory: in place, after
#                                         moving the prefix, and staged with
#                                         DESTDIR
#   install-test.sh --package BUILD_DIR   build the Debian package of BUILD_DIR
#                                         with CPack and check its contents and
#                                         dependencies
#
# The program is started on a private Xvfb server and its main window is
# looked for with xdotool. Without them it is started on the offscreen
# platform instead, which shows that it starts and stays up but cannot show
# its window. A validator whose command is missing is skipped with a message.
set -uo pipefail

mode=install
if [ "${1:-}" = --package ]; then
    mode=package
    shift
fi
build=$(cd "${1:?usage: install-test.sh [--package] BUILD_DIR}" && pwd)
cmake=${CMAKE_COMMAND:-cmake}
cpack=${CPACK_COMMAND:-cpack}

app_id=org.example.zandor
title="Zandor v4"
data_files=(elements.inf elements_br.inf kl_lines.inf readme.txt)
icon_sizes=(16 32 48 64 128 256)

tmp=$(mktemp -d "${TMPDIR:-/tmp}/zandor-install.XXXXXX")
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$tmp"
}
trap cleanup EXIT

# The Python module, when the build has it: the Python it was built for.
python_module=
python=
if [ -f "$build/python/zandor/__init__.py" ]; then
    python_module=lib/python3/dist-packages/zandor
    python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$build/CMakeCache.txt")
    python=${python:-/usr/bin/python3}
fi

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }
skip() { echo "SKIP: $*"; }

# Width and height of a PNG, from its IHDR chunk.
png_size() {
    local b
    read -r -a b < <(od -An -v -tu1 -j16 -N8 "$1")
    [ ${#b[@]} -eq 8 ] || return 1
    echo "$(( (b[0] << 24) | (b[1] << 16) | (b[2] << 8) | b[3] ))x$(( (b[4] << 24) | (b[5] << 16) | (b[6] << 8) | b[7] ))"
}

# The files an installation under PREFIX must hold (relative to PREFIX).
expected_files() {
    echo bin/zandor
    for f in "${data_files[@]}"; do echo "share/zandor/$f"; done
    echo "share/applications/$app_id.desktop"
    echo share/doc/zandor/copyright
    echo "share/metainfo/$app_id.metainfo.xml"
    echo "share/mime/packages/$app_id.xml"
    for s in "${icon_sizes[@]}"; do echo "share/icons/hicolor/${s}x${s}/apps/zandor.png"; done
    echo share/icons/hicolor/scalable/apps/zandor.svg
}

check_layout() {
    local prefix=$1 rel missing=0
    while read -r rel; do
        [ -f "$prefix/$rel" ] || { fail "not installed: $rel"; missing=1; }
    done < <(expected_files)
    [ -x "$prefix/bin/zandor" ] || fail "bin/zandor is not executable"
    # The window module, in the library directory (lib/ or a multiarch lib/<triplet>/).
    compgen -G "$prefix/lib/zandor/zandor-window.so" >/dev/null \
        || compgen -G "$prefix/lib/*/zandor/zandor-window.so" >/dev/null \
        || { fail "not installed: lib/[<triplet>/]zandor/zandor-window.so"; missing=1; }
    if [ -f "$prefix/share/man/man1/zandor.1.gz" ] || [ -f "$prefix/share/man/man1/zandor.1" ]; then :
    else fail "no manual page share/man/man1/zandor.1[.gz]"; missing=1; fi
    if [ -n "$python_module" ]; then
        for f in __init__.py dask.py; do
            [ -f "$prefix/$python_module/$f" ] || { fail "not installed: $python_module/$f"; missing=1; }
        done
        compgen -G "$prefix/$python_module/_zandor*.so" >/dev/null \
            || { fail "not installed: $python_module/_zandor*.so"; missing=1; }
    fi
    [ $missing -eq 0 ] && pass "every file installed under its directory"

    for s in "${icon_sizes[@]}"; do
        local png="$prefix/share/icons/hicolor/${s}x${s}/apps/zandor.png" got
        [ -f "$png" ] || continue
        got=$(png_size "$png")
        [ "$got" = "${s}x${s}" ] || fail "icon in ${s}x${s}/ is ${got:-not a PNG}"
    done
    grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/zandor.svg" 2>/dev/null \
        || fail "scalable icon is not an SVG"

    # The entry must start the installed program with the installed icon, and
    # the metadata must name the installed entry.
    local desktop="$prefix/share/applications/$app_id.desktop"
    local metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
    if [ -f "$desktop" ]; then
        local exec icon
        exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
        icon=$(sed -n 's/^Icon=//p' "$desktop")
        [ -x "$prefix/bin/$exec" ] || fail "desktop entry runs '$exec', not an installed program"
        [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] \
            || fail "desktop entry's icon '$icon' is not installed"
        grep -q '^Name\[pt_BR\]=' "$desktop" && grep -q '^GenericName\[pt_BR\]=' "$desktop" \
            && grep -q '^Comment\[pt_BR\]=' "$desktop" \
            || fail "desktop entry lacks a Brazilian Portuguese Name, GenericName or Comment"
    fi
    if [ -f "$metainfo" ]; then
        grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
            || fail "metainfo does not launch $app_id.desktop"
        grep -q "<id>$app_id</id>" "$metainfo" || fail "metainfo's id is not $app_id"
        grep -q '<screenshot' "$metainfo" || fail "metainfo has no screenshot"
    fi
}

validate() {
    local prefix=$1
    local desktop="$prefix/share/applications/$app_id.desktop"
    local metainfo="$prefix/share/metainfo/$app_id.metainfo.xml"
    if command -v desktop-file-validate >/dev/null; then
        if out=$(desktop-file-validate "$desktop" 2>&1); then
            pass "desktop-file-validate"
            [ -n "$out" ] && echo "$out" | sed 's/^/    /'
        else
            fail "desktop-file-validate:"; echo "$out" | sed 's/^/    /'
        fi
    else
        skip "desktop-file-validate is not installed (package desktop-file-utils): desktop entry not validated"
    fi
    if command -v appstreamcli >/dev/null; then
        if out=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1); then
            pass "appstreamcli validate"
        else
            fail "appstreamcli validate:"; echo "$out" | sed 's/^/    /'
        fi
    else
        skip "appstreamcli is not installed (package appstream): metadata not validated"
    fi
    # Every file type the entry declares is defined by the installed
    # shared-mime-info package, and the entry passes the files on.
    local mimexml="$prefix/share/mime/packages/$app_id.xml" types
    types=$(sed -n 's/^MimeType=//p' "$desktop" | tr ';' ' ')
    [ -n "$types" ] || fail "desktop entry declares no MimeType"
    grep -q '^Exec=[^ ]* %F$' "$desktop" || fail "desktop entry's Exec does not pass the files (%F)"
    if command -v update-mime-database >/dev/null; then
        mkdir -p "$tmp/mime/packages"
        cp "$mimexml" "$tmp/mime/packages/" 2>/dev/null
        if out=$(update-mime-database -V "$tmp/mime" 2>&1) && [ -f "$tmp/mime/globs2" ]; then
            local t ok=1
            for t in $types; do
                grep -q ":$t:" "$tmp/mime/globs2" || { fail "MIME type $t has no file name pattern"; ok=0; }
            done
            for g in '*.msa' '*.emsa' '*.spx'; do
                grep -qF ":$g" "$tmp/mime/globs2" || { fail "no MIME type for $g"; ok=0; }
            done
            [ $ok -eq 1 ] && pass "update-mime-database: $types"
        else
            fail "update-mime-database:"; echo "$out" | sed 's/^/    /'
        fi
    else
        skip "update-mime-database is not installed (package shared-mime-info): MIME types not checked"
    fi

    local man="$prefix/share/man/man1/zandor.1.gz" page
    if [ -f "$man" ]; then page=$(gzip -dc "$man"); else page=$(cat "$prefix/share/man/man1/zandor.1" 2>/dev/null); fi
    echo "$page" | grep -q '^\.TH ZANDOR 1 ' || fail "manual page has no '.TH ZANDOR 1' header"
}

start_display() {
    if ! command -v Xvfb >/dev/null || ! command -v xdotool >/dev/null; then
        echo "note: Xvfb or xdotool is missing (packages xvfb, xdotool): starting on the offscreen" \
             "platform, which cannot show whether the main window appears"
        return 1
    fi
    : > "$tmp/display"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$tmp/display" ] && break
        sleep 0.1
    done
    if [ ! -s "$tmp/display" ]; then
        fail "Xvfb did not start"; sed 's/^/    /' "$tmp/xvfb.log"
        xvfb_pid=
        return 1
    fi
    display=":$(tr -dc 0-9 < "$tmp/display")"
    return 0
}

# Starts PROGRAM from an empty directory and checks that its main window
# appears and that it took its data from EXPECTED_DATA_DIR.
start_installed() {
    local what=$1 program=$2 expected=$3
    local here="$tmp/elsewhere-$RANDOM"
    mkdir -p "$here"
    local log="$here.log" pid window= cwd=
    if [ -n "${display:-}" ] && ! kill -0 "$xvfb_pid" 2>/dev/null; then
        fail "$what: the X server has gone"; sed 's/^/    /' "$tmp/xvfb.log"
        return 0
    fi
    if [ -n "${display:-}" ]; then
        (cd "$here" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" \
            QT_QPA_PLATFORM=xcb "$program" >"$log" 2>&1) &
    else
        (cd "$here" && exec env QT_QPA_PLATFORM=offscreen "$program" >"$log" 2>&1) &
    fi
    pid=$!
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null)
        if [ -n "${display:-}" ]; then
            window=$(DISPLAY="$display" xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
            [ -n "$window" ] && break
            # The start-up error box: no point in waiting for the window.
            DISPLAY="$display" xdotool search --onlyvisible --name '^PTError$' >/dev/null 2>&1 && break
        elif [ "$cwd" = "$expected" ]; then
            sleep 2   # give it time to fail on its data before calling it up
            kill -0 "$pid" 2>/dev/null && window=offscreen
            break
        fi
        sleep 0.1
    done
    cwd=$(readlink "/proc/$pid/cwd" 2>/dev/null || echo "$cwd")

    if [ -z "$window" ]; then
        if kill -0 "$pid" 2>/dev/null; then
            fail "$what: main window '$title' not shown"
            if [ -n "${display:-}" ]; then
                echo "    windows shown:"
                DISPLAY="$display" xdotool search --onlyvisible --name . 2>/dev/null | while read -r w; do
                    echo "      '$(DISPLAY="$display" xdotool getwindowname "$w" 2>/dev/null)'"
                done
            fi
        else
            wait "$pid"
            fail "$what: the program exited (status $?) before showing its window"
        fi
        sed 's/^/    | /' "$log"
    elif [ "$cwd" != "$expected" ]; then
        fail "$what: window shown, but running in $cwd instead of $expected"
    elif [ "$window" = offscreen ]; then
        pass "$what: starts from an empty directory and stays up, data from $expected"
    else
        pass "$what: main window '$title' shown, data from $expected"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Starts PROGRAM with a spectrum file named relative to an empty directory,
# as a file manager or a shell would, and checks that the spectrum window
# appears beside the main window. The file is written by the program's own
# `zandor convert` from a list of counts.
start_with_spectrum() {
    local program=$1
    local here="$tmp/spectrum-$RANDOM" pid window= main=
    mkdir -p "$here"
    for i in $(seq 1 256); do echo $(( (i - 100) * (i - 100) < 25 ? 900 : 20 )); done > "$here/counts.txt"
    if ! "$program" convert "$here/counts.txt" "$here/peak.msa" >"$here.convert.log" 2>&1; then
        fail "zandor convert counts.txt peak.msa"; sed 's/^/    | /' "$here.convert.log"
        return 0
    fi
    if [ -z "${display:-}" ]; then
        skip "no X server: the spectrum window on the command line not checked"
        return 0
    fi
    (cd "$here" && exec env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY DISPLAY="$display" XDG_CONFIG_HOME="$here/config" \
        QT_QPA_PLATFORM=xcb "$program" peak.msa >"$here.log" 2>&1) &
    pid=$!
    for _ in $(seq 200); do
        kill -0 "$pid" 2>/dev/null || break
        window=$(DISPLAY="$display" xdotool search --onlyvisible --name 'Zandor$' 2>/dev/null | while read -r w; do
            DISPLAY="$display" xdotool getwindowname "$w"; done | grep -v "^$title\$" | head -n1)
        main=$(DISPLAY="$display" xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
        [ -n "$window" ] && [ -n "$main" ] && break
        sleep 0.1
    done
    if [ -n "$window" ] && [ -n "$main" ]; then
        pass "zandor peak.msa: main window and '$window' shown"
    else
        fail "zandor peak.msa: spectrum window not shown (main window: ${main:-none})"
        sed 's/^/    | /' "$here.log"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 0
}

# Imports the Python module installed under PREFIX from an empty directory,
# as `python3 -c "import zandor; ..."` would once the prefix is on Python's
# path, and asks it for the line at 6400 eV.
check_python() {
    local what=$1 prefix=$2 here="$tmp/python-$RANDOM" out
    [ -n "$python_module" ] || return 0
    mkdir -p "$here"
    if out=$(cd "$here" && env -u PYTHONPATH PYTHONPATH="$prefix/lib/python3/dist-packages" PYTHONDONTWRITEBYTECODE=1 \
            "$python" -c 'import zandor; print(zandor.__file__); print(zandor.find(6400.0)[0]["element"])' 2>&1) \
        && [ "$(echo "$out" | sed -n 1p)" = "$prefix/$python_module/__init__.py" ] \
        && [ "$(echo "$out" | sed -n 2p)" = Fe ]; then
        pass "$what: import zandor; zandor.find(6400.0) finds Fe"
    else
        fail "$what: the Python module does not import from $prefix/$python_module"; echo "$out" | sed 's/^/    | /'
    fi
}

run_install() {
    local prefix="$tmp/prefix"
    echo "== cmake --install $build --prefix $prefix"
    if ! "$cmake" --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
        fail "cmake --install"; sed 's/^/    /' "$tmp/install.log"
        return
    fi
    check_layout "$prefix"
    validate "$prefix"
    check_python "installed" "$prefix"

    display=
    start_display || display=
    start_installed "installed" "$prefix/bin/zandor" "$prefix/share/zandor"
    start_with_spectrum "$prefix/bin/zandor"

    # A prefix is relocatable: the program looks for its data relative to
    # itself, so a moved tree still works without rebuilding.
    local moved="$tmp/moved/elsewhere"
    mkdir -p "$tmp/moved"
    mv "$prefix" "$moved"
    start_installed "moved prefix" "$moved/bin/zandor" "$moved/share/zandor"

    # Staged as a package build does: DESTDIR plus a prefix that is not there.
    echo "== DESTDIR=$tmp/stage cmake --install $build --prefix /opt/zandor"
    if DESTDIR="$tmp/stage" "$cmake" --install "$build" --prefix /opt/zandor >"$tmp/stage.log" 2>&1; then
        [ -d "$tmp/stage/opt/zandor/bin" ] || fail "DESTDIR install did not land under DESTDIR"
        start_installed "DESTDIR stage" "$tmp/stage/opt/zandor/bin/zandor" "$tmp/stage/opt/zandor/share/zandor"
    else
        fail "DESTDIR install"; sed 's/^/    /' "$tmp/stage.log"
    fi
}

run_package() {
    for tool in dpkg-deb dpkg-shlibdeps file; do
        if ! command -v "$tool" >/dev/null; then
            skip "$tool is missing (packages dpkg-dev, file): Debian package not built"
            exit 77
        fi
    done
    echo "== cpack -G DEB"
    if ! (cd "$build" && "$cpack" -G DEB -B "$tmp/package") >"$tmp/cpack.log" 2>&1; then
        fail "cpack -G DEB"; sed 's/^/    /' "$tmp/cpack.log"
        return
    fi
    local deb
    deb=$(ls "$tmp"/package/*.deb 2>/dev/null | head -n1)
    [ -n "$deb" ] || { fail "cpack made no .deb"; sed 's/^/    /' "$tmp/cpack.log"; return; }
    pass "built $(basename "$deb")"

    local depends
    depends=$(dpkg-deb -f "$deb" Depends)
    echo "    Depends: $depends"
    for dep in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-liberation; do
        [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] \
            || fail "package does not depend on $dep"
    done

    # The package holds what an install under /usr holds, and nothing under
    # the build's own prefix.
    dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./||' > "$tmp/contents"
    local rel missing=0
    while read -r rel; do
        grep -qx "usr/$rel" "$tmp/contents" || { fail "package lacks /usr/$rel"; missing=1; }
    done < <(expected_files)
    grep -q '^usr/share/man/man1/zandor\.1' "$tmp/contents" || { fail "package lacks the manual page"; missing=1; }
    grep -q '^usr/lib/.*zandor/zandor-window\.so$' "$tmp/contents" || { fail "package lacks the window module"; missing=1; }
    if [ -n "$python_module" ]; then
        grep -q "^usr/$python_module/__init__.py\$" "$tmp/contents" && grep -q "^usr/$python_module/_zandor.*\\.so\$" "$tmp/contents" \
            || { fail "package lacks the Python module in /usr/$python_module"; missing=1; }
        local recommends
        recommends=$(dpkg-deb -f "$deb" Recommends)
        [[ "$recommends" == *python3-numpy* ]] || fail "package does not recommend python3-numpy (Recommends: $recommends)"
    fi
    [ $missing -eq 0 ] && pass "package holds the program, its data, entry, metadata, icons and manual page"
    if grep -v '^usr/' "$tmp/contents" | grep -q .; then
        fail "package installs outside /usr:"; grep -v '^usr/' "$tmp/contents" | sed 's/^/    /'
    fi

    # Debian's checker finds nothing to say about the copyright file: it is
    # there, machine-readable, and names the full text of every licence.
    if command -v lintian >/dev/null; then
        lintian "$deb" >"$tmp/lintian.log" 2>&1
        if grep -i copyright "$tmp/lintian.log" | grep -q .; then
            fail "lintian on the copyright file:"; grep -i copyright "$tmp/lintian.log" | sed 's/^/    /'
        else
            pass "lintian: nothing on the copyright file"
        fi
    else
        skip "lintian not installed: copyright file not checked"
    fi

    mkdir -p "$tmp/unpacked"
    dpkg-deb -x "$deb" "$tmp/unpacked"
    display=
    start_display || display=
    start_installed "unpacked package" "$tmp/unpacked/usr/bin/zandor" "$tmp/unpacked/usr/share/zandor"
    check_python "unpacked package" "$tmp/unpacked/usr"
}

if [ "$mode" = package ]; then run_package; else run_install; fi

if [ $failures -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
