#!/usr/bin/env python3
"""End-to-end tests of the registry item script and the search menu's lookup tools, with the real
qumbel.exe under Wine on an Xvfb display.

    python3 tests/e2e/test_script.py [name filter...]

- script rows: regitems.txt beside a copy of the program plus registry fixtures; an unattended run
  ("/b0 site.ini") writes the per-PC file, whose rows after row 90 are checked exactly. The run's
  questions are answered by the test (message boxes and the prompt dialog).
- registry search: with "/a", a planted value under HKEY_LOCAL_MACHINE\\Software is found and its
  key's values are listed in the text screen.
- file-version tool: the version fields of the program registered for a file type, compared with
  the version resource read from the file by this test itself.
"""

import struct
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import (IDNO, IDOK, IDYES, MAIN_TITLE, REPO, Session,  # noqa: E402
                     decode_cp932_lines, run_tests)

HERE = Path(__file__).resolve().parent
FIXTURES = HERE / "fixtures"
SHOTS = REPO / "build" / "shots"
PROMPT_TITLE = "Kestrum：問い合わせ"  # TForm2's caption
SEARCH_TITLE = "Orvanta 検索"
VERSION_TITLE = "Orvanta ファイルバージョン"

S = None  # one display and one prefix for all tests of this file


def setup_module():
    global S
    S = Session().__enter__()
    for fixture in ("script_items.reg", "script_lookup.reg"):
        S.prefix.import_reg(FIXTURES / fixture)


def teardown_module():
    if S:
        S.__exit__(None, None, None)


# --------------------------------------------------------------------------------------------
# A version resource read straight from the file, to compare the tool's lines with.
# --------------------------------------------------------------------------------------------

def _version_nodes(data: bytes, offset: int, end: int):
    """The VS_VERSIONINFO-style nodes in data[offset:end]: (key, value text, children range)."""
    while offset + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, offset)
        if length == 0:
            break
        node_end = offset + length
        key_start = offset + 6
        key_end = key_start
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[key_start:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        text = ""
        if value_type == 1 and value_length:  # text, value_length in characters
            raw = data[value_start:value_start + value_length * 2].decode("utf-16-le")
            text = raw.split("\0", 1)[0]
            children = (value_start + value_length * 2 + 3) & ~3
        else:
            children = (value_start + value_length + 3) & ~3
        yield key, text, (children, node_end)
        offset = (node_end + 3) & ~3


def read_version_strings(path: Path) -> dict:
    """The string table of a PE file's first version resource: {"CompanyName": ..., ...}."""
    data = path.read_bytes()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections_count = struct.unpack_from("<H", data, pe + 6)[0]
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    resource_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    sections = []
    for i in range(sections_count):
        s = optional + optional_size + i * 40
        vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<IIII", data, s + 8)
        sections.append((vaddr, max(vsize, raw_size), raw_ptr))

    def file_offset(rva):
        for vaddr, size, raw in sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + raw
        raise ValueError("address outside the sections")

    base = file_offset(resource_rva)

    def first_entry(directory, wanted_id=None):
        named, ids = struct.unpack_from("<HH", data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
            if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
                return target
        raise ValueError("no version resource")

    level = first_entry(base, 16)  # RT_VERSION
    level = first_entry(base + (level & 0x7FFFFFFF))
    leaf = first_entry(base + (level & 0x7FFFFFFF))
    data_rva, size = struct.unpack_from("<II", data, base + leaf)
    start = file_offset(data_rva)
    strings = {}
    for _, _, (c0, c1) in _version_nodes(data, start, start + size):  # VS_VERSIONINFO
        for key, _, (s0, s1) in _version_nodes(data, c0, c1):
            if key != "StringFileInfo":
                continue
            for _, _, (t0, t1) in _version_nodes(data, s0, s1):  # the first string table
                for name, text, _ in _version_nodes(data, t0, t1):
                    strings[name] = text
                return strings
    return strings


# --------------------------------------------------------------------------------------------
# Helpers
# --------------------------------------------------------------------------------------------

def write_script(lines):
    (S.prefix.app_dir / "regitems.txt").write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))


def remove_script():
    script = S.prefix.app_dir / "regitems.txt"
    if script.exists():
        script.unlink()


def memo_lines(title):
    text = S.prefix.window_text(title, "Edit")
    return None if text is None else text.split("\r\n")


def wait_memo(title, ready, timeout=120):
    """The text screen's lines once ready(lines) holds (the window does not answer while a long
    command runs, so reads fail until then)."""
    deadline = time.monotonic() + timeout
    lines = None
    while time.monotonic() < deadline:
        lines = memo_lines(title)
        if lines is not None and ready(lines):
            return lines
        time.sleep(0.5)
    raise AssertionError(f"the text screen did not get ready: {lines!r}")


KEY_NAMES = {"&": "ampersand", ".": "period", "-": "minus", ",": "comma", " ": "space"}


def type_text(prog, text, window_title):
    """Types ASCII text into the focused control of a window, key by key, as a person would. (A
    text set from outside with WM_SETTEXT would not count as typed: a multi-line edit sends no
    change notification for it and clears its modified mark, so the program would not see it.)"""
    prog.send_keys(*[KEY_NAMES.get(c, c) for c in text], window_title=window_title)


# --------------------------------------------------------------------------------------------
# Tests
# --------------------------------------------------------------------------------------------

SCRIPT = [
    "HKEY_LOCAL_MACHINE",
    r"\Software\OrvantaScript\App",
    "Name==Product name",
    "Version",
    "'Serial",
    "Count",
    "/--- literal ---",
    "Missing",
    "//comment",
    "",
    r"\Software\OrvantaScript\Products\*\Info",
    "Name",
    "Version",
    "/-- sep",
    "HKEY_CURRENT_USER",
    r"\Software\OrvantaScript\User*",
    "Color",
    "Size",
    "$ORVTEST_VAR",
    "$ORVTEST_VAR==label stays in the name",
    "&Orvanta Test Office",
    "&Orvanta Test Office",
    "&Orvanta Test Office",
    "#shareddir 2",
    "#running orvnothere.exe QUMBEL.EXE",
    "?9x",
    "nine only",
    "?NT",
    "日本語の行",
    ".orvtest ProductVersion",
    ">regedit/Registry Editor",
    ">WinVersion",
    ">Do you like tests?",
    "<Room number?",
    "plain literal, with comma",
    "?end",
    "after the end",
    "// last line",
]


def test_script_rows_follow_row_90_in_the_per_pc_file():
    p = S.prefix
    write_script(SCRIPT)
    out = p.root / "script-out"
    out.mkdir(exist_ok=True)
    for old in out.glob("*.csv"):
        old.unlink()
    ini = p.root / "site.ini"
    ini.write_bytes(f"[General]\r\nSaveDir={p.windows_path(out)}\r\n".encode("cp932"))
    p.env["ORVTEST_VAR"] = "from the environment"
    answered = []  # (title, text) of each box, in order
    prompts = 0
    try:
        with p.start_program(["/b0", p.windows_path(ini)], timeout=150) as prog:
            deadline = time.monotonic() + 140
            while prog.running and time.monotonic() < deadline:
                boxes = p.boxes()
                if boxes:
                    box = boxes[0]
                    assert box.title != "Exception raised", f"the program crashed: {box}"
                    # Nothing of the unattended run is on screen: its questions must not open
                    # behind the user's windows.
                    assert box.topmost, f"the box may open behind other windows: {box}"
                    choice = {"ソフトウェアのライセンス": IDYES, "Orvanta：問い合わせ": IDNO}.get(box.title, IDOK)
                    if p.press(choice):
                        answered.append((box.title, box.text))
                        time.sleep(0.5)
                    continue
                if p.visible_window(PROMPT_TITLE):
                    assert all(w["topmost"] for w in p.windows() if w["title"] == PROMPT_TITLE and w["visible"])
                    # The prompt dialog: type the answer into its edit and close it with its close
                    # box (the answer counts either way).
                    code, _ = p.helper("settext", PROMPT_TITLE, "Edit", "0", "a,b")
                    assert code == 0, "could not answer the prompt dialog"
                    p.helper("close", PROMPT_TITLE)
                    prompts += 1
                    time.sleep(1.0)
                    continue
                time.sleep(0.3)
            r = prog.wait_exit(timeout=30)
    finally:
        p.env.pop("ORVTEST_VAR", None)
    assert not r.timed_out and r.exit_code == 0, str(r)
    assert prompts == 1, f"the prompt dialog showed {prompts} times"
    assert [t for t, _ in answered] == ["ソフトウェアのライセンス", "Orvanta", "Orvanta：問い合わせ"], answered
    assert answered[0][1] == "Registry Editor の正規ライセンスを持っていますか(わからなければキャンセル)", answered
    assert answered[1][1].startswith("このウィンドウズのバージョンは ") and answered[1][1].endswith(" です"), answered
    assert answered[2][1] == "Do you like tests?", answered

    files = list(out.glob("*.csv"))
    assert len(files) == 1, f"per-PC files: {files}"
    rows = decode_cp932_lines(files[0])
    regedit = read_version_strings(p.path / "drive_c" / "windows" / "regedit.exe")
    version_text = regedit["OriginalFilename"].lower() + " " + regedit["ProductVersion"]
    expected = [
        "Orvanta テスト",
        "2.5",
        "'0123",
        "'-1",                     # 4294967295 as a signed integer, escaped for spreadsheets
        "/--- literal ---",
        "",                        # Missing
        "",                        # the empty line that ends the block
        "Second",                  # the first subkey with every value
        "2.0",
        "/-- sep",
        "",                        # all or nothing: "Size" is missing
        "",
        "from the environment",
        "",                        # "$ORVTEST_VAR==..." names another variable
        "Orvanta Test Office A 1.0 ",
        "Orvanta Test Office B 2.0 ",
        "",                        # a third "&" finds nothing
        "Error(No network is present.) ",
        "",
        "qumbel.exe ",
        "日本語の行",
        version_text,
        "Yes",
        "No",
        "a b",                     # the prompt's answer, commas as blanks, straight into the record
        '"plain literal, with comma"',
    ]
    got = rows[90:90 + len(expected)]
    for i, (want, have) in enumerate(zip(expected, got)):
        assert have == want, f"row {91 + i}: {have!r}, expected {want!r}"
    assert len(got) == len(expected), f"only {len(got)} rows after row 90"
    # Then the installed programs, padded to 100 rows: the "&" lines took the two Office entries.
    programs = rows[90 + len(expected):90 + len(expected) + 100]
    assert "Orvanta Test Tool 3.0 " in programs, programs[:5]
    assert not any("Office" in row for row in programs), programs[:5]
    assert "after the end" not in rows


def test_registry_search_lists_the_key_of_a_planted_value():
    p = S.prefix
    remove_script()
    with p.start_program(["/a"], timeout=300) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        prog.send_keys("alt+s", "0")
        prog.wait_window(SEARCH_TITLE, timeout=20)
        type_text(prog, "orvneedle42", SEARCH_TITLE)
        prog.send_keys("alt+s", "1", window_title=SEARCH_TITLE)
        started = time.monotonic()
        # While the search runs the window keeps its status and progress bars up to date.
        p.screenshot(SHOTS / "registry_search_running.png", SEARCH_TITLE, settle=1.5)
        lines = wait_memo(SEARCH_TITLE, lambda l: r"\Software\OrvantaSearch\Deep\Er" in l and l[-1] != "",
                          timeout=240)
        p.screenshot(SHOTS / "registry_search.png", SEARCH_TITLE, settle=1.0)
        controls = p.controls(SEARCH_TITLE)
        # Queued until the search has ended.
        prog.send_keys("alt+f", "x", window_title=SEARCH_TITLE)
        r = prog.wait_exit(timeout=240)
        print(f"  (search and exit: {time.monotonic() - started:.1f}s)")
    assert not r.crashed and not r.timed_out, str(r)
    # Case-sensitive (no "&"): "Upper" does not match but is listed with the key's other string and
    # integer values; "Bin" is not; Software\Classes is passed over.
    assert lines == ["orvneedle42", "HKEY_LOCAL_MACHINE", r"\Software\OrvantaSearch\Deep\Er",
                     "    ----  default here", "  Big  ----  -1", "  Needle  ----  has orvneedle42 inside",
                     "  Upper  ----  ORVNEEDLE42 in capitals", "  zed  ----  last", "  Ünicode  ----  日本語"], lines
    progress = [c for c in controls if c["class"].lower() == "msctls_progress32"]
    assert progress and progress[0]["visible"], f"no progress bar: {controls}"


def test_file_version_of_a_registered_program():
    p = S.prefix
    remove_script()
    regedit = read_version_strings(p.path / "drive_c" / "windows" / "regedit.exe")
    fields = ["CompanyName", "FileDescription", "FileVersion", "InternalName", "LegalCopyright",
              "OriginalFilename", "ProductName", "ProductVersion"]
    with p.start_program(["/a"], timeout=120) as prog:
        prog.wait_window(MAIN_TITLE, timeout=40)
        type_text(prog, ".orvtest", MAIN_TITLE)
        prog.send_keys("alt+s", "v")
        lines = wait_memo(VERSION_TITLE, lambda l: len(l) >= 4)
        p.screenshot(SHOTS / "file_version.png", VERSION_TITLE, settle=1.0)
        # The results are read-only: the search input screen makes the text screen editable again.
        prog.send_keys("alt+s", "0", window_title=VERSION_TITLE)
        prog.wait_window(SEARCH_TITLE, timeout=20)
        type_text(prog, ".txt", SEARCH_TITLE)
        prog.send_keys("alt+s", "v", window_title=SEARCH_TITLE)
        txt = wait_memo(VERSION_TITLE, lambda l: l[0] == ".txt" and len(l) >= 4, timeout=30)
        prog.send_keys("alt+f", "x", window_title=VERSION_TITLE)
        r = prog.wait_exit(timeout=30)
    assert not r.crashed and not r.timed_out, str(r)
    assert lines[:4] == [".orvtest", r"C:\windows\regedit.exe", r"c:\windows\regedit.exe", "Version Information"], lines
    assert lines[4:] == [f"{f} : {regedit.get(f) or 'None'}" for f in fields], lines[4:]
    # Wine's notepad is a placeholder without a version resource.
    assert txt == [".txt", r"C:\windows\system32\notepad.exe", r"c:\windows\system32\notepad.exe",
                   "No Version Info"], txt


if __name__ == "__main__":
    run_tests(globals())
