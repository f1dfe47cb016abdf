#!/usr/bin/env python3
"""End-to-end tests of the collection run and the per-PC file: a Wine prefix dressed as a Japanese
Windows PC through registry fixtures, the unattended run into a save folder, and the rows of the
file it writes, byte for byte.

    python3 tests/e2e/test_collection.py [name filter...]
"""

import os
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (MAIN_TITLE, REPO, Session, decode_cp932_lines, reg_string,  # noqa: E402
                     run_tests, write_reg_file)

S = None
CV_NT = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion"
UNINSTALL = r"HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall"
PRINTERS = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Print\Printers"
NETWORK = r"HKEY_LOCAL_MACHINE\System\CurrentControlSet\Control\Network"

# A Japanese office PC: what the registry of such a PC holds for the rows read directly.
FIXTURE = f"""
[{CV_NT}]
"RegisteredOwner"={reg_string("佐藤 太郎")}
"RegisteredOrganization"={reg_string("株式会社オルバンタ 総務部")}
"ProductId"="55274640267283456789"
"ProductKey"="BCDFG-HJKMP-QRTVW-XY234-6789B"
"InstallDate"=dword:5f5e1000

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Services\\lanmanserver\\parameters]
"srvcomment"={reg_string("経理部 受付のPC")}

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Updates\\Windows XP\\SP3\\KB898461]
"InstalledDate"="9/5/03"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Updates\\Windows XP\\SP3\\KB923561]
"InstalledDate"="2004/11/22"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update]
"AUOptions"=dword:00000003

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings]
"MinorVersion"=";SP2;Q867801;Q823353;"

[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows]
"Device"="Laser1,winspool,LPT1:"

[{PRINTERS}\\Laser1]
"Name"="Laser1"
"Printer Driver"={reg_string("カラーレーザー ドライバ")}
"Port"="LPT1:"

[{PRINTERS}\\Laser10]
"Name"="Laser10"
"Printer Driver"="Other"
"Port"="LPT2:"

[{NETWORK}\\{{4D36E974-E325-11CE-BFC1-08002BE10318}}\\{{A1}}]
"Description"={reg_string("Microsoft ネットワーク用ファイルとプリンタ共有")}
"InfPath"="netserv.inf"

[{NETWORK}\\{{4D36E975-E325-11CE-BFC1-08002BE10318}}\\{{B1}}]
"Description"={reg_string("インターネット プロトコル (TCP/IP)")}
"InfPath"="nettcpip.inf"

[{UNINSTALL}\\OrvantaZeta]
"DisplayName"="Zeta Viewer"
"DisplayVersion"="2.1"

[{UNINSTALL}\\OrvantaAlpha]
"DisplayName"={reg_string("Alpha 会計")}
"DisplayVersion"="10.0.3"
"ProductID"="PID-1"

[{UNINSTALL}\\OrvantaSystemPart]
"DisplayName"="Beta Runtime"
"NoRemove"=dword:00000001

[{UNINSTALL}\\KB823182]
"DisplayName"="Windows XP Hotfix - KB823182 20030709.104512"

[{UNINSTALL}\\KB824146]
"DisplayName"="Windows XP Hotfix - KB824146"
"""


NOBODY = 65534


def setup_module():
    global S
    # Wine runs without root's capabilities, so that file permissions apply to the program as on
    # a user's PC (a share that refuses renames).
    S = Session(without_capabilities=True).__enter__()
    fixture = write_reg_file(S.prefix.root / "japanese-pc.reg", FIXTURE)
    S.prefix.import_reg(fixture)


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def unattended_run(switches="/b0", **how):
    """Runs the unattended program with a settings file; returns (save folder, files in it)."""
    p = S.prefix
    out = p.root / f"out-{switches.replace('/', '_')}"
    out.mkdir(exist_ok=True)
    ini = p.root / "site.ini"
    ini.write_bytes(f"[General]\r\nSaveDir={p.windows_path(out)}\\\r\n".encode("cp932"))
    r = p.run_program([switches, p.windows_path(ini)], timeout=120, **how)
    assert not r.crashed and not r.timed_out and r.exit_code == 0, str(r)
    assert not r.boxes, f"the unattended run showed boxes: {r}"
    return out, sorted(out.glob("*.csv"))


def test_unattended_run_writes_the_record_of_this_pc():
    out, files = unattended_run()
    assert len(files) == 1, [f.name for f in files]
    rows = decode_cp932_lines(files[0])  # also checks that every line ends with CR LF
    stem = files[0].stem
    assert "__" in stem
    # Rows 1 to 90 are fixed, then (no script) the programs padded to 100, then the patches.
    programs = rows[90:190]
    patches = rows[190:]
    assert len(rows) >= 190, len(rows)
    expected = {
        1: stem,
        2: "Orvanta 1.0.0",
        7: "",
        9: "経理部 受付のPC",
        10: "佐藤 太郎",
        11: "株式会社オルバンタ 総務部",
        25: "",  # the save folder is local: no time server
        32: "2004/11/22",
        33: "",
        34: "3:自動ダウンロード後通知",
        35: "AdminUser",
        36: "2020/09/13 12:26:40",
        37: "55274-640-2672834-56789",
        38: "BCDFG-HJKMP-QRTVW-XY234-6789B",
        40: ";SP2;Q867801;Q823353;",
        42: "Laser1",
        43: "カラーレーザー ドライバ",
        44: "LPT1:",
        85: "Microsoft ネットワーク用ファイルとプリンタ共有",
        86: "インターネット プロトコル (TCP/IP)",
        87: "",
        88: "",
    }
    for row, text in expected.items():
        assert rows[row - 1] == text, f"row {row}: {rows[row - 1]!r}, expected {text!r}"
    assert rows[7] == stem.split("__")[0], f"row 8 {rows[7]!r} is not the computer name of {stem}"
    assert rows[4] == stem.split("__")[1] or rows[5] == stem.split("__")[1], rows[4:6]
    # The installed programs, sorted, with the entry marked NoRemove left out.
    assert "Alpha 会計 10.0.3 PID-1" in programs, programs[:20]
    assert "Zeta Viewer 2.1 " in programs, programs[:20]
    assert programs.index("Alpha 会計 10.0.3 PID-1") < programs.index("Zeta Viewer 2.1 ")
    assert not any(p.startswith("Beta Runtime") for p in programs)
    assert not any(p.startswith("Windows XP Hotfix") for p in programs)
    # Patches come from the end of the sorted list: an undated entry ("0@...") sorts after every
    # dated one (" 2003..."), so it comes first, then the dated hotfixes newest first.
    assert patches[:2] == ["Windows XP Hotfix - KB824146  ",
                           "Windows XP Hotfix - KB823182 20030709.104512  "], patches


def test_long_user_and_host_names_are_read_whole():
    # Domain user names of 16 characters and more are common, and DNS host names have up to 63.
    user = "yamada.taro.accounting.dept"
    host = "pc-accounting-floor3-room12-desk07-building-b-tokyo-office-01"  # 61 characters
    out, files = unattended_run("/b0", extra_env={"USER": user, "USERNAME": user}, host_name=host)
    rows = decode_cp932_lines(files[0])
    assert rows[2] == user, f"row 3: {rows[2]!r}"
    assert rows[45] == host, f"row 46: {rows[45]!r}"


def test_saving_twice_overwrites_and_no_file_switch_writes_nothing():
    out, first = unattended_run()
    before = first[0].read_bytes()
    # Then a share that lets users write files but not delete or rename them: the folder (sticky)
    # and the file belong to another user. The save overwrites the file in place.
    os.chown(out, NOBODY, NOBODY)
    out.chmod(0o1777)
    os.chown(first[0], NOBODY, NOBODY)
    first[0].chmod(0o666)
    first[0].write_bytes(b"previous\r\n")
    out, second = unattended_run()
    assert [f.name for f in second] == [f.name for f in first]
    assert second[0].read_bytes().count(b"\r\n") == before.count(b"\r\n")
    assert second[0].stat().st_uid == NOBODY and not list(out.glob("~*")), list(out.iterdir())
    out_h, files = unattended_run("/h/b0")
    assert files == [], [f.name for f in files]


def test_without_a_save_folder_the_pcdata_folder_beside_the_program_folder_is_used():
    p = S.prefix
    pcdata = p.app_dir.parent / "pcdata"
    pcdata.mkdir(exist_ok=True)
    r = p.run_program(["/b0"], timeout=120)  # no settings file beside the program
    assert r.exit_code == 0 and not r.boxes, str(r)
    assert len(list(pcdata.glob("*.csv"))) == 1, list(pcdata.iterdir())
    assert not list(p.app_dir.glob("*.csv"))


def wait_for(condition, seconds=30):
    deadline = time.monotonic() + seconds
    while not (result := condition()) and time.monotonic() < deadline:
        time.sleep(0.5)
    return result


def test_interactive_read_shows_the_numbered_table_and_saves_it_from_the_menu():
    p = S.prefix
    out, files = unattended_run("/h/b0")  # an empty save folder and its settings file
    with p.start_program([p.windows_path(p.root / "site.ini")], timeout=180) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+f", "r")
        grid = wait_for(lambda: (g := p.grid(MAIN_TITLE)) and len(g[1]) >= 190 and g)
        assert grid, "no table screen"
        headers, rows = grid
        assert headers[1:3] == ["ItemName", "Value"], headers
        assert rows[0][0] == "1" and rows[0][1] == "CSVファイル名", rows[0]
        assert rows[9][1] == "使用者" and rows[9][2] == "佐藤 太郎", rows[9]
        assert rows[89][0] == "90" and rows[89][1] == "起動後時間", rows[89]
        p.screenshot(REPO / "build" / "shots" / "table.png", MAIN_TITLE, settle=1.0)
        # 保存(&S): the per-PC file holds what the table shows, row for row.
        prog.send_keys("alt+f", "s")
        files = wait_for(lambda: list(out.glob("*.csv")))
        lines = decode_cp932_lines(files[0])
        assert lines == [row[2] for row in rows[:len(lines)]] and len(lines) >= 190, lines[:3]
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert r.exit_code == 0, str(r)


def test_environment_values_longer_than_1024_characters_are_read_whole():
    p = S.prefix
    value = "".join(chr(ord("a") + i % 26) for i in range(3000))
    script = p.app_dir / "regitems.txt"
    script.write_bytes("$ORVLONG\r\n// the last line is never handled\r\n".encode("cp932"))
    try:
        out, files = unattended_run("/b0", extra_env={"ORVLONG": value})
    finally:
        script.unlink()
    rows = decode_cp932_lines(files[0])
    assert rows[90] == value, f"row 91 has {len(rows[90])} characters"


if __name__ == "__main__":
    run_tests(globals())
