#!/usr/bin/env bash
# The main job: installs the build tools, builds the native and Windows presets, packs the
# example script set into an installer with vunipack, lists it, and starts it under Wine on a
# throwaway prefix (on a virtual display when there is none), saving a screenshot. The
# shipping 32-bit build is the one shown where this machine can run 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${VUNI_JOBS:-2}

bash scripts/setup-deps.sh
for preset in native mingw-i686 mingw-x86_64; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j "$jobs"
done

vunipack=build/native/tools/vunipack/vunipack
shipping=build/mingw-i686/vuni.exe

installer=build/Vuni-example.exe
echo "== vunipack build (the shipping 32-bit installer)"
"$vunipack" build examples/blocnotes/blocnotes.vunipack.ini -o "$installer" --stub "$shipping"
echo "== vunipack list"
"$vunipack" list "$installer"
"$vunipack" verify "$installer"
echo "The example installer is $(realpath "$installer") ($(stat -c %s "$shipping") bytes of stub)"

# The shipping 32-bit installer runs under Debian's wine32 inside a cached root
# (tools/wine/i686-root.sh) where the kernel runs 32-bit programs; elsewhere the same package
# on the 64-bit stub runs under the host's wine64. Either starts on a throwaway prefix made
# from a described machine with the stand-ins of its own build.
build=mingw-i686
installer_to_show=$installer
if wine_bin=$(bash tools/wine/i686-root.sh bin wow64); then
    export PATH=$wine_bin:$PATH
    echo "== showing the shipping i686 installer (wine32 under WOW64, cached Debian root)"
else
    echo "== showing the x86_64 build instead of the shipping i686 one: ${wine_bin#skipped: }"
    build=mingw-x86_64
    installer_to_show=build/Vuni-example-x86_64.exe
    "$vunipack" build examples/blocnotes/blocnotes.vunipack.ini -o "$installer_to_show" \
        --stub build/mingw-x86_64/vuni.exe >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
echo "== Wine prefix from tests/machines/jaws11"
bash tools/wine/make-prefix.sh tests/machines/jaws11 "$WINEPREFIX" "build/$build/standins" \
    >/dev/null
cp "$installer_to_show" "$WINEPREFIX/drive_c/Vuni-example.exe"
shot=$(realpath -m build/welcome.png)
driver=build/$build/tools/wine-driver/vuni-driver.exe
cat >"$work/show.sh" <<EOF
set -e
wine 'C:\Vuni-example.exe' >/dev/null 2>&1 &
wine "$driver" wait
echo "window title: \$(wine "$driver" title | tr -d '\r')"
sleep 2
# The window alone, title bar included (the prefix has Wine draw the caption).
set -- \$(wine "$driver" rect | tr -d '\r')
import -window root -crop "\${3}x\${4}+\${1}+\${2}" +repage "$shot"
wine "$driver" close >/dev/null
wineserver -w
EOF
echo "== the installer under Wine"
if [[ -n ${DISPLAY:-} ]]; then
    bash "$work/show.sh"
else
    xvfb-run -a bash "$work/show.sh"
fi
echo "The welcome page is in $(realpath "$shot")"
