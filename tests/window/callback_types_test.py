#!/usr/bin/env python3
"""Windows callbacks keep their calling convention in the 32-bit build.

On i686 a window, dialog, hook or enumeration procedure must be __stdcall; one declared
without CALLBACK compiles, links and crashes (or corrupts the stack) when Windows calls it,
and only a cast lets it through. The Windows code holds no function pointer casts at all
(library functions are looked up through ProcAddress, which copies the address). GCC says
nothing about such a cast, Clang does: every Windows source of the given MinGW build is also
checked by Clang for the target, with casts between calling conventions and between
incompatible function types as errors. A slip made
on purpose must be caught, so that the check cannot pass by checking nothing.
Exit code 77 (skipped) without the build or clang++-14.
"""
import argparse
import json
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "testing"))
from checks import SKIP, check, summary  # noqa: E402

CHECKS = ["-fsyntax-only", "-Wcast-function-type", "-Werror=cast-function-type",
          "-Werror=cast-calling-convention", "-Wno-unused-command-line-argument"]
SLIP = """#include <windows.h>
LRESULT Proc(HWND, UINT, WPARAM, LPARAM) { return 0; }
WNDPROC Slip() { return reinterpret_cast<WNDPROC>(Proc); }
"""


# A cast to a function pointer type, a C-style cast to a Windows callback type, or a window
# procedure swapped by hand: each would let a procedure of the wrong convention through.
FUNCTION_CAST = re.compile(
    r"reinterpret_cast<[^>;]*(PROC\b|\(\s*(?:WINAPI|CALLBACK|__stdcall)?\s*\*\s*\))[^>;]*>"
    r"|\(\s*[A-Z]*PROC\s*\)\s*[\w(&]|\b(GWLP|GWL|DWLP)_(WNDPROC|DLGPROC)\b")


def function_casts(root):
    """(file, line, text) of every function pointer cast in the Windows code."""
    for path in sorted(root.glob("src/**/*")) + sorted(root.glob("tools/**/*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        text = path.read_text(errors="replace")
        if "<windows.h>" not in text and "/win32/" not in str(path):
            continue
        for number, line in enumerate(text.splitlines(), 1):
            if FUNCTION_CAST.search(line):
                yield path.relative_to(root), number, line.strip()


def windows_sources(entries):
    """The entries whose source includes <windows.h> or a header of a win32 folder."""
    for entry in entries:
        text = Path(entry["file"]).read_text(errors="replace")
        if "<windows.h>" in text or "win32/" in text or "/win32/" in entry["file"]:
            yield entry


def clang(entry, source=None):
    """Clang's checks on the entry's source, or on another source with the same options."""
    args = [a for a in entry["arguments"] if a != "-c"]
    if "-o" in args:
        i = args.index("-o")
        del args[i:i + 2]
    if source is not None:
        args = [source if a == entry["file"] else a for a in args]
    return subprocess.run(args[:1] + CHECKS + args[1:], capture_output=True, text=True,
                          cwd=entry["directory"])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", type=Path, required=True, help="the source tree")
    parser.add_argument("--build", type=Path, required=True, help="a mingw-* build tree")
    args = parser.parse_args()
    if shutil.which("clang++-14") is None:
        print("SKIP: clang++-14 is not installed")
        return SKIP
    if not (args.build / "compile_commands.json").is_file():
        print(f"SKIP: no compile database in {args.build}")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="vuni-clang-db-") as work:
        subprocess.run([sys.executable, str(args.root / "scripts" / "mingw_clang_db.py"),
                        str(args.build), work], check=True)
        entries = json.loads((Path(work) / "compile_commands.json").read_text())
        sources = [e for e in windows_sources(entries) if e["file"].endswith(".cpp")]
        check(bool(sources), f"{len(sources)} Windows sources found")

        slip = Path(work) / "slip.cpp"
        slip.write_text(SLIP)
        caught = clang(sources[0], str(slip)) if sources else None
        check(caught is not None and caught.returncode != 0 and "calling convention" in
              caught.stderr, "a window procedure cast from the wrong convention is refused")

        casts = list(function_casts(args.root.resolve()))
        check(not casts, "no function pointer casts in the Windows code" +
              "".join(f"\n     {f}:{n}: {t}" for f, n, t in casts))
        check(any(FUNCTION_CAST.search(line) for line in SLIP.splitlines()),
              "the cast finder finds the slip's cast")

        for entry in sources:
            out = clang(entry)
            name = Path(entry["file"]).relative_to(args.root.resolve())
            check(out.returncode == 0 and "warning:" not in out.stderr,
                  f"{name}" + ("" if out.returncode == 0 else ":\n" + out.stderr[:2000]))
    return summary("every Windows callback keeps its calling convention")


if __name__ == "__main__":
    sys.exit(main())
