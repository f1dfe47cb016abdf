#!/usr/bin/env python3
# Runs every end-to-end test file (tests/e2e/test_*.py, or the files named) and sums up.
#
#     python3 tests/e2e/run_all.py [test_fleet.py ...]
#
# Each file runs in its own process (its own display and prefix) within ORV_E2E_FILE_TIMEOUT
# seconds; ORV_E2E_JOBS files (default 2) at once, the longest first, each file's output printed
# whole, in that order. A file ends with "N passed, N failed"; one that crashes, hangs or prints no
# such line counts as one more failure. The last line is the total; exit code 1 when anything failed.

import os
import re
import signal
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

HERE = Path(__file__).resolve().parent
FILE_TIMEOUT = int(os.environ.get("ORV_E2E_FILE_TIMEOUT", "1200"))
JOBS = max(1, int(os.environ.get("ORV_E2E_JOBS", "2")))
LONGEST_FIRST = ["test_concurrency.py", "test_diskhealth.py", "test_collection.py", "test_fleet.py"]


def run_file(path: Path) -> tuple:  # (passed, failed, output) of one test file
    proc = subprocess.Popen([sys.executable, "-u", str(path)], cwd=HERE, stdin=subprocess.DEVNULL,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        out, problem = proc.communicate(timeout=FILE_TIMEOUT)[0], None
    except subprocess.TimeoutExpired:
        os.killpg(proc.pid, signal.SIGTERM)  # the harness then removes its display and prefix
        try:
            out = proc.communicate(timeout=60)[0]
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            out = proc.communicate()[0]
        problem = f"did not finish within {FILE_TIMEOUT}s"
    out = out.decode("utf-8", errors="replace")
    m = re.search(r"^(\d+) passed, (\d+) failed\s*\Z", out, re.M)
    passed, failed = (int(m[1]), int(m[2])) if m and not problem else (0, 0)
    if not problem and (not m or (proc.returncode != 0 and failed == 0)):
        problem = f"exit code {proc.returncode}" + (" although every test passed" if m else " without a summary line")
    return passed, failed + bool(problem), out + (f"FAIL {path.name}: {problem}\n" if problem else "")


def main(argv: list) -> int:
    files = [Path(a) if Path(a).exists() else HERE / (a if a.endswith(".py") else f"test_{a}.py")
             for a in argv] or sorted(HERE.glob("test_*.py"))
    files.sort(key=lambda f: LONGEST_FIRST.index(f.name) if f.name in LONGEST_FIRST else len(LONGEST_FIRST))
    totals = [0, 0]
    with ThreadPoolExecutor(JOBS) as pool:
        for f, (passed, failed, out) in zip(files, pool.map(run_file, files)):
            totals[0] += passed
            totals[1] += failed
            print(f"== {f.name}\n{out}", end="" if out.endswith("\n") else "\n", flush=True)
    print(f"{totals[0]} passed, {totals[1]} failed", flush=True)
    return 1 if totals[1] else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
