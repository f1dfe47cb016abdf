#!/usr/bin/env python3
# Many PCs, one folder: twenty unattended runs ("/b0") at once, each a computer of its own, all
# saving into one save folder; half read a failing drive (fixtures/failing_drive), so that the
# shared event logs get lines from many processes at the same moment. In the second round the
# failing PCs announce the failure (a box each, answered here) and log it in "_hddfail.txt", and one
# PC finds the temporary files a killed save left under the names its next save takes.
#
# Wine takes the computer name from the registry, filled from the host name when a prefix's
# wineserver starts, so each PC runs in a hard-linked copy of one booted prefix (only the registry
# files copied) whose server starts in a UTS namespace with the PC's host name (host_name).
#
#     python3 tests/e2e/test_concurrency.py [name filter...]

import re
import shutil
import subprocess
import time

from harness import WinePrefix, decode_cp932_lines, replay_folder, run_command, run_tests, session

TEST_TIMEOUT = 600
ROUND_TIMEOUT = 420  # seconds for one round of twenty runs
PCS = [f"PC-{i:02d}" for i in range(20)]
FAILING = PCS[::2]  # with the failing drive, the others with a healthy WD30EFRX
EVENT = re.compile(r"(PC-\d\d) {14}\d{4}/\d\d/\d\d \d\d:\d\d:\d\d  故障 1/0  警告 0/0")
STATE = {"times": {}, "planted": {}}


def setup_module():
    p = session().prefix
    STATE["out"] = p.root / "out"
    STATE["ini"] = {kind: p.settings(STATE["out"], replay_folder(p.root / kind, kind), f"{kind}.ini")
                    for kind in ("ata", "failing")}
    # The registry goes to disk when the server ends; then the prefix is copied for every PC. The
    # registry files are rewritten by each prefix's own server: real copies, not links.
    p.kill_all()
    STATE["prefixes"] = []
    for pc in PCS:
        copy = p.root / f"prefix-{pc}"
        subprocess.run(["cp", "-al", str(p.path), str(copy)], check=True, timeout=60)
        for name in ("system.reg", "user.reg", "userdef.reg"):
            (copy / name).unlink(missing_ok=True)
            shutil.copy2(p.path / name, copy / name)
        (copy / "wineserver").unlink(missing_ok=True)  # the master server's note, not the copy's
        STATE["prefixes"].append(WinePrefix(copy, display=p.display))


def teardown_module():
    for p in STATE.get("prefixes", []):
        p.kill_all()


def run_round() -> int:
    # All twenty runs at once, to their ends, Enter pressed on every failure announcement; how many.
    p = session().prefix
    programs = [prefix.start_program(["/b0", STATE["ini"]["failing" if pc in FAILING else "ata"]],
                                     timeout=ROUND_TIMEOUT, exe=p.app_dir / "qumbel.exe", host_name=pc.lower())
                for pc, prefix in zip(PCS, STATE["prefixes"])]
    start, pressed = time.monotonic(), set()
    try:
        while any(prog.running for prog in programs):  # each ends by ROUND_TIMEOUT, killed by `timeout`
            found = run_command(["xdotool", "search", "--onlyvisible", "--name", "^警告$"], 15, env=p.x_env())
            for xid in found.stdout.decode().split():
                pressed.add(xid)
                run_command(["xdotool", "key", "--window", xid, "Return"], 15, env=p.x_env())
            time.sleep(0.5)
    finally:
        for prog in programs:
            prog.kill()
    codes = [prog.proc.returncode for prog in programs]
    assert codes == [0] * len(PCS), f"exit codes {codes}: {[p.stderr()[-300:] for p in programs if p.proc.returncode]}"
    print(f"  round: {time.monotonic() - start:.0f}s", flush=True)
    return len(pressed)


def check_files(saves: int, events: dict) -> None:
    # Every PC's file is the one this round wrote (row 24: the time of the run), with rows 1 to 90 and
    # the 100 program rows; its history one line a save; each event log one whole line per failing PC
    # and save (events: log name -> lines per failing PC); no temporary file left, none planted touched.
    out = STATE["out"]
    assert sorted(f.name for f in out.glob("*.csv")) == [f"{pc}__{pc}.csv" for pc in PCS]
    lengths = set()
    for pc in PCS:
        stem, failing = f"{pc}__{pc}", pc in FAILING
        record = decode_cp932_lines(out / f"{stem}.csv")
        lengths.add(len(record))
        assert (record[0], record[7], record[55]) == (stem, pc, "1/0" if failing else "0/0"), (stem, record[:8])
        assert record[23] != STATE["times"].get(stem), f"{stem} was not written again"
        STATE["times"][stem] = record[23]
        history = decode_cp932_lines(out / "hdd" / f"{stem}.csv")
        assert len(history) == 2 + saves and history[0].startswith("DateTime,DayOfWeek,DriveNum,"), (stem, history)
        model = "Hitachi HDS721050DLE630" if failing else "WDC WD30EFRX-68EUZN0"
        for f in (line.split(",") for line in history[2:]):
            assert (f[2], f[4], f[10], len(f)) == ("0", model, str(int(failing)), len(history[0].split(","))), f
    assert len(lengths) == 1 and min(lengths) >= 190, lengths
    for name, per_pc in events.items():
        path = out / "hdd" / name
        assert per_pc or not path.exists(), f"{name} was written"
        matches = [EVENT.fullmatch(line) for line in (decode_cp932_lines(path) if per_pc else [])]
        assert all(matches) and sorted(m[1] for m in matches) == sorted(FAILING * per_pc), (name, matches)
    assert all(path.read_bytes() == data for path, data in STATE["planted"].items()), "a planted file was written into"
    leftovers = [f.name for f in [*out.iterdir(), *(out / "hdd").iterdir()] if f.name.startswith("~")
                 and f not in STATE["planted"]]
    assert not leftovers, f"temporary files left behind: {leftovers[:5]}"


def test_first_saves_of_twenty_pcs_at_once():
    assert run_round() == 0, "a first save announces nothing"
    check_files(saves=1, events={"_failed.txt": 1, "_fail_plus_warning.txt": 1, "_hddfail.txt": 0})


def test_second_saves_announce_every_failing_drive_and_log_it():
    # The temporary files of a killed save of PC-01: the per-PC file is a process's first
    # whole-file write and the history its second, for every process id a Wine session hands out.
    for pid in range(4, 4096, 4):
        for folder, counter in ((STATE["out"], 1), (STATE["out"] / "hdd", 2)):
            STATE["planted"][folder / f"~{PCS[1]}__{PCS[1]}.csv.{pid}.{counter}.tmp"] = b"half a fi"
    for path, data in STATE["planted"].items():
        path.write_bytes(data)
    # The boxes wait for an answer, so twenty exit codes of 0 already say that every announcement
    # was answered. The count seen is only a bound: a box that opens between a search and the key
    # takes the Return meant for the one found, so it closes before any search lists it.
    assert 1 <= run_round() <= len(FAILING)
    check_files(saves=2, events={"_failed.txt": 2, "_fail_plus_warning.txt": 2, "_hddfail.txt": 1})


if __name__ == "__main__":
    run_tests(globals())
