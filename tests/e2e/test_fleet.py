#!/usr/bin/env python3
# End-to-end tests of the fleet tables (menu 一覧表作成, and the console program qumbel-fleet.exe).
#
# Three computers, ALPHA01 (a failing drive), BETA02 (a healthy one) and GAMMA03 (no drive), are
# inventoried with "/b0" into the program's own folder, each under the computer name imported into
# the registry before its run (Wine reports it as the workgroup too: "ALPHA01__ALPHA01.csv"). Their
# script holds two registry values that begin with a double quote, as command lines do, and the
# marker line "/UninstallInfo"; itemlist.csv comes from the real export. The master list names
# ALPHA01 by its full identity, BETA02 by its computer name alone, and a computer without a file.
# The disk health report is made from the histories of these runs.
#
#     python3 tests/e2e/test_fleet.py [name filter...]

import csv
import io
import re
import shutil
from pathlib import Path

from harness import (IDOK, MAIN_TITLE, decode_cp932_lines, reg_string, replay_folder, run_command, run_tests,
                     session, unbalanced_elements, win_build, write_cp932, write_reg_file)

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
        replay = drive and replay_folder(P.root / f"replay-{name}", drive)
        r = P.run_program(["/b0", P.settings(P.app_dir, replay)], timeout=90)
        assert r.exit_code == 0 and not r.boxes, f"/b0 as {name}: {r}"
    P.export_item_list()
    write_cp932(P.app_dir / "roster2.csv", MASTER)


def csv_rows(path: Path) -> list:  # one record per line, checked
    text = path.read_bytes().decode("cp932")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    assert len(rows) == text.count("\r\n"), f"{path.name}: {len(rows)} records on {text.count(chr(10))} lines"
    return rows


def test_menu_builds_both_tables():
    # 一覧表作成 writes both tables, says so and leaves no temporary file.
    with P.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "o")
        box = prog.wait_box(timeout=60)
        prog.press(IDOK)
        prog.quit()
    assert (box.title, box.text) == ("Orvanta", DONE), str(box)
    assert not [f.name for f in P.app_dir.iterdir() if f.name.endswith((".tmp", ".bak"))], "a temporary file was left"


def test_rows_are_each_computers_values_in_record_order():
    # The main table: the master header in place of the identity item, then the names from the
    # export, and each PC's lines up to the marker; the A table the master columns and the script
    # items after the marker. Line for line, and one record per line as the csv module reads them
    # (a value that begins with a quote would run on otherwise). The master entry without a file
    # closes both tables.
    # The per-PC file gives the values that begin with a quote back whole.
    assert [r[0] for r in csv_rows(P.app_dir / "ALPHA01__ALPHA01.csv")[91:93]] == list(QUOTED.values())
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


def test_console_report_ranks_the_failing_drive_first_and_the_pc_without_a_history_next():
    r = run_console("--report", P.windows_path(P.app_dir))
    assert (r.returncode, r.stdout) == (0, "ディスク健康レポートを作成しました：report.html\r\n".encode()), r.stderr[-300:]
    page = (P.app_dir / "report.html").read_text(encoding="utf-8")
    names = re.findall(r'<tbody class="pc">\s*<tr[^>]*><td[^>]*>.*?</td><td[^>]*>([^<]+)', page, re.S)
    assert names == ["ALPHA01", "GAMMA03", "BETA02"] and "<script" not in page, names
    assert not unbalanced_elements(page), unbalanced_elements(page)


if __name__ == "__main__":
    run_tests(globals())
