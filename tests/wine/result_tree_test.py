#!/usr/bin/env python3
"""The comparison of a Wine run's changed files with the simulated run's (tools/wine)."""
import sys
import tempfile
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools" / "wine"))
import result_tree  # noqa: E402


def put(root, rel, data):
    path = Path(root) / rel
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_bytes(data)


class ResultTree(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.root = Path(self.dir.name)

    def tearDown(self):
        self.dir.cleanup()

    def test_simulated_changes_against_the_machine(self):
        machine, sandbox = self.root / "machine", self.root / "sandbox"
        for tree in (machine, sandbox):
            put(tree, "Users/alice/same.txt", b"same")
        put(machine, "Users/alice/Old.ini", b"old")
        put(sandbox, "users/ALICE/old.INI", b"new")  # changed, spelt otherwise
        put(machine, "gone.txt", b"x")
        put(sandbox, "Scripts/added.jss", b"added")
        changes = result_tree.sim_changes(machine, sandbox)
        self.assertEqual(changes, {
            "c:\\users\\alice\\old.ini": ("C:\\users\\ALICE\\old.INI", b"new"),
            "c:\\gone.txt": ("C:\\gone.txt", None),
            "c:\\scripts\\added.jss": ("C:\\Scripts\\added.jss", b"added"),
        })

    def test_wine_changes_mapped_to_the_machine(self):
        drive = self.root / "drive_c"
        put(drive, "users/root/AppData/Roaming/a.jss", b"a")
        put(drive, "users/root/AppData/Roaming/rewritten.jss", b"r")
        put(drive, "removed.txt", b"x")
        put(drive, "windows/system32/ignored.dll", b"1")
        before = result_tree.file_states(drive)
        self.assertNotIn("windows/system32/ignored.dll", before)
        put(drive, "users/root/AppData/Roaming/a.jss", b"A")
        put(drive, "users/root/AppData/Roaming/rewritten.jss", b"r")  # same bytes again
        (drive / "removed.txt").unlink()
        put(drive, "windows/system32/ignored.dll", b"2")

        def to_machine(path):
            return path.replace("C:\\users\\root", "C:\\Users\\alice")
        changes = result_tree.wine_changes(drive, before, to_machine)
        self.assertEqual(changes, {
            "c:\\users\\alice\\appdata\\roaming\\a.jss":
                ("C:\\Users\\alice\\AppData\\Roaming\\a.jss", b"A"),
            "c:\\removed.txt": ("C:\\removed.txt", None),
        })

    def test_every_kind_of_difference_is_told(self):
        wine = {"c:\\a": ("C:\\a", b"1"), "c:\\b": ("C:\\b", b"2"), "c:\\w": ("C:\\w", None),
                "c:\\x": ("C:\\x", b"left out")}
        sim = {"c:\\a": ("C:\\a", b"1"), "c:\\b": ("C:\\B", b"22"), "c:\\s": ("C:\\s", b"s")}
        self.assertEqual(result_tree.compare(wine, sim, {"c:\\x"}), [
            "C:\\B: differs (1 bytes under Wine, 2 bytes simulated)",
            "C:\\s: changed in the simulated run only (1 bytes)",
            "C:\\w: changed under Wine only (removed)",
        ])
        self.assertEqual(result_tree.compare(sim, sim, set()), [])


if __name__ == "__main__":
    unittest.main()
