#!/usr/bin/env python3
"""An installer signed with osslsigncode still reads as its package.

Makes a self-signed certificate, builds the example installer with vunipack, signs it, and
checks that 'vunipack list' and 'vunipack verify' see the same package in the signed file as
in the unsigned one. Exit code 77 (skipped) when openssl or osslsigncode is missing.
"""
import argparse
import json
import shutil
import struct
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "testing"))
from checks import SKIP, check, summary  # noqa: E402
from signing import build_signed, run  # noqa: E402

SIGNER = "Vuni test signer"


def minimal_pe():
    """A PE32+ image of headers only: enough for signing and for the package reader."""
    image = bytearray(0x200)
    image[0:2] = b"MZ"
    struct.pack_into("<I", image, 0x3C, 0x40)
    image[0x40:0x44] = b"PE\0\0"
    # File header: x86-64, no section, a PE32+ optional header of 240 bytes, executable.
    struct.pack_into("<HHIIIHH", image, 0x44, 0x8664, 0, 0, 0, 0, 240, 0x22)
    optional = 0x58
    struct.pack_into("<H", image, optional, 0x20B)
    struct.pack_into("<I", image, optional + 32, 0x1000)  # section alignment
    struct.pack_into("<I", image, optional + 36, 0x200)  # file alignment
    struct.pack_into("<I", image, optional + 56, 0x1000)  # size of image
    struct.pack_into("<I", image, optional + 60, 0x200)  # size of headers
    struct.pack_into("<H", image, optional + 68, 2)  # subsystem: Windows GUI
    struct.pack_into("<I", image, optional + 108, 16)  # data directory entries
    return bytes(image)


def listing(vunipack, installer):
    out = run(vunipack, "list", installer, "--json")
    if out.returncode != 0:
        return None, out.stderr.decode(errors="replace")
    return json.loads(out.stdout.decode("utf-8")), ""


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--vunipack", type=Path, required=True)
    parser.add_argument("--stub", type=Path, help="vuni.exe of a Windows build, when built")
    args = parser.parse_args()
    missing = [t for t in ("openssl", "osslsigncode") if shutil.which(t) is None]
    if missing:
        print("SKIP: " + " and ".join(missing) + " not installed; cannot sign an installer")
        return SKIP

    with tempfile.TemporaryDirectory(prefix="vuni-sign-") as work:
        work = Path(work)
        if args.stub is not None and args.stub.is_file():
            stub = args.stub
            print(f"stub: {stub}")
        else:
            stub = work / "stub.exe"
            stub.write_bytes(minimal_pe())
            print("stub: a minimal PE image (no Windows build)")
        if not build_signed(args.source, args.vunipack, stub, work, SIGNER):
            return 1

        unsigned = (work / "out.exe").read_bytes()
        signed = (work / "signed.exe").read_bytes()
        check(len(signed) > len(unsigned), f"the signature grows the file ({len(unsigned)} "
              f"to {len(signed)} bytes)")
        plain, why = listing(args.vunipack, work / "out.exe")
        check(plain is not None, "vunipack list reads the unsigned installer " + why)
        after, why = listing(args.vunipack, work / "signed.exe")
        check(after is not None, "vunipack list reads the signed installer " + why)
        if plain is not None and after is not None:
            check(after["entries"] == plain["entries"] and len(after["entries"]) > 1,
                  f"the same {len(plain['entries'])} entries")
            check(after["info"] == plain["info"] and after["groups"] == plain["groups"],
                  "the same info section and groups")
        out = run(args.vunipack, "verify", work / "signed.exe")
        text = out.stdout.decode(errors="replace").strip()
        check("Authenticode signature at" in text, "vunipack verify sees the signature: " + text)
        check(out.returncode == 0 and text.endswith("all sound, integrity seal matches"), "vunipack verify: " + text +
              out.stderr.decode(errors="replace"))

        # The control: with its security directory entry cleared, the same file is damaged
        # (the certificate table is read as a file record).
        lfanew = struct.unpack_from("<I", signed, 0x3C)[0]
        magic = struct.unpack_from("<H", signed, lfanew + 24)[0]
        entry = lfanew + 24 + (96 if magic == 0x10B else 112) + 4 * 8
        table, size = struct.unpack_from("<II", signed, entry)
        check(table >= len(unsigned) and table + size == len(signed)
              and all(b == 0 for b in signed[len(unsigned):table]),
              f"the certificate table follows the package ({table - len(unsigned)} bytes "
              "of padding)")
        cleared = bytearray(signed)
        struct.pack_into("<II", cleared, entry, 0, 0)
        (work / "cleared.exe").write_bytes(cleared)
        out = run(args.vunipack, "verify", work / "cleared.exe")
        check(out.returncode == 1, "without its directory entry the table is damage")

        out = run("osslsigncode", "verify", "-CAfile", work / "cert.pem", "-in",
                  work / "signed.exe")
        report = out.stdout.decode(errors="replace") + out.stderr.decode(errors="replace")
        check(SIGNER in report, "osslsigncode verify sees the signature")
        digests = [line.split(":", 1)[1].strip() for line in report.splitlines()
                   if line.strip().startswith(("Current message digest",
                                               "Calculated message digest"))]
        check(len(digests) == 2 and digests[0] == digests[1],
              f"its message digest matches the file: {digests}")
    return summary("all signing checks passed")


if __name__ == "__main__":
    sys.exit(main())
