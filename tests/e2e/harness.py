"""End-to-end harness: runs the real qumbel.exe under Wine on an Xvfb display.

Python 3 standard library only. Every outside command runs under `timeout`, so a crash or a hang
of the program fails the test that caused it and never stalls the suite.

Typical use in a test file (see test_shell.py)::

    from harness import Session, run_tests, decode_cp932_lines

    S = None

    def setup_module():
        global S
        S = Session().__enter__()          # one Xvfb + one throw-away prefix per test file

    def teardown_module():
        S.__exit__(None, None, None)

    def test_unattended():
        r = S.prefix.run_program(["/b0", ini], timeout=30)
        assert r.exit_code == 0, r

    if __name__ == "__main__":
        run_tests(globals())

Pieces:
  Xvfb              a private X display (free number chosen by Xvfb itself with -displayfd)
  WinePrefix        a prefix in a temp folder (or a kept one): Japanese locale (code page 932),
                    crash debugger off, Japanese UI fonts mapped to the installed IPA Gothic
  Program           a running qumbel.exe: wait for its window, send access keys, read and answer
                    its message boxes, wait for its exit
  screenshot(...)   PNG of the whole screen or of one window
  decode_cp932_lines(path)   checks CR LF line ends and decodes CP932
  write_reg_file(path, text) writes a .reg fixture as UTF-16LE with BOM
  run_tests(globals())       the test runner: one PASS/FAIL line per test, then "N passed, N failed"
"""

from __future__ import annotations

import json
import os
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
from dataclasses import dataclass, field
from pathlib import Path
from typing import Callable, Iterable, Optional, Sequence, Union

REPO = Path(__file__).resolve().parents[2]
PROGRAM_NAME = "qumbel.exe"
MAIN_TITLE = "Orvanta"
LOCALE = "ja_JP.UTF-8"
WINE_FONTS = Path("/usr/share/wine/fonts")  # package fonts-wine

# The box Wine shows when a program dies of an unhandled exception while the crash debugger is
# off ("... Do you wish to debug it?"); default_answer says No, and the program ends.
CRASH_BOX_TITLE = "Exception raised"

# Standard dialog button ids.
IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO = 1, 2, 3, 4, 5, 6, 7


def win_build() -> Path:
    """The folder of the cross build (qumbel.exe, e2ehelper.exe, the e2e tools)."""
    return Path(os.environ.get("ORV_WIN_BUILD", REPO / "build" / "win")).resolve()


def program_exe() -> Path:
    return win_build() / PROGRAM_NAME


class HarnessError(AssertionError):
    """A failure of the program under test as the harness sees it (timeouts, missing windows)."""


def _timed(cmd: Sequence[str], seconds: float) -> list[str]:
    # -k: a program that ignores SIGTERM is killed 5 s later.
    return ["timeout", "-k", "5", str(max(1, int(seconds))), *map(str, cmd)]


def run_command(cmd: Sequence[Union[str, Path]], seconds: float, env: Optional[dict] = None,
                cwd=None) -> subprocess.CompletedProcess:
    """Runs a command under `timeout`, output (bytes) captured through files, not pipes: a wine
    call can leave Windows services running that inherit its output handles, and a pipe would
    then never reach its end."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        r = subprocess.run(_timed(cmd, seconds), env=env, cwd=cwd, stdin=subprocess.DEVNULL,
                           stdout=out, stderr=err)
        out.seek(0)
        err.seek(0)
        return subprocess.CompletedProcess(r.args, r.returncode, out.read(), err.read())


# --------------------------------------------------------------------------------------------
# Xvfb
# --------------------------------------------------------------------------------------------


class Xvfb:
    """A private X server: `with Xvfb() as x: x.display` (e.g. ":93")."""

    def __init__(self, width: int = 1280, height: int = 800, depth: int = 24, timeout: float = 30):
        self.geometry = f"{width}x{height}x{depth}"
        self.timeout = timeout
        self.proc: Optional[subprocess.Popen] = None
        self.display = ""

    def __enter__(self) -> "Xvfb":
        rfd, wfd = os.pipe()
        try:
            # -displayfd: Xvfb picks the first free display number itself (no race with other
            # servers started at the same moment) and writes it once it accepts connections.
            self.proc = subprocess.Popen(
                ["Xvfb", "-displayfd", str(wfd), "-screen", "0", self.geometry, "-nolisten", "tcp"],
                pass_fds=(wfd,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                stderr=subprocess.DEVNULL)  # same process group: a killed test run takes it along
        finally:
            os.close(wfd)
        data = b""
        deadline = time.monotonic() + self.timeout
        try:
            while not data.endswith(b"\n"):
                left = deadline - time.monotonic()
                if left <= 0 or self.proc.poll() is not None:
                    raise HarnessError("Xvfb did not start")
                ready, _, _ = select.select([rfd], [], [], left)
                if ready:
                    chunk = os.read(rfd, 64)
                    if not chunk:
                        raise HarnessError("Xvfb did not start")
                    data += chunk
        except BaseException:
            self._stop()
            raise
        finally:
            os.close(rfd)
        self.display = ":" + data.decode().strip()
        return self

    def _stop(self) -> None:
        if self.proc and self.proc.poll() is None:
            self.proc.terminate()
            try:
                self.proc.wait(5)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(5)

    def __exit__(self, *exc) -> None:
        self._stop()


def display_reachable(display: str) -> bool:
    """True when an X server answers on `display`."""
    if not display or not shutil.which("xdotool"):
        return False
    env = dict(os.environ, DISPLAY=display)
    try:
        r = subprocess.run(_timed(["xdotool", "getdisplaygeometry"], 5), env=env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    except OSError:
        return False
    return r.returncode == 0


# --------------------------------------------------------------------------------------------
# Registry files
# --------------------------------------------------------------------------------------------

REG_HEADER = "Windows Registry Editor Version 5.00"


def write_reg_file(path: Union[str, Path], text: str) -> Path:
    """Writes a .reg file the way regedit does: UTF-16LE with a BOM and CR LF line ends.

    `text` may start with the header line; it is added when missing. Use this for every fixture
    that holds non-ASCII data (an ANSI .reg file would be read in the prefix's code page).
    """
    path = Path(path)
    lines = text.replace("\r\n", "\n").split("\n")
    if not lines or lines[0].lstrip("\ufeff").strip() != REG_HEADER:
        lines = [REG_HEADER, ""] + lines
    body = "\r\n".join(lines)
    if not body.endswith("\r\n"):
        body += "\r\n"
    path.write_bytes(b"\xff\xfe" + body.encode("utf-16-le"))
    return path


def reg_string(s: str) -> str:
    """A string in .reg syntax (quoted, backslashes and quotes escaped)."""
    return '"' + s.replace("\\", "\\\\").replace('"', '\\"') + '"'


def _font_family(*wanted: str) -> Optional[str]:
    """The first installed font family among `wanted` (names as fc-list reports them)."""
    try:
        out = subprocess.run(_timed(["fc-list", ":", "family"], 30), capture_output=True,
                             text=True).stdout
    except OSError:
        return None
    families = set()
    for line in out.splitlines():
        for name in line.split(","):
            families.add(name.strip())
    for name in wanted:
        if name in families:
            return name
    return None


def _prefix_settings_reg() -> str:
    """Registry settings every test prefix gets."""
    lines = [REG_HEADER, ""]
    # No crash debugger: a crashing program ends at once instead of starting winedbg and hanging.
    lines += [r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]",
              '"Auto"="0"', '"Debugger"=-', ""]
    lines += [r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]", '"ShowCrashDialog"=dword:00000000', ""]
    # Wine draws the window frames itself, so the caption is there without a window manager
    # (screenshots under Xvfb).
    lines += [r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]", '"Decorated"="N"', ""]
    # The program's fonts (Japanese Windows UI fonts) are not installed: map them to IPA Gothic.
    proportional = _font_family("IPAPGothic", "IPA Pゴシック", "IPAGothic")
    fixed = _font_family("IPAGothic", "IPAゴシック", "IPAPGothic")
    if proportional and fixed:
        lines += [r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]"]
        for name, target in (("ＭＳ Ｐゴシック", proportional), ("MS PGothic", proportional),
                             ("MS UI Gothic", proportional), ("ＭＳ ゴシック", fixed),
                             ("MS Gothic", fixed)):
            lines.append(f"{reg_string(name)}={reg_string(target)}")
        lines.append("")
    return "\r\n".join(lines)


# --------------------------------------------------------------------------------------------
# Wine prefix
# --------------------------------------------------------------------------------------------


@dataclass
class Box:
    """A dialog box (message box) as e2ehelper reports it."""
    hwnd: str
    title: str
    texts: list[str]
    buttons: list[dict]  # {"id": int, "caption": str}
    pid: int = 0
    topmost: bool = False  # stays above other windows

    @property
    def text(self) -> str:
        return "\n".join(self.texts)

    def button_ids(self) -> list[int]:
        return [b["id"] for b in self.buttons]

    def __str__(self) -> str:
        caps = "/".join(b["caption"] for b in self.buttons)
        return f"[{self.title}] {self.text!r} ({caps})"


def default_answer(box: Box) -> Union[int, str]:
    """OK when the box has it, otherwise Cancel / No, otherwise its first button."""
    ids = box.button_ids()
    for wanted in (IDOK, IDCANCEL, IDNO):
        if wanted in ids:
            return wanted
    return ids[0] if ids else IDCANCEL


@dataclass
class Result:
    exit_code: Optional[int]  # None when the program was still running and had to be killed
    elapsed: float
    boxes: list[Box] = field(default_factory=list)
    timed_out: bool = False
    stderr: str = ""

    @property
    def crashed(self) -> bool:
        """The program died of an unhandled exception (Wine then asks whether to debug it)."""
        return any(b.title == CRASH_BOX_TITLE for b in self.boxes)

    def __str__(self) -> str:
        boxes = "; ".join(str(b) for b in self.boxes) or "none"
        state = "timed out" if self.timed_out else f"exit code {self.exit_code}"
        if self.crashed:
            state = "crashed, " + state
        return f"{state} after {self.elapsed:.1f}s, boxes: {boxes}"


class WinePrefix:
    """A Wine prefix set up for the program: `with WinePrefix(display=x.display) as p: ...`.

    path=None: a throw-away prefix in a temp folder, deleted at the end.
    path given: that prefix is set up on first use and kept (keep=True is implied).
    without_capabilities: Wine runs as root without its capabilities: file permissions apply.
    """

    def __init__(self, path: Union[str, Path, None] = None, display: Optional[str] = None,
                 keep: bool = False, boot_timeout: float = 120, without_capabilities: bool = False):
        self.wrap = ["setpriv", "--inh-caps=-all", "--bounding-set=-all", "--"] if without_capabilities else []
        self.keep = keep or path is not None
        self.root = Path(tempfile.mkdtemp(prefix="orv-e2e-")) if path is None else Path(path)
        self.path = self.root / "prefix" if path is None else Path(path)
        self.display = display
        self.boot_timeout = boot_timeout
        self.env = dict(os.environ)
        for k in list(self.env):
            if k.startswith("WINE") or k.startswith("LC_"):
                del self.env[k]
        self.env.update(WINEPREFIX=str(self.path), WINEDEBUG="-all", WINEARCH="win64",
                        LANG=LOCALE, LC_ALL=LOCALE,
                        # No Mono/Gecko installer questions, no desktop menu entries on the host.
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
        if display:
            self.env["DISPLAY"] = display
        else:
            self.env.pop("DISPLAY", None)
        self._app_dir: Optional[Path] = None
        self._server: Optional[subprocess.Popen] = None

    # ---- life cycle ----

    def __enter__(self) -> "WinePrefix":
        try:
            self.start_server()
            self.setup()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc) -> None:
        self.kill_all()
        if not self.keep:
            shutil.rmtree(self.root, ignore_errors=True)

    def _server_running(self) -> bool:
        """True when the socket of this prefix's server exists. The server folder is
        /tmp/.wine-<uid>/server-<dev>-<inode>; for root, Wine uses a fresh /tmp/wine-XXXXXX
        instead and names it in <prefix>/wineserver."""
        st = os.stat(self.path)
        leaf = f"server-{st.st_dev:x}-{st.st_ino:x}"
        roots = [Path(f"/tmp/.wine-{os.getuid()}")]
        try:
            roots.insert(0, Path("/tmp") / (self.path / "wineserver").read_text().strip())
        except OSError:
            pass
        return any((r / leaf / "socket").exists() for r in roots)

    def start_server(self, timeout: float = 20) -> None:
        """Starts a wineserver that stays up until kill_all(). Without it the server quits when
        the last program ends, and every later wine call pays the start of the Windows services
        again (seconds instead of a fraction of one)."""
        if self._server and self._server.poll() is None:
            return
        self.path.mkdir(parents=True, exist_ok=True)
        if self._server_running():
            return
        self._server = subprocess.Popen([*self.wrap, "wineserver", "-f", "-p"], env=self.env,
                                        stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                        stderr=subprocess.DEVNULL)
        # Wait for its socket (wine copes with a server still starting, so this is a courtesy).
        deadline = time.monotonic() + timeout
        while not self._server_running() and time.monotonic() < deadline:
            if self._server.poll() is not None:
                raise HarnessError("wineserver did not start")
            time.sleep(0.05)

    def setup(self) -> None:
        marker = self.path / ".orvanta-prefix"
        if marker.exists():
            return
        self.path.parent.mkdir(parents=True, exist_ok=True)
        r = run_command([*self.wrap, "wineboot", "-i"], self.boot_timeout, env=self.env)
        if r.returncode != 0:
            raise HarnessError(f"wineboot -i failed ({r.returncode}): {r.stderr.decode(errors='replace')[-500:]}")
        # Wine's own fonts (Marlett draws the caption buttons, Tahoma is the dialog font) are
        # loaded from the prefix's Fonts folder only; Debian's wine does not put them there.
        fonts = self.path / "drive_c" / "windows" / "Fonts"
        if WINE_FONTS.is_dir() and fonts.is_dir():
            for f in WINE_FONTS.iterdir():
                if not (fonts / f.name).exists():
                    shutil.copy(f, fonts / f.name)
        settings = write_reg_file(self.path / "orvanta-settings.reg", _prefix_settings_reg())
        self.import_reg(settings)
        marker.write_text("set up by tests/e2e/harness.py\n")

    def kill_all(self) -> None:
        """Ends every process of the prefix and its server (wineserver -k), which writes the
        registry to disk."""
        if self.path.exists():
            subprocess.run(_timed(["wineserver", "-k"], 30), env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            subprocess.run(_timed(["wineserver", "-w"], 30), env=self.env,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if self._server:
            try:
                self._server.wait(10)
            except subprocess.TimeoutExpired:
                self._server.kill()
                self._server.wait(5)
            self._server = None

    # ---- commands inside the prefix ----

    def wine(self, args: Sequence[Union[str, Path]], timeout: float = 60, cwd=None,
             check: bool = True) -> subprocess.CompletedProcess:
        """Runs `wine args...` to its end (bytes output captured)."""
        r = run_command([*self.wrap, "wine", *args], timeout, env=self.env, cwd=cwd)
        if check and r.returncode != 0:
            what = " ".join(map(str, args))
            if r.returncode in (124, 137):
                raise HarnessError(f"wine {what}: timed out after {timeout}s")
            raise HarnessError(f"wine {what}: exit code {r.returncode}: "
                               f"{r.stderr.decode(errors='replace')[-500:]}")
        return r

    def import_reg(self, path: Union[str, Path]) -> None:
        """wine reg import <file> (write non-ASCII fixtures with write_reg_file)."""
        self.wine(["reg", "import", self.windows_path(path)], timeout=60)

    def windows_path(self, unix_path: Union[str, Path]) -> str:
        r = run_command(["winepath", "-w", unix_path], 30, env=self.env)
        out = r.stdout.decode("utf-8", errors="replace").strip()
        if r.returncode != 0 or not out:
            raise HarnessError(f"winepath -w {unix_path} failed")
        return out

    def unix_path(self, windows_path: str) -> Path:
        r = run_command(["winepath", "-u", windows_path], 30, env=self.env)
        if r.returncode != 0:
            raise HarnessError(f"winepath -u {windows_path} failed")
        return Path(r.stdout.decode("utf-8", errors="replace").strip())

    def helper(self, *args: str, timeout: float = 20, check: bool = False) -> tuple[int, str]:
        """Runs e2ehelper.exe; returns (exit code, UTF-8 output)."""
        exe = win_build() / "e2ehelper.exe"
        if not exe.exists():
            raise HarnessError(f"{exe} is missing (build it with: make win)")
        r = self.wine([exe, *args], timeout=timeout, check=check)
        return r.returncode, r.stdout.decode("utf-8", errors="replace")

    def boxes(self) -> list[Box]:
        """The visible dialog boxes, topmost first."""
        _, out = self.helper("boxes")
        boxes = []
        for line in out.splitlines():
            line = line.strip()
            if line.startswith("{"):
                d = json.loads(line)
                boxes.append(Box(hwnd=d["hwnd"], title=d["title"], texts=d["texts"],
                                 buttons=d["buttons"], pid=d.get("pid", 0), topmost=d.get("topmost", False)))
        return boxes

    def press(self, button: Union[int, str]) -> bool:
        """Clicks a button (id, caption, or ok/cancel/yes/no) of the topmost visible box."""
        code, _ = self.helper("press", str(button))
        return code == 0

    def windows(self) -> list[dict]:
        """Top-level windows: hwnd, pid, title, class, visible, topmost."""
        _, out = self.helper("windows")
        return [json.loads(l) for l in out.splitlines() if l.strip().startswith("{")]

    def window_text(self, title: str, control_class: str = "", index: int = 0) -> Optional[str]:
        """Text of a top-level window, or of its index-th child control of a class; None if absent."""
        args = ["text", title] + ([control_class, str(index)] if control_class else [])
        code, out = self.helper(*args)
        return out if code == 0 else None

    def grid(self, title: str, index: int = 0) -> Optional[tuple[list[str], list[list[str]]]]:
        """The column headers and cell texts of the index-th list view (table screen) of a
        top-level window; None when there is none."""
        code, out = self.helper("grid", title, str(index))
        if code != 0:
            return None
        lines = [l for l in out.splitlines() if l.strip()]
        head = json.loads(lines[0]) if lines else {"columns": []}
        return head["columns"], [json.loads(l) for l in lines[1:]]

    def set_text(self, title: str, control_class: str, index: int, text: str) -> bool:
        """Sets the text of a child control (e.g. the input field of a prompt dialog)."""
        code, _ = self.helper("settext", title, control_class, str(index), text)
        return code == 0

    def controls(self, title: str) -> list[dict]:
        _, out = self.helper("controls", title)
        return [json.loads(l) for l in out.splitlines() if l.strip().startswith("{")]

    def visible_window(self, title: str) -> bool:
        return any(w["title"] == title and w["visible"] for w in self.windows())

    # ---- the program ----

    @property
    def app_dir(self) -> Path:
        """A folder holding a copy of qumbel.exe: the program writes beside itself, and test runs
        must never write into the build folder. Tests put qumbel.ini or regitems.txt here."""
        if self._app_dir is None:
            d = self.root / "app" if not self.keep else self.path / "orvanta-app"
            d.mkdir(parents=True, exist_ok=True)
            src = program_exe()
            if not src.exists():
                raise HarnessError(f"{src} is missing (build it with: make exe)")
            shutil.copy2(src, d / PROGRAM_NAME)
            self._app_dir = d
        return self._app_dir

    def start_program(self, args: Sequence[str] = (), timeout: float = 60,
                      exe: Union[str, Path, None] = None, cwd=None, extra_env: Optional[dict] = None,
                      host_name: Optional[str] = None) -> "Program":
        """Starts qumbel.exe (a copy in app_dir unless `exe` is given) and returns at once.
        `extra_env` adds environment variables; `host_name` runs it with that host name."""
        return Program(self, args, timeout=timeout, exe=exe, cwd=cwd, extra_env=extra_env,
                       host_name=host_name)

    def run_program(self, args: Sequence[str] = (), timeout: float = 60,
                    answer: Optional[Callable[[Box], Union[int, str, None]]] = None,
                    exe: Union[str, Path, None] = None, cwd=None, extra_env: Optional[dict] = None,
                    host_name: Optional[str] = None) -> Result:
        """Runs the program to its end, answering every message box it shows on the way
        (with `answer(box)`, default: OK). Never waits longer than `timeout`."""
        with self.start_program(args, timeout=timeout, exe=exe, cwd=cwd, extra_env=extra_env,
                                host_name=host_name) as prog:
            return prog.wait_exit(timeout=timeout + 10, answer=answer)

    # ---- X display ----

    def x_env(self) -> dict:
        if not self.display:
            raise HarnessError("this prefix has no display")
        return dict(self.env, DISPLAY=self.display)

    def find_x_window(self, title: str, timeout: float = 0) -> Optional[str]:
        """The X id of a visible window whose title is exactly `title` (None when absent)."""
        deadline = time.monotonic() + timeout
        pattern = "^" + "".join("\\" + c if c in ".^$*+?()[]{}|\\" else c for c in title) + "$"
        while True:
            r = subprocess.run(_timed(["xdotool", "search", "--onlyvisible", "--name", pattern], 10),
                               env=self.x_env(), capture_output=True, text=True)
            ids = r.stdout.split()
            if ids:
                return ids[-1]
            if time.monotonic() >= deadline:
                return None
            time.sleep(0.3)

    def send_keys(self, window: str, *keys: str, delay_ms: int = 80) -> None:
        """Sends keys with xdotool to a window given by its exact title or its X id (digits),
        e.g. send_keys("Orvanta", "alt+f", "x").

        Access keys sent this way reach Wine's menus (another process cannot walk them)."""
        xid = window if window.isdigit() else self.find_x_window(window, timeout=10)
        if not xid:
            raise HarnessError(f"no window titled {window!r} to send keys to")
        r = subprocess.run(_timed(["xdotool", "key", "--window", xid, "--delay", str(delay_ms), *keys],
                                  20), env=self.x_env(), capture_output=True, text=True)
        if r.returncode != 0:
            raise HarnessError(f"xdotool key failed: {r.stderr.strip()}")

    def screenshot(self, png_path: Union[str, Path], window: Optional[str] = None,
                   settle: float = 0.5) -> Path:
        """PNG of the whole screen, or of one window (exact title or X id), after `settle`
        seconds (a window that has just appeared may not be painted yet). Take message boxes by
        their own title: on the whole-screen picture Xvfb may show them black."""
        time.sleep(settle)
        png_path = Path(png_path)
        png_path.parent.mkdir(parents=True, exist_ok=True)
        if window is None:
            target = ["-root"]
        else:
            xid = window if window.isdigit() else self.find_x_window(window, timeout=5)
            if not xid:
                raise HarnessError(f"no window titled {window!r} to take a picture of")
            target = ["-id", xid]
        xwd = subprocess.Popen(_timed(["xwd", "-silent", "-display", self.display, *target], 30),
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        conv = subprocess.run(_timed(["convert", "xwd:-", f"png:{png_path}"], 60), stdin=xwd.stdout,
                              stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        xwd.stdout.close()
        xwd.wait(40)
        if xwd.returncode != 0 or conv.returncode != 0 or not png_path.exists():
            raise HarnessError(f"screenshot failed: {conv.stderr.decode(errors='replace').strip()}")
        return png_path


class Program:
    """qumbel.exe running under Wine (use as a context manager: it is killed if still running)."""

    def __init__(self, prefix: WinePrefix, args: Sequence[str] = (), timeout: float = 60,
                 exe: Union[str, Path, None] = None, cwd=None, extra_env: Optional[dict] = None,
                 host_name: Optional[str] = None):
        self.prefix = prefix
        self.exe = Path(exe) if exe else prefix.app_dir / PROGRAM_NAME
        self.cwd = Path(cwd) if cwd else self.exe.parent
        self.timeout = timeout
        self.boxes_seen: list[Box] = []
        self.xid: Optional[str] = None  # X id of the main window once wait_window found it
        self._answered: dict[str, float] = {}
        self._stderr = tempfile.TemporaryFile()
        self.started = time.monotonic()
        command = _timed([*prefix.wrap, "wine", self.exe, *args], timeout)
        if host_name:
            # A host name of its own, in a UTS namespace of this one process tree.
            command = ["unshare", "-u", "sh", "-c", 'hostname "$0" && exec "$@"', host_name, *command]
        env = dict(prefix.env, **(extra_env or {}))
        self.proc = subprocess.Popen(command, env=env,
                                     cwd=self.cwd, stdin=subprocess.DEVNULL,
                                     stdout=subprocess.DEVNULL, stderr=self._stderr)

    def __enter__(self) -> "Program":
        return self

    def __exit__(self, *exc) -> None:
        self.kill()

    @property
    def running(self) -> bool:
        return self.proc.poll() is None

    def kill(self) -> None:
        if self.running:
            self.proc.terminate()
            try:
                self.proc.wait(10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait(10)

    def stderr(self) -> str:
        self._stderr.seek(0)
        return self._stderr.read().decode("utf-8", errors="replace")

    def _check_alive(self, what: str) -> None:
        if not self.running:
            raise HarnessError(f"the program ended (exit code {self._exit_code()}) while waiting for {what}")

    def _exit_code(self) -> Optional[int]:
        rc = self.proc.poll()
        return rc

    def _check_crash(self, boxes: list[Box]) -> None:
        """A crash box: answer it (the program then ends) and fail."""
        for box in boxes:
            if box.title == CRASH_BOX_TITLE:
                self._record(box)
                self.prefix.press(IDNO)
                raise HarnessError(f"the program crashed: {box.text.splitlines()[0] if box.texts else box}")

    def wait_window(self, title: str = MAIN_TITLE, timeout: float = 30) -> str:
        """Waits until a visible window with this title shows; returns its X id."""
        deadline = time.monotonic() + timeout
        while True:
            self._check_alive(f"a window titled {title!r}")
            self._check_crash(self.prefix.boxes())
            xid = self.prefix.find_x_window(title)
            if xid:
                if title == MAIN_TITLE:
                    self.xid = xid
                return xid
            if time.monotonic() >= deadline:
                raise HarnessError(f"no window titled {title!r} within {timeout}s")
            time.sleep(0.3)

    def send_keys(self, *keys: str, window_title: Optional[str] = None) -> None:
        """Sends keys to the main window (found by wait_window, so a changed caption does not
        matter) or to the window with this exact title."""
        self._check_alive("keys to be sent")
        self.prefix.send_keys(window_title or self.xid or MAIN_TITLE, *keys)

    def wait_box(self, timeout: float = 15) -> Box:
        """Waits for a visible message box and returns it (recorded in boxes_seen)."""
        deadline = time.monotonic() + timeout
        while True:
            boxes = self.prefix.boxes()
            self._check_crash(boxes)
            if boxes:
                self._record(boxes[0])
                return boxes[0]
            self._check_alive("a message box")
            if time.monotonic() >= deadline:
                raise HarnessError(f"no message box within {timeout}s")
            time.sleep(0.3)

    def press(self, button: Union[int, str]) -> None:
        """Clicks a button of the topmost box (id, caption or ok/cancel/yes/no)."""
        boxes = self.prefix.boxes()
        if not boxes:
            raise HarnessError("no message box to answer")
        self._record(boxes[0])
        if not self.prefix.press(button):
            raise HarnessError(f"box {boxes[0]} has no button {button!r}")
        self._answered[boxes[0].hwnd] = time.monotonic()

    def _record(self, box: Box) -> None:
        if not any(b.hwnd == box.hwnd and b.texts == box.texts for b in self.boxes_seen):
            self.boxes_seen.append(box)

    def wait_exit(self, timeout: float = 30,
                  answer: Optional[Callable[[Box], Union[int, str, None]]] = None) -> Result:
        """Waits for the program's end, answering message boxes on the way; kills it after
        `timeout` seconds (the result then says timed_out)."""
        answer = answer or default_answer
        deadline = time.monotonic() + timeout
        interval = 0.2
        while self.running and time.monotonic() < deadline:
            try:
                self.proc.wait(interval)
                break
            except subprocess.TimeoutExpired:
                pass
            interval = min(interval * 1.5, 1.0)
            if not self.running:
                break
            try:
                boxes = self.prefix.boxes()
            except HarnessError:
                boxes = []
            for box in boxes[:1]:
                self._record(box)
                last = self._answered.get(box.hwnd)
                if last is not None and time.monotonic() - last < 3:
                    continue  # just answered, still closing
                choice = answer(box)
                if choice is not None and self.prefix.press(choice):
                    self._answered[box.hwnd] = time.monotonic()
        timed_out = self.running
        if timed_out:
            self.kill()
        rc = self.proc.returncode
        if rc in (124, 137):  # killed by `timeout`
            timed_out = True
        return Result(exit_code=None if timed_out else rc, elapsed=time.monotonic() - self.started,
                      boxes=list(self.boxes_seen), timed_out=timed_out, stderr=self.stderr())


class Session:
    """An Xvfb display plus a throw-away prefix on it: `with Session() as s: s.prefix ...`."""

    def __init__(self, prefix_path: Union[str, Path, None] = None, without_capabilities: bool = False):
        self.prefix_path = prefix_path
        self.without_capabilities = without_capabilities
        self.xvfb: Optional[Xvfb] = None
        self.prefix: Optional[WinePrefix] = None

    def __enter__(self) -> "Session":
        self.xvfb = Xvfb().__enter__()
        try:
            self.prefix = WinePrefix(self.prefix_path, display=self.xvfb.display,
                                     without_capabilities=self.without_capabilities).__enter__()
        except BaseException:
            self.xvfb.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc) -> None:
        try:
            if self.prefix:
                self.prefix.__exit__(*exc)
        finally:
            if self.xvfb:
                self.xvfb.__exit__(*exc)


# --------------------------------------------------------------------------------------------
# Files the program writes
# --------------------------------------------------------------------------------------------


def check_crlf(data: bytes, final_newline: bool = True) -> None:
    """Raises AssertionError unless every line ends with CR LF (no bare LF, no bare CR)."""
    for i, b in enumerate(data):
        if b == 0x0A and (i == 0 or data[i - 1] != 0x0D):
            line = data[:i].count(b"\n") + 1
            raise AssertionError(f"bare LF at byte {i} (line {line})")
        if b == 0x0D and (i + 1 >= len(data) or data[i + 1] != 0x0A):
            line = data[:i].count(b"\n") + 1
            raise AssertionError(f"bare CR at byte {i} (line {line})")
    if final_newline and data and not data.endswith(b"\r\n"):
        raise AssertionError("the last line does not end with CR LF")


def decode_cp932_lines(path: Union[str, Path], final_newline: bool = True) -> list[str]:
    """The lines of a CP932 file with CR LF line ends (checked), decoded."""
    data = Path(path).read_bytes()
    check_crlf(data, final_newline)
    try:
        text = data.decode("cp932")
    except UnicodeDecodeError as e:
        line = data[:e.start].count(b"\n") + 1
        raise AssertionError(f"{path}: not CP932 at byte {e.start} (line {line})") from None
    lines = text.split("\r\n")
    if lines and lines[-1] == "":
        lines.pop()
    return lines


# --------------------------------------------------------------------------------------------
# Test runner
# --------------------------------------------------------------------------------------------

DEFAULT_TEST_TIMEOUT = 300


class _TestTimeout(Exception):
    pass


def _on_alarm(signum, frame):
    raise _TestTimeout()


def _on_term(signum, frame):
    raise KeyboardInterrupt()


def _reason(e: BaseException) -> str:
    if isinstance(e, _TestTimeout):
        return "the test itself took too long"
    msg = str(e).strip() or type(e).__name__
    if not isinstance(e, AssertionError):
        tb = traceback.extract_tb(e.__traceback__)
        where = f" ({Path(tb[-1].filename).name}:{tb[-1].lineno})" if tb else ""
        msg = f"{type(e).__name__}: {msg}{where}"
    elif not str(e).strip():
        tb = traceback.extract_tb(e.__traceback__)
        if tb:
            msg = f"assertion failed at {Path(tb[-1].filename).name}:{tb[-1].lineno}: {tb[-1].line}"
    return " ".join(msg.split("\n"))[:800]


def run_tests(namespace: dict, argv: Optional[Sequence[str]] = None) -> None:
    """Runs the module's test_* functions in file order and exits with 1 when one failed.

    Optional module functions setup_module() / teardown_module() run around all tests.
    Arguments on the command line select tests by substring of their names.
    A module may set TEST_TIMEOUT (seconds per test, default 300)."""
    argv = list(sys.argv[1:] if argv is None else argv)
    tests = [(name, fn) for name, fn in namespace.items()
             if name.startswith("test_") and callable(fn)]
    if argv:
        tests = [(n, f) for n, f in tests if any(a in n for a in argv)]
    per_test = int(namespace.get("TEST_TIMEOUT", DEFAULT_TEST_TIMEOUT))
    signal.signal(signal.SIGALRM, _on_alarm)
    # Stopped from outside (run_all.py's time limit, Ctrl-C): unwind, so that the display, the
    # wineserver and the temp prefix are cleaned up by their context managers.
    signal.signal(signal.SIGTERM, _on_term)
    passed = failed = 0
    setup_error = None
    if tests and callable(namespace.get("setup_module")):
        try:
            signal.alarm(per_test)
            namespace["setup_module"]()
        except BaseException as e:  # noqa: BLE001 - reported as the tests' failure
            if isinstance(e, KeyboardInterrupt):
                raise
            setup_error = "setup failed: " + _reason(e)
        finally:
            signal.alarm(0)
    try:
        for name, fn in tests:
            if setup_error:
                print(f"FAIL {name}: {setup_error}", flush=True)
                failed += 1
                continue
            start = time.monotonic()
            try:
                signal.alarm(per_test)
                fn()
                signal.alarm(0)
                print(f"PASS {name} ({time.monotonic() - start:.1f}s)", flush=True)
                passed += 1
            except KeyboardInterrupt:
                raise
            except BaseException as e:  # noqa: BLE001
                signal.alarm(0)
                print(f"FAIL {name}: {_reason(e)}", flush=True)
                failed += 1
    finally:
        signal.alarm(0)
        if tests and callable(namespace.get("teardown_module")):
            try:
                signal.alarm(120)
                namespace["teardown_module"]()
            except BaseException as e:  # noqa: BLE001
                print(f"warning: teardown failed: {_reason(e)}", flush=True)
            finally:
                signal.alarm(0)
    print(f"{passed} passed, {failed} failed", flush=True)
    sys.exit(1 if failed else 0)
