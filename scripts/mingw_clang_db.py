#!/usr/bin/env python3
"""Turns a MinGW build's compile database into one that Clang reads.

    mingw_clang_db.py BUILD_DIR OUT_DIR

Each command gets clang++-14 (clang-14 for C) with the build's target triple, MinGW's own C++
and Windows headers (the cross compiler's search path, asked of it), and none of GCC's own
options (the Windows-1252 execution character set, the clone switches). Writes
OUT_DIR/compile_commands.json, for clang-tidy and for the Clang checks of the Windows code.
"""
import json
import shlex
import subprocess
import sys
from functools import cache
from pathlib import Path

GCC_ONLY = ("-fexec-charset=", "-finput-charset=", "-fno-ipa-sra", "-fno-ipa-cp-clone",
            "-fno-partial-inlining", "-fno-declone-ctor-dtor", "-Wno-restrict",
            # Link-time optimisation changes nothing that the checks read.
            "-flto", "-fno-fat-lto-objects")


@cache
def cxx_search_path(compiler):
    """The cross compiler's C++ and Windows header folders, not GCC's own builtins."""
    out = subprocess.run([compiler, "-E", "-x", "c++", "-", "-v"], input="",
                         capture_output=True, text=True).stderr.splitlines()
    start = out.index("#include <...> search starts here:") + 1
    end = out.index("End of search list.")
    folders = [str(Path(line.strip()).resolve()) for line in out[start:end]]
    return [f for f in folders if "/include/c++" in f or "/lib/gcc/" not in f]


def convert(entry):
    args = entry.get("arguments") or shlex.split(entry["command"])
    compiler = args[0]
    triple = Path(compiler).name.rsplit("-", 1)[0]
    is_c = entry["file"].endswith(".c")
    out = ["clang-14" if is_c else "clang++-14", f"--target={triple}", "-nostdlibinc"]
    if not is_c:
        out.append("-nostdinc++")
    for folder in cxx_search_path(compiler):
        out += ["-isystem", folder]
    out += [a for a in args[1:] if not a.startswith(GCC_ONLY)]
    return {"directory": entry["directory"], "file": entry["file"], "arguments": out}


def main():
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    build, target = Path(sys.argv[1]), Path(sys.argv[2])
    entries = json.loads((build / "compile_commands.json").read_text())
    target.mkdir(parents=True, exist_ok=True)
    (target / "compile_commands.json").write_text(
        json.dumps([convert(e) for e in entries], indent=1))
    return 0


if __name__ == "__main__":
    sys.exit(main())
