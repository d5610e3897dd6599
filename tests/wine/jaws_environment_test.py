#!/usr/bin/env python3
"""Screen-reader discovery and process inspection of the Windows build, under Wine.

Each described machine becomes a fresh Wine prefix (tools/wine/make-prefix.sh); jawsprobe.exe
then reports what the installer finds there, and the stand-ins run as real processes.
The i686 build runs under wine32 in a cached root (tools/wine/wine_for_build.py), where it
reads the registry as a 32-bit process under WOW64. Exit code 77 (skipped) when the Windows
build or a Wine that runs it is missing.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "testing"))
from checks import SKIP, check, summary  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "wine"))
from wine_for_build import WineForBuild  # noqa: E402

JAWS = "C:\\Program Files\\Freedom Scientific\\JAWS\\"
RUNTIME = "C:\\Program Files\\Freedom Scientific\\RunTime JAWS\\"


class Prefix:
    def __init__(self, source, build, wine, machine, work):
        self.path = work / machine
        self.env = wine.env(os.environ, WINEPREFIX=str(self.path), WINEDEBUG="-all",
                            WINEDLLOVERRIDES="mscoree,mshtml=")
        self.probe = build / "tools" / "jawsprobe" / "jawsprobe.exe"
        out = subprocess.run(
            ["bash", str(source / "tools" / "wine" / "make-prefix.sh"),
             str(source / "tests" / "machines" / machine), str(self.path),
             str(build / "standins")],
            env=self.env, capture_output=True, timeout=300)
        if out.returncode != 0:
            raise RuntimeError("make-prefix.sh failed: " + out.stderr.decode(errors="replace"))
        self.shell = {}
        for fields in self.records(out.stdout):
            if fields[0] == "shell":
                self.shell[int(fields[1])] = fields[2]

    @staticmethod
    def records(output):
        text = output.decode("cp1252").replace("\r", "")
        return [line.split("\t") for line in text.split("\n") if line]

    def wine(self, *args, timeout=60):
        return subprocess.run(["wine", *args], env=self.env, capture_output=True,
                              timeout=timeout)

    def run_probe(self, *args):
        out = self.wine(str(self.probe), *args)
        return out.returncode, self.records(out.stdout)

    def start(self, program):
        return subprocess.Popen(["wine", program], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def unix(self, windows_path):
        return self.path / "drive_c" / windows_path[3:].replace("\\", "/")

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)


def folders_of(records):
    return [r[1:] for r in records if r[0] == "folder"]


def check_entry(entry, kind, label, version, languages, install, runtime, settings):
    name = label
    check(entry[0] == str(kind), f"{name}: kind {kind}")
    check(entry[1] == label, f"{name}: label")
    check(entry[2] == version, f"{name}: version name")
    check(sorted(entry[4].split("|")[:-1]) == sorted(languages) and entry[4].endswith("|"),
          f"{name}: languages {entry[4]!r}")
    check(entry[5] == install, f"{name}: install path {entry[5]!r}")
    check(entry[6] == runtime, f"{name}: runtime path {entry[6]!r}")
    check(entry[7] == settings, f"{name}: settings folder {entry[7]!r}")


def two_versions(prefix):
    rc, records = prefix.run_probe("discover")
    check(rc == 0, "discover runs")
    facts = {r[0]: r[1] for r in records if r[0] in ("class", "windows64")}
    check(70 <= int(facts.get("class", "0")) <= 100, f"version class {facts.get('class')}")
    check(facts.get("windows64") == "1", "64-bit Windows")
    user = prefix.shell[26] + "\\Freedom Scientific\\JAWS\\"
    shared = prefix.shell[35] + "\\Freedom Scientific\\JAWS\\"
    folders = folders_of(records)
    check([f[1] for f in folders] == [
        "Mes paramètres de jaws 11.0", "Paramètres partagés de jaws 11.0",
        "Mes paramètres de jaws 10.0", "Paramètres partagés de jaws 10.0",
        "Choix d'un dossier"], f"destination order {[f[1] for f in folders]}")
    if len(folders) == 5:
        for i, version in ((0, "11.0"), (2, "10.0")):
            check_entry(folders[i], 0, f"Mes paramètres de jaws {version}", version,
                        ["fra", "enu"], JAWS + version + "\\", RUNTIME + version + "\\",
                        user + version + "\\Settings\\")
            check_entry(folders[i + 1], 1, f"Paramètres partagés de jaws {version}", version,
                        ["fra"], JAWS + version + "\\", RUNTIME + version + "\\",
                        shared + version + "\\Settings\\")
        check(folders[4][0] == "2" and all(f == "" for f in folders[4][5:]), "free folder last")


def running_processes(prefix):
    jfw = prefix.start(JAWS + "11.0\\jfw.exe")
    # A Script Manager: the stand-in under the name JSCRIPT.EXE, in capitals.
    shutil.copy(prefix.unix(JAWS + "10.0\\jfw.exe"), prefix.unix(JAWS + "10.0\\JSCRIPT.EXE"))
    manager = prefix.start(JAWS + "10.0\\JSCRIPT.EXE")
    journals = [prefix.unix(JAWS + v + "\\jfw.journal") for v in ("11.0", "10.0")]
    deadline = time.time() + 30
    while time.time() < deadline and not all(j.exists() for j in journals):
        time.sleep(0.2)
    check(all(j.exists() for j in journals), "both stand-ins started")

    rc, records = prefix.run_probe("find", "jfw.exe")
    check(rc == 0 and records[0][1] != "0", f"FindProcess jfw.exe finds it: {records}")
    check(records[0][2] == JAWS + "11.0\\", f"ProcessFolder of jfw.exe: {records[0][2]!r}")
    rc, records = prefix.run_probe("find", "JScript.exe")
    check(rc == 0 and records[0][2] == JAWS + "10.0\\",
          f"FindProcess JScript.exe finds JSCRIPT.EXE: {records}")
    rc, _ = prefix.run_probe("find", "xjfw.exe")
    check(rc == 1, "xjfw.exe is not jfw.exe")

    kill = prefix.wine(RUNTIME + "11.0\\JfwKill.Exe")
    check(kill.returncode == 1, f"JfwKill ends the one jfw.exe (exit code {kill.returncode})")
    try:
        jfw.wait(timeout=20)
        check(True, "jfw.exe has ended")
    except subprocess.TimeoutExpired:
        check(False, "jfw.exe has ended")
        jfw.kill()
    rc, _ = prefix.run_probe("find", "jfw.exe")
    check(rc == 1, "no jfw.exe after JfwKill")
    rc, _ = prefix.run_probe("find", "{jfw.exe}{jscript.exe}")
    check(rc == 0, "the Script Manager still runs")
    manager.kill()


def compiler(prefix):
    folder = prefix.shell[26] + "\\Freedom Scientific\\JAWS\\11.0\\Settings\\fra\\"
    source = folder + "Default.JSS"
    unix_folder = prefix.path / "drive_c" / folder[3:].replace("\\", "/")
    out = prefix.wine(JAWS + "11.0\\scompile.exe", source)
    check(out.returncode == 0, f"scompile.exe compiles Default.JSS (exit code {out.returncode})")
    check((unix_folder / "Default.jsb").is_file(), "Default.jsb written beside it")
    (unix_folder / "Broken.jss").write_bytes(b"Script A ()\r\n")
    out = prefix.wine(JAWS + "11.0\\scompile.exe", folder + "Broken.jss")
    check(out.returncode == 1, f"an unbalanced source fails (exit code {out.returncode})")
    journal = prefix.unix(JAWS + "11.0\\scompile.journal").read_bytes().decode("cp1252")
    lines = journal.replace("\r", "").splitlines()
    check(len(lines) == 2 and lines[0].startswith(source + "|") and lines[0].endswith("|0")
          and lines[1].endswith("|1"), f"scompile.journal: {lines}")


def old_settings(prefix):
    rc, records = prefix.run_probe("discover")
    folders = folders_of(records)
    check(rc == 0 and len(folders) == 2, f"5.10: one entry and the free folder ({len(folders)})")
    if len(folders) == 2:
        check_entry(folders[0], 0, "Mes paramètres de jaws 5.10", "5.10", ["fra", "enu"],
                    JAWS + "5.10\\", "", JAWS + "5.10\\SETTINGS\\")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--build", type=Path, required=True)
    args = parser.parse_args()
    needed = [args.build / "tools" / "jawsprobe" / "jawsprobe.exe"] + [
        args.build / "standins" / n for n in ("jfw.exe", "JfwKill.exe", "scompile.exe")]
    missing = [str(p) for p in needed if not p.is_file()]
    if missing:
        print("SKIP: no Windows build (missing " + ", ".join(missing) + ")")
        return SKIP
    wine = WineForBuild(args.build)
    if wine.skip:
        print("SKIP: " + wine.skip)
        return SKIP
    print(wine.describe())
    with tempfile.TemporaryDirectory(prefix="vuni-wine-") as work:
        for machine, checks in (("jaws11-10", (two_versions, running_processes, compiler)),
                                ("jaws510", (old_settings,))):
            print(f"== {machine}")
            prefix = Prefix(args.source, args.build, wine, machine, Path(work))
            try:
                for c in checks:
                    c(prefix)
            finally:
                prefix.close()
    return summary("all Wine checks passed")


if __name__ == "__main__":
    sys.exit(main())
