#!/usr/bin/env python3
# End-to-end tests of the registry item script and the search menu's lookup tools.
#
#     python3 tests/e2e/test_script.py [name filter...]
#
# - script rows: an unattended run with fixtures/script_regitems.txt over registry fixtures writes
#   rows 91 on as expected/script_rows.txt; the test answers the run's questions and prompt.
# - registry search ("/a"): a planted value is found and its key's values are listed.
# - the sample script shipped beside the program (regitems.sample.txt): its rows on a PC without the
#   keys it reads, then over fixtures/sample_script.reg (a Windows 11 PC with three browsers, Office
#   and Defender), and their names in the item list export (expected/sample_script_*.txt).

import re
import shutil
import time

from harness import (HERE, IDNO, IDOK, IDYES, MAIN_TITLE, REPO, SHOTS, check_golden,
                     decode_cp932_lines, run_tests, session, wait_until, win_build, write_cp932)

PROMPT_TITLE = "Kestrum：問い合わせ"  # TForm2's caption
SEARCH_TITLE = "Orvanta 検索"
ANSWERS = {"ソフトウェアのライセンス": IDYES, "Orvanta：問い合わせ": IDNO}  # by title; OK to any other box
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    for fixture in ("script_items.reg", "script_lookup.reg"):
        P.import_reg(HERE / "fixtures" / fixture)


def regedit_version(key: str) -> str:
    # A text of the version resource of Wine's regedit.exe, read here to compare the program's
    # reading with: the UTF-16 key, NULs up to a 4-byte boundary, then the text (ASCII here).
    data = (P.path / "drive_c" / "windows" / "regedit.exe").read_bytes()
    return re.search(key.encode("utf-16-le") + rb"(?:\0\0)+((?:[^\0]\0)+)", data)[1].decode("utf-16-le")


def wait_memo(title, ready, timeout=120):  # the text screen's lines once ready(lines); busy, it does not answer
    lines = wait_until(lambda: (t := P.window_text(title, "Edit")) is not None and ready(t.split("\r\n"))
                       and t.split("\r\n"), timeout)
    assert lines, f"the text screen of {title} did not get ready"
    return lines


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
    check_golden("script_rows.txt", rows[90:116], version=version)
    # Then the installed programs, padded to 100 rows: the "&" lines took the two Office entries.
    programs = rows[116:216]
    assert "Orvanta Test Tool 3.0 " in programs and not any("Office" in row for row in programs), programs[:5]
    assert "after the end" not in rows


def test_registry_search_lists_the_key_of_a_planted_value():
    with P.start_program(["/a"], timeout=300) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.menu("alt+s", "0", title=SEARCH_TITLE)
        # Typed key by key: a multi-line edit sends no change notification for a text set with WM_SETTEXT.
        prog.send_keys(*"orvneedle42", window_title=SEARCH_TITLE)
        prog.send_keys("alt+s", "1", window_title=SEARCH_TITLE)
        # While the search runs the window keeps its status and progress bars up to date.
        P.screenshot(SHOTS / "registry_search_running.png", SEARCH_TITLE, settle=1.5)
        lines = wait_memo(SEARCH_TITLE, lambda l: r"\Software\OrvantaSearch\Deep\Er" in l and l[-1] != "", 240)
        progress = [c for c in P.windows(SEARCH_TITLE) if c["class"].lower() == "msctls_progress32"]
        prog.send_keys("alt+f", "x", window_title=SEARCH_TITLE)  # queued until the search has ended
        r = prog.wait_exit(timeout=240)
    assert not r.crashed and not r.timed_out and progress and progress[0]["visible"], (str(r), progress)
    # Case-sensitive (no "&"): "Upper" does not match but is listed with the key's other string and
    # integer values; "Bin" is not; Software\Classes is passed over.
    check_golden("registry_search.txt", lines)


def test_the_shipped_sample_on_a_bare_pc_and_on_a_windows_11_pc():
    # The build's copy of dist/, which asks nothing: an unattended run ends by itself. Its 22 rows
    # after row 90 end with the marker "/UninstallInfo"; without the keys they read, empty rows in
    # the same places; over the Windows 11 PC rows 78 and 84 from the 32-bit view.
    sample = win_build() / "regitems.sample.txt"
    assert sample.read_bytes() == (REPO / "dist" / sample.name).read_bytes(), "the build's copy differs from dist/"
    shutil.copy(sample, P.app_dir / "regitems.txt")
    check_golden("sample_script_rows_without_keys.txt", P.unattended(P.root / "sample-bare")[1][90:112])
    P.import_reg(HERE / "fixtures" / "sample_script.reg")
    rows = P.unattended(P.root / "sample")[1]
    check_golden("sample_script_record.txt", rows[:112])
    programs = rows[112:212]  # the user's own and the 32-bit uninstall list too
    assert "7-Zip 23.01 23.01 " in programs and "Microsoft Teams classic 1.7.00.13456 " in programs, programs[:30]
    check_golden("sample_script_item_names.txt", P.export_item_list()[90:])


if __name__ == "__main__":
    run_tests(globals())
