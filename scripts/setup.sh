#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Zandor need,
# only those that are missing, and quietly when everything is present.
#   scripts/setup.sh run    what building and running the program needs
#   scripts/setup.sh test   that, plus what the whole test suite needs
set -euo pipefail

mode=${1:-run}

# Build and run: compiler, CMake, Qt 6 Widgets (with its platform plugins),
# Qt's SVG module (plot export) and translation tools, fontconfig's headers
# (start-up reads the font configuration on a second thread), the JSON
# library of the command line, the XML parser of the spectrum readers, zlib
# (the compressed blocks of Bruker .bcf spectrum images), the font that
# stands in for the window's classic bitmap fonts, and pybind11 with Python's
# headers and NumPy (the Python module, built where they are found; its
# arrays are NumPy's).
packages=(g++ make cmake qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools libfontconfig-dev
          fonts-liberation nlohmann-json3-dev libpugixml-dev zlib1g-dev pybind11-dev python3-dev
          python3-numpy)
if [ "$mode" = test ]; then
    packages+=(
        locales             # pt_BR.UTF-8, for the comma-locale tests
        clang               # sanitizer build and libFuzzer targets
        libclang-rt-14-dev  # clang's sanitizer and libFuzzer runtimes
        xvfb xauth          # a real X server for the start-up test
        xdotool             # finds the installed program's window
        desktop-file-utils  # desktop-file-validate
        appstream           # appstreamcli validate
        shared-mime-info    # update-mime-database, checks the spectrum file types
        dpkg-dev            # CPack's Debian package (dpkg-shlibdeps)
        file                # CPack's Debian package (finding executables)
        lintian             # checks the Debian package's copyright file
        python3-dask python3-distributed  # zandor.dask on a LocalCluster, in its tests
    )
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

as_root() {
    if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if [ "$mode" = test ] && ! locale -a 2>/dev/null | grep -qix 'pt_BR.utf8'; then
    echo "setup: generating the pt_BR.UTF-8 locale"
    as_root sh -c "sed -i 's/^# *\(pt_BR.UTF-8 UTF-8\)/\1/' /etc/locale.gen; grep -q '^pt_BR.UTF-8 UTF-8' /etc/locale.gen || echo 'pt_BR.UTF-8 UTF-8' >> /etc/locale.gen; locale-gen >/dev/null"
fi
