#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need. Safe to run again.
set -euo pipefail
packages=(
    cmake ninja-build g++ clang-14 libclang-rt-14-dev clang-tidy cppcheck clang-format
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
    wine wine64 xvfb xauth imagemagick osslsigncode openssl debootstrap
    ccache zlib1g-dev libbenchmark-dev libgtest-dev libgmock-dev python3
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The shipping 32-bit installer runs under wine32 inside a cached Debian root (never on the
# host's own dpkg): made once here where this machine can run 32-bit programs.
root_script=$(dirname "$0")/../tools/wine/i686-root.sh
if why=$(bash "$root_script" check); then
    for kind in wow64 win32; do
        bash "$root_script" prepare "$kind"
    done
else
    echo "The i686 Wine tests will be ${why}"
fi
