#!/usr/bin/env python3
# End-to-end scenarios of one PC's record on a Japanese office PC (fixtures/japanese_pc.reg): the
# unattended run (hidden, ends by itself, long names and values), the switches and the default save
# folder; the interactive program: a read saved through the menu, the item lists, Help.
#
#     python3 tests/e2e/test_collection.py [name filter...]

import os
import shutil
from pathlib import Path

from harness import (HERE, ITEM_LIST_TITLE, MAIN_TITLE, SHOTS, check_golden,
                     decode_cp932_lines, run_tests, session, wait_until, win_build, write_cp932)

P = None  # the prefix
NOBODY = 65534
USER = "yamada.taro.accounting.dept"  # domain user names of 16 characters and more are common
HOST = "pc-accounting-floor3-room12-desk07-building-b-tokyo-office-01"  # 61 of DNS's 63 characters
LONG = "".join(chr(ord("a") + i % 26) for i in range(3000))


def setup_module():
    global P
    # Without root's capabilities file permissions apply to the program as on a user's PC.
    P = session(without_capabilities=True).prefix
    P.import_reg(HERE / "fixtures" / "japanese_pc.reg")


def settings(out: Path) -> str:  # naming the save folder with a final backslash, as people write it
    out.mkdir(exist_ok=True)
    return P.windows_path(write_cp932(P.root / "site.ini", ["[General]", f"SaveDir={P.windows_path(out)}\\"]))


def test_unattended_run_writes_the_record_hidden_and_ends_by_itself():
    out = P.root / "out"
    write_cp932(P.app_dir / "regitems.txt", ["$ORVLONG", "// the last line is never handled"])  # row 91
    with P.start_program(["/b0", settings(out)], timeout=120, extra_env={"USER": USER, "USERNAME": USER,
                                                                        "ORVLONG": LONG}, host_name=HOST) as prog:
        shown = []
        while prog.running and not shown:
            shown = [w for w in P.windows() if w["text"] == MAIN_TITLE and w["visible"]]
        r = prog.wait_exit(timeout=90)
    (P.app_dir / "regitems.txt").unlink()
    assert not shown and not r.timed_out and r.exit_code == 0 and not r.boxes, f"{r}, windows shown: {shown}"
    assert r.elapsed < 60, f"the unattended run took {r.elapsed:.0f}s"
    (file,) = out.glob("*.csv")
    assert not list(P.app_dir.glob("*.csv")), list(P.app_dir.iterdir())
    rows = decode_cp932_lines(file)
    assert rows[0] == file.stem and rows[7] == file.stem.split("__")[0], (file.stem, rows[:8])
    # The whole file: after the script row the installed programs, sorted, NoRemove and hotfix
    # entries left out, padded to 100 rows; then the patches from the end of the sorted list (an
    # undated one sorts after the dated).
    check_golden("collection_record.txt", rows, long=LONG)


def test_switches_the_default_folder_and_a_share_that_refuses_renames():
    out = P.root / "out"
    # A share where users may write files but not delete or rename them: a sticky folder and a
    # file of another user. The save overwrites the file in place and leaves no temporary file.
    (first,) = out.glob("*.csv")
    os.chown(out, NOBODY, NOBODY)
    out.chmod(0o1777)
    os.chown(first, NOBODY, NOBODY)
    first.chmod(0o666)
    first.write_bytes(b"previous\r\n")
    # "/h" writes no file; without a settings file the pcdata folder beside the program folder is used.
    empty, pcdata = P.root / "empty", P.app_dir.parent / "pcdata"
    pcdata.mkdir()
    for switches, folder, count in (("/b0", out, 1), ("/h/b0", empty, 0), ("/b0", None, 1)):
        r = P.run_program([switches, *([settings(folder)] if folder else [])], timeout=120)
        assert r.exit_code == 0 and not r.boxes, str(r)
        assert len(list((folder or pcdata).glob("*.csv"))) == count, (switches, list((folder or pcdata).iterdir()))
    assert [f for f in out.iterdir() if f.is_file()] == [first] and first.stat().st_uid == NOBODY, list(out.iterdir())
    assert decode_cp932_lines(first)[0] == first.stem and not list(P.app_dir.glob("*.csv"))


def export_item_list(prog, keys, count, golden):  # 設定 > 項目リスト: the file and the table it shows
    csv = P.app_dir / "itemlist.csv"
    csv.unlink(missing_ok=True)
    prog.send_keys(*keys)
    assert wait_until(csv.exists) and wait_until(lambda: len(decode_cp932_lines(csv)) == count, 5), keys
    lines, (columns, rows) = decode_cp932_lines(csv), P.grid(ITEM_LIST_TITLE)
    check_golden(golden, lines)
    # No fixed label needs CSV quoting: a line is the two cells joined with a comma.
    cells = [[r[0], ",".join(r[1:3])] for r in rows]
    assert columns[1:3] == ["9x", "NT"] and cells == [[str(i + 1), l] for i, l in enumerate(lines)], (columns, cells)


def test_interactive_window_read_and_save_item_lists_help_and_close():
    out, elsewhere = P.root / "interactive", P.root / "elsewhere"  # the current folder is not the program's
    elsewhere.mkdir()
    record = P.record_shell_open(".mht")
    with P.start_program(["/a", settings(out)], timeout=240, cwd=elsewhere) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        P.screenshot(SHOTS / "main.png", MAIN_TITLE, settle=1.0)
        # 読み取り shows the numbered table; 保存(&S) writes what it shows, row for row.
        prog.send_keys("alt+f", "r")
        # Read again until whole: a cell of a busy window reads as empty.
        grid = wait_until(lambda: (g := P.grid(MAIN_TITLE)) and len(g[1]) >= 190 and g[0][1:3] == ["ItemName", "Value"]
                          and g, 60)
        assert grid, "no whole table of the read"
        rows = grid[1]
        assert rows[0][:2] == ["1", "CSVファイル名"] and rows[9][1:] == ["使用者", "佐藤 太郎"], rows[:10]
        assert rows[89][:2] == ["90", "起動後時間"], rows[89]
        P.screenshot(SHOTS / "table.png", MAIN_TITLE, settle=1.0)
        prog.send_keys("alt+f", "s")
        lines = decode_cp932_lines(wait_until(lambda: list(out.glob("*.csv")))[0])
        diff = [(i + 1, l, r[2]) for i, (l, r) in enumerate(zip(lines, rows)) if l != r[2]]
        assert not diff and len(lines) >= 190, (len(lines), len(rows), diff[:3])
        export_item_list(prog, ["alt+i", "l"], 90, "itemlist_japanese.txt")
        export_item_list(prog, ["alt+i", "e"], 61, "itemlist_english.txt")
        # Help > 説明書 asks the shell to open qumbel.mht beside the program; without the file
        # nothing opens, and nothing is said.
        prog.send_keys("alt+h", "c")
        assert not wait_until(lambda: P.boxes() or record.exists(), 3), "a missing manual was opened or reported"
        shutil.copy(win_build() / "qumbel.mht", P.app_dir / "qumbel.mht")
        prog.send_keys("alt+h", "c")
        assert wait_until(lambda: record.exists() and record.read_bytes().strip()), "the shell was not asked"
        # WM_CLOSE: Wine leaves the keyboard focus with a program the shell started, so keys would not do.
        P.close(ITEM_LIST_TITLE)  # the main window's caption since the item list shows
        r = prog.wait_exit(timeout=30, answer=lambda box: None)  # a question would stay open
    assert r.exit_code == 0 and not r.boxes, str(r)
    opened = record.read_bytes().decode("cp932").strip().strip('"')
    assert opened.lower() == P.windows_path(P.app_dir / "qumbel.mht").lower(), opened


if __name__ == "__main__":
    run_tests(globals())
