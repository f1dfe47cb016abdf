#!/usr/bin/env python3
"""End-to-end tests of the registry item script and the search menu's lookup tools.

    python3 tests/e2e/test_script.py [name filter...]

- script rows: an unattended run with fixtures/script_regitems.txt over registry fixtures writes
  rows 91 on as expected/script_rows.txt; the test answers the run's questions and prompt.
- registry search ("/a"): a planted value is found and its key's values are listed.
- file-version tool: the version fields of the program registered for a file type, compared with
  the version resource read from the file by this test itself.
- the sample script shipped beside the program (regitems.sample.txt): its rows on a PC without the
  keys it reads, then over fixtures/sample_script.reg (a Windows 11 PC with three browsers, Office
  and Defender), and their names in the item list export (expected/sample_script_*.txt).
"""

import shutil
import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (HERE, IDNO, IDOK, IDYES, MAIN_TITLE, REPO, SHOTS, check_golden,  # noqa: E402
                     decode_cp932_lines, run_tests, session, wait_until, win_build, write_cp932)

PROMPT_TITLE = "Kestrum：問い合わせ"  # TForm2's caption
SEARCH_TITLE = "Orvanta 検索"
VERSION_TITLE = "Orvanta ファイルバージョン"
KEY_NAMES = {"&": "ampersand", ".": "period", "-": "minus", ",": "comma", " ": "space"}
P = None  # the prefix


def setup_module():
    global P
    P = session().prefix
    for fixture in ("script_items.reg", "script_lookup.reg"):
        P.import_reg(HERE / "fixtures" / fixture)


def version_strings(path: Path) -> dict:
    """The first string table of a program's version resource. Each node is a length, a value
    length, a type (1: text), a UTF-16 key, its value, then its children, all 4-byte aligned."""
    data = path.read_bytes()

    def nodes(start, end):  # (key, text value, start of the children, end) of each node
        while start + 6 <= end and (length := struct.unpack_from("<H", data, start)[0]):
            value_length, kind = struct.unpack_from("<HH", data, start + 2)
            key_end = start + 6
            while data[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            value = (key_end + 5) & ~3
            size = value_length * 2 if kind == 1 else value_length
            text = data[value:value + size].decode("utf-16-le").split("\0")[0] if kind == 1 else ""
            yield data[start + 6:key_end].decode("utf-16-le"), text, (value + size + 3) & ~3, start + length
            start = (start + length + 3) & ~3

    info = data.index("StringFileInfo".encode("utf-16-le")) - 6
    _, _, tables, info_end = next(nodes(info, len(data)))
    _, _, first, table_end = next(nodes(tables, info_end))
    return {key: text for key, text, _, _ in nodes(first, table_end)}


def type_text(prog, text, window_title):
    """ASCII text typed key by key into a window's focused control. (A text set with WM_SETTEXT
    would not count: a multi-line edit sends no change notification for it.)"""
    prog.send_keys(*[KEY_NAMES.get(c, c) for c in text], window_title=window_title)


def wait_memo(title, ready, timeout=120):  # the text screen's lines once ready(lines); busy, it does not answer
    lines = wait_until(lambda: (t := P.window_text(title, "Edit")) is not None and ready(t.split("\r\n"))
                       and t.split("\r\n"), timeout)
    assert lines, f"the text screen of {title} did not get ready"
    return lines


def test_script_rows_follow_row_90_in_the_per_pc_file():
    write_cp932(P.app_dir / "regitems.txt", (HERE / "fixtures" / "script_regitems.txt").read_text("utf-8").splitlines())
    out = P.root / "script-out"
    answered, prompts = [], 0  # (title, text) of each box, in order
    variable = {"ORVTEST_VAR": "from the environment"}
    with P.start_program(["/b0", P.settings(out)], timeout=150, extra_env=variable) as prog:
        deadline = time.monotonic() + 140
        while prog.running and time.monotonic() < deadline:
            boxes = P.boxes()
            prompt = [] if boxes else [w for w in P.windows() if w["text"] == PROMPT_TITLE and w["visible"]]
            if boxes:
                # Nothing of the unattended run is on screen: its questions must not open behind
                # the user's windows.
                assert boxes[0].topmost and boxes[0].title != "Exception raised", f"box: {boxes[0]}"
                if P.press({"ソフトウェアのライセンス": IDYES, "Orvanta：問い合わせ": IDNO}.get(boxes[0].title, IDOK)):
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
    assert not r.timed_out and r.exit_code == 0, str(r)
    assert prompts == 1, f"the prompt dialog showed {prompts} times"
    assert [t for t, _ in answered] == ["ソフトウェアのライセンス", "Orvanta", "Orvanta：問い合わせ"], answered
    assert answered[0][1] == "Registry Editor の正規ライセンスを持っていますか(わからなければキャンセル)", answered
    assert answered[1][1].startswith("このウィンドウズのバージョンは ") and answered[1][1].endswith(" です"), answered
    assert answered[2][1] == "Do you like tests?", answered
    (file,) = out.glob("*.csv")
    rows = decode_cp932_lines(file)
    regedit = version_strings(P.path / "drive_c" / "windows" / "regedit.exe")
    version = f"{regedit['OriginalFilename'].lower()} {regedit['ProductVersion']}"
    check_golden("script_rows.txt", rows[90:116], version=version)
    # Then the installed programs, padded to 100 rows: the "&" lines took the two Office entries.
    programs = rows[116:216]
    assert "Orvanta Test Tool 3.0 " in programs and not any("Office" in row for row in programs), programs[:5]
    assert "after the end" not in rows
    (P.app_dir / "regitems.txt").unlink()


def test_registry_search_lists_the_key_of_a_planted_value():
    with P.start_program(["/a"], timeout=300) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+s", "0")
        prog.wait_window(SEARCH_TITLE, timeout=20)
        type_text(prog, "orvneedle42", SEARCH_TITLE)
        prog.send_keys("alt+s", "1", window_title=SEARCH_TITLE)
        # While the search runs the window keeps its status and progress bars up to date.
        P.screenshot(SHOTS / "registry_search_running.png", SEARCH_TITLE, settle=1.5)
        lines = wait_memo(SEARCH_TITLE, lambda l: r"\Software\OrvantaSearch\Deep\Er" in l and l[-1] != "", 240)
        P.screenshot(SHOTS / "registry_search.png", SEARCH_TITLE, settle=1.0)
        controls = P.controls(SEARCH_TITLE)
        prog.send_keys("alt+f", "x", window_title=SEARCH_TITLE)  # queued until the search has ended
        r = prog.wait_exit(timeout=240)
    assert not r.crashed and not r.timed_out, str(r)
    # Case-sensitive (no "&"): "Upper" does not match but is listed with the key's other string and
    # integer values; "Bin" is not; Software\Classes is passed over.
    check_golden("registry_search.txt", lines)
    progress = [c for c in controls if c["class"].lower() == "msctls_progress32"]
    assert progress and progress[0]["visible"], f"no progress bar: {controls}"


def test_file_version_of_a_registered_program():
    regedit = version_strings(P.path / "drive_c" / "windows" / "regedit.exe")
    fields = ["CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
              "OriginalFilename", "ProductName", "ProductVersion"]
    with P.start_program(["/a"], timeout=120) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        type_text(prog, ".orvtest", MAIN_TITLE)
        prog.send_keys("alt+s", "v")
        lines = wait_memo(VERSION_TITLE, lambda l: len(l) >= 4)
        P.screenshot(SHOTS / "file_version.png", VERSION_TITLE, settle=1.0)
        # The results are read-only: the search input screen makes the text screen editable again.
        prog.send_keys("alt+s", "0", window_title=VERSION_TITLE)
        prog.wait_window(SEARCH_TITLE, timeout=20)
        type_text(prog, ".txt", SEARCH_TITLE)
        prog.send_keys("alt+s", "v", window_title=SEARCH_TITLE)
        txt = wait_memo(VERSION_TITLE, lambda l: l[0] == ".txt" and len(l) >= 4, timeout=30)
        prog.send_keys("alt+f", "x", window_title=VERSION_TITLE)
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out, str(r)
    assert lines == [".orvtest", r"C:\windows\regedit.exe", r"c:\windows\regedit.exe", "Version Information"] + \
        [f"{f} : {regedit.get(f) or 'None'}" for f in fields], lines
    # Wine's notepad is a placeholder without a version resource.
    assert txt == [".txt", r"C:\windows\system32\notepad.exe", r"c:\windows\system32\notepad.exe",
                   "No Version Info"], txt


SAMPLE = "regitems.sample.txt"
SAMPLE_ROWS = 22  # the sample's rows after row 90, the last one "/UninstallInfo"


def test_the_shipped_sample_is_cp932_with_crlf_and_ends_with_a_comment():
    built = win_build() / SAMPLE
    assert built.read_bytes() == (REPO / "dist" / SAMPLE).read_bytes(), "the build's copy differs from dist/"
    lines = decode_cp932_lines(built)  # checks CR LF and CP932
    assert lines[-1].startswith("//"), f"last line {lines[-1]!r}: the last line never yields a row"
    assert "" not in lines, "an empty line would add an empty row"
    assert not any(l.startswith((">", "<")) for l in lines), "a question would stop an unattended run"


def sample_rows(out):
    """The rows of one unattended run with the sample script; it asks nothing."""
    shutil.copy(win_build() / SAMPLE, P.app_dir / "regitems.txt")
    rows = P.unattended(P.root / out, answer=lambda box: None)[1]
    # The last row is the marker; 19 is Wine's one graphics adapter.
    assert rows[90 + SAMPLE_ROWS - 1] == "/UninstallInfo" and rows[90 + 19], rows[90:90 + SAMPLE_ROWS]
    return rows


def test_the_sample_on_a_pc_without_its_keys_gets_empty_rows_in_the_same_places():
    check_golden("sample_script_rows_without_keys.txt", sample_rows("sample-bare")[90:90 + SAMPLE_ROWS])


def test_the_sample_over_a_windows_11_pc_and_the_item_list_names_its_rows():
    P.import_reg(HERE / "fixtures" / "sample_script.reg")
    rows = sample_rows("sample")
    check_golden("sample_script_record.txt", rows[:90 + SAMPLE_ROWS])  # rows 78 and 84 from the 32-bit view
    programs = rows[90 + SAMPLE_ROWS:190 + SAMPLE_ROWS]  # the user's own and the 32-bit uninstall list too
    assert "7-Zip 23.01 23.01 " in programs and "Microsoft Teams classic 1.7.00.13456 " in programs, programs[:30]
    with P.start_program(["/a"], timeout=90) as prog:  # 設定 > 項目リスト
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+i", "l")
        prog.wait_window("Orvanta 項目リスト", timeout=30)
        prog.send_keys("alt+f", "x")
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out and not r.boxes, str(r)
    check_golden("sample_script_item_names.txt", decode_cp932_lines(P.app_dir / "itemlist.csv")[90:])


if __name__ == "__main__":
    run_tests(globals())
