#!/usr/bin/env python3
"""A signed installer starts under Wine with its package loaded.

Builds the example installer on the x86_64 stub, signs it with a self-signed certificate,
starts it in a fresh 64-bit prefix made from tests/machines/no-jaws on a virtual display
(xvfb-run -a), and checks with vuni-driver.exe that the window comes up titled
"Vuni pour " + the application name, which it is only when the package was read.
Exit code 77 (skipped) without wine, xvfb-run, openssl, osslsigncode or the builds.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

SKIP = 77
APPLICATION = "Bloc-notes"

failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what)
    if not condition:
        failures.append(what)


def run(*args, **kw):
    return subprocess.run([str(a) for a in args], capture_output=True, **kw)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--build", type=Path, required=True, help="the mingw-x86_64 build")
    parser.add_argument("--vunipack", type=Path, required=True)
    args = parser.parse_args()
    tools = ("wine", "wineserver", "xvfb-run", "openssl", "osslsigncode")
    missing = [t for t in tools if shutil.which(t) is None]
    if missing:
        print("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    stub = args.build / "tools" / "vuni" / "vuni.exe"
    driver = args.build / "tools" / "wine-driver" / "vuni-driver.exe"
    absent = [str(p) for p in (stub, driver, args.vunipack) if not p.is_file()]
    if absent:
        print("SKIP: no mingw-x86_64 or native build (missing " + ", ".join(absent) + ")")
        return SKIP
    # The installer and the driver must share one display: the whole run goes on under
    # one xvfb-run.
    if os.environ.get("VUNI_SIGNED_TEST_DISPLAY") != "1":
        env = dict(os.environ, VUNI_SIGNED_TEST_DISPLAY="1")
        return subprocess.run(["xvfb-run", "-a", sys.executable, *sys.argv], env=env,
                              timeout=540).returncode

    with tempfile.TemporaryDirectory(prefix="vuni-wine-sign-") as work:
        work = Path(work)
        out = run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                  "-subj", "/CN=Vuni test signer", "-keyout", work / "key.pem",
                  "-out", work / "cert.pem")
        check(out.returncode == 0, "openssl makes a self-signed certificate")
        manifest = args.source / "examples" / "blocnotes" / "blocnotes.vunipack.ini"
        out = run(args.vunipack, "build", manifest, "-o", work / "out.exe", "--stub", stub)
        check(out.returncode == 0, "vunipack build " + out.stderr.decode(errors="replace"))
        out = run("osslsigncode", "sign", "-certs", work / "cert.pem", "-key",
                  work / "key.pem", "-in", work / "out.exe", "-out", work / "signed.exe")
        check(out.returncode == 0, "osslsigncode signs it " + out.stderr.decode(errors="replace"))
        if failures:
            return 1

        prefix = work / "prefix"
        env = dict(os.environ, WINEPREFIX=str(prefix), WINEARCH="win64", WINEDEBUG="-all",
                   WINEDLLOVERRIDES="mscoree,mshtml=")
        out = run("bash", args.source / "tools" / "wine" / "make-prefix.sh",
                  args.source / "tests" / "machines" / "no-jaws", prefix, env=env, timeout=300)
        check(out.returncode == 0, "a fresh prefix " + out.stderr.decode(errors="replace"))
        if failures:
            return 1
        installer = prefix / "drive_c" / "Vuni-signed.exe"
        shutil.copy(work / "signed.exe", installer)
        started = subprocess.Popen(["wine", "C:\\Vuni-signed.exe"], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            out = run("wine", driver, "wait", env=env, timeout=120)
            check(out.returncode == 0, "the installer window is shown")
            out = run("wine", driver, "title", env=env, timeout=60)
            title = out.stdout.decode("cp1252").strip()
            check(out.returncode == 0 and title == "Vuni pour " + APPLICATION,
                  f"window title {title!r}")
            out = run("wine", driver, "close", env=env, timeout=60)
            check(out.returncode == 0, "the window is asked to close")
            try:
                started.wait(timeout=60)
                check(True, "the installer has ended")
            except subprocess.TimeoutExpired:
                check(False, "the installer has ended")
        finally:
            if started.poll() is None:
                started.kill()
            run("wineserver", "-k", env=env, timeout=60)
    print(f"{len(failures)} failed" if failures else "all signed-installer Wine checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
