#!/usr/bin/env python3
"""No DLL planted beside the installer is loaded, under Wine.

A web page can leave a DLL in the Downloads folder the installer is run from. This builds DLLs
named like Windows' own (planted_dll.c) with the MinGW gcc of the build's machine and plays
planted-dlls.scenario with them beside the program and Wine told to prefer them to its own
(tools/wine/play-scenario.py --plant): a planted DLL that any program of the run loads fails it.
version.dll is left out: this Wine's own comctl32 loads it from the program's folder while the
process starts, before the program runs, whatever the program does (a limit of Wine).
Exit code 77 (skipped) when the build, its gcc or a Wine that runs it is missing.
"""
import argparse
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parents[1]
sys.path.insert(0, str(SOURCE / "tools" / "wine"))
from wine_for_build import KINDS, machine_of, stub_of  # noqa: E402

SKIP = 77
# Not KnownDLLs: a program that searches its own folder first would find these there.
# oleacc comes through COM, for the names the window gives its controls.
NAMES = ("winmm", "psapi", "uxtheme", "dwmapi", "cryptbase", "propsys", "wtsapi32", "userenv",
         "profapi", "oleacc")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", type=Path, required=True, help="a Windows build tree")
    parser.add_argument("--wine-root", choices=KINDS, default="auto")
    parser.add_argument("--vunipack", type=Path, required=True)
    parser.add_argument("--vuni-sim", type=Path)
    parser.add_argument("--template-dir", type=Path)
    args = parser.parse_args()
    machine = machine_of(stub_of(args.build))
    if machine is None:
        print(f"SKIP: no Windows program {stub_of(args.build)}")
        return SKIP
    gcc = shutil.which(f"{machine}-w64-mingw32-gcc")
    if gcc is None:
        print(f"SKIP: no {machine}-w64-mingw32-gcc to build the planted DLLs")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="vuni-planted-") as folder:
        for name in NAMES:
            out = subprocess.run([gcc, "-shared", "-O2", "-s", "-o", f"{folder}/{name}.dll",
                                  f"-DPLANTED_NAME=\"{name}\"", str(HERE / "planted_dll.c")],
                                 capture_output=True, text=True)
            if out.returncode != 0:
                print(f"FAIL building the planted {name}.dll:\n{out.stderr}")
                return 1
        command = [sys.executable, str(SOURCE / "tools" / "wine" / "play-scenario.py"),
                   str(HERE / "planted-dlls.scenario"), "--build", str(args.build),
                   "--wine-root", args.wine_root, "--vunipack", str(args.vunipack),
                   "--plant", folder]
        if args.vuni_sim is not None:
            command += ["--vuni-sim", str(args.vuni_sim)]
        if args.template_dir is not None:
            command += ["--template-dir", str(args.template_dir)]
        return subprocess.run(command).returncode


if __name__ == "__main__":
    sys.exit(main())
