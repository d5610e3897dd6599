#!/usr/bin/env bash
# Configures and builds every preset: native (tests, tools, benchmarks), asan (tests,
# fuzzers), mingw-i686 (the shipping installer) and mingw-x86_64 (the build run under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${VUNI_JOBS:-$(nproc)}
# Rebuilds after a change or a second checkout reuse earlier compiles when ccache is there.
# Paths are hashed relative to the checkout's parent folder, so that another clone named
# the same way reuses them.
if command -v ccache >/dev/null; then
    export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
    export CCACHE_DIR=${CCACHE_DIR:-/var/cache/ccache}
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$PWD")}
fi
for preset in ${VUNI_PRESETS:-native asan mingw-i686 mingw-x86_64}; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done
