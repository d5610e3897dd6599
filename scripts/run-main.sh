#!/usr/bin/env bash
# The main job: installs the build tools, builds the native and Windows presets, packs the
# example script set into an installer with vunipack and lists it.
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
# The installer stub is the 32-bit vuni.exe. While it is not built yet, any program file
# can carry a package; the Windows build of vunipack stands in for it.
stub=$(find build/mingw-i686 -name vuni.exe -type f 2>/dev/null | head -1)
if [[ -z $stub ]]; then
    stub=build/mingw-i686/tools/vunipack/vunipack.exe
    echo "== note: vuni.exe is not built yet; $stub stands in as the installer stub"
fi

installer=build/Vuni-example.exe
echo "== vunipack build"
"$vunipack" build examples/blocnotes/blocnotes.vunipack.ini -o "$installer" --stub "$stub"
echo "== vunipack list"
"$vunipack" list "$installer"
"$vunipack" verify "$installer"
echo
echo "The example installer is $(realpath "$installer")"
