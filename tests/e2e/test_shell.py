#!/usr/bin/env python3
"""End-to-end tests of the program shell: start modes, the main window, About, the administrator
menus' item lists and Exit, with the real qumbel.exe under Wine on an Xvfb display.

    python3 tests/e2e/test_shell.py [name filter...]
"""

import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (IDOK, MAIN_TITLE, REPO, Session, decode_cp932_lines,  # noqa: E402
                     run_tests)

LIST_TITLE = "Orvanta 項目リスト"  # the caption while the item list is shown

S = None  # the Session (one display and one prefix for all tests of this file)


def setup_module():
    global S
    S = Session().__enter__()


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def write_settings(folder: Path, save_dir_windows: str) -> Path:
    ini = folder / "site.ini"
    ini.write_bytes(f"[General]\r\nSaveDir={save_dir_windows}\r\n".encode("cp932"))
    return ini


def windows_of_program():
    return [w for w in S.prefix.windows() if w["title"] == MAIN_TITLE]


def test_unattended_start_is_hidden_and_ends_by_itself():
    p = S.prefix
    out = p.root / "unattended-out"
    out.mkdir(exist_ok=True)
    ini = write_settings(p.root, p.windows_path(out))
    with p.start_program(["/b0", p.windows_path(ini)], timeout=90) as prog:
        shown = []
        # While it runs, the program never shows its window.
        while prog.running and len(shown) < 50:
            shown += [w for w in windows_of_program() if w["visible"]]
            if shown:
                break
        r = prog.wait_exit(timeout=60)
    assert not shown, f"the unattended run showed its window: {shown}"
    assert not r.timed_out, f"the unattended run did not end by itself: {r}"
    assert not r.crashed, str(r)
    assert r.exit_code == 0, str(r)
    assert not r.boxes, f"the unattended run asked something: {r}"
    assert r.elapsed < 45, f"the unattended run took {r.elapsed:.0f}s"
    # The settings file given as the argument was read: the per-PC file is in its save folder,
    # and nowhere else.
    files = sorted(out.glob("*.csv"))
    assert len(files) == 1, f"files in the save folder: {[f.name for f in files]}"
    lines = decode_cp932_lines(files[0])
    assert lines and lines[0] == files[0].stem, f"first line {lines[:1]} in {files[0].name}"
    assert not list(p.app_dir.glob("*.csv")), "a per-PC file was written beside the program"
    # Without a display the window cannot be made: the run still waits its delay, then saves.
    files[0].unlink()
    r = p.run_program(["/b2", p.windows_path(ini)], timeout=60, extra_env={"DISPLAY": ""})
    assert r.exit_code == 0 and r.elapsed >= 2 and len(list(out.glob("*.csv"))) == 1, str(r)


def test_interactive_start_shows_the_main_window():
    p = S.prefix
    with p.start_program([], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        assert any(w["visible"] for w in windows_of_program()), p.windows()
        shot = p.screenshot(REPO / "build" / "shots" / "main.png", MAIN_TITLE, settle=1.0)
        assert shot.exists() and shot.stat().st_size > 1000, "no screenshot written"
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert r.exit_code == 0, str(r)


def test_about_box_names_the_program():
    p = S.prefix
    with p.start_program([], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+h", "a")
        box = prog.wait_box(timeout=20)
        assert box.texts, f"the About box has no text: {box}"
        first_line = box.text.splitlines()[0]
        assert "Orvanta" in first_line, f"About box: {box}"
        assert IDOK in box.button_ids(), f"About box without OK: {box}"
        prog.press(IDOK)
        # The window is still there after the box is answered.
        prog.wait_window(MAIN_TITLE, timeout=10)
        assert not p.boxes(), "the About box is still open after OK"
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert r.exit_code == 0, str(r)


def export_item_list(keys):
    """Runs the program with /a from a fresh copy, exports the item list with the given access
    keys, and returns the lines of itemlist.csv beside the program and the table screen's rows
    (None when the table could not be read)."""
    p = S.prefix
    csv = p.app_dir / "itemlist.csv"
    if csv.exists():
        csv.unlink()
    with p.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys(*keys)
        deadline = time.monotonic() + 30
        while prog.running and not csv.exists() and time.monotonic() < deadline:
            time.sleep(0.3)
        time.sleep(0.5)
        unexpected = p.boxes()
        table = p.grid(LIST_TITLE)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out, str(r)
    assert not unexpected, f"the export showed a message: {unexpected[0]}"
    assert csv.exists(), f"no itemlist.csv beside the program ({r})"
    return decode_cp932_lines(csv), table


def check_table_matches_file(table, lines):
    assert table is not None, f"no table screen in a window titled {LIST_TITLE!r}"
    columns, rows = table
    assert columns[1:3] == ["9x", "NT"], f"table headers {columns}"
    assert len(rows) == len(lines), f"{len(rows)} table rows, {len(lines)} lines in the file"
    for i, (row, line) in enumerate(zip(rows, lines), start=1):
        assert row[0] == str(i), f"table row {i} is numbered {row[0]!r}"
        # No fixed label needs CSV quoting, so a line is the two cells joined with a comma.
        assert ",".join(row[1:3]) == line, f"row {i}: table {row[1:3]} vs file {line!r}"


def test_item_list_export_japanese():
    lines, table = export_item_list(["alt+i", "l"])
    assert len(lines) == 90, f"{len(lines)} lines"
    assert lines[24].startswith(","), f"line 25: {lines[24]!r}"
    fields = lines[24].split(",")
    assert len(fields) > 1 and fields[1] == "時計誤差Min", f"line 25: {lines[24]!r}"
    check_table_matches_file(table, lines)


def test_item_list_export_english():
    lines, table = export_item_list(["alt+i", "e"])
    assert len(lines) == 61, f"{len(lines)} lines"
    check_table_matches_file(table, lines)


def test_exit_closes_without_a_question():
    p = S.prefix
    with p.start_program([], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30, answer=lambda box: None)  # a question would stay open
    assert not r.boxes, f"Exit asked: {r}"
    assert not r.timed_out, f"the window did not close: {r}"
    assert r.exit_code == 0, str(r)


if __name__ == "__main__":
    run_tests(globals())
