"""What the Python tests share: one "ok"/"FAIL" line per check, their tally, exit codes."""
SKIP = 77  # the test cannot run here (CTest's SKIP_RETURN_CODE)

failures = []  # what failed, in order


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def summary(all_passed):
    """Prints the tally; the exit code: 1 when a check failed, else 0."""
    print(f"{len(failures)} failed" if failures else all_passed)
    return 1 if failures else 0
