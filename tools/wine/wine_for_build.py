"""The Wine that runs a Windows build: the host's wine64 for the x86_64 build, Debian's wine32
inside the cached root of tools/wine/i686-root.sh for the shipping i686 build.

    wine = WineForBuild(build, kind)   # kind: "auto", "host", "wow64" or "win32"
    if wine.skip: print("SKIP: " + wine.skip)
    env = wine.env(os.environ, WINEPREFIX=...)   # PATH leads to the right wine and wineserver
"""
import os
import shutil
import subprocess
from pathlib import Path

ROOT_SCRIPT = Path(__file__).resolve().parent / "i686-root.sh"
KINDS = ("auto", "host", "wow64", "win32")
PE_MACHINE = {0x14C: "i686", 0x8664: "x86_64"}


def stub_of(build):
    """The bare installer program of a Windows build tree."""
    return Path(build) / "vuni.exe"


def machine_of(exe):
    """"i686" or "x86_64" from a program file's PE header, or None."""
    try:
        data = Path(exe).read_bytes()[:4096]
    except OSError:
        return None
    pe = int.from_bytes(data[60:64], "little") if len(data) >= 64 else 0
    if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
        return None
    return PE_MACHINE.get(int.from_bytes(data[pe + 4:pe + 6], "little"))


class WineForBuild:
    def __init__(self, build, kind="auto"):
        self.machine = machine_of(stub_of(build)) or "x86_64"
        if kind == "auto":
            kind = "wow64" if self.machine == "i686" else "host"
        self.kind = kind
        self.bin = None
        self.skip = None
        if kind == "host":
            if shutil.which("wine") is None or shutil.which("wineserver") is None:
                self.skip = "wine is not installed"
            elif self.machine == "i686":
                self.skip = "the host's Wine runs the x86_64 build only (use --wine-root)"
            return
        out = subprocess.run(["bash", str(ROOT_SCRIPT), "bin", kind], capture_output=True,
                             text=True)
        if out.returncode == 77:
            self.skip = out.stdout.strip().removeprefix("skipped: ")
        elif out.returncode != 0:
            raise RuntimeError(f"i686-root.sh bin {kind}: {out.stderr.strip()}")
        else:
            self.bin = out.stdout.strip().splitlines()[-1]

    def describe(self):
        where = {"host": "the host's Wine", "wow64": "wine32 under WOW64 (64-bit prefix)",
                 "win32": "wine32 on a 32-bit Windows prefix"}[self.kind]
        return f"{self.machine} build, {where}"

    def env(self, base, **values):
        """base with values, PATH leading to this Wine, and WINEARCH matching its prefixes."""
        env = dict(base, **values)
        if self.bin:
            env["PATH"] = self.bin + os.pathsep + env.get("PATH", "")
        env["WINEARCH"] = "win32" if self.kind == "win32" else "win64"
        return env
