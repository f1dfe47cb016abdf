#!/usr/bin/env python3
# End-to-end tests of the registry item script.
#
#     python3 tests/e2e/test_script.py [name filter...]
#
# - script rows: an unattended run with fixtures/script_regitems.txt over registry fixtures writes
#   rows 91 on as expected/script_rows.txt; the test answers the run's questions and prompt.
# - the sample script shipped beside the program (regitems.sample.txt): its rows on a PC without the
#   keys it reads, then over fixtures/sample_script.reg (a Windows 11 PC with three browsers, Office
#   and Defender), and their names in the item list export (expected/sample_script_*.txt).

import re
import shutil
import time

from harness import (HERE, IDNO, IDOK, IDYES, REPO, check_golden, decode_cp932_lines, run_tests, session,
                     win_build, write_cp932)

PROMPT_TITLE = "Kestrum：問い合わせ"  # TForm2's caption
ANSWERS = {"ソフトウェアのライセンス": IDYES, "Orvanta：問い合わせ": IDNO}  # by title; OK to any other box
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    P.import_reg(HERE / "fixtures" / "script_items.reg")


def regedit_version(key: str) -> str:
    # A text of the version resource of Wine's regedit.exe, read here to compare the program's
    # reading with: the UTF-16 key, NULs up to a 4-byte boundary, then the text (ASCII here).
    data = (P.path / "drive_c" / "windows" / "regedit.exe").read_bytes()
    return re.search(key.encode("utf-16-le") + rb"(?:\0\0)+((?:[^\0]\0)+)", data)[1].decode("utf-16-le")


def test_script_rows_follow_row_90_in_the_per_pc_file():
    write_cp932(P.app_dir / "regitems.txt", (HERE / "fixtures" / "script_regitems.txt").read_text("utf-8").splitlines())
    out = P.root / "script-out"
    answered, prompts = [], 0  # (title, text) of each box, in order
    with P.start_program(["/b0", P.settings(out)], timeout=150, extra_env={"ORVTEST_VAR": "from the environment"}) \
            as prog:
        deadline = time.monotonic() + 140
        while prog.running and time.monotonic() < deadline:
            boxes = P.boxes()
            prompt = [] if boxes else [w for w in P.windows() if w["text"] == PROMPT_TITLE and w["visible"]]
            if boxes:
                # Nothing of the unattended run is on screen: its questions must not open behind
                # the user's windows.
                assert boxes[0].topmost and boxes[0].title != "Exception raised", f"box: {boxes[0]}"
                if P.press(ANSWERS.get(boxes[0].title, IDOK)):
                    answered.append((boxes[0].title, boxes[0].text))
                    time.sleep(0.5)
            elif prompt:
                # The prompt: its edit gets the answer and its close box closes it (the answer
                # counts either way).
                assert all(w["topmost"] for w in prompt), prompt
                assert P.helper("settext", PROMPT_TITLE, "Edit", "0", "a,b")[0] == 0, "could not answer the prompt"
                P.close(PROMPT_TITLE)
                prompts += 1
                time.sleep(1.0)
            time.sleep(0.3)
        r = prog.wait_exit(timeout=30)
    (P.app_dir / "regitems.txt").unlink()
    assert not r.timed_out and r.exit_code == 0 and prompts == 1, f"{r}; the prompt showed {prompts} times"
    assert [t for t, _ in answered] == ["ソフトウェアのライセンス", "Orvanta", "Orvanta：問い合わせ"], answered
    assert re.fullmatch(r"Registry Editor の正規ライセンスを持っていますか\(わからなければキャンセル\)\n"
                        r"このウィンドウズのバージョンは .+ です\nDo you like tests\?", "\n".join(t for _, t in answered))
    (file,) = out.glob("*.csv")
    rows = decode_cp932_lines(file)
    version = f"{regedit_version('OriginalFilename').lower()} {regedit_version('ProductVersion')}"
    # Then the installed programs, padded to 100 rows (the "&" lines took the two Office entries),
    # and the patches.
    check_golden("script_rows.txt", rows[90:], version=version)


def test_the_shipped_sample_on_a_bare_pc_and_on_a_windows_11_pc():
    # The build's copy of dist/, which asks nothing: an unattended run ends by itself. Its 22 rows
    # after row 90 end with the marker "/UninstallInfo"; without the keys they read, empty rows in
    # the same places; over the Windows 11 PC rows 78 and 84 from the 32-bit view.
    sample = win_build() / "regitems.sample.txt"
    assert sample.read_bytes() == (REPO / "dist" / sample.name).read_bytes(), "the build's copy differs from dist/"
    shutil.copy(sample, P.app_dir / "regitems.txt")
    check_golden("sample_script_rows_without_keys.txt", P.unattended(P.root / "sample-bare")[1][90:112])
    P.import_reg(HERE / "fixtures" / "sample_script.reg")
    # The programs after row 112 come from the user's own and the 32-bit uninstall list too.
    check_golden("sample_script_record.txt", P.unattended(P.root / "sample")[1])
    check_golden("sample_script_item_names.txt", P.export_item_list()[90:])


if __name__ == "__main__":
    run_tests(globals())
