#!/usr/bin/env python3
"""End-to-end tests of the sample script shipped beside the program, regitems.sample.txt, with the
real qumbel.exe under Wine on an Xvfb display.

    python3 tests/e2e/test_sample_script.py [name filter...]

The sample from the build folder is put beside a copy of the program as regitems.txt. An unattended
run ("/b0 site.ini") on a PC without the keys it reads, then one over registry fixtures of a
Windows 11 PC with three browsers, Office and Defender (fixtures/sample_script.reg), write the
per-PC file, whose rows are expected/sample_script_*.txt; the same fixtures make the fixed rows of
Windows 11 and the program rows of the user's own and the 32-bit uninstall list. The item list
export must name the sample's rows one for one (expected/sample_script_item_names.txt).
"""

import shutil
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (HERE, MAIN_TITLE, REPO, check_golden, decode_cp932_lines, run_tests,  # noqa: E402
                     session, win_build)

SAMPLE = "regitems.sample.txt"
ROWS = 22  # the sample's rows after row 90, the last one "/UninstallInfo"
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    shutil.copy(win_build() / SAMPLE, P.app_dir / "regitems.txt")


def unattended_run(out):
    """The rows of the per-PC file of one unattended run."""
    rows = P.unattended(P.root / out, answer=lambda box: None)[1]
    assert rows[90 + ROWS - 1] == "/UninstallInfo", rows[90:90 + ROWS]
    # Wine's one graphics adapter, the first line of the video controller word.
    assert rows[90 + 19] != "", rows[90 + 19]
    return rows


def test_the_shipped_file_is_cp932_with_crlf_and_ends_with_a_comment():
    built = win_build() / SAMPLE
    assert built.read_bytes() == (REPO / "dist" / SAMPLE).read_bytes(), "the build's copy differs from dist/"
    lines = decode_cp932_lines(built)  # checks CR LF and CP932
    assert lines[-1].startswith("//"), f"last line {lines[-1]!r}: the last line never yields a row"
    assert "" not in lines, "an empty line would add an empty row"
    assert not any(l.startswith((">", "<")) for l in lines), "a question would stop an unattended run"


def test_a_pc_without_the_keys_gets_empty_rows_in_the_same_places():
    check_golden("sample_script_rows_without_keys.txt", unattended_run("out-bare")[90:90 + ROWS])


def test_rows_over_the_fixtures_and_the_item_list_names_them():
    P.import_reg(HERE / "fixtures" / "sample_script.reg")
    rows = unattended_run("out")
    # Windows 11 moved rows 78 and 84 to the 32-bit view.
    check_golden("sample_script_record.txt", rows[:90 + ROWS])
    programs = rows[90 + ROWS:190 + ROWS]
    assert "7-Zip 23.01 23.01 " in programs and "Microsoft Teams classic 1.7.00.13456 " in programs, programs[:30]
    # The catalogue gives the same rows their names: 設定 > 項目リスト (shown with "/a").
    with P.start_program(["/a"], timeout=90) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+i", "l")
        prog.wait_window("Orvanta 項目リスト", timeout=30)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out and not r.boxes, str(r)
    check_golden("sample_script_item_names.txt", decode_cp932_lines(P.app_dir / "itemlist.csv")[90:])


if __name__ == "__main__":
    run_tests(globals())
