#!/usr/bin/env python3
# End-to-end tests of the fleet tables (menu 一覧表作成, and the console program qumbel-fleet.exe).
#
# Three computers, ALPHA01 (a failing drive), BETA02 (a healthy one) and GAMMA03 (no drive), are
# inventoried with "/b0" into the program's own folder, each under the computer name imported into
# the registry before its run (Wine reports it as the workgroup too: "ALPHA01__ALPHA01.csv"). Their
# script holds two registry values that begin with a double quote, as command lines do, and the
# marker line "/UninstallInfo"; itemlist.csv comes from the real export. The master list names
# ALPHA01 by its full identity, BETA02 by its computer name alone, and a computer without a file.
# The disk health report runs over thirty computers whose histories are made from the real ones.
#
#     python3 tests/e2e/test_fleet.py [name filter...]

import csv
import io
import os
import shutil
from datetime import datetime, timedelta
from html.parser import HTMLParser
from pathlib import Path

from harness import (IDOK, MAIN_TITLE, REPO, SHOTS, chromium, decode_cp932_lines, reg_string,
                     replay_folder, run_command, run_tests, session, wait_until, win_build, write_cp932,
                     write_reg_file)

P = None  # the prefix
# Registry values as command lines and paths hold them: a CSV reader takes the leading quote for
# the start of a quoted field.
QUOTED = {"Uninstall": '"C:\\Program Files\\App\\app.exe" /uninstall', "Odd": '"abc'}
MARKER = "/UninstallInfo"
SCRIPT = ["氏名", "HKEY_LOCAL_MACHINE", r"\SOFTWARE\OrvantaQuotes", "Uninstall==アンインストール", "Odd==引用符",
          MARKER, "$USERNAME", "// end"]
MASTER = ["PC,部署,使用者", "alpha01__alpha01,経理部,佐藤 太郎", "Beta02,営業部,鈴木 花子", "PC99,総務部,田中 一郎"]
HEADS = {"ALPHA01__ALPHA01": "ALPHA01__ALPHA01,経理部,佐藤 太郎", "BETA02__BETA02": "BETA02__BETA02,営業部,鈴木 花子",
         "GAMMA03__GAMMA03": "GAMMA03__GAMMA03,,"}
TABLES = ("roster.csv", "roster_a.csv")
DONE = "集計表を作成しました：roster.csv, roster_a.csv"


def setup_module():
    global P
    P = session().prefix
    write_cp932(P.app_dir / "regitems.txt", SCRIPT)
    values = "\n".join(f'"{k}"={reg_string(v)}' for k, v in QUOTED.items())
    P.import_reg(write_reg_file(P.root / "quotes.reg", f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvantaQuotes]\n{values}\n"))
    for name, drive in (("ALPHA01", "failing"), ("BETA02", "ata"), ("GAMMA03", None)):
        P.import_reg(write_reg_file(P.root / "computer-name.reg", "\n".join(
            f'[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Control\\ComputerName\\{key}]\n"ComputerName"="{name}"\n'
            for key in ("ComputerName", "ActiveComputerName"))))
        replay = drive and replay_folder(P.root / f"replay-{name}", {0: drive})
        r = P.run_program(["/b0", P.settings(P.app_dir, replay)], timeout=90)
        assert r.exit_code == 0 and not r.boxes, f"/b0 as {name}: {r}"
    P.export_item_list()
    write_cp932(P.app_dir / "roster2.csv", MASTER)


def csv_rows(path: Path) -> list:  # one record per line, checked
    text = path.read_bytes().decode("cp932")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    assert len(rows) == text.count("\r\n"), f"{path.name}: {len(rows)} records on {text.count(chr(10))} lines"
    return rows


def one_field(line: str) -> str:  # a per-PC line as the csv module reads it: one field ("" reads as none)
    fields = next(csv.reader([line])) or [""]
    assert len(fields) == 1, f"a per-PC line of {len(fields)} fields: {line!r}"
    return fields[0]


def test_menu_builds_both_tables_and_the_disk_report():
    # 一覧表作成 writes both tables and says so; ディスク健康レポート writes report.html and has it opened.
    record = P.record_shell_open(".html")
    with P.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "o")
        box = prog.wait_box(timeout=60)
        prog.press(IDOK)
        left_open = wait_until(lambda: not P.boxes(), 5)
        # The report's access key R is also 読み取り's, and Wine's menus run the first item of a
        # shared key (Windows selects them in turn): the item above 終了, reached round the end.
        prog.send_keys("alt+f", "Up", "Up", "Return")
        wait_until(lambda: record.exists() and record.read_bytes().strip(), 60)
        report_boxes = P.boxes()
        P.close(MAIN_TITLE)
        r = prog.wait_exit(timeout=30)
    assert (box.title, box.text, left_open, report_boxes) == ("Orvanta", DONE, True, []), (str(box), report_boxes)
    assert r.exit_code == 0 and not r.crashed, str(r)
    assert not [f.name for f in P.app_dir.iterdir() if f.name.endswith((".tmp", ".bak"))], "a temporary file was left"
    opened = record.read_bytes().decode("cp932").strip().strip('"')
    assert opened.lower() == P.windows_path(P.app_dir / "report.html").lower(), opened
    # ALPHA01's drive fails; GAMMA03 has no history; BETA02's drive is fine.
    assert list(ReportPage(P.app_dir / "report.html").computers()) == ["ALPHA01", "GAMMA03", "BETA02"]


def test_rows_are_each_computers_values_in_record_order():
    # The main table: the master header in place of the identity item, then the names from the
    # export, and each PC's lines up to the marker; the A table the master columns and the script
    # items after the marker. Line for line, and as the csv module reads them. The master entry
    # without a file closes both tables.
    items = decode_cp932_lines(P.app_dir / "itemlist.csv")
    names = [i.split(",", 1)[1] for i in items[1:items.index(f"{MARKER},{MARKER}")]]
    for table, header in zip(TABLES, (",".join([MASTER[0]] + names), MASTER[0] + ",$USERNAME")):
        lines, read = decode_cp932_lines(P.app_dir / table), csv_rows(P.app_dir / table)
        assert lines[0] == header and len(lines) == 5 and lines[-1] == MASTER[-1], (table, lines[0], lines[-1])
        assert sorted(line.split(",", 1)[0] for line in lines[1:-1]) == sorted(HEADS), lines
        for stem, head in HEADS.items():
            values = decode_cp932_lines(P.app_dir / f"{stem}.csv")
            cut = values.index(MARKER)
            values = values[1:cut] if table == TABLES[0] else values[cut + 1:]
            assert ",".join([head] + values) in lines, f"{table}: the row of {stem}"
            row = next(r for r in read if r[0] == stem)
            assert row == next(csv.reader([head])) + [one_field(v) for v in values], f"{table}: {stem} as read"
        # The main header names every column; the A header only the first four (the program and
        # patch rows that follow have no names in the catalogue).
        assert len(read[0]) == (len(read[1]) if table == TABLES[0] else 4), table


def copy_inputs(to: Path) -> Path:
    to.mkdir()
    for f in P.app_dir.glob("*.csv"):
        if f.name.lower() not in TABLES:
            shutil.copy2(f, to / f.name)
    return to


def run_console(*args, cwd=None, tool=()):  # tool: holdfile.exe and its arguments, which start the console
    fleet = win_build() / "qumbel-fleet.exe"
    return run_command(["wine", *tool, P.windows_path(fleet) if tool else fleet, *args], 120, env=P.env, cwd=cwd)


def tables(folder: Path) -> dict:
    return {name: (folder / name).read_bytes() for name in TABLES}


def test_console_program_the_same_tables_a_held_file_and_an_unreadable_one():
    folder = copy_inputs(P.root / "console")
    r = run_console(P.windows_path(folder))
    # Not a console: the message arrives as UTF-8 with a Windows line end.
    assert (r.returncode, r.stdout) == (0, (DONE + "\r\n").encode("utf-8")), (r.returncode, r.stdout, r.stderr)
    for name in TABLES:
        lines, menu = decode_cp932_lines(folder / name), decode_cp932_lines(P.app_dir / name)
        assert lines[0] == menu[0] and lines[-1] == menu[-1] and sorted(lines) == sorted(menu), name
    built = tables(folder)
    for name in TABLES:
        (folder / name).unlink()
    assert run_console(cwd=folder).returncode == 0 and tables(folder) == built, "without an argument: the current one"
    # A per-PC file held without sharing for 1.5 s (an anti-virus scan, say) is read once let go.
    held = [win_build() / "holdfile.exe", P.windows_path(folder / "BETA02__BETA02.csv"), "1500"]
    r = run_console(P.windows_path(folder), tool=held)
    assert r.returncode == 0 and tables(folder) == built, f"held: exit code {r.returncode}: {r.stderr[-300:]!r}"
    # A file whose reads fail: exit code 1, the previous tables kept, no temporary file left.
    (folder / "DELTA04__DELTA04.csv").symlink_to("/proc/self/mem")
    r = run_console(P.windows_path(folder))
    assert r.returncode == 1 and r.stderr.decode("utf-8", "replace").endswith("DELTA04__DELTA04.csvが開けません\r\n")
    assert tables(folder) == built and not list(folder.glob("*.tmp")), list(folder.iterdir())
    assert run_console(P.windows_path(P.root / "no-such-folder")).returncode == 2


def test_values_that_begin_with_a_quote_read_back_whole():
    # The per-PC file gives the values back whole (the tables copy its lines, as checked above); so
    # do the unquoted lines of an older per-PC file, which the builder quotes as it copies them.
    assert [r[0] for r in csv_rows(P.app_dir / "ALPHA01__ALPHA01.csv")[91:93]] == list(QUOTED.values())
    folder = copy_inputs(P.root / "older-files")
    older = decode_cp932_lines(P.app_dir / "GAMMA03__GAMMA03.csv")
    older[0], older[91:93] = "DELTA04__DELTA04", QUOTED.values()  # as the program wrote them before: unquoted
    write_cp932(folder / "DELTA04__DELTA04.csv", older)
    assert run_console(P.windows_path(folder)).returncode == 0
    table = csv_rows(folder / "roster.csv")
    row = next(r for r in table if r[0] == "DELTA04__DELTA04")
    columns = [table[0].index("アンインストール"), table[0].index("引用符")]
    assert len(row) == len(table[0]) and [row[c] for c in columns] == list(QUOTED.values()), row[columns[0]:]


# ---- the disk health report -------------------------------------------------------------------

CRAFTED_USER = '<script>alert("x")</script> & \'quoted\''


def make_report_fleet(folder: Path) -> None:
    # Thirty computers, a save a day: a failing drive, a warning that rose at the last save, a hot
    # drive, one not saved for 40 days, a history cut short, one without, healthy ones (a few warm,
    # some with two drives): real history lines, their times, temperatures (field 6) and failure and
    # warning counts (10, 11) changed.
    (folder / "hdd").mkdir(parents=True)
    failing, healthy, two = (decode_cp932_lines(path)[:3] for path in (
        P.app_dir / "hdd" / "ALPHA01__ALPHA01.csv", P.app_dir / "hdd" / "BETA02__BETA02.csv",
        REPO / "fuzz" / "corpus" / "history_screens" / "two_drives.csv"))
    pcs = {  # name: (history, days, {field: value(day)}), day 0 the latest save
        "K-FAIL01": (failing, 90, {10: lambda d: int(d <= 4)}),
        "K-WARN02": (healthy, 90, {11: lambda d: 2 if d == 0 else int(d < 20)}),
        "K-HOT03": (healthy, 90, {6: lambda d: 57 - d // 10}),
        "K-OLD04": (healthy, 90, {}), "K-BAD05": (healthy, 90, {}), "K-NONE06": (None, 0, {})}
    for i in range(24):
        warm = 51 if i % 8 == 3 else 31 + i % 12
        pcs[f"PC{i + 1:02d}"] = (two if i % 5 == 0 else healthy, 120, {6: lambda d, t=warm: t + d % 3})
    now = datetime.now() - timedelta(hours=1)
    for name, (template, days, change) in pcs.items():
        rows = decode_cp932_lines(P.app_dir / "BETA02__BETA02.csv")
        rows[0], rows[2] = f"{name}__WG", CRAFTED_USER if name == "PC07" else "user"
        write_cp932(folder / f"{name}__WG.csv", rows)
        if not template:
            continue
        lines = template[:2]
        for day in range(days - 1, 40 if name == "K-OLD04" else -1, -1):
            f, when = template[2].split(","), now - timedelta(days=day)
            f[0], f[1] = when.strftime("%Y/%m/%d %H:%M:%S"), str(when.isoweekday() % 7 + 1)
            for at, value in change.items():
                f[at] = str(value(day))
            lines.append(",".join(f))
        data = "".join(line + "\r\n" for line in lines).encode("cp932")
        (folder / "hdd" / f"{name}__WG.csv").write_bytes(data[:-60] if name == "K-BAD05" else data)  # cut short
    stamp = (now - timedelta(days=40)).timestamp()
    os.utime(folder / "K-OLD04__WG.csv", (stamp, stamp))
    write_cp932(folder / "hdd" / "_hddfail.txt", [f"K-FAIL01           {now - timedelta(days=4):%Y/%m/%d %H:%M:%S}"
                                                 "  故障 1/0  警告 0/0"])


class ReportPage(HTMLParser):
    # The page as html.parser reads it: elements closed where opened; every element as "tag.class",
    # and per computer (tbody "pc") its own elements and the texts of each of its cells.

    def __init__(self, path: Path):
        super().__init__()
        self.open, self.errors, self.elements, self.rows = [], [], [], []
        self.feed(path.read_bytes().decode("utf-8"))
        self.close()

    def handle_starttag(self, tag, attrs):
        element = f"{tag}.{dict(attrs).get('class') or ''}"
        self.elements.append(element)
        if element == "tbody.pc":
            self.rows.append({"elements": [], "cells": []})
        elif self.rows and "tbody" in self.open:
            self.rows[-1]["elements"].append(element)
            if tag == "td":
                self.rows[-1]["cells"].append([])
        if tag not in ("meta", "br"):
            self.open.append(tag)

    def handle_endtag(self, tag):
        if tag not in ("meta", "br") and (not self.open or self.open.pop() != tag):
            self.errors.append(f"</{tag}>")

    def handle_data(self, data):
        if self.rows and "tbody" in self.open and self.rows[-1]["cells"]:
            self.rows[-1]["cells"][-1].append(data)

    def computers(self) -> dict:  # name (the second cell's first text) -> (its text, drive rows, drive charts)
        return {row["cells"][1][0]: ("".join(sum(row["cells"], [])), row["elements"].count("tr.drive"),
                                     row["elements"].count("svg.drive-chart")) for row in self.rows}


def test_report_ranks_a_generated_fleet_worst_first():
    folder = P.root / "report-fleet"
    make_report_fleet(folder)
    r = run_console("--report", P.windows_path(folder))
    assert (r.returncode, r.stdout) == (0, "ディスク健康レポートを作成しました：report.html\r\n".encode()), r.stderr[-300:]
    page = ReportPage(folder / "report.html")
    scripts = [e for e in page.elements if e.startswith("script.")]  # a text of a per-PC file become a script
    assert not page.errors and not page.open and not scripts, (page.errors[:3], page.open, scripts)
    pcs = page.computers()
    assert len(pcs) == 30 and list(pcs)[:5] == ["K-FAIL01", "K-WARN02", "K-HOT03", "K-OLD04", "K-BAD05"], list(pcs)
    assert page.elements.count("svg.fleet-chart") == 2 and all(drives == charts for _, drives, charts in pcs.values())
    assert "履歴が読めません" in pcs["K-BAD05"][0] and "履歴なし" in pcs["K-NONE06"][0] and pcs["PC01"][1] == 2
    assert CRAFTED_USER in pcs["PC07"][0], pcs["PC07"]
    # Headless Chromium draws it: build/shots/report.png, to look at.
    png = SHOTS / "report.png"
    SHOTS.mkdir(parents=True, exist_ok=True)
    png.unlink(missing_ok=True)
    r = chromium("--hide-scrollbars", "--window-size=1500,1400", f"--screenshot={png}",
                 (folder / "report.html").as_uri(), profile=P.root / "chromium")
    assert r.returncode == 0 and png.exists() and png.stat().st_size > 20000, (r.returncode, r.stderr[-300:])


if __name__ == "__main__":
    run_tests(globals())
