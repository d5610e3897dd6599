#!/usr/bin/env bash
# The installed vunipack finds its stub without --stub: `cmake --install` into a temporary
# prefix, then bin/vunipack builds the bundled example and verifies it.
#     install_layout_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null
if [[ ! -f $prefix/share/vuni/vuni.exe ]]; then
    echo "skipped: this build installs no stub (build the mingw-i686 preset first)"
    exit 77
fi
manifest=$(ls "$source"/examples/*/*.vunipack.ini | head -n 1)
"$prefix/bin/vunipack" build "$manifest" -o "$prefix/Setup.exe" 2>"$prefix/err.txt" || {
    cat "$prefix/err.txt"
    exit 1
}
"$prefix/bin/vunipack" verify "$prefix/Setup.exe"
cmp -n "$(stat -c %s "$prefix/share/vuni/vuni.exe")" "$prefix/share/vuni/vuni.exe" "$prefix/Setup.exe"
echo "the installed vunipack used share/vuni/vuni.exe"
