#!/usr/bin/env python3
"""A package of 1,200 files under Wine: the log box keeps the last 1001 lines of a start-up
that logs about 2,400 (the lines come to the box in one change, not one by one), and an
install through the window puts every file in place, as on the simulated Windows (the player
compares the two runs' files).

Arguments after the first are handed to tools/wine/play-scenario.py."""
import subprocess
import sys
import tempfile
from pathlib import Path

SOURCE = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(SOURCE / "tools" / "wine"))
import large_package  # noqa: E402

FILES = 1200
# The first line kept is the 705th file's: 1,200 files log two lines each, between the
# banner and package lines before and the folders of the screen reader after.
LOG_CHECKS = [
    "key Alt+F1", "expect page 99",
    'expect log-line 1 "- f0705.jss To %JawsScriptPath%\\"',
    'expect log-contains "* Created on  the 08/12/2026"',
    'expect log-line 1000 " RunTime Path = C:\\Program Files\\Freedom Scientific\\RunTime JAWS\\11.0\\"',
    'expect log-line 1001 ""',
    "key Alt+P", "expect page 6",
]


def main():
    with tempfile.TemporaryDirectory(prefix="vuni-large-") as work:
        work = Path(work)
        large_package.write_package(work / "package", FILES)
        scenario = work / "large.scenario"
        large_package.write_scenario(scenario, "package", FILES, LOG_CHECKS)
        player = SOURCE / "tools" / "wine" / "play-scenario.py"
        return subprocess.run([sys.executable, str(player), str(scenario), *sys.argv[1:]]).returncode


if __name__ == "__main__":
    sys.exit(main())
