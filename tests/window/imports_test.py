#!/usr/bin/env python3
"""vuni.exe must run from its single file: every DLL it imports is part of Windows itself.

Reads the import table of each Windows build of vuni.exe with the MinGW objdump. Exit code 77
(skipped) when no Windows build or no objdump is there.
"""
import argparse
import shutil
import subprocess
import sys
from pathlib import Path

SKIP = 77
# The system DLLs the installer may use; msvcrt.dll ships with every Windows.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "winmm.dll",
    "ws2_32.dll", "version.dll", "uxtheme.dll",
}


def imports(objdump, exe):
    out = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True, check=True)
    return [line.split(":", 1)[1].strip() for line in out.stdout.splitlines()
            if line.strip().startswith("DLL Name:")]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True, help="the source tree (holds build/)")
    args = parser.parse_args()
    checked = 0
    failures = 0
    for preset, tool in (("mingw-i686", "i686-w64-mingw32-objdump"),
                         ("mingw-x86_64", "x86_64-w64-mingw32-objdump")):
        exe = Path(args.root) / "build" / preset / "vuni.exe"
        objdump = shutil.which(tool)
        if not exe.is_file() or objdump is None:
            print(f"skip {preset}: {'no vuni.exe' if not exe.is_file() else 'no ' + tool}")
            continue
        names = imports(objdump, exe)
        foreign = [n for n in names if n.lower() not in SYSTEM_DLLS]
        checked += 1
        if not names:
            print(f"FAIL {preset}: no import table read from {exe}")
            failures += 1
        elif foreign:
            print(f"FAIL {preset}: imports DLLs outside Windows: {', '.join(foreign)}")
            failures += 1
        else:
            print(f"ok   {preset}: {exe.stat().st_size} bytes, imports {', '.join(names)}")
    if checked == 0:
        return SKIP
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
