#!/usr/bin/env python3
"""The window's start-up and a large install through it, under Wine.

1. Time to the first page: first_page_launcher.exe starts, in turn and RUNS times each, the
   minimal window (four buttons), the example installer (examples/blocnotes, whose intro sound
   the installer waits for), the same package without its intro sound, and an installer of
   FILES small scripts; it reports each one's median from process start to a shown window
   that answers messages. The ratios to the minimal window are printed.
2. An install of the FILES scripts through the window (tools/wine/play-scenario.py) against the
   same scenario on the simulated Windows (vuni-sim): the time from the press on "Installer"
   to the summary box, with the window's fixed cost (the large installer's first page less
   the minimal window's) as the allowance the comparison adds.

    python3 bench/window/first_page_bench.py [--build build/mingw-x86_64] [--runs 15]
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tools" / "wine"))
import large_package  # noqa: E402
from wine_for_build import WineForBuild, stub_of  # noqa: E402


def vunipack_build(vunipack, manifest, out, stub):
    run = subprocess.run([str(vunipack), "build", str(manifest), "-o", str(out), "--stub",
                          str(stub)], capture_output=True, text=True)
    if run.returncode != 0:
        sys.exit(f"vunipack build {manifest}: {run.stderr}")


def without_intro(example, folder):
    """The example package with no [intro] section."""
    shutil.copytree(example, folder)
    manifest = next(folder.glob("*.vunipack.ini"))
    text = manifest.read_bytes().decode("cp1252")
    text = re.sub(r"\[intro\]\s*\npath = [^\n]*\n", "", text)
    manifest.write_bytes(text.encode("cp1252"))
    return manifest


def wine_env(wine, work):
    return wine.env(os.environ, WINEPREFIX=str(work / "prefix"), WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=")


def first_pages(args, wine, work):
    prefix = work / "prefix"
    env = wine_env(wine, work)
    subprocess.run(["bash", str(SOURCE / "tools" / "wine" / "make-prefix.sh"),
                    str(SOURCE / "tests" / "machines" / "jaws11"), str(prefix),
                    str(args.build / "standins")], env=env, check=True, capture_output=True)
    place = prefix / "drive_c" / "bench"
    place.mkdir()
    stub = args.stub or stub_of(args.build)
    shutil.copy(args.build / "bench" / "window" / "minimal_window.exe", place / "minimal.exe")
    example = SOURCE / "examples" / "blocnotes"
    vunipack_build(args.vunipack, next(example.glob("*.vunipack.ini")), place / "example.exe",
                   stub)
    vunipack_build(args.vunipack, without_intro(example, work / "silent"), place / "silent.exe",
                   stub)
    large_package.write_package(work / "large", args.files)
    vunipack_build(args.vunipack, work / "large" / "grand.vunipack.ini", place / "large.exe",
                   stub)
    launcher = args.build / "bench" / "window" / "first_page_launcher.exe"
    names = ["minimal", "example", "silent", "large"]
    run = subprocess.run(["wine", str(launcher), str(args.runs)] +
                         [f"C:\\bench\\{n}.exe" for n in names],
                         env=env, capture_output=True, text=True, timeout=1800)
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    if run.returncode != 0:
        sys.exit("first_page_launcher: " + run.stdout + run.stderr)
    medians = {}
    for line in run.stdout.splitlines():
        m = re.match(r"median C:\\bench\\(\w+)\.exe ([\d.]+) ms", line)
        if m:
            medians[m.group(1)] = float(m.group(2))
    base = medians["minimal"]
    print(f"time to the first page, median of {args.runs} interleaved runs ({wine.describe()}):")
    what = {"minimal": "minimal window, four buttons", "example": "example installer",
            "silent": "example without its intro sound",
            "large": f"{args.files} files, no intro sound"}
    for n in names:
        print(f"  {what[n]:34} {medians[n]:8.1f} ms  {medians[n] / base:5.2f}x the minimal window")
    return medians


def step_times(output):
    return {int(m.group(1)): float(m.group(2))
            for m in re.finditer(r"time line (\d+): ([\d.]+) ms", output)}


def file_writes(args, wine, work, round_number):
    """Milliseconds Wine takes to write FILES small files into a new folder by themselves."""
    env = wine_env(wine, work)
    run = subprocess.run(["wine", str(args.build / "bench" / "window" / "write_files.exe"),
                          f"C:\\writes{round_number}", str(args.files)],
                         env=env, capture_output=True, text=True, timeout=600)
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    if run.returncode != 0:
        sys.exit("write_files: " + run.stdout + run.stderr)
    return float(run.stdout.split()[0])


def install_times(args, wine, work, medians):
    """Milliseconds from the press on "Installer" to the summary box: simulated, then Wine."""
    scenario = work / "install.scenario"
    if not (work / "large").is_dir():
        large_package.write_package(work / "large", args.files)
    large_package.write_scenario(scenario, "large", args.files)
    lines = scenario.read_text(encoding="utf-8").splitlines()
    press = lines.index("press 5") + 1  # line numbers count from 1
    summary = press + 1
    sims = []
    for _ in range(3):
        sim = subprocess.run([str(args.vuni_sim), "--timings", "--vunipack", str(args.vunipack),
                              str(scenario)], capture_output=True, text=True)
        if sim.returncode != 0:
            sys.exit("vuni-sim: " + sim.stdout + sim.stderr)
        t = step_times(sim.stdout)
        sims.append(t[press] + t[summary])
    wines, writes = [], []
    for round_number in range(3):
        writes.append(file_writes(args, wine, work, round_number))
        play = subprocess.run([sys.executable, str(SOURCE / "tools" / "wine" / "play-scenario.py"),
                               str(scenario), "--build", str(args.build), "--vunipack",
                               str(args.vunipack), "--vuni-sim", "/nonexistent", "--timings",
                               "--no-access", "--poll-seconds", "120",
                               "--template-dir", str(work / "templates")],
                              capture_output=True, text=True)
        if play.returncode != 0:
            sys.exit("play-scenario: " + play.stdout + play.stderr)
        # From the press to the summary box in front, as the driver's timeline saw it: the
        # player's own checks and answer of the box are left out.
        box = re.search(rf"time box Info after line {press}: (\d+) ms", play.stdout)
        if box is None:
            sys.exit("play-scenario: no time of the summary box\n" + play.stdout)
        wines.append(float(box.group(1)))
    sim, wine, raw = statistics.median(sims), statistics.median(wines), statistics.median(writes)
    fixed = medians["large"] - medians["minimal"]
    print(f"install of {args.files} files, press to summary box, median of 3:")
    print(f"  simulated Windows                  {sim:8.1f} ms")
    print(f"  the window under Wine              {wine:8.1f} ms  "
          f"{wine / sim:5.2f}x the simulated install")
    print(f"  the window's fixed cost            {fixed:8.1f} ms  (first page, large less minimal)")
    print(f"  Wine / (1.5 x simulated + fixed)   {wine / (1.5 * sim + fixed):8.2f}")
    print(f"  Wine's file system alone           {raw:8.1f} ms  (write_files: the same number "
          "of new files in a new folder)")
    print(f"  the window less that               {wine - raw:8.1f} ms  "
          f"{(wine - raw) / (1.5 * sim + fixed):5.2f} of 1.5 x simulated + fixed")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", type=Path, default=SOURCE / "build" / "mingw-x86_64")
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--files", type=int, default=2000)
    parser.add_argument("--vunipack", type=Path,
                        default=SOURCE / "build" / "native" / "tools" / "vunipack" / "vunipack")
    parser.add_argument("--vuni-sim", type=Path,
                        default=SOURCE / "build" / "native" / "tools" / "vuni-sim" / "vuni-sim")
    parser.add_argument("--stub", type=Path,
                        help="the installer program to measure (default: the build's vuni.exe)")
    parser.add_argument("--no-install", dest="install", action="store_false",
                        help="time the first pages only")
    args = parser.parse_args()
    args.build = args.build.resolve()
    wine = WineForBuild(args.build)
    if wine.skip:
        print("skipped: " + wine.skip)
        return 77
    if not os.environ.get("DISPLAY"):
        return subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1024x768x24", sys.executable,
                               *sys.argv]).returncode
    with tempfile.TemporaryDirectory(prefix="vuni-window-bench-") as work:
        work = Path(work)
        medians = first_pages(args, wine, work)
        if args.install:
            install_times(args, wine, work, medians)
    return 0


if __name__ == "__main__":
    sys.exit(main())
