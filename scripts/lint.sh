#!/usr/bin/env bash
# clang-tidy and cppcheck over the portable sources (the native build's compile database).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
db=build/native
# Clang cannot take GCC's Windows-1252 execution character set; drop that flag for analysis.
sed -e 's/-fexec-charset=CP1252//g' "$db/compile_commands.json" >"$db/tidy_commands.json"
mkdir -p "$db/tidy" && cp "$db/tidy_commands.json" "$db/tidy/compile_commands.json"
files=$(git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v '/win32/' || true)
status=0
for f in $files; do
    grep -q "\"file\": \"$PWD/$f\"" "$db/tidy/compile_commands.json" || continue
    clang-tidy -p "$db/tidy" --quiet "$f" 2>/dev/null | grep -E "warning:|error:" && status=1
done
cppcheck --quiet --enable=warning,performance,portability --inline-suppr --std=c++20 \
    --error-exitcode=1 -I src $files || status=1
exit $status
