#!/usr/bin/env python3
"""A signed installer starts under Wine with its package loaded.

Builds the example installer on the stub of the given Windows build, signs it with a
self-signed certificate, starts it (the i686 build under wine32, tools/wine/wine_for_build.py)
in a fresh prefix made from tests/machines/no-jaws on a virtual display
(xvfb-run -a), and checks with vuni-driver.exe that the window comes up titled
"Vuni pour " + the application name, which it is only when the package was read.
Exit code 77 (skipped) without Wine for the build, xvfb-run, openssl, osslsigncode or the
builds.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "testing"))
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "wine"))
from checks import SKIP, check, failures, summary  # noqa: E402
from signing import build_signed, run  # noqa: E402
from wine_for_build import WineForBuild, stub_of  # noqa: E402

APPLICATION = "Bloc-notes"


def wine(work, env, *args, timeout=120):
    """Runs a Windows program; its output goes through a file, since Wine's own background
    processes inherit pipes and would keep them open after the program ended."""
    with open(work / "wine.out", "w+b") as out:
        done = subprocess.run(["wine", *[str(a) for a in args]], env=env, stdout=out,
                              stderr=subprocess.DEVNULL, stdin=subprocess.DEVNULL,
                              timeout=timeout)
        out.seek(0)
        return done.returncode, out.read().decode("cp1252", errors="replace")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--source", type=Path, required=True)
    parser.add_argument("--build", type=Path, required=True, help="a mingw-* build")
    parser.add_argument("--vunipack", type=Path, required=True)
    args = parser.parse_args()
    args.source = args.source.resolve()
    args.build = args.build.resolve()
    args.vunipack = args.vunipack.resolve()
    tools = ("xvfb-run", "openssl", "osslsigncode")
    missing = [t for t in tools if shutil.which(t) is None]
    if missing:
        print("SKIP: not installed: " + ", ".join(missing))
        return SKIP
    stub = stub_of(args.build)
    driver = args.build / "tools" / "wine-driver" / "vuni-driver.exe"
    absent = [str(p) for p in (stub, driver, args.vunipack) if not p.is_file()]
    if absent:
        print("SKIP: no Windows or native build (missing " + ", ".join(absent) + ")")
        return SKIP
    wine_for_build = WineForBuild(args.build)
    if wine_for_build.skip:
        print("SKIP: " + wine_for_build.skip)
        return SKIP
    # The installer and the driver must share one display: the whole run goes on under
    # one xvfb-run.
    if os.environ.get("VUNI_SIGNED_TEST_DISPLAY") != "1":
        env = dict(os.environ, VUNI_SIGNED_TEST_DISPLAY="1")
        return subprocess.run(["xvfb-run", "-a", sys.executable, *sys.argv], env=env,
                              timeout=540).returncode

    with tempfile.TemporaryDirectory(prefix="vuni-wine-sign-") as work:
        work = Path(work)
        if not build_signed(args.source, args.vunipack, stub, work):
            return 1

        prefix = work / "prefix"
        env = wine_for_build.env(os.environ, WINEPREFIX=str(prefix), WINEDEBUG="-all",
                                 WINEDLLOVERRIDES="mscoree,mshtml=")
        with open(work / "prefix.log", "w+b") as log:
            made = subprocess.run(["bash", str(args.source / "tools" / "wine" / "make-prefix.sh"),
                                   str(args.source / "tests" / "machines" / "no-jaws"),
                                   str(prefix)], env=env, stdout=log, stderr=log,
                                  stdin=subprocess.DEVNULL, timeout=300)
            log.seek(0)
            check(made.returncode == 0, "a fresh prefix from tests/machines/no-jaws" +
                  ("" if made.returncode == 0 else ": " + log.read().decode(errors="replace")))
        if failures:
            return 1
        installer = prefix / "drive_c" / "Vuni-signed.exe"
        shutil.copy(work / "signed.exe", installer)
        started = subprocess.Popen(["wine", "C:\\Vuni-signed.exe"], env=env,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=subprocess.DEVNULL)
        try:
            rc, _ = wine(work, env, driver, "wait")
            check(rc == 0, "the installer window is shown")
            rc, title = wine(work, env, driver, "title")
            title = title.strip()
            check(rc == 0 and title == "Vuni pour " + APPLICATION, f"window title {title!r}")
            rc, _ = wine(work, env, driver, "close")
            check(rc == 0, "the window is asked to close")
            try:
                started.wait(timeout=60)
                check(True, "the installer has ended")
            except subprocess.TimeoutExpired:
                check(False, "the installer has ended")
        finally:
            if started.poll() is None:
                started.kill()
            subprocess.run(["wineserver", "-k"], env=env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
    return summary("all signed-installer Wine checks passed")


if __name__ == "__main__":
    sys.exit(main())
