#!/usr/bin/env python3
# End-to-end tests of disk health. Wine has no S.M.A.R.T. device: the settings file names a replay
# folder of sectors captured from a real drive (a WD30EFRX). The disk rows and
# the history of unattended runs, and the disk menu's screens in the real window (screenshots in
# build/shots).
#
#     python3 tests/e2e/test_diskhealth.py [name filter...]

import math
import re
from datetime import datetime, timedelta

from harness import (IDNO, IDYES, MAIN_TITLE, SHOTS, check_golden, decode_cp932_lines,
                     replay_folder, run_tests, session, wait_until, write_cp932)

STATUS_TITLE = "Orvanta HDD S.M.A.R.T.情報"
HISTORY_TITLE = "Orvanta HDD S.M.A.R.T.履歴"
GRAPH_TITLE = "Orvanta HDD S.M.A.R.T.履歴グラフ"
WD = "WDC WD30EFRX-68EUZN0"
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    replay_folder(P.root / "replay", "ata")


def saves():  # one unattended save: the record's and the history's lines
    file, record = P.unattended(P.root / "out", P.root / "replay")
    return record, decode_cp932_lines(file.parent / "hdd" / file.name)


def test_saves_write_the_disk_rows_and_the_history():
    record, history = saves()
    # Attribute 194 of this drive is advisory: its status "-" gets the apostrophe every value
    # starting with "-" gets in the file. Then the temperature (40) and the highest one.
    check_golden("diskhealth_record_wd30efrx.txt", record[55:61])
    check_golden("diskhealth_history_headers.txt", history[:2])
    fields = history[2].split(",")
    assert len(history) == 3 and re.fullmatch(r"\d{4}/\d\d/\d\d \d\d:\d\d:\d\d", fields[0]), history
    assert fields[2:7:2] == ["0", WD, "40"] and len(fields) == len(history[0].split(",")), fields[:7]
    assert len(saves()[1]) == 4, "a second save appends a line"


def write_long_history(path, records=64, days=120):
    # The history rewritten as `records` saves over `days` days: the real lines with the time, the
    # temperatures and the counters changed the way a drive's history changes.
    lines = decode_cp932_lines(path)
    out, now = lines[:2], datetime.now()
    for i in range(records):
        f = lines[-1].split(",")
        when = now - timedelta(days=days * (records - 1 - i) / (records - 1), hours=1)
        f[0], f[1] = when.strftime("%Y/%m/%d %H:%M:%S"), str(when.isoweekday() % 7 + 1)
        temperature = round(38 + 6 * math.sin(i / 5))
        f[6], f[7], f[8] = str(temperature), str(max(46, temperature)), "24"
        f[12], f[13] = str(700 + i), str(900 + 4 * i)  # power cycles, running time
        out.append(",".join(f))
    write_cp932(path, out)
    return out[-1].split(",")


def test_status_history_and_graph_screens_and_erase():
    # One program start: the history table, the status grid, the graph's pages over a long history, erase.
    (path,) = (P.root / "out" / "hdd").glob("*.csv")
    short = decode_cp932_lines(path)  # the history screen reads every cell: a short history
    with P.start_program([P.settings(P.root / "out", P.root / "replay")], timeout=180) as prog:
        prog.wait_window(MAIN_TITLE)
        prog.menu("alt+d", "p", title=HISTORY_TITLE)
        columns, rows = wait_until(lambda: P.grid(HISTORY_TITLE), 10)
        assert columns == short[0].split(",")[:-1] and rows[0] == short[1].split(",")[:-1], columns[:8]
        assert [r[0] for r in rows[1:len(short) - 1]] == [l.split(",")[0] for l in short[2:]]
        prog.menu("alt+d", "h", title=STATUS_TITLE, window_title=HISTORY_TITLE)
        columns, rows = wait_until(lambda: P.grid(STATUS_TITLE), 10)  # the cells joined by tabs, the headers first
        check_golden("diskhealth_status_wd30efrx.txt", ["\t".join(columns)] + ["\t".join(row) for row in rows])
        last = write_long_history(path)
        prog.menu("alt+d", "g", title=GRAPH_TITLE, window_title=STATUS_TITLE)
        # The controls are read once the window has filled them (right after it shows they are empty).
        wanted = {"温度", "最新のデータ", "ハードディスク仕様", f"{last[6]}℃", WD, "2,861,588", "1,152", last[0][:10],
                  last[0][11:19], "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です"}
        assert wait_until(lambda: wanted <= {c["text"] for c in P.windows(GRAPH_TITLE)}, 10), wanted
        P.screenshot(SHOTS / "hdd-graph-temperature.png", GRAPH_TITLE, settle=1.5)
        # Erase asks; No keeps the history, Yes removes it (and only it).
        for answer in (IDNO, IDYES):
            prog.send_keys("alt+d", "e", window_title=GRAPH_TITLE)
            assert "HDD履歴を削除してよろしいか" in prog.wait_box().text
            prog.press(answer)
            assert wait_until(lambda: not P.boxes() and path.exists() == (answer == IDNO), 10), answer
        assert list((P.root / "out").glob("*.csv")), "the per-PC file stays"
        P.close(GRAPH_TITLE)
        P.close(MAIN_TITLE)
        prog.wait_exit(timeout=30)


if __name__ == "__main__":
    run_tests(globals())
