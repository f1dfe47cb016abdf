#!/usr/bin/env python3
"""End-to-end tests of the fleet tables (menu 一覧表作成, and the console program qumbel-fleet.exe)
with the real programs under Wine on an Xvfb display.

Three computers are inventoried with "/b0" into the program's own folder. Wine takes the computer
name from the registry value ActiveComputerName\\ComputerName (imported before each run) and
reports the same text as the workgroup, so the three per-PC files are "ALPHA01__ALPHA01.csv",
"BETA02__BETA02.csv" and "GAMMA03__GAMMA03.csv": three computers with different names and
workgroups (a workgroup of its own cannot be set under Wine). The registry item script holds the
marker line "/UninstallInfo"; "itemlist.csv" comes from the real export (alt+i l with "/a"); the
master list names ALPHA01 by its full identity, BETA02 by its computer name alone, and one
computer without a file; GAMMA03 has no entry.

    python3 tests/e2e/test_fleet.py [name filter...]
"""

import csv
import io
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (IDOK, MAIN_TITLE, Session, decode_cp932_lines, run_command,  # noqa: E402
                     run_tests, win_build, write_reg_file)

S = None  # the Session
COMPUTERS = ["ALPHA01", "BETA02", "GAMMA03"]
SCRIPT = ["氏名", "/UninstallInfo", "$USERNAME", "// end"]
MASTER = ["PC,部署,使用者", "alpha01__alpha01,経理部,佐藤 太郎", "Beta02,営業部,鈴木 花子", "PC99,総務部,田中 一郎"]
HEADS = {"ALPHA01__ALPHA01": "ALPHA01__ALPHA01,経理部,佐藤 太郎",
         "BETA02__BETA02": "BETA02__BETA02,営業部,鈴木 花子",
         "GAMMA03__GAMMA03": "GAMMA03__GAMMA03,,"}
DONE = "集計表を作成しました：roster.csv, roster_a.csv"
MARKER = "/UninstallInfo"

STATE = {}  # what setup_module and the menu test leave for the checks


def write_cp932(path: Path, lines) -> None:
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))


def set_computer_name(name: str) -> None:
    p = S.prefix
    keys = [r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\ComputerName\ComputerName",
            r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\ComputerName\ActiveComputerName"]
    text = "\n".join(f'[{k}]\n"ComputerName"="{name}"\n' for k in keys)
    reg = p.windows_path(write_reg_file(p.root / "computer-name.reg", text))
    # "reg import" now and then fails on a busy machine without saying why; once more then.
    for attempt in range(3):
        r = p.wine(["reg", "import", reg], timeout=60, check=False)
        if r.returncode == 0:
            return
        time.sleep(1)
    raise AssertionError(f"reg import of the computer name {name}: exit code {r.returncode}, "
                         f"{(r.stdout + r.stderr).decode('utf-8', errors='replace')[-300:]}")


def setup_module():
    global S
    S = Session().__enter__()
    p = S.prefix
    app = p.app_dir
    write_cp932(app / "regitems.txt", SCRIPT)
    ini = p.root / "fleet.ini"
    ini.write_bytes(f"[General]\r\nSaveDir={p.windows_path(app)}\r\n".encode("cp932"))
    for name in COMPUTERS:
        set_computer_name(name)
        r = p.run_program(["/b0", p.windows_path(ini)], timeout=90)
        assert r.exit_code == 0 and not r.boxes, f"/b0 as {name}: {r}"
    # The item catalogue export, through the real menu.
    with p.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+i", "l")
        deadline = time.monotonic() + 30
        while not (app / "itemlist.csv").exists() and time.monotonic() < deadline:
            time.sleep(0.3)
        time.sleep(0.5)
        prog.send_keys("alt+f", "x")
        prog.wait_exit(timeout=30)
    write_cp932(app / "roster2.csv", MASTER)


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def pc_lines(stem: str) -> list:
    return decode_cp932_lines(S.prefix.app_dir / f"{stem}.csv")


def csv_rows(path: Path) -> list:
    """The table read by the csv module as CP932 text; one record per line, checked."""
    text = path.read_bytes().decode("cp932")
    rows = list(csv.reader(io.StringIO(text, newline="")))
    assert len(rows) == text.count("\r\n"), f"{path.name}: {len(rows)} records on {text.count(chr(10))} lines"
    return rows


def one_field(value_line: str) -> str:
    """A per-PC line is one CSV field; its value as the csv module reads it."""
    if value_line == "":
        return ""  # the csv module reads an empty line as no field at all
    fields = next(csv.reader([value_line]))
    assert len(fields) == 1, f"per-PC line {value_line!r} reads as {len(fields)} fields"
    return fields[0]


def test_three_computers_wrote_their_files():
    app = S.prefix.app_dir
    for stem in HEADS:
        lines = pc_lines(stem)
        assert lines[0] == stem, f"{stem}.csv starts with {lines[0]!r}"
        assert lines.count(MARKER) == 1 and lines[91] == MARKER, f"{stem}.csv: marker at {lines.index(MARKER)}"
    items = decode_cp932_lines(app / "itemlist.csv")
    assert len(items) == 93 and items[91] == "/UninstallInfo,/UninstallInfo", items[88:]


def test_menu_builds_both_tables_and_says_so():
    p = S.prefix
    app = p.app_dir
    for name in ("roster.csv", "roster_a.csv"):
        (app / name).unlink(missing_ok=True)
    with p.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "o")
        box = prog.wait_box(timeout=60)
        prog.press(IDOK)
        time.sleep(0.5)
        left_open = p.boxes()
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert box.text == DONE, f"message: {box}"
    assert box.title == "Orvanta", f"caption: {box}"
    assert not left_open, f"still open after OK: {left_open[0]}"
    assert r.exit_code == 0 and not r.crashed, str(r)
    STATE["main"] = decode_cp932_lines(app / "roster.csv")
    STATE["a"] = decode_cp932_lines(app / "roster_a.csv")
    assert not [f.name for f in app.iterdir() if f.name.endswith(".tmp")], "a temporary file was left"


def test_rows_are_each_computers_values_in_record_order():
    main, a = STATE["main"], STATE["a"]
    items = decode_cp932_lines(S.prefix.app_dir / "itemlist.csv")
    # Header: the master header in place of the identity item, then the names from the export.
    assert main[0] == MASTER[0] + "".join("," + i.split(",", 1)[1] for i in items[1:91]), main[0]
    assert a[0] == MASTER[0] + ",$USERNAME", a[0]
    assert len(main) == len(a) == 1 + len(HEADS) + 1, f"{len(main)} and {len(a)} lines"
    # The master entry without a file closes both tables.
    assert main[-1] == a[-1] == "PC99,総務部,田中 一郎", (main[-1], a[-1])
    rows = {line.split(",", 1)[0]: line for line in main[1:-1]}
    rows_a = {line.split(",", 1)[0]: line for line in a[1:-1]}
    assert sorted(rows) == sorted(rows_a) == sorted(HEADS), (sorted(rows), sorted(rows_a))
    for stem, head in HEADS.items():
        values = pc_lines(stem)
        cut = values.index(MARKER)
        assert rows[stem] == ",".join([head] + values[1:cut]), f"main row of {stem}"
        assert rows_a[stem] == ",".join([head] + values[cut + 1:]), f"A row of {stem}"


def test_tables_read_with_the_csv_module():
    app = S.prefix.app_dir
    main, a = csv_rows(app / "roster.csv"), csv_rows(app / "roster_a.csv")
    head_fields = {stem: next(csv.reader([head])) for stem, head in HEADS.items()}
    for rows, part in ((main, "main"), (a, "a")):
        by_pc = {r[0]: r for r in rows[1:-1]}
        assert sorted(by_pc) == sorted(HEADS), f"{part}: rows {sorted(by_pc)}"
        for stem in HEADS:
            values = pc_lines(stem)
            cut = values.index(MARKER)
            own = values[1:cut] if part == "main" else values[cut + 1:]
            expected = head_fields[stem] + [one_field(v) for v in own]
            assert by_pc[stem] == expected, f"{part} row of {stem}: fields differ"
            if part == "main":
                # The main header names every column of every computer's row.
                assert len(rows[0]) == len(by_pc[stem]), f"header {len(rows[0])} fields, {stem} {len(by_pc[stem])}"
            else:
                # The A header names the master columns and the script items after the marker;
                # the program and patch rows that follow have no names in the catalogue.
                assert len(rows[0]) == 3 + 1 and len(by_pc[stem]) >= len(rows[0]), (rows[0], len(by_pc[stem]))


def copy_inputs(to: Path) -> Path:
    to.mkdir(exist_ok=True)
    for f in S.prefix.app_dir.glob("*.csv"):
        if f.name.lower() not in ("roster.csv", "roster_a.csv"):
            shutil.copy2(f, to / f.name)
    return to


def run_console(*args):
    exe = win_build() / "qumbel-fleet.exe"
    assert exe.exists(), f"{exe} is missing"
    return run_command(["wine", exe, *args], 120, env=S.prefix.env)


def test_console_program_builds_the_same_tables():
    p = S.prefix
    folder = copy_inputs(p.root / "console")
    r = run_console(p.windows_path(folder))
    assert r.returncode == 0, f"exit code {r.returncode}: {r.stdout!r} {r.stderr[-300:]!r}"
    # Not a console: the message arrives as UTF-8 with a Windows line end.
    assert r.stdout == (DONE + "\r\n").encode("utf-8"), r.stdout
    for name, menu in (("roster.csv", STATE["main"]), ("roster_a.csv", STATE["a"])):
        lines = decode_cp932_lines(folder / name)
        assert lines[0] == menu[0] and lines[-1] == menu[-1] and sorted(lines) == sorted(menu), name
    # Without an argument: the current folder.
    built = {n: (folder / n).read_bytes() for n in ("roster.csv", "roster_a.csv")}
    for n in built:
        (folder / n).unlink()
    r = run_command(["wine", win_build() / "qumbel-fleet.exe"], 120, env=p.env, cwd=folder)
    assert r.returncode == 0, f"exit code {r.returncode} in the current folder"
    assert {n: (folder / n).read_bytes() for n in built} == built, "other tables in the current folder"


def test_console_program_keeps_the_previous_tables_when_a_file_cannot_be_read():
    p = S.prefix
    folder = copy_inputs(p.root / "console-failing")
    assert run_console(p.windows_path(folder)).returncode == 0
    before = {n: (folder / n).read_bytes() for n in ("roster.csv", "roster_a.csv")}
    # A per-PC file whose reads fail: the host's /proc/self/mem.
    (folder / "DELTA04__DELTA04.csv").symlink_to("/proc/self/mem")
    r = run_console(p.windows_path(folder))
    assert r.returncode == 1, f"exit code {r.returncode}"
    assert r.stderr.decode("utf-8", errors="replace").endswith("DELTA04__DELTA04.csvが開けません\r\n"), r.stderr[-200:]
    assert {n: (folder / n).read_bytes() for n in before} == before, "the previous tables changed"
    assert not [f.name for f in folder.iterdir() if f.name.endswith(".tmp")], "a temporary file was left"
    assert run_console(p.windows_path(p.root / "no-such-folder")).returncode == 2


if __name__ == "__main__":
    run_tests(globals())
