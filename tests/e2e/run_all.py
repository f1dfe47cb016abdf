#!/usr/bin/env python3
"""Runs every end-to-end test file (tests/e2e/test_*.py) and sums up.

    python3 tests/e2e/run_all.py                   all files
    python3 tests/e2e/run_all.py test_shell.py     some files
    ORV_WIN_BUILD=build/h-win python3 tests/e2e/run_all.py

Each file runs in its own process (its own display and prefix) under a time limit; ORV_E2E_JOBS
files (default 2) run at once, the longest first, and the output of each is printed whole when it
ends. A file must end with the line "N passed, N failed"; one that crashes, hangs or
prints no such line counts as one more failure. The last line printed is the total,
"N passed, N failed"; the exit code is 1 when anything failed.
"""

from __future__ import annotations

import os
import re
import selectors
import signal
import subprocess
import sys
import threading
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
FILE_TIMEOUT = int(os.environ.get("ORV_E2E_FILE_TIMEOUT", "1200"))
JOBS = max(1, int(os.environ.get("ORV_E2E_JOBS", "2")))
SUMMARY = re.compile(r"^(?:\w+: )?(\d+) passed, (\d+) failed\s*$")
# The files that take longest start first, so that the others fill the time beside them.
LONGEST_FIRST = ["test_concurrency.py", "test_diskhealth.py", "test_manual.py", "test_collection.py"]


def run_file(path: Path, print=print) -> tuple[int, int]:
    print(f"== {path.name}", flush=True)
    start = time.monotonic()
    last = ""
    try:
        proc = subprocess.Popen([sys.executable, "-u", str(path)], cwd=HERE, stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                start_new_session=True)
    except OSError as e:
        print(f"FAIL {path.name}: cannot start: {e}", flush=True)
        return 0, 1
    deadline = start + FILE_TIMEOUT
    timed_out = False
    # The file's own tests keep every step under a time limit; this is the last line of defence.
    sel = selectors.DefaultSelector()
    sel.register(proc.stdout, selectors.EVENT_READ)
    buf = b""
    while True:
        left = deadline - time.monotonic()
        if left <= 0:
            timed_out = True
            break
        if not sel.select(timeout=min(left, 5)):
            continue
        chunk = os.read(proc.stdout.fileno(), 65536)
        if not chunk:
            break
        buf += chunk
        while b"\n" in buf:
            line, buf = buf.split(b"\n", 1)
            text = line.decode("utf-8", errors="replace").rstrip("\r")
            print(text, flush=True)
            if text.strip():
                last = text.strip()
    if buf.strip():
        last = buf.decode("utf-8", errors="replace").strip()
        print(last, flush=True)
    if timed_out:
        # SIGTERM first: the harness then removes its display, wineserver and prefix.
        try:
            os.killpg(proc.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
    try:
        rc = proc.wait(60)
    except subprocess.TimeoutExpired:
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        rc = proc.wait(30)
    proc.stdout.close()
    if timed_out:
        print(f"FAIL {path.name}: did not finish within {FILE_TIMEOUT}s", flush=True)
        m = None
    else:
        m = SUMMARY.match(last)
    if m:
        passed, failed = int(m.group(1)), int(m.group(2))
        if rc != 0 and failed == 0:
            print(f"FAIL {path.name}: exit code {rc} although every test passed", flush=True)
            failed = 1
        return passed, failed
    if not timed_out:
        print(f"FAIL {path.name}: ended (exit code {rc}) without a summary line", flush=True)
    return 0, 1


def main(argv: list[str]) -> int:
    if argv:
        files = []
        for a in argv:
            p = Path(a)
            if not p.exists():
                p = HERE / a
            if not p.exists():
                p = HERE / (a if a.endswith(".py") else f"test_{a}.py")
            files.append(p)
    else:
        files = sorted(HERE.glob("test_*.py"))
    files.sort(key=lambda f: LONGEST_FIRST.index(f.name) if f.name in LONGEST_FIRST else len(LONGEST_FIRST))
    totals = [0, 0]
    lock = threading.Lock()
    pending = list(files)

    def worker():
        while True:
            with lock:
                if not pending:
                    return
                f = pending.pop(0)
            lines = []
            if not f.exists():
                lines.append(f"FAIL {f.name}: no such test file")
                p, fl = 0, 1
            else:
                p, fl = run_file(f, lambda text, flush=True: lines.append(str(text)))
            with lock:
                totals[0] += p
                totals[1] += fl
                for line in lines:
                    print(line, flush=True)

    threads = [threading.Thread(target=worker) for _ in range(min(JOBS, len(files)) or 1)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    passed, failed = totals
    print(f"{passed} passed, {failed} failed", flush=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
