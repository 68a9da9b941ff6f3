#!/usr/bin/env bash
# Builds Zandor's Debian package: a release build for the /usr prefix in
# build-package/, packaged by CPack into out/. Installs what is missing first,
# like run.sh and test.sh.
#   scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run

# CPack's Debian generator reads the program's library dependencies with
# dpkg-shlibdeps (dpkg-dev) and recognises executables with file.
missing=()
for p in dpkg-dev file; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "package: installing ${missing[*]}"
    as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
    export DEBIAN_FRONTEND=noninteractive
    as_root apt-get update -qq
    as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

echo "== build (Release, prefix /usr) =="
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DBUILD_TESTING=OFF >/dev/null
cmake --build build-package -j"$(nproc)"

echo "== package =="
mkdir -p out
cpack --config build-package/CPackConfig.cmake -G DEB -B "$PWD/out"
rm -rf out/_CPack_Packages
deb=$(ls -t out/zandor_*.deb | head -n1)

echo "== $deb =="
dpkg-deb -I "$deb"
echo
dpkg-deb -c "$deb"
