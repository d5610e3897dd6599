"""The files a scenario run changed, named as paths of the described machine.

The Wine player takes the state of the prefix's drive C: before the machine's processes and
the installer start and after they ended; vuni-sim leaves its sandbox when asked. Both sets
of changes are turned into the machine's own Windows paths (the Wine profile folders mapped
back to the machine's shell folders; the sandbox's drive c/ is C:) so that the two results
can be compared byte for byte. Paths are keys without regard to case, as Windows names are.
"""
import hashlib
import os
from pathlib import Path

# Wine keeps its own system there; the installer never writes into it.
SKIPPED_TOP = {"windows"}


def file_states(root):
    """{relative path: digest of the bytes} of the files below root: a file written again
    with the same bytes is no change, as on the simulated side."""
    states = {}
    for folder, dirs, files in os.walk(root):
        rel_folder = os.path.relpath(folder, root)
        if rel_folder == ".":
            dirs[:] = [d for d in dirs if d.lower() not in SKIPPED_TOP]
            rel_folder = ""
        for name in files:
            path = os.path.join(folder, name)
            try:
                with open(path, "rb") as f:
                    digest = hashlib.sha1(f.read()).digest()
            except OSError:
                continue
            states[os.path.join(rel_folder, name)] = digest
    return states


def drive_path(rel):
    return "C:\\" + rel.replace("/", "\\")


def wine_changes(drive_c, before, to_machine):
    """{machine path key: (machine path, bytes or None when removed)} of the prefix."""
    after = file_states(drive_c)
    changes = {}
    for rel, state in after.items():
        if before.get(rel) != state:
            path = to_machine(drive_path(rel))
            changes[path.lower()] = (path, (Path(drive_c) / rel).read_bytes())
    for rel in before.keys() - after.keys():
        path = to_machine(drive_path(rel))
        changes[path.lower()] = (path, None)
    return changes


def sim_changes(machine_drive_c, sandbox_drive_c):
    """{machine path key: (machine path, bytes or None when removed)} of the sandbox."""
    original = {rel.lower(): rel for rel in file_states(machine_drive_c)}
    result = {rel.lower(): rel for rel in file_states(sandbox_drive_c)}
    changes = {}
    for key, rel in result.items():
        data = (Path(sandbox_drive_c) / rel).read_bytes()
        if key not in original or (Path(machine_drive_c) / original[key]).read_bytes() != data:
            path = drive_path(rel)
            changes[path.lower()] = (path, data)
    for key in original.keys() - result.keys():
        path = drive_path(original[key])
        changes[path.lower()] = (path, None)
    return changes


def compare(wine, sim, excluded):
    """The differences, one line each, between two change sets; empty when they agree."""
    lines = []
    for key in sorted(wine.keys() | sim.keys()):
        if key in excluded:
            continue
        if key not in sim:
            state = "removed" if wine[key][1] is None else f"{len(wine[key][1])} bytes"
            lines.append(f"{wine[key][0]}: changed under Wine only ({state})")
        elif key not in wine:
            state = "removed" if sim[key][1] is None else f"{len(sim[key][1])} bytes"
            lines.append(f"{sim[key][0]}: changed in the simulated run only ({state})")
        elif wine[key][1] != sim[key][1]:
            sizes = ["removed" if d is None else f"{len(d)} bytes" for d in (wine[key][1],
                                                                              sim[key][1])]
            lines.append(f"{sim[key][0]}: differs ({sizes[0]} under Wine, {sizes[1]} simulated)")
    return lines
