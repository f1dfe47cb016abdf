#!/usr/bin/env python3
"""End-to-end tests of disk health under Wine: Wine has no S.M.A.R.T. device, so the settings file
names a replay folder of sectors captured from a real drive (a WD30EFRX). The unattended run then
writes the six disk rows and the drive's history under "hdd"; without the replay folder the rows
fall back on the last history line; "/p" writes no history. The disk menu's screens are checked
in the real window: the status grid, the history table and the graph (screenshots in build/shots).

    python3 tests/e2e/test_diskhealth.py [name filter...]
"""

import math
import re
import shutil
import sys
from datetime import datetime, timedelta
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import MAIN_TITLE, REPO, SHOTS, Session, decode_cp932_lines, run_tests, wait_until  # noqa: E402

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


STATUS_TITLE = "Orvanta HDD S.M.A.R.T.情報"
HISTORY_TITLE = "Orvanta HDD S.M.A.R.T.履歴"
GRAPH_TITLE = "Orvanta HDD S.M.A.R.T.履歴グラフ"


def settings(replay=True, out="out", folder="replay"):
    """The settings file: the save folder, and the replay folder unless `replay` is off."""
    p = S.prefix
    ini = p.root / "site.ini"
    text = f"[General]\r\nSaveDir={p.windows_path(p.root / out)}\r\n"
    if replay:
        text += f"SmartReplayFolder={p.windows_path(p.root / folder)}\r\n"
    ini.write_bytes(text.encode("cp932"))
    return p.windows_path(ini)


def run(switches="/b0", replay=True, out="out", folder="replay"):
    p = S.prefix
    r = p.run_program([switches, settings(replay, out, folder)], timeout=120)
    out = p.root / out
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


def history_file():
    files = sorted((S.prefix.root / "out" / "hdd").glob("*.csv"))
    assert len(files) == 1, files
    return files[0]


def write_long_history(records=64, days=120):
    """Rewrites the history as `records` saves spread over the last `days` days: the real headers
    and data line of the replayed drive, with the time stamp, the temperatures and the counters
    of each save changed the way a drive's history changes."""
    path = history_file()
    lines = decode_cp932_lines(path)
    header_en, header_jp, last = lines[0], lines[1], lines[-1].split(",")
    now = datetime.now()
    out = [header_en, header_jp]
    for i in range(records):
        f = list(last)
        when = now - timedelta(days=days * (records - 1 - i) / (records - 1), hours=1)
        f[0] = when.strftime("%Y/%m/%d %H:%M:%S")
        f[1] = str(when.isoweekday() % 7 + 1)
        temperature = round(38 + 6 * math.sin(i / 5))
        f[6], f[7], f[8] = str(temperature), str(max(46, temperature)), "24"
        f[12] = str(700 + i)           # power cycles
        f[13] = str(900 + 4 * i)       # running time
        out.append(",".join(f))
    path.write_bytes("".join(l + "\r\n" for l in out).encode("cp932"))
    return out


def test_status_history_and_graph_screens_and_erase():
    """One program start walks the disk menu: the history table, the status grid, the graph's
    pages over a long history (screenshots in build/shots), then the erase question."""
    p = S.prefix
    path = history_file()
    short = decode_cp932_lines(path)  # the history screen reads every cell: a short history
    with p.start_program([settings()], timeout=180) as prog:
        prog.wait_window(MAIN_TITLE)
        prog.send_keys("alt+d", "p")
        assert p.find_x_window(HISTORY_TITLE, timeout=20), p.windows()
        columns, rows = wait_until(lambda: p.grid(HISTORY_TITLE), 10)
        assert columns == short[0].split(",")[:-1] and rows[0] == short[1].split(",")[:-1], columns[:8]
        assert [r[0] for r in rows[1:len(short) - 1]] == [l.split(",")[0] for l in short[2:]]
        p.screenshot(SHOTS / "hdd-history.png", HISTORY_TITLE, settle=1.0)

        prog.send_keys("alt+d", "h", window_title=HISTORY_TITLE)
        assert p.find_x_window(STATUS_TITLE, timeout=20), p.windows()
        columns, rows = wait_until(lambda: p.grid(STATUS_TITLE), 10)
        assert columns == ["", "Name", "項目名", "状態", "現在値", "最悪値", "しきい値", "生データ", "故障警戒?",
                           "イベント?", "エラー率?"], columns
        assert rows[0][1:4] == ["DiskNumber", "ディスクNo.", "0"], rows[0]
        assert rows[3][1:4] == ["Capacity(MB)", "容量(MB)", "2861588"], rows[3]  # the 48-bit sector count
        assert rows[5][1:4] == ["Hours Running", "運転時間", "1040"], rows[5]
        assert rows[10] == [""] * 11, rows[10]
        assert rows[11][:4:3] == ["1", "OK"] and rows[11][1] == "Raw Read Error Rate", rows[11]
        assert rows[11][8] in ("Yes", "No") and rows[11][9] in ("Yes", "No"), rows[11]
        assert next(r for r in rows if r[0] == "9")[7] == "62,382"  # power-on hours, thousands separated
        p.screenshot(SHOTS / "hdd-status.png", STATUS_TITLE, settle=1.0)

        written = write_long_history()
        prog.send_keys("alt+d", "g", window_title=STATUS_TITLE)
        assert p.find_x_window(GRAPH_TITLE, timeout=20), p.windows()
        # The controls are read once the window has filled them (right after it shows they are empty).
        texts = wait_until(lambda: (t := p.control_texts(GRAPH_TITLE)) and "温度" in t and t, 10) or []
        last = written[-1].split(",")
        for expected in ("温度", "最新のデータ", "ハードディスク仕様", f"{last[6]}℃", "WDC WD30EFRX-68EUZN0",
                         "2,861,588", "1,152", last[0][:10], last[0][11:19],
                         "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です"):
            assert expected in texts, (expected, texts)
        p.screenshot(SHOTS / "hdd-graph-temperature.png", GRAPH_TITLE, settle=1.5)
        # Down three times: the counters, the separator (nothing happens), the first attribute.
        prog.send_keys("Down", window_title=GRAPH_TITLE)
        assert wait_until(lambda: "グラフの 緑は起動回数、赤は稼働時間 です" in p.control_texts(GRAPH_TITLE), 5)
        prog.send_keys("Down", "Down", window_title=GRAPH_TITLE)
        assert wait_until(lambda: "グラフの 緑は現在値、赤は過去の最悪値、青はしきい値 です" in p.control_texts(GRAPH_TITLE), 5)
        p.screenshot(SHOTS / "hdd-graph-attribute.png", GRAPH_TITLE, settle=1.5)

        # Erase asks; No keeps the history, Yes removes it (and only it).
        for answer in ("no", "yes"):
            prog.send_keys("alt+d", "e", window_title=GRAPH_TITLE)
            assert "HDD履歴を削除してよろしいか" in prog.wait_box().text
            prog.press(answer)
            assert wait_until(lambda: not p.boxes() and path.exists() == (answer == "no"), 10)
            assert path.exists() == (answer == "no"), answer
        assert list((S.prefix.root / "out").glob("*.csv")), "the per-PC file stays"
        prog.send_keys("alt+d", "p", window_title=GRAPH_TITLE)
        assert "HDD情報ファイルがありません" in prog.wait_box().text
        prog.press("ok")
        p.helper("close", GRAPH_TITLE)
        p.helper("close", MAIN_TITLE)
        prog.wait_exit(timeout=30)


NVME = "cdi_XPG_GAMMIX_S50_Lite_nvme_"


def replay_folder(name, drives):
    """A replay folder: `drives` maps a drive number to "nvme", "nvme without log" or "ata"."""
    folder = S.prefix.root / name
    folder.mkdir()
    (S.prefix.root / f"out_{name}").mkdir()
    for n, kind in drives.items():
        if kind.startswith("nvme"):
            shutil.copy(DATA / f"{NVME}identify_controller_first512.hexdump.txt",
                        folder / f"drive{n}_nvme_identify_controller.hexdump.txt")
            if kind == "nvme":
                shutil.copy(DATA / f"{NVME}smart_health_log02.hexdump.txt",
                            folder / f"drive{n}_nvme_smart_health_log02.hexdump.txt")
            # The capture holds no size: that of a 1 TB drive, as the disk length query gives it.
            (folder / f"drive{n}_length.txt").write_text("1000204886016\r\n")
        else:
            for k in ("identify", "smart_read_data", "smart_read_thresholds"):
                shutil.copy(DATA / f"{CAPTURE}_{k}.hexdump.txt", folder / f"drive{n}_{k}.hexdump.txt")
    return name


def test_an_nvme_drive_zero_and_an_ata_drive_one():
    p = S.prefix
    folder = replay_folder("mix", {0: "nvme", 1: "ata"})
    script = p.app_dir / "regitems.txt"
    script.write_bytes("#disks 3\r\n// the last line is never read\r\n".encode("cp932"))
    try:
        _, record, history = run(out="out_mix", folder=folder)
        # Rows 56-61 from the NVMe drive: no attributes 1, 7 and 10; the spare as attribute 5.
        assert record[55:61] == ["0/0", "", "OK/100/100/10/0", "", "", "'-/43/43/0/43/43"], record[55:61]
        assert record[90:93] == ["0 NVMe XPG GAMMIX S50 Lite 953869MB OK 43℃",
                                 "1 ATA WDC WD30EFRX-68EUZN0 2861588MB OK 40℃", ""], record[90:93]
        english, japanese, data = (l.split(",") for l in decode_cp932_lines(history))
        assert len(english) == len(japanese) == len(data), (len(english), len(japanese), len(data))
        second = [i for i, f in enumerate(english) if f == "DriveNum"][1]
        assert data[3:5] == ["953869", "XPG GAMMIX S50 Lite"], data[:14]
        assert data[second + 1:second + 3] == ["2861588", "WDC WD30EFRX-68EUZN0"], data[second:second + 14]

        with p.start_program(["/a", settings(out="out_mix", folder=folder)], timeout=120) as prog:
            prog.wait_window(MAIN_TITLE)
            prog.send_keys("alt+d", "h")
            assert p.find_x_window(STATUS_TITLE, timeout=20), p.windows()
            _, rows = p.grid(STATUS_TITLE)
            starts = [i for i, r in enumerate(rows) if r[1] == "DiskNumber"]
            assert [rows[i][3] for i in starts] == ["0", "1"], starts
            assert [rows[i + 3][3] for i in starts] == ["953869", "2861588"], starts
            assert rows[starts[0] + 11 + 7][1:5] == ["Media Wearout Indicator", "残り寿命", "-", "89"], rows
            p.screenshot(SHOTS / "hdd-status-nvme.png", STATUS_TITLE, settle=1.0)

            prog.send_keys("alt+d", "g", window_title=STATUS_TITLE)
            assert p.find_x_window(GRAPH_TITLE, timeout=20), p.windows()
            texts = p.control_texts(GRAPH_TITLE)
            for expected in ("43℃", "XPG GAMMIX S50 Lite", "953,869", "1,054",
                             "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です"):
                assert expected in texts, (expected, texts)
            p.screenshot(SHOTS / "hdd-graph-nvme.png", GRAPH_TITLE, settle=1.5)

            items = p.app_dir / "itemlist.csv"
            prog.send_keys("alt+i", "l", window_title=GRAPH_TITLE)
            prog.wait_window("Orvanta 項目リスト", timeout=30)
            prog.send_keys("alt+f", "x", window_title="Orvanta 項目リスト")
            prog.wait_exit(timeout=30)
        names = decode_cp932_lines(items)
        assert names[90:] == ["#disks,#disks", ",", ","], names[88:]
    finally:
        script.unlink()


def test_an_unreadable_drive_zero_hides_no_drive_behind_it():
    p = S.prefix
    folder = replay_folder("bad", {0: "nvme without log", 1: "ata"})
    _, _, history = run(out="out_bad", folder=folder)
    data = decode_cp932_lines(history)[2].split(",")
    assert data[4] == "WDC WD30EFRX-68EUZN0" and "XPG GAMMIX S50 Lite" not in data, data[:14]
    with p.start_program([settings(out="out_bad", folder=folder)], timeout=120) as prog:
        prog.wait_window(MAIN_TITLE)
        prog.send_keys("alt+d", "h")
        assert p.find_x_window(STATUS_TITLE, timeout=20), (p.windows(), p.boxes())
        _, rows = p.grid(STATUS_TITLE)
        assert [(i, r[3]) for i, r in enumerate(rows) if r[1] == "DiskNumber"] == [(0, "1")], rows[:2]
        prog.send_keys("alt+f", "x", window_title=STATUS_TITLE)
        prog.wait_exit(timeout=30)


if __name__ == "__main__":
    run_tests(globals())
