#!/usr/bin/env python3
"""End-to-end scenarios of one PC's record with the real qumbel.exe under Wine: a prefix dressed
as a Japanese office PC (fixtures/japanese_pc.reg); the unattended run into a save folder (hidden,
ends by itself, the file byte for byte), long names and values, the switches and the default save
folder; then the interactive program: main window, About, a read saved through the menu, the
item list export in both languages, Exit, and Help opening the manual.

    python3 tests/e2e/test_collection.py [name filter...]
"""

import os
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (IDOK, MAIN_TITLE, SHOTS, Session, decode_cp932_lines, run_tests,  # noqa: E402
                     wait_until, win_build, write_cp932, write_reg_file)

S = None
NOBODY = 65534
LIST_TITLE = "Orvanta 項目リスト"
USER = "yamada.taro.accounting.dept"  # domain user names of 16 characters and more are common
HOST = "pc-accounting-floor3-room12-desk07-building-b-tokyo-office-01"  # 61 of DNS's 63 characters
LONG = "".join(chr(ord("a") + i % 26) for i in range(3000))
# The rows the fixture fills, and the save folder's own (no time server for a local folder).
EXPECTED = {2: "Orvanta 1.0.0", 3: USER, 7: "", 9: "経理部 受付のPC", 10: "佐藤 太郎", 11: "株式会社オルバンタ 総務部",
            25: "", 32: "2004/11/22", 33: "", 34: "3:自動ダウンロード後通知", 35: "AdminUser",
            36: "2020/09/13 12:26:40", 37: "55274-640-2672834-56789", 38: "BCDFG-HJKMP-QRTVW-XY234-6789B",
            40: ";SP2;Q867801;Q823353;", 42: "Laser1", 43: "カラーレーザー ドライバ", 44: "LPT1:", 46: HOST,
            85: "Microsoft ネットワーク用ファイルとプリンタ共有", 86: "インターネット プロトコル (TCP/IP)", 87: "", 88: "",
            91: LONG}


def setup_module():
    global S
    # Without root's capabilities file permissions apply to the program as on a user's PC.
    S = Session(without_capabilities=True).__enter__()
    S.prefix.import_reg(Path(__file__).resolve().parent / "fixtures" / "japanese_pc.reg")


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def settings(out: Path) -> str:
    out.mkdir(exist_ok=True)
    ini = write_cp932(S.prefix.root / "site.ini", ["[General]", f"SaveDir={S.prefix.windows_path(out)}\\"])
    return S.prefix.windows_path(ini)


def test_unattended_run_writes_the_record_hidden_and_ends_by_itself():
    p, out = S.prefix, S.prefix.root / "out"
    # An environment value of 3000 characters as script row 91.
    write_cp932(p.app_dir / "regitems.txt", ["$ORVLONG", "// the last line is never handled"])
    with p.start_program(["/b0", settings(out)], timeout=120, extra_env={"USER": USER, "USERNAME": USER,
                                                                        "ORVLONG": LONG}, host_name=HOST) as prog:
        shown = []
        while prog.running and not shown:
            shown = [w for w in p.windows() if w["title"] == MAIN_TITLE and w["visible"]]
        r = prog.wait_exit(timeout=90)
    (p.app_dir / "regitems.txt").unlink()
    assert not shown and not r.timed_out and r.exit_code == 0 and not r.boxes, f"{r}, windows shown: {shown}"
    assert r.elapsed < 60, f"the unattended run took {r.elapsed:.0f}s"
    files = list(out.glob("*.csv"))
    assert len(files) == 1 and not list(p.app_dir.glob("*.csv")), (files, list(p.app_dir.iterdir()))
    rows = decode_cp932_lines(files[0])
    stem = files[0].stem
    assert rows[0] == stem and rows[7] == stem.split("__")[0], (stem, rows[:8])
    for row, text in EXPECTED.items():
        assert rows[row - 1] == text, f"row {row}: {rows[row - 1][:80]!r}, expected {text[:80]!r}"
    # The installed programs, sorted, NoRemove and hotfix entries left out, padded to 100 rows;
    # then the patches from the end of the sorted list (an undated one sorts after the dated).
    programs, patches = rows[91:191], rows[191:]
    assert programs.index("Alpha 会計 10.0.3 PID-1") < programs.index("Zeta Viewer 2.1 "), programs[:10]
    assert not any(p.startswith(("Beta Runtime", "Windows XP Hotfix")) for p in programs), programs[:10]
    assert patches[:2] == ["Windows XP Hotfix - KB824146  ", "Windows XP Hotfix - KB823182 20030709.104512  "]


def test_switches_the_default_folder_and_a_share_that_refuses_renames():
    p, out = S.prefix, S.prefix.root / "out"
    # A share where users may write files but not delete or rename them: a sticky folder and a
    # file of another user. The save overwrites the file in place and leaves no temporary file.
    (first,) = out.glob("*.csv")
    os.chown(out, NOBODY, NOBODY)
    out.chmod(0o1777)
    os.chown(first, NOBODY, NOBODY)
    first.chmod(0o666)
    first.write_bytes(b"previous\r\n")
    r = p.run_program(["/b0", settings(out)], timeout=120)
    assert r.exit_code == 0 and not r.boxes, str(r)
    assert list(out.glob("*.csv")) == [first] and first.stat().st_uid == NOBODY, list(out.iterdir())
    assert not list(out.glob("~*")), list(out.iterdir())
    assert decode_cp932_lines(first)[0] == first.stem
    # "/h" writes no file; without a settings file the pcdata folder beside the program folder is used.
    empty = p.root / "empty"
    pcdata = p.app_dir.parent / "pcdata"
    pcdata.mkdir()
    for args, folder, count in ((["/h/b0", settings(empty)], empty, 0), (["/b0"], pcdata, 1)):
        r = p.run_program(args, timeout=120)
        assert r.exit_code == 0 and not r.boxes, str(r)
        assert len(list(folder.glob("*.csv"))) == count, (args, list(folder.iterdir()))
    assert not list(p.app_dir.glob("*.csv"))


def export_item_list(prog, keys, count):
    """The item list (設定 > 項目リスト) written beside the program, and the table it shows."""
    csv = S.prefix.app_dir / "itemlist.csv"
    csv.unlink(missing_ok=True)
    prog.send_keys(*keys)
    assert wait_until(csv.exists) and wait_until(lambda: len(decode_cp932_lines(csv)) == count, 5), keys
    lines, (columns, rows) = decode_cp932_lines(csv), S.prefix.grid(LIST_TITLE)
    assert columns[1:3] == ["9x", "NT"] and [r[0] for r in rows] == [str(i + 1) for i in range(count)], columns
    # No fixed label needs CSV quoting: a line is the two cells joined with a comma.
    assert [",".join(r[1:3]) for r in rows] == lines, [(r, l) for r, l in zip(rows, lines) if ",".join(r[1:3]) != l]
    return lines


def test_interactive_window_about_read_and_save_item_lists_and_exit():
    p, out = S.prefix, S.prefix.root / "interactive"
    with p.start_program(["/a", settings(out)], timeout=240) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        p.screenshot(SHOTS / "main.png", MAIN_TITLE, settle=1.0)
        prog.send_keys("alt+h", "a")
        box = prog.wait_box(timeout=20)
        assert "Orvanta" in box.text.splitlines()[0] and IDOK in box.button_ids(), str(box)
        prog.press(IDOK)
        assert wait_until(lambda: not p.boxes(), 10), "the About box is still open after OK"
        # 読み取り shows the numbered table; 保存(&S) writes what it shows, row for row.
        prog.send_keys("alt+f", "r")
        grid = wait_until(lambda: (g := p.grid(MAIN_TITLE)) and len(g[1]) >= 190 and g, 60)
        assert grid and grid[0][1:3] == ["ItemName", "Value"], grid and grid[0]
        rows = grid[1]
        assert rows[0][:2] == ["1", "CSVファイル名"] and rows[9][1:] == ["使用者", "佐藤 太郎"], rows[:10]
        assert rows[89][:2] == ["90", "起動後時間"], rows[89]
        p.screenshot(SHOTS / "table.png", MAIN_TITLE, settle=1.0)
        prog.send_keys("alt+f", "s")
        files = wait_until(lambda: list(out.glob("*.csv")))
        lines = decode_cp932_lines(files[0])
        diff = [(i + 1, l, r[2]) for i, (l, r) in enumerate(zip(lines, rows)) if l != r[2]]
        assert not diff and len(lines) >= 190, (len(lines), len(rows), diff[:3])
        japanese = export_item_list(prog, ["alt+i", "l"], 90)
        assert japanese[24] == ",時計誤差Min", japanese[24]
        export_item_list(prog, ["alt+i", "e"], 61)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30, answer=lambda box: None)  # a question would stay open
    assert r.exit_code == 0 and r.boxes == [box], str(r)


def test_help_asks_the_shell_to_open_the_manual_beside_the_program():
    p = S.prefix
    record = p.root / "opened.txt"
    # A handler for .mht that writes the document it is given into a file.
    p.import_reg(write_reg_file(p.root / "mht.reg", "\n".join([
        r"[HKEY_CLASSES_ROOT\.mht]", '@="OrvantaTest.mht"', r"[HKEY_CLASSES_ROOT\OrvantaTest.mht\shell\open\command]",
        '@="C:\\\\windows\\\\system32\\\\cmd.exe /c echo \\"%1\\">' + p.windows_path(record).replace("\\", "\\\\") + '"'])))
    elsewhere = p.root / "elsewhere"  # the current folder is not the program's
    elsewhere.mkdir()
    with p.start_program([], timeout=120, cwd=elsewhere) as prog:
        prog.wait_window(MAIN_TITLE, timeout=60)
        prog.send_keys("alt+h", "c")  # without the file nothing opens, and nothing is said
        assert not wait_until(lambda: p.boxes() or record.exists(), 3), "a missing manual was opened or reported"
        shutil.copy(win_build() / "qumbel.mht", p.app_dir / "qumbel.mht")
        prog.send_keys("alt+h", "c")
        assert wait_until(lambda: record.exists() and record.read_bytes().strip()), "the shell was not asked"
        # Wine leaves the keyboard focus with the started handler: close the window directly.
        p.helper("close", MAIN_TITLE)
        r = prog.wait_exit(timeout=30)
    opened = record.read_bytes().decode("cp932").strip().strip('"')
    assert opened.lower() == p.windows_path(p.app_dir / "qumbel.mht").lower(), opened
    assert not r.crashed and r.exit_code == 0, str(r)


if __name__ == "__main__":
    run_tests(globals())
