#!/usr/bin/env bash
# The static checks, each alone or all in turn (no argument):
#   names     the screen reader's names are spelled in src/jaws/host_items.h only (fast)
#   tidy      clang-tidy over the portable sources (the native build's compile database)
#   tidy-win  clang-tidy over the Windows sources (the MinGW i686 build's database, as Clang
#             reads it for the target: scripts/mingw_clang_db.py)
#   cppcheck  cppcheck over the portable sources
set -euo pipefail
cd "$(dirname "$0")/.."

# A literal that is one of the names host_items.h spells (every string constant, cut at its
# "\" separators), alone or as a piece of a path: "\\" or the quote on each side. A name inside
# a sentence (a fixed message or log line) is not one. Comments are left out. SOFTWARE is
# Windows' own key (the simulated registry redirects it), not one of the screen reader's.
check_names() {
    local header=src/jaws/host_items.h pieces found
    pieces=$(grep -oE '= "[^"]*";' "$header" | sed -E 's/^= "(.*)";$/\1/' | sed 's/\\\\/\n/g' |
        grep -vxiE 'software|' | tr '[:upper:]' '[:lower:]' | sort -u |
        sed -E 's/[][().*+?{}|^$]/\\&/g' | paste -sd'|')
    export STRAY="([\"]|\\\\\\\\)($pieces)([\"]|\\\\\\\\)"
    found=$(grep -rinE --include='*.cpp' --include='*.h' "$STRAY" src | grep -v "^$header:" |
        awk '{
            match($0, /^[^:]+:[0-9]+:/); code = substr($0, RLENGTH + 1); inside = 0
            for (i = 1; i < length(code); i++) {
                c = substr(code, i, 1)
                if (inside && c == "\\") { i++; continue }
                if (c == "\"") inside = !inside
                else if (!inside && substr(code, i, 2) == "//") { code = substr(code, 1, i - 1); break }
            }
            if (tolower(code) ~ ENVIRON["STRAY"]) print
        }' || true)
    if [[ -n $found ]]; then
        echo "$found"
        echo "names: the screen reader's names above belong in $header (use its constants)"
        return 1
    fi
    echo "names: every screen-reader name comes from $header"
}

# clang-tidy over the FILES that the database in DB compiles, one per core; prints its
# findings and fails on any.
run_tidy() {
    local db=$1 f found
    shift
    local listed=()
    for f in "$@"; do
        grep -q "\"file\": \"$PWD/$f\"" "$db/compile_commands.json" && listed+=("$f")
    done
    found=$(printf '%s\n' "${listed[@]}" |
        xargs -r -n 1 -P "$(nproc)" clang-tidy -p "$db" --quiet 2>/dev/null |
        grep -E "warning:|error:" || true)
    [[ -z $found ]] || { echo "$found"; return 1; }
}

portable_sources() {
    git ls-files 'src/*.cpp' 'tools/*.cpp' | grep -v '/win32/' || true
}

check_tidy() {
    cmake --preset native >/dev/null
    local db=build/native
    # Clang cannot take GCC's Windows-1252 execution character set; drop that flag for analysis.
    mkdir -p "$db/tidy"
    sed -e 's/-fexec-charset=CP1252//g' "$db/compile_commands.json" >"$db/tidy/compile_commands.json"
    # shellcheck disable=SC2046
    run_tidy "$db/tidy" $(portable_sources)
}

# The sources that only the Windows build compiles as Windows code: they include <windows.h>
# or a win32/ header, or live in a win32/ folder.
windows_sources() {
    local f
    for f in $(git ls-files 'src/*.cpp' 'tools/*.cpp'); do
        if [[ $f == */win32/* ]] || grep -qE '<windows.h>|"[a-z/]*win32/' "$f"; then
            echo "$f"
        fi
    done
}

check_tidy_win() {
    local build=build/mingw-i686
    if [[ ! -f $build/compile_commands.json ]]; then
        echo "tidy-win: skipped, no $build/compile_commands.json (build the mingw-i686 preset)"
        return 77
    fi
    python3 scripts/mingw_clang_db.py "$build" "$build/tidy"
    # shellcheck disable=SC2046
    run_tidy "$build/tidy" $(windows_sources)
}

check_cppcheck() {
    # shellcheck disable=SC2046
    cppcheck --quiet --enable=warning,performance,portability --inline-suppr --std=c++20 \
        --error-exitcode=1 -I src $(portable_sources)
}

checks=("$@")
[[ ${#checks[@]} -gt 0 ]] || checks=(names tidy tidy-win cppcheck)
status=0
ran=0
for c in "${checks[@]}"; do
    rc=0
    case $c in
    names) check_names || rc=$? ;;
    tidy) check_tidy || rc=$? ;;
    tidy-win) check_tidy_win || rc=$? ;;
    cppcheck) check_cppcheck || rc=$? ;;
    *) echo "lint.sh: unknown check $c (names, tidy, tidy-win, cppcheck)" >&2; exit 2 ;;
    esac
    ((rc == 77)) || ran=1
    ((rc == 0 || rc == 77)) || status=1
done
# 77: every check asked for was skipped (CTest's skip code).
((status != 0 || ran)) || exit 77
exit $status
