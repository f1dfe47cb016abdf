# End-to-end harness: the real qumbel.exe under Wine on a private Xvfb display, each test file in
# a throw-away Wine prefix of its own (session()), the windows seen through e2ehelper.exe and driven
# with xdotool. Every outside command runs under `timeout`: a crash or a hang fails its test, never
# the suite. run_tests(globals()) runs a file's test_* functions and prints "N passed, N failed".

from __future__ import annotations

import contextlib
import json
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from dataclasses import dataclass, field
from html.parser import HTMLParser
from pathlib import Path
from typing import Optional

REPO = Path(__file__).resolve().parents[2]
HERE = REPO / "tests" / "e2e"
SHOTS = REPO / "build" / "shots"
SMART = REPO / "tests" / "data" / "smart"
PROGRAM_NAME = "qumbel.exe"
MAIN_TITLE = "Orvanta"
ITEM_LIST_TITLE = "Orvanta 項目リスト"
LOCALE = "ja_JP.UTF-8"
CRASH_BOX_TITLE = "Exception raised"  # Wine's box for an unhandled exception (debugger off)
IDOK, IDCANCEL, IDYES, IDNO = 1, 2, 6, 7


def win_build() -> Path:  # the cross build: qumbel.exe, qumbel-fleet.exe, e2ehelper.exe, the e2e tools
    return Path(os.environ.get("ORV_WIN_BUILD", REPO / "build" / "win")).resolve()


class HarnessError(AssertionError):  # a failure of the program as the harness sees it: time-outs, no window
    pass


def _timed(cmd, seconds) -> list:
    return ["timeout", "-k", "5", str(max(1, int(seconds))), *map(str, cmd)]


def run_command(cmd, seconds, env=None, cwd=None) -> subprocess.CompletedProcess:
    # Output through files: services a wine call leaves running inherit its handles, so a pipe would never end.
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        r = subprocess.run(_timed(cmd, seconds), env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(r.args, r.returncode, out.read(), err.read())


def _stop(proc: subprocess.Popen) -> None:  # terminated, and killed if it does not end within 10 s
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(10)


class Xvfb:  # a private X server: `with Xvfb() as x: x.display`, on a free display number Xvfb picks

    def __enter__(self) -> "Xvfb":
        self.proc = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                     stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        # It writes the display number and a line end in one go, once it accepts connections.
        number = self.proc.stdout.readline().strip() if select.select([self.proc.stdout], [], [], 30)[0] else b""
        if not number.isdigit():
            self.__exit__()
            raise HarnessError("Xvfb did not start")
        self.display = ":" + number.decode()
        return self

    def __exit__(self, *exc) -> None:
        _stop(self.proc)


def write_reg_file(path, text: str) -> Path:  # as regedit writes it (UTF-16LE with BOM, CR LF), with its header
    path, header = Path(path), "Windows Registry Editor Version 5.00"
    if not text.lstrip("\ufeff").startswith(header):
        text = header + "\n\n" + text
    path.write_bytes(b"\xff\xfe" + (text.replace("\r\n", "\n").rstrip("\n") + "\n").replace("\n", "\r\n")
                     .encode("utf-16-le"))
    return path


def reg_string(s: str) -> str:
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _prefix_settings() -> str:
    # No crash debugger (a crash ends the program), frames drawn by Wine (captions without a window
    # manager), and the program's Japanese UI fonts mapped to the installed IPA Gothic.
    families = subprocess.run(["fc-list", ":", "family"], capture_output=True, text=True, timeout=60).stdout
    ipa = "IPAPGothic" if "IPAPGothic" in families else "IPAGothic"
    fonts = "\n".join(f"{reg_string(n)}={reg_string(ipa)}" for n in ("ＭＳ Ｐゴシック", "MS PGothic", "MS UI Gothic",
                                                                      "ＭＳ ゴシック", "MS Gothic"))
    return (r'[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]' '\n"Auto"="0"\n"Debugger"=-\n'
            r'[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '\n"ShowCrashDialog"=dword:00000000\n'
            r'[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '\n"Decorated"="N"\n'
            r'[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]' f"\n{fonts}\n")


# A folder for SmartReplayFolder holding drive 0: "ata" (a real WD30EFRX) or "failing" (fixtures/failing_drive).
def replay_folder(folder: Path, kind: str) -> Path:
    folder.mkdir(parents=True)
    failing = HERE / "fixtures" / "failing_drive"
    for part in ("identify", "smart_read_data", "smart_read_thresholds"):
        source = SMART / f"cdi_WDC_WD30EFRX-68EUZN0_{part}" if kind == "ata" else failing / f"drive0_{part}"
        shutil.copy(f"{source}.hexdump.txt", folder / f"drive0_{part}.hexdump.txt")
    return folder


@dataclass
class Box:  # a dialog box as e2ehelper reports it
    hwnd: str
    title: str
    texts: list
    buttons: list  # {"id": int, "caption": str}
    topmost: bool = False

    @property
    def text(self) -> str:
        return "\n".join(self.texts)

    def __str__(self) -> str:
        return f"[{self.title}] {self.text!r} ({'/'.join(b['caption'] for b in self.buttons)})"


def default_answer(box: Box):  # OK, Cancel or No, else the first button
    ids = [b["id"] for b in box.buttons]
    return next((i for i in (IDOK, IDCANCEL, IDNO) if i in ids), ids[0] if ids else IDCANCEL)


@dataclass
class Result:
    exit_code: Optional[int]  # None when the program had to be killed
    elapsed: float
    boxes: list = field(default_factory=list)
    timed_out: bool = False

    @property
    def crashed(self) -> bool:
        return any(b.title == CRASH_BOX_TITLE for b in self.boxes)

    def __str__(self) -> str:
        state = "timed out" if self.timed_out else f"exit code {self.exit_code}"
        return (f"{'crashed, ' if self.crashed else ''}{state} after {self.elapsed:.1f}s, "
                f"boxes: {'; '.join(map(str, self.boxes)) or 'none'}")


class WinePrefix:
    # A throw-away Wine prefix in a temp folder (path None) or a kept one. without_capabilities:
    # Wine runs as root without its capabilities, so file permissions apply.

    def __init__(self, path=None, display=None, without_capabilities=False):
        self.wrap = ["setpriv", "--inh-caps=-all", "--bounding-set=-all", "--"] if without_capabilities else []
        self.keep = path is not None
        self.root = Path(tempfile.mkdtemp(prefix="orv-e2e-")) if path is None else Path(path)
        self.path = self.root / "prefix" if path is None else Path(path)
        self.display = display
        self.env = {k: v for k, v in os.environ.items() if not k.startswith(("WINE", "LC_", "DISPLAY"))}
        # No Mono/Gecko installer questions, no menu entries on the host.
        self.env.update(WINEPREFIX=str(self.path), WINEDEBUG="-all", WINEARCH="win64", LANG=LOCALE, LC_ALL=LOCALE,
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d", **({"DISPLAY": display} if display
                                                                                     else {}))
        self._app_dir = self._server = None

    def __enter__(self) -> "WinePrefix":
        try:
            marker = self.path / ".orvanta-prefix"
            booted = marker.exists()
            for last_try in (False, True):
                self.path.mkdir(parents=True, exist_ok=True)
                # A server that stays up: otherwise every wine call pays the start of the services.
                self._server = subprocess.Popen([*self.wrap, "wineserver", "-f", "-p"], env=self.env,
                                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                                stderr=subprocess.DEVNULL)
                boot = None if booted else self.wine(["wineboot", "-i"], timeout=120, bare=True,
                                                     check=last_try or self.keep)
                if boot is None or boot.returncode == 0:
                    break
                # The first boot of a prefix now and then fails on a loaded machine ("could not load
                # kernel32.dll" while twenty other prefixes start): once more, afresh.
                self.kill_all()
                shutil.rmtree(self.path, ignore_errors=True)
            if not booted:
                # Wine's own fonts (Marlett, Tahoma) load from the prefix only; Debian leaves them out.
                fonts = self.path / "drive_c" / "windows" / "Fonts"
                for f in Path("/usr/share/wine/fonts").glob("*"):
                    if not (fonts / f.name).exists():
                        shutil.copy(f, fonts / f.name)
                self.import_reg(write_reg_file(self.path / "orvanta-settings.reg", _prefix_settings()))
                marker.write_text("set up by tests/e2e/harness.py\n")
        except BaseException:
            self.__exit__()
            raise
        return self

    def __exit__(self, *exc) -> None:
        self.kill_all()
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def kill_all(self) -> None:  # every process of the prefix and its server, which writes the registry
        if self.path.exists():
            for flag in ("-k", "-w"):
                run_command(["wineserver", flag], 30, env=self.env)
        if self._server:
            _stop(self._server)
            self._server = None

    def wine(self, args, timeout=60, cwd=None, check=True, bare=False) -> subprocess.CompletedProcess:
        r = run_command([*self.wrap, *([] if bare else ["wine"]), *args], timeout, env=self.env, cwd=cwd)
        if check and r.returncode != 0:
            raise HarnessError(f"wine {' '.join(map(str, args))}: exit code {r.returncode} "
                               f"{r.stderr.decode(errors='replace')[-400:]}")
        return r

    def import_reg(self, path) -> None:  # again on a busy machine, where it now and then fails for no reason
        for attempt in range(3):
            if self.wine(["reg", "import", self.windows_path(path)], check=attempt == 2).returncode == 0:
                return
            time.sleep(1)

    def windows_path(self, unix_path) -> str:  # again on a busy machine, where it now and then gives nothing
        for _ in range(3):
            if out := run_command(["winepath", "-w", unix_path], 30, env=self.env).stdout.decode().strip():
                return out
        raise HarnessError(f"winepath -w {unix_path} failed")

    def record_shell_open(self, extension: str) -> Path:  # a handler that writes the document it is to open there
        record = self.root / f"opened{extension}.txt"
        self.import_reg(write_reg_file(self.root / f"open{extension}.reg", "\n".join([
            rf"[HKEY_CLASSES_ROOT\{extension}]", f'@="OrvantaTest{extension}"',
            rf"[HKEY_CLASSES_ROOT\OrvantaTest{extension}\shell\open\command]",
            "@=" + reg_string(rf'C:\windows\system32\cmd.exe /c echo "%1">{self.windows_path(record)}')])))
        return record

    # A settings file naming the save folder (made here) and a replay folder; its Windows path.
    def settings(self, out: Path, replay: Optional[Path] = None, name="site.ini") -> str:
        out.mkdir(parents=True, exist_ok=True)
        replay_line = f"SmartReplayFolder={self.windows_path(replay)}\r\n" if replay else ""
        text = f"[General]\r\nSaveDir={self.windows_path(out)}\r\n{replay_line}"
        (self.root / name).write_bytes(text.encode("cp932"))
        return self.windows_path(self.root / name)

    # One unattended run into a save folder that then holds one per-PC file: (file, lines).
    def unattended(self, out: Path, replay=None, switches="/b0", **how) -> tuple:
        r = self.run_program([switches, self.settings(out, replay)], timeout=120, **how)
        assert not r.timed_out and r.exit_code == 0 and not r.boxes, str(r)
        files = sorted(out.glob("*.csv"))
        assert len(files) == 1, f"per-PC files in {out.name}: {[f.name for f in files]}"
        return files[0], decode_cp932_lines(files[0])

    def helper(self, *args, timeout=20) -> tuple:  # e2ehelper.exe: (exit code, UTF-8 output)
        r = self.wine([win_build() / "e2ehelper.exe", *args], timeout=timeout, check=False)
        return r.returncode, r.stdout.decode("utf-8", errors="replace")

    def _json(self, *args) -> list:
        return [json.loads(l) for l in self.helper(*args)[1].splitlines() if l.startswith(("{", "["))]

    def boxes(self) -> list:  # visible dialog boxes, topmost first
        return [Box(**d) for d in self._json("boxes")]

    def press(self, button: int) -> bool:  # a button (IDOK, IDNO ...) of the topmost box
        return self.helper("press", str(button))[0] == 0

    def windows(self, title=None) -> list:  # top-level windows or a window's controls: class, id, visible, text...
        return self._json("windows", *([title] if title else []))

    def close(self, title: str) -> None:
        # WM_CLOSE: Wine leaves the keyboard focus with a program the shell started, so keys would not do.
        self.helper("close", title)

    def window_text(self, title, control_class="", index=0) -> Optional[str]:  # or its index-th control's
        code, out = self.helper("text", title, *([control_class, str(index)] if control_class else []))
        return out if code == 0 else None

    def grid(self, title):  # (column headers, rows of cells) of a window's list view
        lines = self._json("grid", title)  # nothing when there is no list view
        return (lines[0]["columns"], lines[1:]) if lines else None

    @property
    def app_dir(self) -> Path:  # a copy of qumbel.exe, which writes beside itself, not into the build
        if self._app_dir is None:
            self._app_dir = self.root / "app" if not self.keep else self.path / "orvanta-app"
            self._app_dir.mkdir(parents=True, exist_ok=True)
            shutil.copy2(win_build() / PROGRAM_NAME, self._app_dir / PROGRAM_NAME)
        return self._app_dir

    def start_program(self, args=(), timeout=60, **how) -> "Program":  # how: exe, cwd, extra_env, host_name
        return Program(self, args, timeout=timeout, **how)

    def run_program(self, args=(), timeout=60, answer=None, **how) -> Result:  # answer(box), default OK
        with self.start_program(args, timeout=timeout, **how) as prog:
            return prog.wait_exit(timeout=timeout + 10, answer=answer)

    def export_item_list(self) -> list:  # 設定 > 項目リスト of an interactive start: itemlist.csv's lines
        with self.start_program(["/a"], timeout=90) as prog:
            prog.wait_window(MAIN_TITLE, timeout=40)
            prog.menu("alt+i", "l", title=ITEM_LIST_TITLE)
            prog.quit()
        return decode_cp932_lines(self.app_dir / "itemlist.csv")

    def x_env(self) -> dict:
        return dict(self.env, DISPLAY=self.display)

    def find_x_window(self, title: str, timeout=0) -> Optional[str]:  # of a visible window with this title
        ids = wait_until(lambda: run_command(["xdotool", "search", "--onlyvisible", "--name", f"^{re.escape(title)}$"],
                                             10, env=self.x_env()).stdout.split(), timeout)
        return ids[-1].decode() if ids else None

    def send_keys(self, window: str, *keys: str) -> None:  # to a window's title or X id, menus too
        xid = window if window.isdigit() else self.find_x_window(window, timeout=10)
        r = xid and run_command(["xdotool", "key", "--window", xid, "--delay", "80", *keys], 20, env=self.x_env())
        if not r or r.returncode != 0:
            raise HarnessError(f"cannot send keys to {window!r}: {r and r.stderr[-300:]!r}")

    def screenshot(self, png, window, settle=0.5) -> Path:  # of a window (title or X id)
        time.sleep(settle)
        png = Path(png)
        png.parent.mkdir(parents=True, exist_ok=True)
        xid = window if window.isdigit() else self.find_x_window(window, timeout=5)
        r = subprocess.run(f"{' '.join(_timed(['xwd', '-silent', '-display', self.display, '-id', xid], 30))} | "
                           f"timeout 60 convert xwd:- png:{png}", shell=True, capture_output=True)
        if r.returncode != 0 or not png.exists():
            raise HarnessError(f"screenshot of {window} failed: {r.stderr[-300:]!r}")
        return png


class Program(contextlib.AbstractContextManager):  # qumbel.exe running; `with` kills it if still running

    def __init__(self, prefix, args=(), timeout=60, exe=None, cwd=None, extra_env=None, host_name=None):
        self.prefix, self.boxes_seen, self.xid, self._answered = prefix, [], None, {}
        exe = Path(exe) if exe else prefix.app_dir / PROGRAM_NAME
        self._stderr, self.started = tempfile.TemporaryFile(), time.monotonic()
        command = _timed([*prefix.wrap, "wine", exe, *args], timeout)
        if host_name:  # a host name of its own, in a UTS namespace of this process tree
            command = ["unshare", "-u", "sh", "-c", 'hostname "$0" && exec "$@"', host_name, *command]
        self.proc = subprocess.Popen(command, env=dict(prefix.env, **(extra_env or {})), cwd=cwd or exe.parent,
                                     stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=self._stderr)

    def __exit__(self, *exc) -> None:
        self.kill()

    @property
    def running(self) -> bool:
        return self.proc.poll() is None

    def kill(self) -> None:
        _stop(self.proc)

    def stderr(self) -> str:
        self._stderr.seek(0)
        return self._stderr.read().decode("utf-8", errors="replace")

    def _poll(self, what: str, found, timeout: float):  # found(boxes); fails on a crash or the program's end
        deadline = time.monotonic() + timeout
        while True:
            boxes = self.prefix.boxes()
            for box in boxes:
                if box.title == CRASH_BOX_TITLE:
                    self._record(box)
                    self.prefix.press(IDNO)
                    raise HarnessError(f"the program crashed: {box}")
            result = found(boxes)
            if result:
                return result
            if not self.running:
                raise HarnessError(f"the program ended (exit code {self.proc.poll()}) while waiting for {what}")
            if time.monotonic() >= deadline:
                raise HarnessError(f"no {what} within {timeout}s")
            time.sleep(0.3)

    def wait_window(self, title=MAIN_TITLE, timeout=30) -> str:  # its X id; the main window's is kept
        xid = self._poll(f"window titled {title!r}", lambda _: self.prefix.find_x_window(title), timeout)
        if title == MAIN_TITLE:
            self.xid = xid
        return xid

    def send_keys(self, *keys, window_title=None) -> None:  # to the main window, whatever its caption now
        self.prefix.send_keys(window_title or self.xid or MAIN_TITLE, *keys)

    def menu(self, *keys, title, window_title=None) -> str:  # keys that open the window `title`: its X id
        self.send_keys(*keys, window_title=window_title)
        return self.wait_window(title, timeout=30)

    def quit(self, window_title=None) -> Result:  # 終了 of the file menu: it ends at once, asking nothing
        self.send_keys("alt+f", "x", window_title=window_title)
        r = self.wait_exit(timeout=30, answer=lambda box: None)  # a question would stay open
        assert r.exit_code == 0 and not r.crashed, str(r)
        return r

    def wait_box(self, timeout=15) -> Box:
        box = self._poll("message box", lambda boxes: boxes and boxes[0], timeout)
        self._record(box)
        return box

    def press(self, button: int) -> None:
        box = self.wait_box(5)
        if not self.prefix.press(button):
            raise HarnessError(f"box {box} has no button {button!r}")
        self._answered[box.hwnd] = time.monotonic()

    def _record(self, box: Box) -> None:
        if not any(b.hwnd == box.hwnd and b.texts == box.texts for b in self.boxes_seen):
            self.boxes_seen.append(box)

    def wait_exit(self, timeout=30, answer=None) -> Result:
        # Waits for the end, answering boxes with answer(box) (None leaves it open); kills it at `timeout`.
        deadline, interval = time.monotonic() + timeout, 0.2
        while self.running and time.monotonic() < deadline:
            try:
                self.proc.wait(interval)
                break
            except subprocess.TimeoutExpired:
                interval = min(interval * 1.5, 1.0)
            for box in self.prefix.boxes()[:1]:
                self._record(box)
                if time.monotonic() - self._answered.get(box.hwnd, -9) < 3:
                    continue  # just answered, still closing
                choice = (answer or default_answer)(box)
                if choice is not None and self.prefix.press(choice):
                    self._answered[box.hwnd] = time.monotonic()
        timed_out = self.running or self.proc.returncode in (124, 137)
        self.kill()
        return Result(None if timed_out else self.proc.returncode, time.monotonic() - self.started,
                      list(self.boxes_seen), timed_out)


class Session(contextlib.ExitStack):  # an Xvfb display plus a prefix on it: `with Session() as s: s.prefix ...`

    def __init__(self, prefix_path=None, without_capabilities=False):
        super().__init__()
        try:
            self.xvfb = self.enter_context(Xvfb())
            self.prefix = self.enter_context(WinePrefix(prefix_path, self.xvfb.display, without_capabilities))
        except BaseException:  # what started is ended again
            self.close()
            raise


_session: Optional[Session] = None


def session(**how) -> Session:  # this test file's: started at the first call, ended by run_tests
    global _session
    if _session is None:
        _session = Session(**how).__enter__()
    return _session


def decode_cp932_lines(path) -> list:  # every line's CR LF checked, the last one's too
    data = Path(path).read_bytes()
    assert not re.search(rb"\r(?!\n)|(?<!\r)\n", data) and data.endswith(b"\r\n") or not data, \
        f"{Path(path).name}: a line end that is not CR LF"
    lines = data.decode("cp932").split("\r\n")
    return lines[:-1] if lines[-1] == "" else lines


def write_cp932(path, lines) -> Path:
    Path(path).write_bytes("".join(l + "\r\n" for l in lines).encode("cp932"))
    return Path(path)


def unbalanced_elements(page: str) -> list:
    # The page as an HTML parser reads it: the end tags that close another element than the last
    # one opened, then the elements left open; empty when every element is closed in turn.
    opened, wrong = [], []
    parser = HTMLParser()
    parser.handle_starttag = lambda tag, attrs: tag in ("meta", "br", "img", "hr", "link") or opened.append(tag)
    parser.handle_endtag = lambda tag: (opened and opened.pop() == tag) or wrong.append(tag)
    parser.feed(page)
    return wrong + opened


def wait_until(condition, seconds=30):  # condition()'s first true value within `seconds`, else its last
    deadline = time.monotonic() + seconds
    while not (result := condition()) and time.monotonic() < deadline:
        time.sleep(0.3)
    return result


def check_golden(name: str, lines: list, **values) -> None:
    # Compares lines with tests/e2e/expected/<name>, line for line: a line "*" there stands for any
    # line (a value of the machine), "{key}" for values[key]. With ORV_E2E_GOLDEN=1 the file is
    # written from `lines` instead, its "*" and "{key}" lines kept.
    path = HERE / "expected" / name
    old = path.read_text(encoding="utf-8").split("\n")[:-1] if path.exists() else []
    if os.environ.get("ORV_E2E_GOLDEN"):
        kept = [line == "*" or re.search(r"\{\w+\}", line) for line in old]
        path.write_text("".join(f"{old[i] if i < len(old) and kept[i] else line}\n" for i, line in enumerate(lines)),
                        encoding="utf-8")
        return
    for i, (want, have) in enumerate(zip(old, lines)):
        want = re.sub(r"\{(\w+)\}", lambda m: values[m.group(1)], want)
        assert want in ("*", have), f"{name} line {i + 1}: {have[:200]!r}, expected {want[:200]!r}"
    assert len(lines) == len(old), f"{name}: {len(lines)} lines, expected {len(old)}"


def _raise(error):
    def handler(signum, frame):
        raise error()
    return handler


def run_tests(namespace: dict) -> None:
    # Runs setup_module() and the test_* functions in file order (those whose names hold an argument
    # of the command line, if any), each within TEST_TIMEOUT seconds (default 300), then ends the
    # session; exits with 1 when one failed.
    tests = [(n, f) for n, f in namespace.items() if n.startswith("test_") and callable(f)
             and (len(sys.argv) < 2 or any(a in n for a in sys.argv[1:]))]
    signal.signal(signal.SIGALRM, _raise(TimeoutError))
    signal.signal(signal.SIGTERM, _raise(KeyboardInterrupt))  # stopped from outside: clean up
    passed = failed = 0
    try:
        for name, fn in [("setup", namespace.get("setup_module", lambda: None))] + tests:
            start = time.monotonic()
            signal.alarm(int(namespace.get("TEST_TIMEOUT", 300)))
            try:
                fn()
                if name != "setup":
                    passed += 1
                    print(f"PASS {name} ({time.monotonic() - start:.1f}s)", flush=True)
            except Exception as e:  # noqa: BLE001 - reported as the test's failure
                tb = traceback.extract_tb(e.__traceback__)[-1]
                reason = str(e).strip() if isinstance(e, AssertionError) and str(e).strip() else \
                    f"{type(e).__name__} {e} at {Path(tb.filename).name}:{tb.lineno}: {tb.line}"
                print(f"FAIL {name}: {' '.join(reason.split())[:800]}", flush=True)
                failed += len(tests) if name == "setup" else 1
                if name == "setup":
                    break
            finally:
                signal.alarm(0)
    finally:
        signal.alarm(120)
        namespace.get("teardown_module", lambda: None)()
        if _session:
            _session.close()
        signal.alarm(0)
    print(f"{passed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed else 0)
