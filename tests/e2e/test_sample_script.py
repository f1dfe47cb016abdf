#!/usr/bin/env python3
"""End-to-end tests of the sample script shipped beside the program, regitems.sample.txt, with the
real qumbel.exe under Wine on an Xvfb display.

    python3 tests/e2e/test_sample_script.py [name filter...]

The sample from the build folder is put beside a copy of the program as regitems.txt. An unattended
run ("/b0 site.ini") on a PC without the keys it reads, then one over registry fixtures of a
Windows 11 PC with three browsers, Office and Defender (fixtures/sample_script.reg), write the
per-PC file, whose rows after row 90 are checked exactly. The item list export must name those rows
one for one, and the fleet table builder must split the tables at the sample's "/UninstallInfo".
The same fixtures make the fixed rows of Windows 11 (31, 34, 85) and the program rows of the
user's own and the 32-bit uninstall list.
"""

import csv
import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (MAIN_TITLE, REPO, Session, decode_cp932_lines, run_command,  # noqa: E402
                     run_tests, win_build)

HERE = Path(__file__).resolve().parent
SAMPLE = "regitems.sample.txt"

# Name (from the item list) and value (in the per-PC file) of every row the sample adds after row
# 90, over the fixtures. None: a fact of the PC that WMI gives, the same with or without the keys.
ROWS = [
    ("Windows表示バージョン", "23H2"),
    ("Windowsビルド", "'22631.3880"),   # "'" keeps spreadsheets from reading it as a number
    ("Windowsエディション", "Professional"),
    ("Edgeバージョン", "131.0.2903.86"),
    ("Chromeバージョン", "131.0.6778.109"),
    ("Firefoxバージョン", "133.0 (x64 ja)"),
    ("Officeバージョン", "16.0.18129.20158"),
    ("Office製品ID", '"O365ProPlusRetail,VisioProRetail"'),  # a comma: quoted as a CSV field
    ("Officeビット数", "x64"),
    ("Defenderプラットフォーム", "4.18.24090.11-0"),
    ("Defender定義バージョン", "1.421.1234.0"),
    ("Defenderエンジンバージョン", "1.1.24090.11"),
    ("#antivirus", ""),  # Wine has no Security Center and no Defender
    ("", ""),
    ("#updates", None),
] + [("", None)] * 4 + [
    ("#wmi:Win32_VideoController.Name,DriverVersion", None),
    ("", None),
    ("/UninstallInfo", "/UninstallInfo"),
]
# Wine's one hotfix, and the graphics adapter it shows on Xvfb.
WINE_UPDATES = ["2022/02/22 KB1234567 Update", "", "", "", ""]
WINDOWS_ROWS = 3  # the first rows, read from Windows' own key (which Wine has too)

S = None


def setup_module():
    global S
    S = Session().__enter__()
    sample = win_build() / SAMPLE
    assert sample.exists(), f"{sample} is missing (make exe copies it from dist/)"
    shutil.copy(sample, S.prefix.app_dir / "regitems.txt")


def teardown_module():
    if S:
        S.__exit__(None, None, None)


def unattended_run():
    """The rows of the per-PC file of one unattended run."""
    p = S.prefix
    out = p.root / "out"
    if out.exists():
        shutil.rmtree(out)
    out.mkdir()
    ini = p.root / "site.ini"
    ini.write_bytes(f"[General]\r\nSaveDir={p.windows_path(out)}\r\n".encode("cp932"))
    r = p.run_program(["/b0", p.windows_path(ini)], timeout=120, answer=lambda box: None)
    assert not r.crashed and not r.timed_out and r.exit_code == 0, str(r)
    assert not r.boxes, f"the sample asked something during an unattended run: {r}"
    files = list(out.glob("*.csv"))
    assert len(files) == 1, f"per-PC files: {files}"
    return files[0], decode_cp932_lines(files[0])


def test_the_shipped_file_is_cp932_with_crlf_and_ends_with_a_comment():
    built = win_build() / SAMPLE
    assert built.read_bytes() == (REPO / "dist" / SAMPLE).read_bytes(), "the build's copy differs from dist/"
    lines = decode_cp932_lines(built)  # checks CR LF and CP932
    assert lines[-1].startswith("//"), f"last line {lines[-1]!r}: the last line never yields a row"
    assert "" not in lines, "an empty line would add an empty row"
    assert not any(l.startswith((">", "<")) for l in lines), "a question would stop an unattended run"


def test_a_pc_without_the_keys_gets_empty_rows_in_the_same_places():
    _, rows = unattended_run()
    added = rows[90:90 + len(ROWS)]
    assert added[-1] == "/UninstallInfo", added
    for i, ((name, want), have) in enumerate(zip(ROWS[WINDOWS_ROWS:-1], added[WINDOWS_ROWS:-1])):
        assert have == "" or want is None, f"row {91 + WINDOWS_ROWS + i}: {have!r}"
    updates = ROWS.index(("#updates", None))
    assert added[updates:updates + 5] == WINE_UPDATES, added[updates:updates + 5]
    assert added[updates + 5] and added[updates + 6] == "", added[updates + 5:updates + 7]


def test_rows_over_the_fixtures_and_the_item_list_names_them():
    p = S.prefix
    p.import_reg(HERE / "fixtures" / "sample_script.reg")
    pc_file, rows = unattended_run()
    added = rows[90:90 + len(ROWS)]
    for i, ((_, want), have) in enumerate(zip(ROWS, added)):
        assert want is None or have == want, f"row {91 + i}: {have!r}, expected {want!r}"
    # The fixed rows that Windows 11 moved (rows 78 and 84 from the 32-bit view), and the programs
    # of the user's and the 32-bit list.
    fixed = {31: "10.0.22631", 34: "4:自動アップデート", 78: "'8.8.0.1804", 84: "17.505.00",
             85: "Microsoft ネットワーク用ファイルとプリンター共有"}
    for row, text in fixed.items():
        assert rows[row - 1] == text, f"row {row}: {rows[row - 1]!r}, expected {text!r}"
    programs = rows[90 + len(ROWS):190 + len(ROWS)]
    assert "7-Zip 23.01 23.01 " in programs and "Microsoft Teams classic 1.7.00.13456 " in programs, programs[:30]

    # The catalogue gives the same rows their names: the item list export, in both columns.
    names = export_item_list()
    assert len(names) == 90 + len(ROWS), f"{len(names)} lines in itemlist.csv"
    for i, (name, _) in enumerate(ROWS):
        assert next(csv.reader([names[90 + i]])) == [name, name], f"itemlist.csv line {91 + i}: {names[90 + i]!r}"

    # The fleet tables: the sample's rows end the main table, the programs go to the A table.
    folder = p.root / "fleet"
    folder.mkdir(exist_ok=True)
    shutil.copy(pc_file, folder / pc_file.name)
    shutil.copy(p.app_dir / "itemlist.csv", folder / "itemlist.csv")
    r = run_command(["wine", win_build() / "qumbel-fleet.exe", p.windows_path(folder)], 60, env=p.env)
    assert r.returncode == 0, r.stdout.decode("utf-8", "replace") + r.stderr.decode("utf-8", "replace")
    head, row = [next(csv.reader([line])) for line in decode_cp932_lines(folder / "roster.csv")]
    count = len(ROWS) - 1
    assert head[-count:] == [name for name, _ in ROWS[:-1]], head[-count:]
    assert row[-count:] == [(next(csv.reader([v]), None) or [""])[0] for v in added[:-1]], row[-count:]
    assert len(row) == len(head), "a CSV reader reads as many fields as there are names"
    head_a, row_a = decode_cp932_lines(folder / "roster_a.csv")
    assert row_a == ",".join([pc_file.stem] + rows[90 + len(ROWS):]), "the A table holds the rows after the marker"


def export_item_list():
    """itemlist.csv beside the program after 設定 > 項目リスト (shown with "/a")."""
    p = S.prefix
    csv = p.app_dir / "itemlist.csv"
    if csv.exists():
        csv.unlink()
    with p.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+i", "l")
        prog.wait_window("Orvanta 項目リスト", timeout=30)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out, str(r)
    assert not r.boxes, f"the export showed a message: {r}"
    return decode_cp932_lines(csv)


if __name__ == "__main__":
    run_tests(globals())
