#!/usr/bin/env python3
"""Many PCs, one folder: twenty unattended runs ("/b0") at once, each with a computer name of its
own, all saving into one save folder; half of them read a failing drive, so that the three shared
event logs get lines from many processes at the same moment. Two rounds: the first saves of all
twenty, then the second saves, in which the failing PCs announce the failure (a message box each,
answered by the test) and log it in "_hddfail.txt" as well. Before the second round, one PC finds
the temporary files that a save killed in an earlier run left under the names its next save takes
(Wine gives the first program of a session the same small process id every time, 32 or 48), and
must save all the same.

Why one Wine prefix per PC: Wine takes the computer name from the registry (ActiveComputerName),
which it fills from the host name when a prefix's wineserver starts, and all programs of a prefix
share that one registry. Twenty programs in one prefix would all be the same PC. So each PC gets a
copy of a booted prefix (hard links: a copy costs a few milliseconds and no disk space; only the
registry files are real copies) and starts its wineserver in a UTS namespace with its own host
name (harness: host_name). Twenty wineservers and their services on two cores take about half a
minute per round; every step is under a time limit.

The drives come from the replay folder of the settings file. The healthy drive is a real capture
(tests/data/smart, a WD30EFRX). The failing one is the attribute table of a real failing drive,
table 21 of tests/data/smart/tables.tsv (a Hitachi HDS721050DLE630 whose reallocated sector count,
value 1, is below its threshold 5), laid out here as the sectors SMART READ DATA and READ
THRESHOLDS return; its identify sector carries that model name and a made-up serial number.

    python3 tests/e2e/test_concurrency.py [name filter...]
"""

import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (REPO, HarnessError, Session, WinePrefix, decode_cp932_lines,  # noqa: E402
                     run_command, run_tests)

TEST_TIMEOUT = 600
PCS = 20
ROUND_TIMEOUT = 420  # seconds for one round of twenty runs
DATA = REPO / "tests" / "data" / "smart"
HEALTHY_CAPTURE = "cdi_WDC_WD30EFRX-68EUZN0"
FAILING_TABLE = "21"
FAILURE_CAPTION = "警告"

S = None  # the Session whose prefix is copied for every PC
STATE = {}


def computer(i: int) -> str:
    return f"PC-{i:02d}"


def failing(i: int) -> bool:
    return i % 2 == 0


# ---- captured sectors ------------------------------------------------------------------------


def hexdump(sector: bytes) -> str:
    """The "NNN-NNN: xx xx ..." form disk tools print, 16 bytes a line."""
    lines = []
    for at in range(0, 512, 16):
        lines.append(f"{at:03d}-{at + 15:03d}: " + " ".join(f"{b:02x}" for b in sector[at:at + 16]))
    return "\n".join(lines) + "\n"


def with_checksum(sector: bytearray) -> bytes:
    sector[511] = (-sum(sector[:511])) & 0xFF
    return bytes(sector)


def ata_string(text: str, length: int) -> bytes:
    """An identify string field: blank-padded, the bytes of each pair exchanged."""
    raw = text.encode("ascii").ljust(length, b" ")[:length]
    return b"".join(raw[k + 1:k + 2] + raw[k:k + 1] for k in range(0, length, 2))


def failing_drive_sectors() -> dict:
    rows = []
    for line in (DATA / "tables.tsv").read_text(encoding="utf-8").splitlines():
        f = line.split("\t")
        if line.startswith("#") or len(f) < 11 or f[0] != FAILING_TABLE:
            continue
        rows.append(f)
    assert rows, "table 21 is missing from tables.tsv"
    model = rows[0][1]
    identify = bytearray(512)
    identify[20:40] = ata_string("HITACHI-REPLAY-0001", 20)
    identify[46:54] = ata_string("JP2OA3", 8)
    identify[54:94] = ata_string(model, 40)
    identify[120:124] = (0x0FFFFFFF).to_bytes(4, "little")  # as every drive above 128 GB says
    identify[166:168] = (0x4400).to_bytes(2, "little")  # word 83: 48-bit addressing
    identify[200:208] = (976773168).to_bytes(8, "little")  # words 100-103: the 500 GB of the model
    data, thresholds = bytearray(512), bytearray(512)
    data[0:2] = thresholds[0:2] = b"\x10\x00"  # revision 16
    for k, f in enumerate(rows):
        at = 2 + 12 * k
        flags = int(f[3], 16)
        raw = bytes(int(b, 16) for b in f[9].split()) if f[9] != "-" else b"\0" * 6
        data[at:at + 12] = bytes([int(f[2]), flags & 0xFF, flags >> 8, int(f[4]), int(f[5])]) + raw + b"\0"
        thresholds[at:at + 2] = bytes([int(f[2]), int(f[6]) if f[6] != "-" else 0])
    return {"identify": with_checksum(identify), "smart_read_data": with_checksum(data),
            "smart_read_thresholds": with_checksum(thresholds)}


# ---- set-up ----------------------------------------------------------------------------------


def z_path(path: Path) -> str:
    """A Unix path as every prefix sees it (drive Z: is the root in each)."""
    return "Z:" + str(path).replace("/", "\\")


def copy_prefix(master: Path, copy: Path) -> None:
    subprocess.run(["cp", "-al", str(master), str(copy)], check=True, timeout=60)
    # Registry files are rewritten by each prefix's own wineserver: real copies. The master's
    # server folder note is not the copy's.
    for name in ("system.reg", "user.reg", "userdef.reg"):
        if (copy / name).exists():
            (copy / name).unlink()
            shutil.copy2(master / name, copy / name)
    (copy / "wineserver").unlink(missing_ok=True)


def setup_module():
    global S
    S = Session().__enter__()
    root = S.prefix.root
    healthy, broken = root / "replay-healthy", root / "replay-failing"
    healthy.mkdir()
    broken.mkdir()
    for kind in ("identify", "smart_read_data", "smart_read_thresholds"):
        shutil.copy(DATA / f"{HEALTHY_CAPTURE}_{kind}.hexdump.txt", healthy / f"drive0_{kind}.hexdump.txt")
    for kind, sector in failing_drive_sectors().items():
        (broken / f"drive0_{kind}.hexdump.txt").write_text(hexdump(sector), encoding="ascii")
    out = root / "out"
    out.mkdir()
    for name, replay in (("healthy.ini", healthy), ("failing.ini", broken)):
        text = f"[General]\r\nSaveDir={z_path(out)}\r\nSmartReplayFolder={z_path(replay)}\r\n"
        (root / name).write_bytes(text.encode("cp932"))
    STATE["exe"] = S.prefix.app_dir / "qumbel.exe"
    STATE["out"] = out
    # The registry goes to disk when the server ends; then the prefix is copied for every PC.
    S.prefix.kill_all()
    STATE["prefixes"] = []
    for i in range(PCS):
        copy = root / f"prefix-{computer(i)}"
        copy_prefix(S.prefix.path, copy)
        STATE["prefixes"].append(WinePrefix(copy, display=S.xvfb.display))


def teardown_module():
    for p in STATE.get("prefixes", []):
        try:
            p.kill_all()
        except Exception:  # noqa: BLE001 - the rest still go
            pass
    if S:
        S.__exit__(None, None, None)


# ---- one round -------------------------------------------------------------------------------


def answer_failure_boxes(env: dict) -> int:
    """Presses Enter (the OK button) on every visible failure announcement; how many there were."""
    r = run_command(["xdotool", "search", "--onlyvisible", "--name", f"^{FAILURE_CAPTION}$"], 15, env=env)
    ids = r.stdout.decode().split()
    for xid in ids:
        run_command(["xdotool", "key", "--window", xid, "Return"], 15, env=env)
    return len(ids)


def run_round() -> dict:
    """Starts all twenty runs at once and waits for their ends, answering the failure boxes."""
    root = S.prefix.root
    programs = []
    for i, prefix in enumerate(STATE["prefixes"]):
        ini = root / ("failing.ini" if failing(i) else "healthy.ini")
        programs.append(prefix.start_program(["/b0", z_path(ini)], timeout=ROUND_TIMEOUT, exe=STATE["exe"],
                                             host_name=computer(i).lower()))
    env = S.prefix.x_env()
    start = time.monotonic()
    pressed = set()
    try:
        while any(p.running for p in programs):
            if time.monotonic() - start > ROUND_TIMEOUT + 20:
                raise HarnessError(f"the round did not end within {ROUND_TIMEOUT}s")
            r = run_command(["xdotool", "search", "--onlyvisible", "--name", f"^{FAILURE_CAPTION}$"], 15,
                            env=env)
            for xid in r.stdout.decode().split():
                pressed.add(xid)
                run_command(["xdotool", "key", "--window", xid, "Return"], 15, env=env)
            time.sleep(0.5)
    finally:
        for p in programs:
            p.kill()
    codes = [p.proc.returncode for p in programs]
    assert codes == [0] * PCS, f"exit codes {codes}: {[p.stderr()[-300:] for p in programs if p.proc.returncode]}"
    return {"seconds": time.monotonic() - start, "boxes": len(pressed)}


# ---- checks ----------------------------------------------------------------------------------

EVENT = re.compile(r"(PC-\d\d) {14}(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d)  故障 (\d+)/(\d+)  警告 (\d+)/(\d+)")


def check_pc_files(saves: int) -> None:
    out = STATE["out"]
    names = sorted(f.name for f in out.glob("*.csv"))
    assert names == [f"{computer(i)}__{computer(i)}.csv" for i in range(PCS)], names
    rows = {}
    times = STATE.setdefault("times", {})
    for i in range(PCS):
        stem = f"{computer(i)}__{computer(i)}"
        record = decode_cp932_lines(out / f"{stem}.csv")
        rows[i] = len(record)
        assert record[0] == stem and record[7] == computer(i), (stem, record[:8])
        # Row 24 is the time of the run: every PC's file is the one this round wrote.
        assert record[23] != times.get(stem), f"{stem} was not written again"
        times[stem] = record[23]
        # The disk rows: failures/warnings of drive 0.
        assert record[55] == ("1/0" if failing(i) else "0/0"), (stem, record[55:61])
        history = decode_cp932_lines(out / "hdd" / f"{stem}.csv")
        assert len(history) == 2 + saves, (stem, len(history))
        assert history[0].startswith("DateTime,DayOfWeek,DriveNum,CapacityMB,"), history[0][:60]
        for line in history[2:]:
            f = line.split(",")
            model = "Hitachi HDS721050DLE630" if failing(i) else "WDC WD30EFRX-68EUZN0"
            assert f[2] == "0" and f[4] == model and f[10] == ("1" if failing(i) else "0"), (stem, f[:12])
            assert len(f) == len(history[0].split(",")), (stem, len(f))
    # Every record has rows 1 to 90 and the 100 program rows, and the same PCs the same count.
    assert min(rows.values()) >= 190 and len(set(rows.values())) == 1, rows
    planted = STATE.get("planted", {})
    for path, data in planted.items():
        assert path.read_bytes() == data, f"{path.name} was written into"
    leftovers = [p.name for p in list(out.iterdir()) + list((out / "hdd").iterdir())
                 if p.name.startswith("~") and p not in planted]
    assert not leftovers, f"temporary files left behind: {leftovers[:5]}"


def plant_leftovers_of_a_killed_save(i: int) -> None:
    """The temporary files of a save of PC i that was killed before its renames: the per-PC file
    is a process's first whole-file write and the history its second (the counter in the name),
    for every process id a Wine session hands out first."""
    out, stem = STATE["out"], f"{computer(i)}__{computer(i)}.csv"
    planted = {}
    for pid in range(4, 4096, 4):
        for folder, counter in ((out, 1), (out / "hdd", 2)):
            path = folder / f"~{stem}.{pid}.{counter}.tmp"
            path.write_bytes(b"half a fi")
            planted[path] = b"half a fi"
    STATE["planted"] = planted


def check_event_log(name: str, per_failing_pc: int) -> None:
    lines = decode_cp932_lines(STATE["out"] / "hdd" / name)
    counts = {}
    for line in lines:
        m = EVENT.fullmatch(line)
        assert m, f"{name}: not one whole event line: {line!r}"
        assert m.group(3, 4, 5, 6) == ("1", "0", "0", "0"), f"{name}: {line!r}"
        counts[m.group(1)] = counts.get(m.group(1), 0) + 1
    expected = {computer(i): per_failing_pc for i in range(PCS) if failing(i)}
    assert counts == expected, f"{name}: lines per PC {counts}"


def test_first_saves_of_twenty_pcs_at_once():
    r = run_round()
    print(f"  first round: {r['seconds']:.0f}s", flush=True)
    assert r["boxes"] == 0, "a first save announces nothing"
    check_pc_files(saves=1)
    check_event_log("_failed.txt", 1)
    check_event_log("_fail_plus_warning.txt", 1)
    assert not (STATE["out"] / "hdd" / "_hddfail.txt").exists()


def test_second_saves_announce_every_failing_drive_and_log_it():
    plant_leftovers_of_a_killed_save(1)
    r = run_round()
    print(f"  second round: {r['seconds']:.0f}s", flush=True)
    # The boxes wait for an answer (no time-out), so twenty exit codes of 0 already say that every
    # announcement was answered. The count of windows seen is only a bound: ten boxes open within a
    # second, and a box that opens between a search and the key takes the focus and the Return
    # meant for the one found, so it closes before any search lists it.
    assert 1 <= r["boxes"] <= PCS // 2, f"{r['boxes']} failure announcements answered"
    check_pc_files(saves=2)
    check_event_log("_hddfail.txt", 1)
    check_event_log("_failed.txt", 2)
    check_event_log("_fail_plus_warning.txt", 2)


if __name__ == "__main__":
    run_tests(globals())
