#!/usr/bin/env python3
"""End-to-end tests of the fleet tables (menu 一覧表作成, and the console program qumbel-fleet.exe)
with the real programs under Wine on an Xvfb display.

Three computers are inventoried with "/b0" into the program's own folder. Wine takes the computer
name from the registry value ActiveComputerName\\ComputerName (imported before each run) and
reports the same text as the workgroup, so the three per-PC files are "ALPHA01__ALPHA01.csv",
"BETA02__BETA02.csv" and "GAMMA03__GAMMA03.csv": three computers with different names and
workgroups (a workgroup of its own cannot be set under Wine). The registry item script holds two
registry values that begin with a double quote (as command lines do) and the marker line
"/UninstallInfo"; "itemlist.csv" comes from the real export (alt+i l with "/a"); the master list
names ALPHA01 by its full identity, BETA02 by its computer name alone, and one computer without a
file; GAMMA03 has no entry. ALPHA01 reads a failing drive and BETA02 a healthy one from replayed
sectors, so that both start a real disk health history; GAMMA03 has none.

The disk health report (qumbel-fleet.exe --report, and the menu command ディスク健康レポート) runs
over a generated fleet of thirty computers whose histories are made from those real histories.

    python3 tests/e2e/test_fleet.py [name filter...]
"""

import csv
import io
import os
import shutil
import sys
import time
from datetime import datetime, timedelta
from html.parser import HTMLParser
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (IDOK, MAIN_TITLE, REPO, Session, decode_cp932_lines, reg_string,  # noqa: E402
                     run_command, run_tests, win_build, write_reg_file)
from test_concurrency import failing_drive_sectors, hexdump  # noqa: E402

S = None  # the Session
COMPUTERS = ["ALPHA01", "BETA02", "GAMMA03"]
# Registry values as command lines and paths hold them: a CSV reader takes the leading quote for
# the start of a quoted field.
QUOTED = {"Uninstall": '"C:\\Program Files\\App\\app.exe" /uninstall', "Odd": '"abc'}
SCRIPT = ["氏名", "HKEY_LOCAL_MACHINE", r"\SOFTWARE\OrvantaQuotes", "Uninstall==アンインストール", "Odd==引用符",
          "/UninstallInfo", "$USERNAME", "// end"]
MARKER_ROW = 94  # 90 fixed rows, 氏名 and the two values, then the marker
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


def replay_folder(name: str) -> Path:
    """Captured sectors: ALPHA01 a real failing drive's table (as test_concurrency lays it out),
    BETA02 a real WD30EFRX capture; None for a computer without a readable drive."""
    folder = S.prefix.root / f"replay-{name}"
    folder.mkdir()
    if name == "ALPHA01":
        for kind, sector in failing_drive_sectors().items():
            (folder / f"drive0_{kind}.hexdump.txt").write_text(hexdump(sector), encoding="ascii")
    else:
        for kind in ("identify", "smart_read_data", "smart_read_thresholds"):
            shutil.copy(REPO / "tests" / "data" / "smart" / f"cdi_WDC_WD30EFRX-68EUZN0_{kind}.hexdump.txt",
                        folder / f"drive0_{kind}.hexdump.txt")
    return folder


def setup_module():
    global S
    S = Session().__enter__()
    p = S.prefix
    app = p.app_dir
    write_cp932(app / "regitems.txt", SCRIPT)
    values = "\n".join(f'"{k}"={reg_string(v)}' for k, v in QUOTED.items())
    p.import_reg(write_reg_file(p.root / "quotes.reg", f"[HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvantaQuotes]\n{values}\n"))
    for name in COMPUTERS:
        set_computer_name(name)
        ini = p.root / f"{name}.ini"
        text = f"[General]\r\nSaveDir={p.windows_path(app)}\r\n"
        if name != "GAMMA03":
            text += f"SmartReplayFolder={p.windows_path(replay_folder(name))}\r\n"
        ini.write_bytes(text.encode("cp932"))
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
        assert lines.count(MARKER) == 1 and lines[MARKER_ROW - 1] == MARKER, f"{stem}.csv: marker at {lines.index(MARKER)}"
    items = decode_cp932_lines(app / "itemlist.csv")
    assert len(items) == MARKER_ROW + 1 and items[MARKER_ROW - 1] == "/UninstallInfo,/UninstallInfo", items[88:]
    assert (app / "hdd" / "ALPHA01__ALPHA01.csv").exists() and (app / "hdd" / "BETA02__BETA02.csv").exists()


def test_menu_builds_both_tables_and_the_disk_report():
    """一覧表作成 writes both tables and says so; ディスク健康レポート writes report.html beside the
    program and asks the shell to open it (a handler registered for .html records the request)."""
    p = S.prefix
    app = p.app_dir
    for name in ("roster.csv", "roster_a.csv"):
        (app / name).unlink(missing_ok=True)
    record = p.root / "opened-report.txt"
    write_reg_file(p.root / "html.reg", "\n".join([
        r"[HKEY_CLASSES_ROOT\.html]", '@="OrvantaTest.html"', "",
        r"[HKEY_CLASSES_ROOT\OrvantaTest.html\shell\open\command]",
        '@="C:\\\\windows\\\\system32\\\\cmd.exe /c echo \\"%1\\">' +
        p.windows_path(record).replace("\\", "\\\\") + '"', ""]))
    p.import_reg(p.root / "html.reg")
    with p.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "o")
        box = prog.wait_box(timeout=60)
        prog.press(IDOK)
        time.sleep(0.5)
        left_open = p.boxes()
        # The report's access key R is also 読み取り's, and Wine's menus run the first item of a
        # shared key (Windows selects them in turn): the item above 終了, reached round the end.
        prog.send_keys("alt+f", "Up", "Up", "Return")
        deadline = time.monotonic() + 60
        while not (record.exists() and record.read_bytes().strip()) and time.monotonic() < deadline:
            time.sleep(0.3)
        opened = record.read_bytes().decode("cp932").strip().strip('"') if record.exists() else None
        report_boxes = p.boxes()
        # Wine leaves the keyboard focus with the started handler: close the window directly.
        p.helper("close", MAIN_TITLE)
        r = prog.wait_exit(timeout=30)
    assert box.text == DONE, f"message: {box}"
    assert box.title == "Orvanta", f"caption: {box}"
    assert not left_open, f"still open after OK: {left_open[0]}"
    assert r.exit_code == 0 and not r.crashed, str(r)
    STATE["main"] = decode_cp932_lines(app / "roster.csv")
    STATE["a"] = decode_cp932_lines(app / "roster_a.csv")
    assert not [f.name for f in app.iterdir() if f.name.endswith((".tmp", ".bak"))], "a temporary file was left"
    assert not report_boxes, f"a message box: {report_boxes[0]}"
    assert opened is not None and opened.lower() == p.windows_path(app / "report.html").lower(), opened
    page = ReportPage()
    page.feed((app / "report.html").read_bytes().decode("utf-8"))
    # ALPHA01's drive fails; GAMMA03 has no history; BETA02's drive is fine.
    assert [row["name"] for row in page.rows] == ["ALPHA01", "GAMMA03", "BETA02"], [row["name"] for row in page.rows]


def test_rows_are_each_computers_values_in_record_order():
    main, a = STATE["main"], STATE["a"]
    items = decode_cp932_lines(S.prefix.app_dir / "itemlist.csv")
    # Header: the master header in place of the identity item, then the names from the export.
    assert main[0] == MASTER[0] + "".join("," + i.split(",", 1)[1] for i in items[1:MARKER_ROW - 1]), main[0]
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


def test_values_that_begin_with_a_quote_read_back_whole():
    """The per-PC file and the tables, read by the csv module, give the registry values back as
    they are, each in its own column; so do the lines of a per-PC file written before such values
    were quoted, which the builder quotes as it copies them."""
    p = S.prefix
    text = (p.app_dir / "ALPHA01__ALPHA01.csv").read_bytes().decode("cp932")
    records = list(csv.reader(io.StringIO(text, newline="")))
    assert len(records) == text.count("\r\n"), f"{len(records)} records in {text.count(chr(10))} lines"
    assert [r[0] for r in records[91:93]] == list(QUOTED.values()), records[91:93]
    main = csv_rows(p.app_dir / "roster.csv")
    columns = [main[0].index("アンインストール"), main[0].index("引用符")]
    row = next(r for r in main if r[0] == "ALPHA01__ALPHA01")
    assert len(row) == len(main[0]) and [row[c] for c in columns] == list(QUOTED.values()), row[columns[0]:]

    folder = copy_inputs(p.root / "older-files")
    older = pc_lines("GAMMA03__GAMMA03")
    older[0] = "DELTA04__DELTA04"
    older[91:93] = QUOTED.values()  # as the program wrote them before: unquoted
    write_cp932(folder / "DELTA04__DELTA04.csv", older)
    assert run_console(p.windows_path(folder)).returncode == 0
    main = csv_rows(folder / "roster.csv")
    row = next(r for r in main if r[0] == "DELTA04__DELTA04")
    assert len(row) == len(main[0]) and [row[c] for c in columns] == list(QUOTED.values()), row[columns[0]:]


def test_console_program_waits_for_a_per_pc_file_held_for_a_moment():
    """A per-PC file another program holds without sharing (an anti-virus scan, say) for a moment
    is read once it lets go: holdfile.exe holds it 1.5 s and starts qumbel-fleet.exe meanwhile."""
    p = S.prefix
    folder = copy_inputs(p.root / "held")
    r = run_command(["wine", win_build() / "holdfile.exe", p.windows_path(folder / "BETA02__BETA02.csv"), "1500",
                     p.windows_path(win_build() / "qumbel-fleet.exe"), p.windows_path(folder)], 120, env=p.env)
    assert r.returncode == 0, f"exit code {r.returncode}: {r.stderr[-300:]!r}"
    assert any(line.startswith("BETA02__BETA02,") for line in decode_cp932_lines(folder / "roster.csv"))


# ---- the disk health report -------------------------------------------------------------------

REPORT_FIRST = ["K-FAIL01", "K-WARN02", "K-HOT03", "K-OLD04", "K-BAD05"]  # in the order of the ranking
CRAFTED_USER = '<script>alert("x")</script> & \'quoted\''


def history_template(path: Path) -> tuple:
    """The header lines and the first data line (split) of a history the program wrote."""
    lines = decode_cp932_lines(path)
    return lines[:2], lines[2].split(",")


def make_report_fleet(folder: Path) -> None:
    """Thirty computers, one save a day each: a failing drive, a warning that rose at the last
    save, a hot drive, one that has not saved for 40 days, a history cut short, one without a
    history, and healthy ones, a few warm, some with two drives. The histories are the real lines
    of app\\hdd (and of a two-drive history the history writer made over real captures) with their
    time stamps, temperatures (field 6) and failure and warning counts (10, 11) changed."""
    (folder / "hdd").mkdir(parents=True)
    hdd = S.prefix.app_dir / "hdd"
    failing, healthy = history_template(hdd / "ALPHA01__ALPHA01.csv"), history_template(hdd / "BETA02__BETA02.csv")
    two = history_template(REPO / "fuzz" / "corpus" / "history_screens" / "two_drives.csv")
    pcs = {  # name: (history, days, {field: value(day)}), day 0 the latest save
        "K-FAIL01": (failing, 90, {10: lambda d: int(d <= 4)}),
        "K-WARN02": (healthy, 90, {11: lambda d: 2 if d == 0 else int(d < 20)}),
        "K-HOT03": (healthy, 90, {6: lambda d: 57 - d // 10}),
        "K-OLD04": (healthy, 90, {}), "K-BAD05": (healthy, 90, {}), "K-NONE06": (None, 0, {})}
    for i in range(24):
        pcs[f"PC{i + 1:02d}"] = (two if i % 5 == 0 else healthy, 120, {6: lambda d, t=51 if i % 8 == 3 else 31 + i % 12: t + d % 3})
    now = datetime.now() - timedelta(hours=1)
    for name, (template, days, change) in pcs.items():
        rows = pc_lines("BETA02__BETA02")
        rows[0], rows[2] = f"{name}__WG", CRAFTED_USER if name == "PC07" else "user"
        write_cp932(folder / f"{name}__WG.csv", rows)
        if not template:
            continue
        lines = list(template[0])
        for day in range(days - 1, 40 if name == "K-OLD04" else -1, -1):
            f, when = list(template[1]), now - timedelta(days=day)
            f[0], f[1] = when.strftime("%Y/%m/%d %H:%M:%S"), str(when.isoweekday() % 7 + 1)
            for field, value in change.items():
                f[field] = str(value(day))
            lines.append(",".join(f))
        data = "".join(line + "\r\n" for line in lines).encode("cp932")
        (folder / "hdd" / f"{name}__WG.csv").write_bytes(data[:-60] if name == "K-BAD05" else data)  # cut short
    stamp = (now - timedelta(days=40)).timestamp()
    os.utime(folder / "K-OLD04__WG.csv", (stamp, stamp))
    write_cp932(folder / "hdd" / "_hddfail.txt", [f"K-FAIL01           {now - timedelta(days=4):%Y/%m/%d %H:%M:%S}  故障 1/0  警告 0/0"])


class ReportPage(HTMLParser):
    """The page as html.parser reads it: every element closed where it was opened (void elements
    aside); per computer its name (its second cell), text, drive rows and their charts."""

    def __init__(self):
        super().__init__()
        self.stack, self.errors, self.rows, self.fleet_charts, self.scripts, self.cell = [], [], [], 0, 0, 0

    def handle_starttag(self, tag, attrs):
        css = dict(attrs).get("class") or ""
        self.scripts += tag == "script"
        self.fleet_charts += tag == "svg" and css == "fleet-chart"
        if tag == "tbody" and css == "pc":
            self.rows.append({"name": None, "drives": 0, "charts": 0, "text": ""})
            self.cell = 0
        elif self.rows and "tbody" in self.stack:
            row = self.rows[-1]
            row["drives"] += tag == "tr" and css == "drive"
            row["charts"] += tag == "svg" and css == "drive-chart"
            self.cell += tag == "td"
        if tag not in ("meta", "br"):
            self.stack.append(tag)

    def handle_endtag(self, tag):
        if tag not in ("meta", "br") and (not self.stack or self.stack.pop() != tag):
            self.errors.append(f"</{tag}>")

    def handle_data(self, data):
        if self.rows and "tbody" in self.stack:
            self.rows[-1]["text"] += data
            if self.cell == 2 and self.rows[-1]["name"] is None and data.strip():
                self.rows[-1]["name"] = data.strip()


def test_report_ranks_a_generated_fleet_worst_first():
    p = S.prefix
    folder = p.root / "report-fleet"
    make_report_fleet(folder)
    r = run_console("--report", p.windows_path(folder))
    assert r.returncode == 0, f"exit code {r.returncode}: {r.stderr[-300:]!r}"
    assert r.stdout == "ディスク健康レポートを作成しました：report.html\r\n".encode("utf-8"), r.stdout
    page = ReportPage()
    page.feed((folder / "report.html").read_bytes().decode("utf-8"))
    page.close()
    assert not page.errors and not page.stack, (page.errors[:3], page.stack)
    assert page.scripts == 0, "a text of a per-PC file became a script"
    names = [row["name"] for row in page.rows]
    assert len(names) == 30 and names[:5] == REPORT_FIRST, names
    assert page.fleet_charts == 2
    for row in page.rows:
        assert row["charts"] == row["drives"], row
    by_name = {row["name"]: row for row in page.rows}
    assert "履歴が読めません" in by_name["K-BAD05"]["text"] and "履歴なし" in by_name["K-NONE06"]["text"]
    assert by_name["PC01"]["drives"] == 2 and CRAFTED_USER in by_name["PC07"]["text"]
    # Headless Chromium draws it: build/shots/report.png, to look at.
    png = REPO / "build" / "shots" / "report.png"
    png.parent.mkdir(parents=True, exist_ok=True)
    png.unlink(missing_ok=True)
    r = run_command(["chromium", "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     f"--user-data-dir={p.root / 'chromium'}", "--hide-scrollbars", "--window-size=1500,1400",
                     f"--screenshot={png}", (folder / "report.html").as_uri()], 90)
    assert r.returncode == 0 and png.exists() and png.stat().st_size > 20000, (r.returncode, r.stderr[-300:])


if __name__ == "__main__":
    run_tests(globals())
