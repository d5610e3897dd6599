#!/usr/bin/env bash
# Builds everything, then runs every test: native, sanitizers, bounded fuzzing, Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-all.sh
echo "== tests: native (with the Wine tests of both Windows builds where Wine can run them)"
# The Wine tests wait on Wine and the virtual display much of the time: one more job than
# cores keeps both busy.
ctest --preset native -j "$(($(nproc) + 1))"
echo "== tests: asan"
ctest --preset asan -j "$(nproc)"
echo "== fuzzing (${VUNI_FUZZ_SECONDS:-20} s per target)"
for fuzzer in build/asan/fuzz/*/fuzz_*; do
    [[ -x $fuzzer && -f $fuzzer ]] || continue
    name=$(basename "$fuzzer")
    corpus=$(mktemp -d)
    seeds=fuzz/$(basename "$(dirname "$fuzzer")")/seeds
    [[ -d $seeds ]] && cp -r "$seeds"/. "$corpus"/
    echo "-- $name"
    "$fuzzer" -max_total_time="${VUNI_FUZZ_SECONDS:-20}" -rss_limit_mb=2048 -print_final_stats=0 \
        "$corpus" >"$corpus/log.txt" 2>&1 || { tail -50 "$corpus/log.txt"; exit 1; }
    grep -E "^Done|#[0-9]+.*DONE" "$corpus/log.txt" | tail -1 || true
    rm -rf "$corpus"
done
echo "All tests passed."
