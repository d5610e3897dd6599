#!/usr/bin/env python3
"""What a screen reader hears of each control that takes the focus, on every page, under Wine.

Walks the wizard with the blocnotes package (tools/wine/play-scenario.py plays the walk below)
and, on each page, asks oleacc through the driver for the name, role, state and keyboard
shortcut of every shown, enabled tab stop, in Tab order (vuni-driver `names`:
AccessibleObjectFromWindow with OBJID_CLIENT, then get_accName, get_accRole, get_accState and
get_accKeyboardShortcut), and compares them with the table below: the labels' texts as a
screen reader says them, without "&" and without trailing blanks or colons.

Where Wine's oleacc cannot give what Windows gives, and only there, the output says so and
the test checks what it can instead:
- Wine 8 names a drop-down list by its selected item and a list view not at all; it does not
  look for their label, and its annotation service, through which the window names them,
  answers every call with E_NOTIMPL. Then oleacc must have given exactly the selected item
  (nothing, for the list); the last name the installer handed to the annotation service for
  that control, as Wine's own message of the unimplemented call shows it
  (WINEDEBUG=fixme+oleacc), must be the expected one; and so must the structural name (the
  label made just before the control, which Windows' oleacc reads when nothing else names it).
- Wine 8 has no accessible object of its own for buttons, check boxes, drop-down lists and
  list views: it gives them the generic client role.
Exit code 77 (skipped) when the build, Wine or a display is missing.
"""
import argparse
import importlib.util
import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
SOURCE = HERE.parents[1]
sys.path.insert(0, str(SOURCE / "tools" / "wine"))
_spec = importlib.util.spec_from_file_location("play_scenario",
                                               SOURCE / "tools" / "wine" / "play-scenario.py")
play = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(play)
from wine_for_build import KINDS, WineForBuild, stub_of  # noqa: E402

SKIP = 77

# Roles and states of oleacc.h.
ROLES = {0x0A: "client", 0x21: "list", 0x2A: "text", 0x2B: "push button",
         0x2C: "check box", 0x2E: "combo box"}
UNAVAILABLE, READONLY, FOCUSABLE = 0x1, 0x40, 0x100000
WINE_CLIENT_ROLE = {"push button", "check box", "combo box", "list"}

# The expected table: for each stop of the walk, every tab stop in Tab order, with its name,
# role, whether it is read-only, and its keyboard shortcut.
BUTTONS_NEXT = [(2, "Suivant", "push button", False, "Alt+S"),
                (1, "Aide", "push button", False, "")]
PREVIOUS = (3, "Précédent", "push button", False, "Alt+P")
CANCEL = (4, "Annuler", "push button", False, "")
NAVIGATION = BUTTONS_NEXT + [PREVIOUS, CANCEL]
SHARED = (63, 'Ajouter les dossier des "paramètres partagés" à la liste', "check box", False, "")
PROGRESS = (98, "Déroulement des opérations", "text", True, "")
EXPECTED = {
    "welcome": [(9, "Script", "text", True, ""), (11, "Auteur", "text", True, ""),
                (13, "Contact", "text", True, ""), (15, "Recommandé", "text", True, ""),
                (17, "Site de l'auteur", "push button", False, ""),
                (18, "Site de l'application", "push button", False, ""),
                (16, "Vérifier si il existe une nouvelle version", "push button", False, ""),
                *BUTTONS_NEXT, CANCEL],
    "operation": [(73, "Sélectioner une action à réaliser", "combo box", False, ""),
                  (74, "Redémarer Jaws en fin d'opération", "check box", False, ""),
                  *NAVIGATION],
    "folder-install": [SHARED,
                       (65, "Sélectionner le dossier d'installation", "combo box", False, ""),
                       (67, "Sélectionner la langue de jaws", "combo box", False, ""),
                       *NAVIGATION],
    "folder-copy": [SHARED, (65, "Sélectionner le dossier pour la copie", "combo box", False, ""),
                    (69, "Choix du dossier", "text", True, ""),
                    (70, "Parcourir", "push button", False, ""), *NAVIGATION],
    "group": [(83, "Sélectionner un groupe de fichier script pour", "combo box", False, ""),
              *NAVIGATION],
    "files-install": [(85, "Afficher menu contextuel", "push button", False, ""),
                      (87, "Groupe de fichiers scripts, de Jaws 2020, à installer", "list",
                       False, ""),
                      (91, "Alias", "text", False, ""), *NAVIGATION],
    "files-copy": [(85, "Afficher menu contextuel", "push button", False, ""),
                   (87, "Groupe de fichiers scripts, de Jaws 2020, à copier", "list", False, ""),
                   *NAVIGATION],
    "install-before": [PROGRESS, (5, "Copier", "push button", False, ""),
                       (1, "Aide", "push button", False, ""), PREVIOUS, CANCEL],
    # Right after the run, Help stays; shown again (from help), the page has Cancel alone.
    "install-after": [PROGRESS, (1, "Aide", "push button", False, ""),
                      (4, "Fermer", "push button", False, "")],
    "install-again": [PROGRESS, (4, "Fermer", "push button", False, "")],
    "help": [(103, "Source", "text", True, ""), (104, "Source", "text", True, ""), PREVIOUS],
    "file-viewer": [(103, "Fichier interne", "text", True, ""),
                    (104, "Fichier interne", "text", True, ""), PREVIOUS],
    "log": [(100, "Journal technique", "text", True, ""), PREVIOUS],
}

# Every page, the Folder and Files pages in both kinds (install into a settings folder, copy
# to a free folder), the Install page before and after a run.
WALK = """\
machine jaws11
package "{package}"
start
idle 100
expect page 6
expect names welcome
press 2
expect page 71
expect names operation
choose 73 "Installer les fichiers"
press 2
expect page 62
expect names folder-install
press 2
expect page 80
expect names group
press 2
expect page 84
expect names files-install
select "notepad.jss"
menu 128
key Apps
expect page 101
expect names file-viewer
press 3
expect page 84
key F1
expect page 101
expect names help
press 3
expect page 84
key Alt+F1
expect page 99
expect names log
press 3
press 3
expect page 80
press 3
expect page 62
press 3
expect page 71
choose 73 "Copier les fichiers dans un dossier"
press 2
expect page 62
expect names folder-copy
press 2
press 2
expect page 84
expect names files-copy
press 2
expect page 96
expect names install-before
press 5
expect message "Info" "Toutes les opérations ont été éffectué avec succés !"
expect page 96
expect names install-after
key F1
expect page 101
press 3
expect page 96
expect names install-again
"""


# Wine's message for each name handed to its annotation service: the window handle and the
# name, escaped as Wine writes texts (a UTF-16 unit outside ASCII as "\\00e9").
ANNOTATION = re.compile(r'AccPropServices_SetHwndPropStr \(([0-9A-Fa-f]+) \S+ \S+ '
                        r'\{608d3df8-8128-4aa7-a428-f55e49267291\} L"(.*)"\)\s*$')
ESCAPES = {"n": "\n", "r": "\r", "t": "\t", '"': '"', "\\": "\\"}


def unescape(text):
    """A text as Wine's messages write it, back as it was."""
    out, i = "", 0
    while i < len(text):
        if text[i] == "\\" and re.fullmatch(r"[0-9a-fA-F]{4}", text[i + 1:i + 5]):
            out, i = out + chr(int(text[i + 1:i + 5], 16)), i + 5
        elif text[i] == "\\" and i + 1 < len(text):
            out, i = out + ESCAPES.get(text[i + 1], text[i + 1]), i + 2
        else:
            out, i = out + text[i], i + 1
    return out


def spoken(text):
    """A name as a screen reader says it: no "&" mark ("&&" is one "&"), no trailing blanks
    or colons."""
    out, i = "", 0
    while i < len(text):
        if text[i] == "&":
            i += 1
        if i < len(text):
            out += text[i]
        i += 1
    return out.rstrip(" :")


class NamesPlayer(play.Player):
    """The scenario player with one more expectation: `expect names STOP`, the tab stops of
    the shown page against EXPECTED[STOP]."""

    messages = None

    def make_prefix(self, work):
        super().make_prefix(work)
        self.env["WINEDEBUG"] = "-all,fixme+oleacc"

    def wine_messages(self, work):
        self.messages = work / "wine-messages.txt"
        return open(self.messages, "wb")

    def annotations(self):
        """{window handle: the last name handed to Wine's annotation service for it}."""
        names = {}
        text = self.messages.read_bytes().decode("utf-8", errors="replace")
        for line in text.splitlines():
            found = ANNOTATION.search(line)
            if found:
                names[int(found.group(1), 16)] = unescape(found.group(2))
        return names

    def holds(self, words):
        if words[0] != "names":
            return super().holds(words)
        want = EXPECTED[words[1]]
        ok, fields = self.driver("names")
        stops = [fields[i:i + 7] for i in range(0, len(fields) - 6, 7)] if ok else []
        faults = []
        numbers = [int(stop[0]) for stop in stops]
        if numbers != [w[0] for w in want]:
            faults.append(f"tab stops {numbers}, expected {[w[0] for w in want]}")
        for stop, (number, name, role, read_only, shortcut) in zip(stops, want):
            faults += self.check_stop(stop, name, role, read_only, shortcut)
        return not faults, "; ".join(faults)

    def check_stop(self, stop, name, role, read_only, shortcut):
        number, acc_name, acc_role, acc_state, acc_shortcut, structural, handle = stop
        acc_role = ROLES.get(int(acc_role), f"role {acc_role}")
        state = int(acc_state, 16)
        faults, how = [], "oleacc"
        heard = spoken(acc_name)
        if heard != name:
            # Wine's gaps only: a drop-down named by its selected item, a list not named.
            gap = (role == "combo box" and acc_name == self.driver("text", number)[1][0]) or \
                (role == "list" and not acc_name)
            annotated = self.annotations().get(int(handle))
            if gap and annotated == name and spoken(structural) == name:
                heard, how = annotated, ("annotation, Wine's oleacc not reading it: "
                                         f"{acc_name!r}; structural label agrees")
            else:
                faults.append(f"{number} named {heard!r} (annotation {annotated!r}, structural "
                              f"{structural!r}), expected {name!r}")
        if acc_role != role and not (acc_role == "client" and role in WINE_CLIENT_ROLE):
            faults.append(f"{number} role {acc_role}, expected {role}")
        if not state & FOCUSABLE or state & UNAVAILABLE:
            faults.append(f"{number} state {acc_state}: not focusable, or unavailable")
        if bool(state & READONLY) != read_only:
            faults.append(f"{number} state {acc_state}: " +
                          ("not read-only" if read_only else "read-only"))
        if acc_shortcut != shortcut:
            faults.append(f"{number} keyboard shortcut {acc_shortcut!r}, expected {shortcut!r}")
        self.note(f"{number:>4} {heard!r} ({how}), {acc_role}, state {acc_state}"
                  + (f", {acc_shortcut}" if acc_shortcut else ""))
        return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--build", type=Path, required=True, help="a Windows build tree")
    parser.add_argument("--wine-root", choices=KINDS, default="auto")
    parser.add_argument("--vunipack", type=Path, required=True)
    parser.add_argument("--template-dir", type=Path)
    args = parser.parse_args()
    driver = args.build / "tools" / "wine-driver" / "vuni-driver.exe"
    missing = [str(p) for p in (stub_of(args.build), driver, args.build / "standins" / "jfw.exe",
                                args.vunipack) if not p.is_file()]
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
        return subprocess.run(["xvfb-run", "-a", "-s", f"-screen 0 {play.SCREEN}",
                               sys.executable, *sys.argv]).returncode
    print(f"     {args.wine.describe()}", flush=True)
    # What play-scenario.py's own options would give: no tree comparison (the walk's copy is
    # not what is checked), the accessibility check of each new page and Tab order kept.
    args.source, args.vuni_sim, args.plant = SOURCE, None, None
    args.screenshots, args.verbose, args.access = None, False, True
    args.timeline, args.timings, args.poll_seconds = False, False, play.POLL_SECONDS
    with tempfile.TemporaryDirectory(prefix="vuni-names-") as folder:
        args.scenario = Path(folder) / "names.scenario"
        args.scenario.write_text(WALK.format(package=SOURCE / "examples" / "blocnotes"),
                                 encoding="utf-8")
        return play.run(args, NamesPlayer)


if __name__ == "__main__":
    sys.exit(main())
