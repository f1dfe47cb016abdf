#!/usr/bin/env python3
# End-to-end tests of disk health. Wine has no S.M.A.R.T. device: the settings file names a replay
# folder of sectors captured from real drives (a WD30EFRX, an NVMe XPG GAMMIX). The disk rows and
# the history of unattended runs, and the disk menu's screens in the real window (screenshots in
# build/shots).
#
#     python3 tests/e2e/test_diskhealth.py [name filter...]

import math
import re
from datetime import datetime, timedelta

from harness import (IDNO, IDOK, IDYES, ITEM_LIST_TITLE, MAIN_TITLE, SHOTS, check_golden, decode_cp932_lines,
                     replay_folder, run_tests, session, wait_until, write_cp932)

STATUS_TITLE = "Orvanta HDD S.M.A.R.T.情報"
HISTORY_TITLE = "Orvanta HDD S.M.A.R.T.履歴"
GRAPH_TITLE = "Orvanta HDD S.M.A.R.T.履歴グラフ"
WD = "WDC WD30EFRX-68EUZN0"
NVME = "XPG GAMMIX S50 Lite"
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    replay_folder(P.root / "replay", {0: "ata"})


def saves(switches="/b0", replay="replay", out="out"):  # one unattended save: the record's and the history's lines
    file, record = P.unattended(P.root / out, replay and P.root / replay, switches)
    return record, decode_cp932_lines(file.parent / "hdd" / file.name)


def grid_lines(title):  # a screen's cells joined by tabs, the column headers first
    columns, rows = wait_until(lambda: P.grid(title), 10)
    return ["\t".join(columns)] + ["\t".join(row) for row in rows]


def graph_texts(wanted):  # the graph window's control texts, once they hold every text wanted
    texts = wait_until(lambda: (t := [c["text"] for c in P.windows(GRAPH_TITLE)]) and set(wanted) <= set(t) and t, 10)
    assert texts, (wanted, [c["text"] for c in P.windows(GRAPH_TITLE)])


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
    # No drive answers: nothing is appended, and the rows come from the last history line.
    record, history = saves(replay=None)
    last = history[-1].split(",")
    assert len(history) == 4 and record[55] == f"{last[10]}/{last[11]} ({last[0]})", (record[55], last[:12])
    assert record[60] == "'" + "/".join(last[39:43]) + f"/{last[6]}/{last[7]}", (record[60], last[39:44])
    record, history = saves("/p/b0")
    assert len(history) == 4 and record[55] == "0/0", "/p writes no history"


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
        P.screenshot(SHOTS / "hdd-history.png", HISTORY_TITLE, settle=1.0)
        prog.menu("alt+d", "h", title=STATUS_TITLE, window_title=HISTORY_TITLE)
        check_golden("diskhealth_status_wd30efrx.txt", grid_lines(STATUS_TITLE))
        P.screenshot(SHOTS / "hdd-status.png", STATUS_TITLE, settle=1.0)
        last = write_long_history(path)
        prog.menu("alt+d", "g", title=GRAPH_TITLE, window_title=STATUS_TITLE)
        # The controls are read once the window has filled them (right after it shows they are empty).
        graph_texts(["温度", "最新のデータ", "ハードディスク仕様", f"{last[6]}℃", WD, "2,861,588", "1,152", last[0][:10],
                     last[0][11:19], "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です"])
        P.screenshot(SHOTS / "hdd-graph-temperature.png", GRAPH_TITLE, settle=1.5)
        # Down three times: the counters, the separator (nothing happens), the first attribute.
        prog.send_keys("Down", window_title=GRAPH_TITLE)
        graph_texts(["グラフの 緑は起動回数、赤は稼働時間 です"])
        prog.send_keys("Down", "Down", window_title=GRAPH_TITLE)
        graph_texts(["グラフの 緑は現在値、赤は過去の最悪値、青はしきい値 です"])
        P.screenshot(SHOTS / "hdd-graph-attribute.png", GRAPH_TITLE, settle=1.5)
        # Erase asks; No keeps the history, Yes removes it (and only it).
        for answer in (IDNO, IDYES):
            prog.send_keys("alt+d", "e", window_title=GRAPH_TITLE)
            assert "HDD履歴を削除してよろしいか" in prog.wait_box().text
            prog.press(answer)
            assert wait_until(lambda: not P.boxes() and path.exists() == (answer == IDNO), 10), answer
        assert list((P.root / "out").glob("*.csv")), "the per-PC file stays"
        prog.send_keys("alt+d", "p", window_title=GRAPH_TITLE)
        assert "HDD情報ファイルがありません" in prog.wait_box().text
        prog.press(IDOK)
        P.close(GRAPH_TITLE)
        P.close(MAIN_TITLE)
        prog.wait_exit(timeout=30)


def test_an_nvme_drive_zero_and_an_ata_drive_one():
    replay_folder(P.root / "mix", {0: "nvme", 1: "ata"})
    write_cp932(P.app_dir / "regitems.txt", ["#disks 3", "// the last line is never read"])
    record, history = saves(replay="mix", out="out_mix")
    english, japanese, data = (line.split(",") for line in history)
    # Rows 56-61 from the NVMe drive: no attributes 1, 7 and 10; the spare as attribute 5. Then the
    # three "#disks" rows.
    check_golden("diskhealth_record_nvme_and_wd30efrx.txt", record[55:61] + record[90:93])
    assert len(english) == len(japanese) == len(data), (len(english), len(japanese), len(data))
    second = [i for i, f in enumerate(english) if f == "DriveNum"][1]
    assert data[3:5] == ["953869", NVME] and data[second + 1:second + 3] == ["2861588", WD], data
    with P.start_program(["/a", P.settings(P.root / "out_mix", P.root / "mix")], timeout=120) as prog:
        prog.wait_window(MAIN_TITLE)
        prog.menu("alt+d", "h", title=STATUS_TITLE)
        check_golden("diskhealth_status_nvme_and_wd30efrx.txt", grid_lines(STATUS_TITLE))
        P.screenshot(SHOTS / "hdd-status-nvme.png", STATUS_TITLE, settle=1.0)
        prog.menu("alt+d", "g", title=GRAPH_TITLE, window_title=STATUS_TITLE)
        graph_texts(["43℃", NVME, "953,869", "1,054", "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です"])
        P.screenshot(SHOTS / "hdd-graph-nvme.png", GRAPH_TITLE, settle=1.5)
        prog.menu("alt+i", "l", title=ITEM_LIST_TITLE, window_title=GRAPH_TITLE)
        prog.quit(window_title=ITEM_LIST_TITLE)
    assert decode_cp932_lines(P.app_dir / "itemlist.csv")[90:] == ["#disks,#disks", ",", ","]
    (P.app_dir / "regitems.txt").unlink()


def test_an_unreadable_drive_zero_hides_no_drive_behind_it():
    replay_folder(P.root / "bad", {0: "nvme without log", 1: "ata"})
    data = saves(replay="bad", out="out_bad")[1][2].split(",")
    assert data[4] == WD and NVME not in data, data[:14]
    with P.start_program([P.settings(P.root / "out_bad", P.root / "bad")], timeout=120) as prog:
        prog.wait_window(MAIN_TITLE)
        prog.menu("alt+d", "h", title=STATUS_TITLE)
        rows = wait_until(lambda: P.grid(STATUS_TITLE), 10)[1]
        assert [(i, r[3]) for i, r in enumerate(rows) if r[1] == "DiskNumber"] == [(0, "1")], rows[:2]
        prog.quit(window_title=STATUS_TITLE)


if __name__ == "__main__":
    run_tests(globals())
