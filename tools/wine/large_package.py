#!/usr/bin/env python3
"""Writes a package folder of many small script files (a manifest and its files), and a
scenario that installs them all on the described machine jaws11.

A package of thousands of entries makes the start-up log and the progress box take thousands
of lines: the Wine test of the log box's 1001-line rule and the window's benchmarks use it.
"""
import argparse
from pathlib import Path

SUMMARY = "Toutes les opérations ont été éffectué avec succés !"


def file_name(index):
    return f"f{index:04d}.jss"


def file_text(index):
    """A small script, a little different for each file (about 600 bytes)."""
    lines = [f"; Script {index} of the large package", "", f"Script Lire{index} ()"]
    lines += [f"\tSayString (\"ligne {k} du script {index}\")" for k in range(12)]
    lines += ["EndScript", ""]
    return "\r\n".join(lines).encode("cp1252")


def write_package(folder, count):
    folder.mkdir(parents=True, exist_ok=True)
    manifest = ["[package]", "date = 2026-12-08 10:30", "applicationName = Grand paquet",
                "scriptSetName = grand", "scriptSetVersion = 1.0", "", "[group A]", ""]
    for i in range(1, count + 1):
        (folder / file_name(i)).write_bytes(file_text(i))
        manifest += ["[file]", f"path = {file_name(i)}", "group = A", ""]
    (folder / "grand.vunipack.ini").write_bytes("\n".join(manifest).encode("cp1252"))


def install_steps(count):
    """A scenario's steps from the welcome page to the end of an install of every file (the
    package's one group is chosen for the user: no group page)."""
    return ["press 2", 'choose 73 "Installer les fichiers"', "press 2", "expect page 62",
            'choose 67 "Français"', "press 2", "expect page 84", "press 2", "expect page 96",
            "answer Ok Info", "press 5", f'expect message "Info" "{SUMMARY}"',
            f'expect progress-contains "{file_name(count)}"']


def write_scenario(path, package, count, before_install=()):
    """A scenario on jaws11 of the package folder (relative to the scenario's folder): start,
    the steps given, then the install of every file."""
    lines = ["machine jaws11", f"package {package}", "start", "idle 100"]
    lines += list(before_install) + install_steps(count)
    path.write_text("\n".join(lines) + "\n", encoding="utf-8")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("folder", type=Path)
    parser.add_argument("--files", type=int, default=2000)
    args = parser.parse_args()
    write_package(args.folder, args.files)


if __name__ == "__main__":
    main()
