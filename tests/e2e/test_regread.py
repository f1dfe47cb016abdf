#!/usr/bin/env python3
"""End-to-end test of the registry value readers and lookups over the real Win32 layer.

Runs tests/e2e/tools/regread.exe under Wine in a throw-away prefix into which the fixture
fixtures/regread.reg has been imported, and compares each printed result exactly.

    ORV_WIN_BUILD=/work/main/build/win python3 tests/e2e/test_regread.py

Python 3 standard library only. Exits non-zero when a case fails.
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
FIXTURE = os.path.join(HERE, "fixtures", "regread.reg")
WIN_BUILD = os.environ.get("ORV_WIN_BUILD", "/work/main/build/win")
REGREAD = os.path.join(WIN_BUILD, "regread.exe")
KEY = r"\Software\OrvantaTest"

# (item text, expected value) read from HKEY_LOCAL_MACHINE\Software\OrvantaTest.
ITEM_CASES = [
    ("Serial", "0123"),
    ("Major==Version label", "5"),
    ("DEFAULT", "default text"),
    ("Big", "-1"),
    ("Jp", "日本語テキスト"),
    ("ExpVer", "1.2"),
    ("Bin", "Error!"),
    ("Empty|Serial", "0123"),
    ("Missing|Empty", ""),
    ("Major+.Minor", "5.1"),
    ("Missing+.Minor", ".1"),
    ("'Serial", "'0123"),
    ("'Missing", ""),
    ("%Ver", "  6.  0.2900.2180"),
    ("%VerList", "  1.  2.  3"),
    (r"UninstallString(\/.exe)", r"Program Files\App\uninst"),
    ("Name(abc)", "foo"),
    ("Name(abc/xyz)", ""),
    ("Jp(語/ト)", "テキス"),
    ("Serial/", "0123"),
    ("Missing/", " "),
    ("Name/abc", "fooabcbar"),
    ("Name/xyz", ""),
]


class Failure(Exception):
    pass


def wine_env(prefix):
    env = dict(os.environ)
    env["WINEPREFIX"] = prefix
    env["WINEDEBUG"] = "-all"
    return env


def run(cmd, env, seconds):
    """Runs `cmd` under `timeout`; output goes through files, not pipes, because a wineserver
    started by the command outlives it and would keep a pipe open."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        r = subprocess.run(["timeout", "-k", "5", str(seconds), *cmd], env=env,
                           stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(r.args, r.returncode, out.read(), err.read())


def regread(env, *args):
    """The bracketed result lines of one regread.exe run."""
    r = run(["wine", REGREAD, *args], env, 30)
    if r.returncode != 0:
        raise Failure("regread %s: exit code %d, stderr %r" % (args, r.returncode, r.stderr[-300:]))
    lines = r.stdout.decode("utf-8").split("\n")
    if lines and lines[-1] == "":
        lines.pop()
    for line in lines:
        if not (line.startswith("[") and line.endswith("]")):
            raise Failure("regread %s: unexpected output line %r" % (args, line))
    return [line[1:-1] for line in lines]


def one(env, *args):
    lines = regread(env, *args)
    if len(lines) != 1:
        raise Failure("regread %s: expected one line, got %r" % (args, lines))
    return lines[0]


def expect_equal(actual, expected):
    if actual != expected:
        raise Failure("got %r, expected %r" % (actual, expected))


def make_prefix():
    prefix = tempfile.mkdtemp(prefix="orv-regread-")
    env = wine_env(prefix)
    steps = [
        (["wineboot", "-i"], 120),
        (["wine", "reg", "add", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug",
          "/v", "Auto", "/d", "0", "/f"], 60),
        (["wine", "reg", "delete", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug",
          "/v", "Debugger", "/f"], 60),
        (["wine", "reg", "import", FIXTURE], 60),
    ]
    for cmd, seconds in steps:
        r = run(cmd, env, seconds)
        if r.returncode != 0 and cmd[1:3] != ["reg", "delete"]:  # the Debugger value may be absent
            run(["wineserver", "-k"], env, 30)
            shutil.rmtree(prefix, ignore_errors=True)
            raise SystemExit("prefix setup failed: %s (exit %d)" % (" ".join(cmd), r.returncode))
    return prefix, env


def build_tests(env):
    tests = []
    # All item cases in one run of the tool (one Wine start instead of one per case).
    item_results = []

    def item_case(index, expected):
        if not item_results:
            item_results.append(regread(env, "item", "HKEY_LOCAL_MACHINE", KEY, *[c[0] for c in ITEM_CASES]))
        results = item_results[0]
        if len(results) != len(ITEM_CASES):
            raise Failure("expected %d result lines, got %r" % (len(ITEM_CASES), results))
        expect_equal(results[index], expected)

    for index, (item, expected) in enumerate(ITEM_CASES):
        tests.append(("item %s" % item, lambda i=index, e=expected: item_case(i, e)))

    def several_items_in_one_run():
        expect_equal(regread(env, "item", "HKLM", KEY.lstrip("\\"), "Major", "Minor"), ["5", "1"])

    def key_that_cannot_be_opened_gives_empty():
        expect_equal(regread(env, "item", "HKLM", KEY + r"\Missing", "Serial", "Missing/"), ["", ""])

    def open_key_without_the_value():
        expect_equal(one(env, "item", "HKLM", KEY + r"\Empty", "Serial/"), " ")

    def exe_and_version_of_text_files():
        path = one(env, "exe", ".txt")
        if not path.lower().endswith("notepad.exe") or '"' in path:
            raise Failure("exe .txt gave %r" % path)
        # Wine's notepad carries no version resource, so its version text is empty.
        expect_equal(one(env, "version", path, "ProductVersion"), "")

    def exe_of_unregistered_extension():
        expect_equal(one(env, "exe", ".orvnothing"), "")

    def version_in_program_files():
        text = one(env, "version", r"%ProgramFiles%\Internet Explorer\iexplore.exe", "ProductVersion")
        if not re.fullmatch(r"iexplore\.exe \d+(\.\d+)+", text):
            raise Failure("iexplore version gave %r" % text)

    def version_with_several_fields_and_a_quoted_path():
        text = one(env, "version", r'"C:\Windows\System32\KERNEL32.DLL" -x',
                   "ProductVersion", "NoSuchField", "CompanyName")
        if not re.fullmatch(r"kernel32\.dll \d+(\.\d+)+ \S.*", text):
            raise Failure("kernel32 version gave %r" % text)

    def version_of_missing_file():
        expect_equal(one(env, "version", r"C:\windows\nothing-here.exe", "ProductVersion"), "")

    def running_lists_this_program():
        names = [n.lower().replace("/", "\\").split("\\")[-1] for n in regread(env, "running")]
        if "regread.exe" not in names or "explorer.exe" not in names:
            raise Failure("running gave %r" % names)

    def shares_without_network():
        expect_equal(regread(env, "shares"), ["Error(No network is present.)"])

    for f in [several_items_in_one_run, key_that_cannot_be_opened_gives_empty, open_key_without_the_value,
              exe_and_version_of_text_files, exe_of_unregistered_extension, version_in_program_files,
              version_with_several_fields_and_a_quoted_path, version_of_missing_file,
              running_lists_this_program, shares_without_network]:
        tests.append((f.__name__, f))
    return tests


def main():
    if not os.path.isfile(REGREAD):
        print("regread.exe not found in %s (set ORV_WIN_BUILD)" % WIN_BUILD)
        return 2
    prefix, env = make_prefix()
    passed = failed = 0
    try:
        for name, test in build_tests(env):
            try:
                test()
                passed += 1
                print("PASS %s" % name)
            except Exception as e:  # noqa: BLE001 - any error fails this case only
                failed += 1
                print("FAIL %s: %s: %s" % (name, type(e).__name__, e))
    finally:
        run(["wineserver", "-k"], env, 30)
        shutil.rmtree(prefix, ignore_errors=True)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
