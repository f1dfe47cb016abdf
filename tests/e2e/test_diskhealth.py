#!/usr/bin/env python3
"""End-to-end tests of disk health under Wine: Wine has no S.M.A.R.T. device, so the settings file
names a replay folder of sectors captured from a real drive (a WD30EFRX). The unattended run then
writes the six disk rows and the drive's history under "hdd"; without the replay folder the rows
fall back on the last history line; "/p" writes no history.

    python3 tests/e2e/test_diskhealth.py [name filter...]
"""

import re
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import REPO, Session, decode_cp932_lines, run_tests  # noqa: E402

S = None
DATA = REPO / "tests" / "data" / "smart"
CAPTURE = "cdi_WDC_WD30EFRX-68EUZN0"


def setup_module():
    global S
    S = Session().__enter__()
    replay = S.prefix.root / "replay"
    replay.mkdir()
    for kind in ("identify", "smart_read_data", "smart_read_thresholds"):
        shutil.copy(DATA / f"{CAPTURE}_{kind}.hexdump.txt", replay / f"drive0_{kind}.hexdump.txt")
    (S.prefix.root / "out").mkdir()


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def run(switches="/b0", replay=True):
    p = S.prefix
    out = p.root / "out"
    ini = p.root / "site.ini"
    text = f"[General]\r\nSaveDir={p.windows_path(out)}\r\n"
    if replay:
        text += f"SmartReplayFolder={p.windows_path(p.root / 'replay')}\r\n"
    ini.write_bytes(text.encode("cp932"))
    r = p.run_program([switches, p.windows_path(ini)], timeout=120)
    assert not r.crashed and not r.timed_out and r.exit_code == 0, str(r)
    files = sorted(out.glob("*.csv"))
    assert len(files) == 1, [f.name for f in files]
    record = decode_cp932_lines(files[0])
    history = out / "hdd" / files[0].name
    return r, record, history


def test_first_save_writes_the_disk_rows_and_starts_the_history():
    r, record, history = run()
    assert not r.boxes, f"a first save asks nothing: {r}"
    disk = record[55:61]
    assert re.fullmatch(r"\d+/\d+", disk[0]), disk
    # Attribute 194 of this drive is advisory: its status "-" gets the apostrophe every value
    # starting with "-" gets in the file. Then the temperature (40) and the highest one.
    assert disk[5] == "'-/110/102/0/40/0", disk
    assert disk[1] == "OK/200/200/51", disk
    lines = decode_cp932_lines(history)
    assert len(lines) == 3, lines
    assert lines[0].startswith("DateTime,DayOfWeek,DriveNum,CapacityMB,ModelNumber,SerialNumber,"), lines[0]
    assert lines[1].startswith("日時,曜日番号,ディスクNo.,容量MB,モデルNo.,シリアルNo.,温度℃,"), lines[1]
    fields = lines[2].split(",")
    assert re.fullmatch(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d", fields[0]), fields[:2]
    assert fields[2] == "0" and fields[4] == "WDC WD30EFRX-68EUZN0", fields[:6]
    assert fields[6] == "40", fields[6:9]
    # The headers and the data line have their attribute groups in the same columns.
    assert len(lines[0].split(",")) == len(fields), (len(lines[0].split(",")), len(fields))


def test_second_save_appends_one_line():
    _, _, history = run()
    assert len(decode_cp932_lines(history)) == 4


def test_without_a_readable_drive_the_rows_come_from_the_last_history_line():
    _, record, history = run(replay=False)
    last = decode_cp932_lines(history)[-1].split(",")
    assert len(decode_cp932_lines(history)) == 4, "no drive answered: nothing is appended"
    assert record[55] == f"{last[10]}/{last[11]} ({last[0]})", (record[55], last[:12])
    assert record[60] == "'" + "/".join(last[39:43]) + f"/{last[6]}/{last[7]}", (record[60], last[39:44])


def test_no_history_switch_writes_no_history():
    _, record, history = run("/p/b0")
    assert len(decode_cp932_lines(history)) == 4
    assert record[55] and record[55] != "", record[55:61]


if __name__ == "__main__":
    run_tests(globals())
