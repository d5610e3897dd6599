#!/usr/bin/env python3
"""Plays a scenario file (docs/scenarios.md) against the real vuni.exe under Wine.

A fresh prefix is made from the scenario's machine (tools/wine/make-prefix.sh; with
--template-dir a prefix made once per machine is copied instead), the program file is built
with vunipack and placed where the scenario says, and one vuni-driver.exe in serve mode starts
the installer and plays the steps through Win32 messages. Prints "ok"/"FAIL" lines; exit code
0 when every expectation held, 1 when one failed, 2 when the scenario is wrong, 77 when it
cannot run here. Runs itself inside `xvfb-run -a` when there is no display.
"""
import argparse
import fcntl
import functools
import hashlib
import http.server
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from pathlib import Path

import result_tree
from wine_for_build import KINDS, WineForBuild, stub_of

SKIP, FAILED, WRONG = 77, 1, 2
SCREEN = "1024x768x24"
POLL_SECONDS = 5.0
KEPT_MS = 1000  # how long a box must stay in front before it is answered
KEYS = {"Enter", "Tab", "Shift+Tab", "Escape", "F1", "Alt+F1", "Alt+S", "Alt+P", "Ctrl+A",
        "Apps", "Shift+F10"}
# Items of the context menu from the top, separators left out: the Down presses to reach each.
MENU_DOWNS = {"128": 1, "130": 2, "131": 3}
# Processes a Windows machine always has, or Wine runs itself.
SYSTEM_PROCESSES = {"system", "smss.exe", "explorer.exe", "csrss.exe", "winlogon.exe"}
PAGES = ["6", "71", "62", "80", "84", "96", "101", "99"]


class ScenarioError(Exception):
    pass


class CannotRun(Exception):
    pass


class Word(str):
    """A word of a scenario line; `raw` is it as written, with no line breaks made of \\n."""
    raw = ""


def word(text, raw):
    w = Word(text)
    w.raw = raw
    return w


# The arguments that are paths, by command: always taken as written.
PATH_ARGS = {"package": {0}, "program": {0}, "program-path": {0}, "append": {0}, "process": {1},
             "folder": {0}, "web-server": {1}}
PATH_EXPECT = {"file": {0, 1}, "file-text": {0}, "file-contains": {0}, "no-file": {0},
               "same-as-machine": {0}}


def as_written(words):
    """The words with the path arguments as written (no \\n turned into a break)."""
    if words[0] == "expect" and len(words) > 1:
        where, first = PATH_EXPECT.get(words[1], set()), 2
    else:
        where, first = PATH_ARGS.get(words[0], set()), 1
    return [w.raw if i - first in where else w for i, w in enumerate(words)]


def split_line(line, number):
    """The words of a line: blanks separate, double quotes group, "" is a quote, \\n a break."""
    words, i = [], 0
    while i < len(line):
        if line[i] in " \t":
            i += 1
            continue
        if line[i] == '"':
            text, raw, i = "", "", i + 1
            while True:
                if i >= len(line):
                    raise ScenarioError(f"line {number}: unclosed quote")
                if line[i] == '"':
                    if line[i + 1:i + 2] == '"':
                        text, raw, i = text + '"', raw + '"', i + 2
                        continue
                    i += 1
                    break
                if line.startswith("\\n", i):
                    text, raw, i = text + "\n", raw + "\\n", i + 2
                    continue
                text, raw, i = text + line[i], raw + line[i], i + 1
            words.append(word(text, raw))
        else:
            start = i
            while i < len(line) and line[i] not in " \t":
                i += 1
            words.append(word(line[start:i], line[start:i]))
    return words


def parse(path):
    steps = []
    for number, raw in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        words = as_written(split_line(line, number))
        steps.append((number, words))
    return steps


def read_ini(path):
    sections, current = {}, None
    if not path.is_file():
        return sections
    data = path.read_bytes()
    try:
        text = data.decode("utf-8")
    except UnicodeDecodeError:
        text = data.decode("cp1252")  # machine descriptions may be either
    for raw in text.splitlines():
        line = raw.strip()
        if not line or line[0] in ";#":
            continue
        if line.startswith("["):
            current = sections.setdefault(line.strip("[] ").lower(), [])
        elif current is not None and "=" in line:
            key, value = line.split("=", 1)
            current.append((key.strip(), value.strip()))
    return sections


def find_no_case(folder, name):
    if (folder / name).exists() or not folder.is_dir():
        return folder / name
    for entry in folder.iterdir():
        if entry.name.lower() == name.lower():
            return entry
    return folder / name


def unix_under(root, windows_path):
    path = root
    for part in windows_path[2:].replace("\\", "/").split("/"):
        if part:
            path = find_no_case(path, part)
    return path


# The prefix's folders of system DLLs, which nothing in a run writes to: a run's copy of a
# template links their files instead of copying them (most of a prefix's size).
SYSTEM_FOLDERS = ("drive_c/windows/system32", "drive_c/windows/syswow64")


def copy_prefix(template, prefix):
    """A prefix for one run, made from a template: copied, but for the system folders."""
    linked = {template / f for f in SYSTEM_FOLDERS}

    def copy(source, target):
        if source in linked:
            subprocess.run(["cp", "-al", str(source), str(target)], check=True)
        elif any(source in folder.parents for folder in linked):
            target.mkdir()
            shutil.copystat(source, target)
            for entry in source.iterdir():
                copy(entry, target / entry.name)
        else:
            subprocess.run(["cp", "-a", str(source), str(target)], check=True)

    copy(template, prefix)


def remove_stale_templates(current):
    """Removes the templates of the same machine and Wine made for older versions of the
    machine, the prefix script or the stand-ins, unless a run is using one right now."""
    stem = current.name.rsplit("-", 1)[0]
    for other in current.parent.glob(stem + "-*"):
        if other == current or not other.is_dir() or other.name.rsplit("-", 1)[0] != stem:
            continue
        with open(str(other) + ".lock", "w") as lock:
            try:
                fcntl.flock(lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
            except OSError:
                continue
            shutil.rmtree(other, ignore_errors=True)
        Path(str(other) + ".lock").unlink(missing_ok=True)


class Driver:
    """One vuni-driver.exe in serve mode: a command a line, an answer a line."""

    def __init__(self, exe, env, errors=subprocess.DEVNULL):
        """errors: where Wine's messages go, the installer's (started by the driver) too."""
        self.process = subprocess.Popen(["wine", str(exe), "serve"], env=env,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=errors)

    @staticmethod
    def escape(text):
        return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
                .replace("\r", "\\r"))

    @staticmethod
    def unescape(text):
        out, i = "", 0
        while i < len(text):
            if text[i] == "\\" and i + 1 < len(text):
                out += {"t": "\t", "n": "\n", "r": "\r"}.get(text[i + 1], text[i + 1])
                i += 2
            else:
                out, i = out + text[i], i + 1
        return out

    def __call__(self, *args):
        line = "\t".join(self.escape(str(a)) for a in args) + "\n"
        self.process.stdin.write(line.encode("cp1252", errors="replace"))
        self.process.stdin.flush()
        answer = self.process.stdout.readline().decode("cp1252").rstrip("\r\n")
        if not answer:
            raise RuntimeError("the driver ended")
        fields = [self.unescape(f) for f in answer.split("\t")]
        return fields[0] == "ok", fields[1:]

    def close(self):
        try:
            self.process.stdin.write(b"quit\n")
            self.process.stdin.flush()
            self.process.wait(timeout=10)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()


class Player:
    def __init__(self, args, scenario):
        self.args = args
        self.scenario = scenario
        self.folder = scenario.parent
        self.failures = 0
        self.checks = 0
        self.answers, self.folders, self.menus = [], [], []
        self.boxes = []  # every box shown: [title, text, expected]
        self.pages_seen = set()
        self.page = None
        self.poll = False
        self.polling = False
        # The focus read as soon as the last action was handled, before idle ticks could
        # move it on (None: read it live).
        self.focus_after = None
        self.started = False
        self.driver = None
        # The focus and foreground events the driver recorded: (tick, "focus" or
        # "foreground", what got it); `mark` is the first one since the last action.
        self.timeline, self.mark = [], 0
        self.marks = []  # (action, tick, first event after it)
        self.box_closes = []  # (box title, tick when answered, first event after it)
        # DLLs placed beside the program (--plant), each leaving a mark when loaded.
        self.planted = sorted(args.plant.glob("*.dll")) if args.plant else []

    # ---- output ----
    def report(self, ok, what):
        self.checks += 1
        print(("ok   " if ok else "FAIL ") + what, flush=True)
        if not ok:
            self.failures += 1

    def note(self, what):
        print("     " + what, flush=True)

    # ---- paths ----
    def windows_path(self, machine_path):
        """The prefix's Windows path for a path of the described machine."""
        lower = machine_path.lower()
        for csidl, folder in self.machine_shell.items():
            wine = self.shell.get(csidl)
            if wine and folder and (lower == folder.lower() or
                                    lower.startswith(folder.lower().rstrip("\\") + "\\")):
                return wine + machine_path[len(folder.rstrip("\\")):]
        return machine_path

    def wine_text(self, text):
        """An expected text with the machine's folders in it turned into the prefix's."""
        for csidl, folder in self.machine_shell.items():
            wine = self.shell.get(csidl)
            if wine and folder:
                text = re.sub(re.escape(folder.rstrip("\\")) + r"(?=\\|$|[^\w])",
                              lambda m: wine.rstrip("\\"), text, flags=re.IGNORECASE)
        return text

    @staticmethod
    def same_paths(text):
        """Wine names the profiles' folder "users": both sides spelt alike before comparing."""
        return re.sub(r"([A-Za-z]:\\)users\\", lambda m: m.group(1) + "Users\\", text,
                      flags=re.IGNORECASE)

    def unix(self, machine_path):
        return unix_under(self.prefix / "drive_c", self.windows_path(machine_path))

    def shell_pairs(self):
        """(prefix folder, machine folder) of each shell folder, the longest first."""
        pairs = [(self.shell[c].rstrip("\\"), f.rstrip("\\"))
                 for c, f in self.machine_shell.items() if self.shell.get(c) and f]
        return sorted(pairs, key=lambda p: -len(p[0]))

    def machine_path(self, windows_path):
        """The described machine's path for a path of the prefix."""
        lower = windows_path.lower()
        for wine, folder in self.shell_pairs():
            if lower == wine.lower() or lower.startswith(wine.lower() + "\\"):
                return folder + windows_path[len(wine):]
        return windows_path

    def machine_bytes(self, data):
        """A journal written under Wine with the prefix's folders named as the machine's."""
        for wine, folder in self.shell_pairs():
            data = re.sub(re.escape(wine.encode("cp1252")) + rb"(?=\\|\||\r|\n|$)",
                          lambda m, f=folder: f.encode("cp1252"), data, flags=re.IGNORECASE)
        return data

    def wine_messages(self, work):
        """Where the messages of Wine (run with self.env's WINEDEBUG) go: nowhere."""
        return subprocess.DEVNULL

    # ---- setup ----
    def setup(self, steps):
        self.machine = None
        self.package = self.program = self.program_path = self.append = None
        self.processes, self.other_instance, self.web_servers = [], None, []
        self.servers = []  # the running web servers
        rest = []
        for index, (number, words) in enumerate(steps):
            command, a = words[0], words[1:]
            if command == "start":
                rest += steps[index:]
                break
            if command == "machine" and len(a) == 1:
                for base in (self.folder, self.args.source / "tests" / "machines"):
                    if (base / a[0] / "machine.ini").is_file():
                        self.machine = (base / a[0]).resolve()
                        break
                else:
                    raise ScenarioError(f"line {number}: no machine {a[0]}")
            elif command == "package" and len(a) == 1:
                self.package = (self.folder / a[0]).resolve()
            elif command == "program" and len(a) == 1:
                # @stub: the bare installer program of the build being played.
                self.program = (stub_of(self.args.build) if a[0] == "@stub"
                                else (self.folder / a[0]).resolve())
            elif command == "append" and len(a) == 1:
                self.append = (self.folder / a[0]).resolve()
            elif command == "program-path" and len(a) == 1:
                self.program_path = a[0]
            elif command == "process" and len(a) == 2:
                self.processes.append(a[1])
            elif command == "other-instance" and len(a) <= 1:
                self.other_instance = a[0] if a else ""
            elif command == "web-server" and len(a) == 2 and a[0].isdigit():
                self.web_servers.append((int(a[0]), (self.folder / a[1]).resolve()))
            elif command in ("answer", "folder", "menu"):
                rest.append((number, words))  # answers for the boxes of the start-up
            elif command == "no-sound":
                pass  # Xvfb machines have no sound output of their own anyway
            elif command == "wine-only":
                pass
            elif command == "sim-only":
                return None
            else:
                raise ScenarioError(f"line {number}: unknown setup command {' '.join(words)}")
        else:
            raise ScenarioError("no start")
        if self.machine is None:
            raise ScenarioError("no machine")
        return rest

    def make_prefix(self, work):
        self.prefix = work / "prefix"
        make = self.args.source / "tools" / "wine" / "make-prefix.sh"
        standins = self.args.build / "standins"
        env = self.args.wine.env(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
        if self.args.template_dir is None:
            out = subprocess.run(["bash", str(make), str(self.machine), str(self.prefix),
                                  str(standins)], env=env, capture_output=True, timeout=300)
            if out.returncode != 0:
                raise RuntimeError("make-prefix.sh: " + out.stderr.decode(errors="replace"))
            shell_text = out.stdout
        else:
            # One prefix per machine (and version of the machine and the script), copied.
            digest = hashlib.sha1(make.read_bytes())
            for f in sorted(self.machine.rglob("*")):
                if f.is_file():
                    digest.update(str(f.relative_to(self.machine)).encode() + f.read_bytes())
            for f in sorted(standins.glob("*")):
                digest.update(f.name.encode() + f.read_bytes())
            template = (self.args.template_dir /
                        f"{self.machine.name}-{self.args.wine.kind}-{digest.hexdigest()[:12]}")
            self.args.template_dir.mkdir(parents=True, exist_ok=True)
            with open(str(template) + ".lock", "w") as lock:
                fcntl.flock(lock, fcntl.LOCK_EX)
                if not (template / "shell.txt").is_file():
                    shutil.rmtree(template, ignore_errors=True)
                    template.mkdir()
                    out = subprocess.run(["bash", str(make), str(self.machine),
                                          str(template / "prefix"), str(standins)],
                                         env=env, capture_output=True, timeout=300)
                    if out.returncode != 0:
                        raise RuntimeError("make-prefix.sh: " + out.stderr.decode(errors="replace"))
                    (template / "shell.txt").write_bytes(out.stdout)
                    remove_stale_templates(template)
                # Shared while copying: no other run removes it meanwhile.
                fcntl.flock(lock, fcntl.LOCK_SH)
                copy_prefix(template / "prefix", self.prefix)
            shell_text = (template / "shell.txt").read_bytes()
        self.shell = {}
        for line in shell_text.decode("cp1252").replace("\r", "").splitlines():
            fields = line.split("\t")
            if fields[0] == "shell" and len(fields) == 3:
                self.shell[fields[1]] = fields[2]
        overrides = "mscoree,mshtml="
        if self.planted:
            # Native first: a DLL of that name found on the search path before Wine's own.
            overrides += ";" + ",".join(dll.stem for dll in self.planted) + "=n,b"
        self.env = self.args.wine.env(os.environ, WINEPREFIX=str(self.prefix), WINEDEBUG="-all",
                                      WINEDLLOVERRIDES=overrides)

    def place_program(self, work):
        ini = read_ini(self.machine / "machine.ini")
        self.machine_ini = ini
        self.machine_shell = dict(ini.get("shellfolders", []))
        settings = dict(ini.get("machine", []))
        where = self.program_path or settings.get("ownProgram") or "C:\\vuni.exe"
        if self.package is not None:
            manifest = next(self.package.glob("*.vunipack.ini"), None)
            if manifest is None:
                raise ScenarioError(f"no manifest in {self.package}")
            built = work / "program.exe"
            out = subprocess.run([str(self.args.vunipack), "build", str(manifest), "-o",
                                  str(built), "--stub", str(stub_of(self.args.build))],
                                 capture_output=True, timeout=120)
            if out.returncode != 0:
                raise ScenarioError("vunipack build: " + out.stderr.decode(errors="replace"))
            source = built
        elif self.program is not None:
            source = self.program
            data = source.read_bytes()
            pe = int.from_bytes(data[60:64], "little") if len(data) >= 64 else 0
            if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
                raise CannotRun("the program file is no Windows program: vuni-sim only")
        else:
            source = stub_of(self.args.build)
        self.program_machine = where
        self.program_windows = self.windows_path(where)
        target = self.unix(where)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy(source, target)
        if self.append is not None:
            with open(target, "ab") as out:
                out.write(self.append.read_bytes())
        for dll in self.planted:
            shutil.copy(dll, target.parent / dll.name)
        current = settings.get("currentFolder") or where.rsplit("\\", 1)[0]
        self.current_windows = self.windows_path(current)
        self.unix(current).mkdir(parents=True, exist_ok=True)

    def start_processes(self):
        standin = self.args.build / "standins" / "jfw.exe"
        for _, path in self.machine_ini.get("processes", []):
            name = path.rsplit("\\", 1)[-1].lower()
            if name in SYSTEM_PROCESSES or not self.unix(path).is_file():
                continue
            self.driver("spawn", self.windows_path(path), self.windows_path(path.rsplit("\\", 1)[0]))
        for path in self.processes:
            # Any program name: the jfw.exe stand-in under that name keeps running.
            target = self.unix(path)
            if not target.is_file():
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copy(standin, target)
            ok, why = self.driver("spawn", self.windows_path(path),
                                  self.windows_path(path.rsplit("\\", 1)[0]))
            if not ok:
                raise RuntimeError(f"process {path}: {why}")
        if self.processes or self.machine_ini.get("processes"):
            time.sleep(1.0)  # the stand-ins are in the process list before the installer looks
        for port, folder in self.web_servers:
            # The files of the folder on 127.0.0.1:PORT, for the new-version check.
            handler = functools.partial(http.server.SimpleHTTPRequestHandler,
                                        directory=str(folder))
            handler.log_message = lambda *args: None
            server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
            threading.Thread(target=server.serve_forever, daemon=True).start()
            self.servers.append(server)
        if self.other_instance is not None:
            self.driver("mutex", "Vuni")
            if self.other_instance:
                self.driver("own-window", self.other_instance)

    # ---- the running installer ----
    def running(self):
        ok, fields = self.driver("running")
        return ok and fields[0] == "1"

    def check_attention(self, handle, title, attention):
        """A box must come to the front with the focus in it, or the screen reader does not
        read it: it is given three seconds to get there (a loaded machine is slow)."""
        for _ in range(30):
            if attention == "active":
                return
            time.sleep(0.1)
            ok, fields = self.driver("dialogs")
            mine = [fields[i + 5] for i in range(0, len(fields) - 5, 6)
                    if ok and fields[i] == handle]
            if not mine:
                return  # gone already: nothing to say of it
            attention = mine[0]
        self.report(False, f"box \"{title}\" is not in front with the focus in it: a screen "
                           "reader does not read it")

    def handle_popups(self):
        """Answers the boxes, choosers and menus the last action brought up."""
        for _ in range(20):
            handled = False
            ok, fields = self.driver("dialogs")
            for i in range(0, len(fields) - 5, 6) if ok else []:
                handle, kind, title, text, buttons, attention = fields[i:i + 6]
                handled = True
                if kind == "folder":
                    pick = self.folders.pop(0) if self.folders else "cancel"
                    self.note(f"folder chooser \"{title}\": {pick}")
                    if pick == "cancel":
                        self.driver("answer", handle, "Cancel")
                    else:
                        # A user makes a missing folder with the chooser's own button.
                        self.unix(pick).mkdir(parents=True, exist_ok=True)
                        ok, picked = self.driver("folder", handle, self.windows_path(pick))
                        self.note(f"the chooser showed {picked[0] if picked else '?'!r} selected")
                else:
                    self.boxes.append([title, text, False])
                    self.check_attention(handle, title, attention)
                    self.check_kept(handle, title)
                    shown = buttons.split()
                    answer = None
                    if self.answers and (self.answers[0][1] is None or
                                         self.answers[0][1] == title):
                        answer = self.answers.pop(0)[0]
                    if answer is None or answer not in shown:
                        answer = "Ok" if "Ok" in shown else "No" if "No" in shown else shown[0]
                    self.note(f"box \"{title}\" ({attention} when found): \"{text}\" -> {answer}")
                    self.driver("answer", handle, answer)
                    self.box_closes.append((title, self.read_timeline(), len(self.timeline)))
                    self.check_return(handle, title)
                break
            if not handled:
                ok, fields = self.driver("menu")
                if ok and fields[0] == "1":
                    handled = True
                    pick = self.menus.pop(0) if self.menus else "none"
                    self.note(f"context menu: {pick}")
                    if pick in MENU_DOWNS:
                        for _ in range(MENU_DOWNS[pick]):
                            self.driver("key", "Down")
                        self.driver("key", "Enter")
                    else:
                        self.driver("key", "Escape")
            if not handled:
                return
            self.focus_after = None  # a box or menu took the focus for a while
            time.sleep(0.2)
            if self.running():
                self.driver("settle")

    def after_action(self):
        if not self.running():
            return
        self.driver("settle")
        self.handle_popups()
        self.look_at_page()

    def look_at_page(self):
        if not self.running():
            return
        ok, fields = self.driver("page")
        page = fields[0] if ok and fields else None
        if not page or page == self.page:
            return
        self.page = page
        if page in self.pages_seen:
            return
        self.pages_seen.add(page)
        if self.args.screenshots:
            self.screenshot(page)
        if self.args.access:
            # Names of the focusable controls and the Tab order: one line for the page, and
            # each finding that failed.
            ok, lines = self.driver("access")
            bad = [line.split(" ", 1)[1] for line in lines if not line.startswith("ok ")]
            for line in bad:
                self.report(False, f"page {page} access: {line}")
            if ok and not bad:
                stops = next((line for line in lines if " tab stops:" in line), "")
                self.report(True, f"page {page} access: every focusable control named, "
                            f"Tab in creation order ({stops.split(':', 1)[-1].strip()})")
            if self.args.verbose:
                for line in lines:
                    self.note(line)

    def screenshot(self, page):
        ok, rect = self.driver("rect")
        self.args.screenshots.mkdir(parents=True, exist_ok=True)
        command = ["import", "-window", "root"]
        if ok:
            left, top, width, height = (int(v) for v in rect)
            command += ["-crop", f"{width}x{height}+{max(left, 0)}+{max(top, 0)}", "+repage"]
        subprocess.run(command + [str(self.args.screenshots / f"{page}.png")],
                       capture_output=True, timeout=30)

    # ---- expectations ----
    def holds(self, words):
        """(holds, what was seen) for one expectation."""
        kind, a = words[0], words[1:]
        if kind not in PATH_EXPECT:
            # Texts that name the machine's folders name the prefix's under Wine.
            a = [self.same_paths(self.wine_text(w)) for w in a]
        d = self.driver
        if kind == "exited":
            # The process ends a moment after its last window: give it that moment.
            ok, still = d("wait-exit", "5000")
            return still[0] == "0", "running" if still[0] == "1" else "ended"
        if kind == "running":
            return self.running(), "running" if self.running() else "ended"
        if kind == "message":
            for box in self.boxes:
                if not box[2]:
                    box[2] = True
                    return [box[0], self.same_paths(box[1])] == a[:2], f"\"{box[0]}\": \"{box[1]}\""
            return False, "no box"
        if kind == "no-message":
            unexpected = [b for b in self.boxes if not b[2]]
            return not unexpected, "; ".join(f"\"{b[0]}\": \"{b[1]}\"" for b in unexpected)
        if kind == "window-restored":
            ok, shows = d("shows")
            seen = shows[0] if ok else ""
            order = seen.find("h") >= 0 and seen.find("m", seen.find("h")) >= 0 and \
                seen.find("r", seen.find("m", seen.find("h"))) >= 0
            return order, f"shown as {seen!r}"
        if kind.startswith("file") or kind in ("no-file", "same-as-machine"):
            path = self.unix(a[0])
            data = path.read_bytes() if path.is_file() else None
            if kind == "no-file":
                return data is None, "exists" if data is not None else "none"
            if data is None:
                return False, "no file"
            if kind == "file":
                return data == (self.folder / a[1]).read_bytes(), f"{len(data)} bytes"
            if kind == "same-as-machine":
                original = unix_under(self.machine / "drive_c", a[0])
                return original.is_file() and data == original.read_bytes(), f"{len(data)} bytes"
            want = a[1].encode("cp1252")
            crlf = want.replace(b"\n", b"\r\n")
            if kind == "file-text":
                return data in (want, crlf), repr(data[:200])
            return want in data or crlf in data, repr(data[:200])
        if not self.running():
            return False, "the installer has ended"
        if kind == "page":
            ok, f = d("page")
            return ok and f[0] == a[0], f"page {f[0] if ok else f}"
        if kind == "title":
            ok, f = d("title")
            return ok and f[0] == a[0], repr(f[0] if f else "")
        if kind == "focus-order":
            return self.focus_order_holds(a)
        if kind == "focus":
            if self.focus_after is not None and not self.polling:
                # As on the simulated Windows: the focus the action left, before the
                # deferred focus of a page (50 idle ticks later) moved it on.
                return self.focus_after == a[0], f"focus on {self.focus_after} after the action"
            ok, f = d("focus")
            return ok and f[0] == a[0], f"focus on {f[0] if f else '?'}"
        if kind in ("text", "text-contains"):
            ok, f = d("text", a[0])
            seen = self.same_paths(f[0].replace("\r\n", "\n")) if ok else ""
            good = seen == a[1] if kind == "text" else a[1] in seen
            return ok and good, repr(seen if ok else f)
        if kind in ("visible", "hidden", "enabled", "disabled", "checked", "unchecked"):
            ok, f = d("state", a[0])
            if not ok:
                return False, f[0]
            visible, enabled, checked = (v == "1" for v in f)
            value = {"visible": visible, "hidden": not visible, "enabled": enabled,
                     "disabled": not enabled, "checked": checked, "unchecked": not checked}[kind]
            return value, f"visible={int(visible)} enabled={int(enabled)} checked={int(checked)}"
        if kind == "items":
            ok, f = d("items", a[0])
            return ok and f == a[1:], repr(f)
        if kind == "rows":
            ok, rows = d("rows")
            if not ok or len(rows) != len(a):
                return False, repr(rows)
            for row, want in zip(rows, a):
                if want.startswith(("[x] ", "[ ] ")):
                    good = row.startswith(want)
                else:
                    good = row[4:].startswith(want)
                if not good:
                    return False, repr(rows)
            return True, repr(rows)
        if kind in ("log-contains", "progress-contains", "log-line"):
            ok, f = d("text", "98" if kind == "progress-contains" else "100")
            lines = self.same_paths(f[0].replace("\r\n", "\n")).split("\n") if ok else []
            if kind == "log-line":
                n = int(a[0])
                seen = lines[n - 1] if 0 < n <= len(lines) else None
                return seen == a[1], repr(seen)
            return any(a[0] in line for line in lines), f"{len(lines)} lines"
        raise ScenarioError(f"unknown expectation {kind}")

    def expect(self, number, words):
        # The focus order is made of events that come in on their own: waited for too.
        waits = self.poll or words[0] == "focus-order"
        deadline = time.time() + (self.args.poll_seconds if waits else 0)
        self.polling, self.poll = self.poll, False
        while True:
            good, seen = self.holds(words)
            if good or time.time() >= deadline:
                break
            time.sleep(0.1)
            self.handle_popups()
        self.report(good, f"line {number}: expect {' '.join(words)}" +
                    ("" if good else f" (seen: {seen})"))

    # ---- actions ----
    def act(self, number, words):
        command, a = words[0], words[1:]
        d = self.driver
        if command == "answer" and 1 <= len(a) <= 2 and a[0] in ("Ok", "Yes", "No"):
            self.answers.append((a[0], a[1] if len(a) > 1 else None))
            return
        if command == "folder" and len(a) == 1:
            self.folders.append(a[0])
            return
        if command == "menu" and len(a) == 1:
            self.menus.append(a[0])
            return
        if command == "idle" and len(a) == 1:
            self.poll = True
            self.focus_after = None
            return
        if not self.running():
            self.report(False, f"line {number}: {' '.join(words)} (the installer has ended)")
            return
        self.mark_action(" ".join(words))
        if command == "press" and len(a) == 1:
            result = d("press", a[0])
        elif command == "key" and len(a) == 1:
            if a[0] not in KEYS:
                raise ScenarioError(f"line {number}: unknown key {a[0]}")
            result = d("key", a[0])
        elif command in ("choose", "type") and len(a) == 2:
            result = d(command, a[0], a[1])
        elif command in ("check", "uncheck", "select") and len(a) == 1:
            result = d("row", command, a[0])
        elif command == "rightclick" and not a:
            result = d("rightclick")
        elif command in ("switch-away", "switch-back") and not a:
            result = d(command)
            if result[0] and result[1][0] != "1":
                self.report(False, f"line {number}: {command}: the activation did not move")
        elif command == "close" and not a:
            result = d("close")
        else:
            raise ScenarioError(f"line {number}: unknown command {' '.join(words)}")
        if not result[0]:
            self.report(False, f"line {number}: {' '.join(words)} ({result[1][0]})")
        ok, f = d("focus")
        self.focus_after = f[0] if ok and f else None
        self.after_action()

    def start(self):
        d = self.driver
        self.mark_action("start")
        for attempt in (1, 2):
            ok, fields = d("launch", self.program_windows, self.current_windows)
            if not ok:
                self.report(False, f"start: {fields[0] if fields else 'no answer'}")
                return
            ok, shown = d("wait-window", "20000")
            self.started = True
            box = False
            # Boxes at start-up come before the window; give them time to show.
            for _ in range(30):
                ok, fields = d("dialogs")
                box = ok and bool(fields)
                if box or not self.running():
                    break
                ok, shown = d("wait-window", "0")
                if shown[0] == "1":
                    break
                time.sleep(0.1)
            ok, state = d("running")
            if box or not ok or state[0] == "1" or state[1] == "0":
                break
            # Ended with an error code before any window or box: said, and once started
            # again, since a failed start of Wine's own under load looks the same.
            self.note(f"the installer ended at start-up with exit code {state[1]}, no window "
                      f"and no box" + ("; started again" if attempt == 1 else ""))
        self.after_action()

    # ---- the focus timeline ----
    def read_timeline(self):
        """Fetches the events recorded since the last fetch; answers the driver's tick now."""
        ok, fields = self.driver("timeline", len(self.timeline))
        if not ok:
            return None
        for field in fields[2:]:
            tick, kind, what = field.split(" ", 2)
            self.timeline.append((int(tick), kind, what))
        return int(fields[1])

    def mark_action(self, action):
        tick = self.read_timeline()
        self.mark = len(self.timeline)
        self.marks.append((action, tick, self.mark))

    def focus_order_holds(self, wanted):
        """The controls of the window that got the focus since the last action, a control
        named once for each stay: the wanted ones must come in that order (others may come
        between them, such as the button pressed), and the last must be the last one."""
        self.read_timeline()
        path = []
        for _, kind, what in self.timeline[self.mark:]:
            if kind == "focus" and what.isdigit() and (not path or path[-1] != what):
                path.append(what)
        rest = iter(path)
        good = bool(path) and all(c in rest for c in wanted) and path[-1] == wanted[-1]
        return good, "focus went to " + (" ".join(path) or "no control")

    def check_kept(self, handle, title):
        """A box must stay in front for a person to read it: one second after it came to the
        front it must still be there, with the focus in it (a program the installer started
        may take the foreground a moment after the box came)."""
        now = self.read_timeline()
        came = next((t for t, kind, what in reversed(self.timeline)
                     if kind == "foreground" and what == "box " + title), None)
        if now is not None and came is not None and now - came < KEPT_MS:
            time.sleep((KEPT_MS - (now - came)) / 1000)
        ok, fields = self.driver("dialogs")
        mine = [fields[i + 5] for i in range(0, len(fields) - 5, 6) if ok and fields[i] == handle]
        if mine and mine[0] != "active":
            self.read_timeline()
            taker = next((what for t, kind, what in reversed(self.timeline)
                          if kind == "foreground"), "?")
            self.report(False, f"box \"{title}\" lost the front (to {taker}) before it was "
                               "answered: a screen reader stops reading it")

    def check_return(self, handle, title):
        """Once a box is closed the focus must be back on a control of the page that a person
        lands on (not the bare window, not nothing), in the window in front, within three
        seconds; a stop on the bare window on its way there (a screen reader would read out
        the window) is noted; or the next box has come, which is checked in its turn."""
        start = len(self.timeline)
        seen = "the box stayed open"
        for _ in range(30):
            time.sleep(0.1)
            if not self.running():
                return
            ok, fields = self.driver("dialogs")
            handles = [fields[i] for i in range(0, len(fields) - 5, 6)] if ok else []
            if handle in handles:
                continue
            if handles:
                return
            # Landed on a control: seen in the timeline (the installer may be ending already,
            # after a box that quits it) or now.
            self.read_timeline()
            stops = [what for _, kind, what in self.timeline[start:]
                     if kind == "focus" and not what.startswith("box ")]
            landed = any(what.isdigit() and what not in PAGES for what in stops)
            ok, f = self.driver("foreground")
            if landed or (ok and f[0] == "window" and f[2] == "1"):
                if stops and stops[0] == "window":
                    # Noted, not failed: under Wine the owner window is seen focused for a
                    # moment now and then as a box closes, before its activation handler
                    # moves the focus on (once in about five runs of the whole suite).
                    self.note(f"after box \"{title}\": the focus went to the bare window "
                              "before a control")
                return
            seen = f"{f[0]} in front, the focus on {f[1] if f[1] != '0' else 'no control'}" \
                if ok else "?"
        self.report(False, f"after box \"{title}\": the focus is not back on a control of the "
                           f"page ({seen})")

    def timeline_report(self):
        """Notes how long the focus took to get where it goes: after each action to the first
        control, between the last two controls (the deferred focus of a page), into each box
        from its coming to the front, and back to a control after each box."""
        self.read_timeline()
        events = self.timeline

        def first(start, test):
            return next((e for e in events[start:] if test(e)), None)

        first_focus, deferred = [], []
        if self.args.timeline and self.marks and self.marks[0][2] > 0:
            seen = ", ".join(f"{kind} {what}" for _, kind, what in events[:self.marks[0][2]])
            self.note(f"timeline before the start: {seen}")
        ends = [m[2] for m in self.marks[1:]] + [len(events)]
        for (action, tick, start), end in zip(self.marks, ends):
            stops = []
            for t, kind, what in events[start:end]:
                if kind == "focus" and what.isdigit() and (not stops or stops[-1][1] != what):
                    stops.append((t, what))
            if self.args.timeline and tick is not None:
                seen = ", ".join(f"{kind} {what} +{t - tick}" for t, kind, what in events[start:end])
                self.note(f"timeline {action}: {seen or 'nothing'}")
            if stops and tick is not None and action != "start":
                first_focus.append(stops[0][0] - tick)
            if len(stops) >= 2 and not action.startswith("press 5"):
                deferred.append(stops[-1][0] - stops[-2][0])
        into_box = []
        for i, (t, kind, what) in enumerate(events):
            if kind == "foreground" and what.startswith("box "):
                inside = first(i, lambda e, w=what: e[1] == "focus" and e[2].startswith(w + ":"))
                if inside is not None:
                    into_box.append(max(0, inside[0] - t))
        back = []
        for title, tick, start in self.box_closes:
            landed = first(start, lambda e: e[1] == "focus" and e[2].isdigit())
            if landed is not None and tick is not None and landed[0] - tick < 3000:
                back.append(max(0, landed[0] - tick))

        def spread(values):
            return (f"{len(values)}, median {sorted(values)[len(values) // 2]} ms, "
                    f"at most {max(values)} ms") if values else "none"

        self.note(f"timeline: {len(events)} events; action to first focus: {spread(first_focus)};"
                  f" last focus step of an action: {spread(deferred)}; box in front to focus "
                  f"in it: {spread(into_box)}; box answered to focus on a control: {spread(back)}")

    # ---- the resulting tree, against the simulated run ----
    def compare_with_simulation(self, before):
        """Checks that the run changed the same files, byte for byte, as vuni-sim's run of
        the scenario did on the simulated Windows."""
        run = subprocess.run([str(self.args.vuni_sim), "--keep", "--vunipack",
                              str(self.args.vunipack), str(self.scenario)],
                             capture_output=True, timeout=600)
        kept = re.search(rb"sandbox kept: ([^\r\n]*)", run.stderr)
        if kept is None:
            self.report(False, f"tree: the simulated run left no sandbox (exit code "
                        f"{run.returncode})")
            return
        sandbox = Path(os.fsdecode(kept.group(1)))
        try:
            if run.returncode != 0:
                self.report(False, f"tree: the simulated run failed (exit code {run.returncode})")
            wine = result_tree.wine_changes(self.prefix / "drive_c", before, self.machine_path)
            sim = result_tree.sim_changes(self.machine / "drive_c", sandbox / "root" / "c")
            # The stand-ins' journals name files: under Wine as the installer spelt them,
            # natively as the simulated Windows found them on disk (Linux names are exact).
            # Both are named as the machine's and compared without regard to case.
            for changes, fix in ((wine, self.machine_bytes), (sim, bytes)):
                for key, (path, data) in changes.items():
                    if data is not None and key.endswith(".journal"):
                        changes[key] = (path, fix(data).lower())
            excluded = {self.program_machine.lower()}
            excluded |= {self.planted_mark(dll).lower() for dll in self.planted}
            # The programs stood in for, and the stand-ins the process lines put in place.
            excluded |= {path.lower() for path, _ in self.machine_ini.get("standins", [])}
            excluded |= {path.lower() for path in self.processes}
            differences = result_tree.compare(wine, sim, excluded)
            for line in differences:
                self.report(False, "tree: " + line)
            if not differences:
                count = len(sim.keys() - excluded)
                self.report(True, f"tree: the same {count} changed files as the simulated run")
        finally:
            shutil.rmtree(sandbox, ignore_errors=True)

    @staticmethod
    def planted_mark(dll):
        """The mark a planted DLL leaves when a program loads it (tests/wine/planted_dll.c)."""
        return f"C:\\vuni-planted\\{dll.stem}.mark"

    def check_planted(self):
        """One line for each planted DLL: no program of the run may have loaded it."""
        for dll in self.planted:
            mark = self.unix(self.planted_mark(dll))
            if mark.is_file():
                loaders = sorted(set(mark.read_bytes().decode("cp1252").splitlines()) - {""})
                self.report(False, f"planted {dll.name}: loaded by {', '.join(loaders)}")
            else:
                self.report(True, f"planted {dll.name}: not loaded")

    def finish(self):
        if self.started:
            self.timeline_report()
        if self.started and self.running():
            self.driver("close")
            for _ in range(50):
                self.handle_popups()
                ok, still = self.driver("wait-exit", "200")
                if still[0] == "0":
                    break

    def play(self, steps):
        step_ticks = []  # (line, the driver's tick as it began), for the boxes' times
        for number, words in steps:
            began = time.perf_counter()
            if self.args.timings and self.started:
                step_ticks.append((number, self.read_timeline()))
            self.play_step(number, words)
            if self.args.timings:
                print(f"time line {number}: {(time.perf_counter() - began) * 1000:.1f} ms",
                      flush=True)
            if words[0] == "sim-only":
                break
        if self.args.timings and self.started:
            self.read_timeline()
            self.box_times(step_ticks)
        self.finish()

    def box_times(self, step_ticks):
        """When each box came to the front, from the start of the line that brought it: the
        time an action took, without what the player does to check and answer the box."""
        for tick, kind, what in self.timeline:
            if kind != "foreground" or not what.startswith("box "):
                continue
            began = [(n, t) for n, t in step_ticks if t is not None and t <= tick]
            if began:
                number, start = began[-1]
                print(f"time {what} after line {number}: {tick - start} ms", flush=True)

    def play_step(self, number, words):
        command = words[0]
        if command == "sim-only":
            self.note(f"line {number}: the rest is played by vuni-sim only")
        elif command == "wine-only":
            pass
        elif command == "start":
            self.start()
        elif command == "expect":
            if len(words) < 2:
                raise ScenarioError(f"line {number}: expect what?")
            self.expect(number, words[1:])
        else:
            self.act(number, words)


def run(args, player_class=None):
    """Plays args.scenario; player_class, a Player with more expectations, plays it instead."""
    try:
        steps = parse(args.scenario)
    except (OSError, UnicodeDecodeError, ScenarioError) as e:
        print(f"scenario: {e}")
        return WRONG
    player = (player_class or Player)(args, args.scenario.resolve())
    try:
        rest = player.setup(steps)
    except ScenarioError as e:
        print(f"scenario: {e}")
        return WRONG
    if rest is None:
        print("SKIP: the scenario is played by vuni-sim only")
        return SKIP
    with tempfile.TemporaryDirectory(prefix="vuni-scenario-") as work:
        work = Path(work)
        player.make_prefix(work)
        try:
            player.place_program(work)
            player.driver = Driver(args.build / "tools" / "wine-driver" / "vuni-driver.exe",
                                   player.env, player.wine_messages(work))
            # Before the machine's processes start: the stand-in screen reader's journal
            # is part of the result, as it is on the simulated Windows.
            before = result_tree.file_states(player.prefix / "drive_c")
            player.start_processes()
            player.play(rest)
        except ScenarioError as e:
            print(f"scenario: {e}")
            return WRONG
        except CannotRun as e:
            print(f"SKIP: {e}")
            return SKIP
        finally:
            if player.driver is not None:
                player.driver.close()
            subprocess.run(["wineserver", "-k"], env=player.env, capture_output=True)
            subprocess.run(["wineserver", "-w"], env=player.env, capture_output=True)
            for server in player.servers:
                server.shutdown()  # the simulated run serves on the same port
                server.server_close()
        player.check_planted()
        one_way = any(words[0] in ("sim-only", "wine-only") for _, words in steps)
        if args.vuni_sim is None or not args.vuni_sim.is_file():
            player.note("tree not compared: no vuni-sim")
        elif one_way:
            player.note("tree not compared: part of the scenario is played one way only")
        else:
            player.compare_with_simulation(before)
    print(f"{player.checks - player.failures} passed, {player.failures} failed")
    return FAILED if player.failures else 0


def main():
    source = Path(__file__).resolve().parents[2]
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("scenario", type=Path)
    parser.add_argument("--source", type=Path, default=source)
    parser.add_argument("--build", type=Path, default=source / "build" / "mingw-x86_64",
                        help="a Windows build: mingw-x86_64 or the shipping mingw-i686")
    parser.add_argument("--wine-root", choices=KINDS, default="auto",
                        help="the Wine that plays it: the host's (x86_64 only), or wine32 in a "
                             "cached root with a 64-bit (wow64) or 32-bit (win32) Windows; "
                             "auto: host for x86_64, wow64 for i686")
    parser.add_argument("--vunipack", type=Path,
                        default=source / "build" / "native" / "tools" / "vunipack" / "vunipack")
    parser.add_argument("--vuni-sim", type=Path,
                        default=source / "build" / "native" / "tools" / "vuni-sim" / "vuni-sim",
                        help="compare the resulting files with its run of the scenario")
    parser.add_argument("--screenshots", type=Path, help="one PNG per page shown, by number")
    parser.add_argument("--template-dir", type=Path,
                        help="keep one prefix per machine there and copy it for each run")
    parser.add_argument("--verbose", action="store_true", help="every accessibility finding")
    parser.add_argument("--timeline", action="store_true",
                        help="the focus and foreground changes after each action, with the "
                             "milliseconds since it")
    parser.add_argument("--plant", type=Path,
                        help="a folder of DLLs named like Windows' own (tests/wine/planted_dll.c) "
                             "to place beside the program, with Wine told to prefer them to its "
                             "own; each one a program loads fails the run")
    parser.add_argument("--timings", action="store_true",
                        help='print how long each step took ("time line N: MS ms")')
    parser.add_argument("--poll-seconds", type=float, default=POLL_SECONDS,
                        help="how long an expectation waits to hold (a long install may need "
                             "more than the default)")
    parser.add_argument("--no-access", dest="access", action="store_false",
                        help="leave out the accessibility checks of each new page")
    args = parser.parse_args()
    needed = [stub_of(args.build),
              args.build / "tools" / "wine-driver" / "vuni-driver.exe",
              args.build / "standins" / "jfw.exe", args.vunipack]
    missing = [str(p) for p in needed if not p.is_file()]
    if missing:
        print("SKIP: missing " + ", ".join(missing))
        return SKIP
    args.wine = WineForBuild(args.build, args.wine_root)
    if args.wine.skip:
        print("SKIP: " + args.wine.skip)
        return SKIP
    if not os.environ.get("DISPLAY"):
        if shutil.which("xvfb-run") is None:
            print("SKIP: no display and no xvfb-run")
            return SKIP
        return subprocess.run(["xvfb-run", "-a", "-s", f"-screen 0 {SCREEN}", sys.executable,
                               *sys.argv]).returncode
    print(f"     {args.wine.describe()}", flush=True)
    return run(args)


if __name__ == "__main__":
    sys.exit(main())
