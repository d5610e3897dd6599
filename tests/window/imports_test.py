#!/usr/bin/env python3
"""vuni.exe is run from download folders, where a web page may have left a DLL named like one
of Windows'. Windows looks up a DLL that a program imports in the program's own folder first,
unless it is one of the KnownDLLs, which it always maps from its system folder. So every DLL
vuni.exe imports must be a KnownDLL; every other library is loaded at run time, after the
program restricted the search, by full path (comctl32 by name, redirected by the manifest to
the system's side-by-side copy: imported, its start-up would look for the libraries it uses
beside the program before the program could restrict anything).

Reads the import table of each Windows build of vuni.exe with the MinGW objdump. Exit code 77
(skipped) when no Windows build or no objdump is there.
"""
import argparse
import shutil
import subprocess
import sys
from pathlib import Path

SKIP = 77
# The KnownDLLs (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs) that
# Windows 7, 8, 10 and 11 all list, as far as the installer may want them. Not psapi or
# version: Windows XP does not list psapi, and Windows 7 and later do not list version.
KNOWN_DLLS = {
    "advapi32.dll", "comdlg32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll",
    "ole32.dll", "oleaut32.dll", "rpcrt4.dll", "shell32.dll", "shlwapi.dll", "user32.dll",
    "ws2_32.dll",
}
# Loading a library by bare name looks in the program's folder: libraries are loaded through
# LoadLibraryEx by full path. (The i686 runtime's start-up code imports LoadLibraryA to hold a
# reference to its unwinder DLL when that is already loaded, so this is checked on x86_64,
# built from the same sources.)
BARE_NAME_LOADS = {"LoadLibraryA", "LoadLibraryW"}


def imports(objdump, exe):
    """{DLL name: [imported function names]} of exe's import table."""
    out = subprocess.run([objdump, "-p", str(exe)], capture_output=True, text=True, check=True)
    table, current = {}, None
    for line in out.stdout.splitlines():
        text = line.strip()
        if text.startswith("DLL Name:"):
            current = table.setdefault(text.split(":", 1)[1].strip(), [])
        elif current is not None and not text:
            current = None
        elif current is not None:
            fields = text.split()
            # "<hint/name RVA> <ordinal> <name>" rows; the column headings have no number.
            if len(fields) >= 3 and fields[1].isdigit():
                current.append(fields[2])
    return table


def check(preset, exe, objdump):
    """The faults of exe's imports, as lines."""
    table = imports(objdump, exe)
    if not table:
        return [f"no import table read from {exe}"]
    faults = []
    foreign = [n for n in table if n.lower() not in KNOWN_DLLS]
    if foreign:
        faults.append("imports DLLs that Windows looks up beside the program: " +
                      ", ".join(foreign))
    if preset == "mingw-x86_64":
        bare = sorted(f for functions in table.values() for f in functions
                      if f in BARE_NAME_LOADS)
        if bare:
            faults.append("imports " + ", ".join(bare) + ": libraries go by full path")
    return faults


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
        checked += 1
        faults = check(preset, exe, objdump)
        for fault in faults:
            print(f"FAIL {preset}: {fault}")
        if faults:
            failures += 1
        else:
            print(f"ok   {preset}: {exe.stat().st_size} bytes, imports "
                  f"{', '.join(imports(objdump, exe))}")
    if checked == 0:
        return SKIP
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
