#!/usr/bin/env python3
"""Reads an installer made by vunipack the way the package format describes it, and nothing
more: the marker line, the info section's fields, the groups, then the file records to the
end of the file. The integrity seal travels inside reserved text A and a flag bit, so such
a reader must see every field, group and stored file as the packer wrote them.

Usage: literal_reader_test.py VUNIPACK
"""
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

MARKER = "<([\u00e9\u00e9_ BeGin  DaTas _\u00e8\u00e8])>".encode("cp1252")
INFO = ["date", "applicationName", "applicationVersion", "recommendedCompanion",
        "recommendedJawsVersion", "scriptSetName", "scriptSetVersion", "author", "contact",
        "authorSite", "applicationSite", "creationText", "updateLocation", "flags",
        "reservedA", "reservedB", "comments"]
NUMBERS = {"date", "flags"}


def swap(b, lane):
    if lane == 0:
        return ((b & 0xAA) >> 1) | ((b & 0x55) << 1)
    if lane == 1:
        return ((b & 0xCC) >> 2) | ((b & 0x33) << 2)
    if lane == 2:
        return ((b & 0xF0) >> 4) | ((b & 0x0F) << 4)
    return (b & 0x18) | ((b & 0xE0) >> 5) | ((b & 0x07) << 5 & 0xFF)


def descramble(data):
    return bytes(swap(b, i & 3) for i, b in enumerate(data))


class Reader:
    def __init__(self, data, at):
        self.data, self.at = data, at

    def int32(self):
        value = struct.unpack_from("<i", self.data, self.at)[0]
        self.at += 4
        return value

    def text(self):
        n = self.int32()
        if n < 1:
            return b""
        raw = self.data[self.at:self.at + n]
        self.at += n
        return descramble(raw)


def read_installer(data):
    start = data.index(b"\n" + MARKER + b"\n") + len(MARKER) + 2
    r = Reader(data, start)
    info = {name: (r.int32() if name in NUMBERS else r.text()) for name in INFO}
    groups = []
    while True:
        name = r.text()
        if not name:
            break
        groups.append((name, r.text()))
    files = []
    while r.at < len(data):
        name, destination = r.text(), r.text()
        group, order, plain, stored, flags = (r.int32() for _ in range(5))
        raw = data[r.at:r.at + stored]
        r.at += stored
        files.append((name, destination, plain, descramble(raw) if plain == stored else None))
    return info, groups, files


def main():
    # A temporary folder: an installer left in the build tree would be one more program
    # holding the marker line.
    with tempfile.TemporaryDirectory() as work:
        return check(Path(sys.argv[1]), Path(work))


def check(vunipack, work):
    (work / "stub.exe").write_bytes(b"MZ any program image\n")
    script = b"Script Main ()\r\n  SayString (\"r\xe9sultat\")\r\nEndScript\r\n"
    (work / "a.jss").write_bytes(script)
    (work / "b.jsm").write_bytes(b"const B = 1\r\n")
    (work / "m.ini").write_text(
        "[package]\ndate = 2024-02-29 23:59\napplicationName = Bloc-notes\n"
        "scriptSetName = BN\n[group 2020]\nalias = notepad\n"
        "[file]\npath = a.jss\ngroup = 2020\n[file]\npath = b.jsm\ngroup = 2020\n"
        "destination = %MyDoc%\\Scripts\n")
    out = subprocess.run([str(vunipack), "build", str(work / "m.ini"), "-o",
                          str(work / "setup.exe"), "--stub", str(work / "stub.exe"), "--store"],
                         capture_output=True, text=True)
    if out.returncode != 0:
        print(out.stderr)
        return 1
    info, groups, files = read_installer((work / "setup.exe").read_bytes())
    faults = []
    if info["applicationName"] != b"Bloc-notes" or info["scriptSetName"] != b"BN":
        faults.append(f"info fields: {info}")
    if not info["reservedA"].startswith(b"VuniSeal1 "):
        faults.append(f"no seal in reserved text A: {info['reservedA']!r}")
    if groups != [(b"2020", b"notepad")]:
        faults.append(f"groups: {groups}")
    expected = [(b"a.jss", b"%JawsScriptPath%\\", len(script), script),
                (b"b.jsm", b"%MyDoc%\\Scripts\\", 13, b"const B = 1\r\n")]
    if files != expected:
        faults.append(f"files: {files}")
    for fault in faults:
        print("FAIL", fault)
    print("literal reader:", "ok" if not faults else "failed", f"({len(files)} files)")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
