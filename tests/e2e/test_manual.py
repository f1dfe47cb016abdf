#!/usr/bin/env python3
"""End-to-end tests of the user manual qumbel.mht beside qumbel.exe (`make manual`): one MHTML file
whose page finds its pictures and names every menu command, switch and sample script key; headless
Chromium prints every picture and the Japanese text (pages left in <build>/manual/pages).

    python3 tests/e2e/test_manual.py [name filter...]
"""

import email
import email.policy
import html
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path
from urllib.parse import urljoin

sys.path.insert(0, str(Path(__file__).resolve().parent))

from harness import REPO, chromium, decode_cp932_lines, run_tests, win_build  # noqa: E402

TEST_TIMEOUT = 400
MANUAL = win_build() / "qumbel.mht"


def read_manual():
    """(the page's HTML, the size of every picture it shows)."""
    assert MANUAL.exists(), f"{MANUAL} is missing (build it with: make manual)"
    data = MANUAL.read_bytes()
    assert re.search(rb"(?<!\r)\n", data) is None, "MIME lines must end with CR LF"
    message = email.message_from_bytes(data, policy=email.policy.default)
    assert message.get_content_type() == "multipart/related", message.get_content_type()
    page, *parts = message.iter_parts()
    assert page.get_content_type() == "text/html", page.get_content_type()
    assert all(part.get_content_type() == "image/png" for part in parts)
    pictures = {part["Content-Location"]: part.get_payload(decode=True) for part in parts}
    sizes = []
    for src in re.findall(r'<img\b[^>]*\bsrc="([^"]+)"', page.get_content()):
        picture = pictures.get(urljoin(page["Content-Location"], src))
        assert picture and picture.startswith(b"\x89PNG\r\n\x1a\n"), f"the page shows {src}, which is not in the file"
        sizes.append(struct.unpack(">II", picture[16:24]))
    return page.get_content(), sizes


def page_text(page: str) -> str:
    return html.unescape(re.sub(r"<[^>]+>", "", page))


def test_one_mhtml_file_whose_page_shows_every_picture():
    sizes = read_manual()[1]
    assert len(sizes) >= 12 and (749, 487) in sizes, f"{len(sizes)} pictures, none of the main window: {sizes}"


def test_the_page_covers_every_menu_command_switch_and_sample_key():
    page = read_manual()[0]
    text = page_text(page)
    # The captions of every menu item with a command, as the menu shows them (no "&").
    source = (REPO / "src" / "app" / "menu.cpp").read_text(encoding="utf-8")
    captions = [caption.replace("\\\\", "\\").replace("&", "").rstrip()
                for name, caption in re.findall(r'\{M::\w+, M::\w+, "(\w+)", "((?:[^"\\]|\\.)*)"', source)
                if caption != "-" and not name.startswith("Test")]
    assert len(captions) >= 25, captions
    missing = [c for c in captions if c not in text]
    assert not missing, f"menu commands the manual does not name: {missing}"
    for switch in ("/b", "/p", "/h", "/w", "/a"):
        assert f"<code>{switch}</code>" in page, f"switch {switch} is not explained"
    # The sample script is quoted whole, and every key it reads is explained outside the quote.
    sample = decode_cp932_lines(win_build() / "regitems.sample.txt")
    quote = max(re.findall(r"<pre>(.*?)</pre>", page, flags=re.S), key=len)
    assert page_text(quote).splitlines() == sample, "the sample script is not quoted as shipped"
    outside = page_text(page.replace(quote, ""))
    for key in (line for line in sample if line.startswith("\\")):
        assert key in outside, f"the manual does not explain {key}"


def test_a_browser_prints_the_pictures_and_the_japanese_text():
    assert shutil.which("chromium"), "chromium is missing (scripts/install-deps installs it)"
    sizes = read_manual()[1]
    pages_folder = win_build() / "manual" / "pages"
    with tempfile.TemporaryDirectory(prefix="orv-manual-") as tmp:
        pdf = Path(tmp) / "manual.pdf"
        r = chromium("--no-pdf-header-footer", f"--print-to-pdf={pdf}", MANUAL.as_uri(), profile=f"{tmp}/profile")
        assert pdf.exists() and pdf.stat().st_size > 0, r.stderr.decode(errors="replace")[-800:]

        def run(*cmd):
            return subprocess.run(cmd, capture_output=True, text=True, check=True).stdout

        # Every picture of the page is printed, at its own size: a picture the browser could not
        # find in the file would be missing (or a small broken-image icon).
        printed = [(int(f[3]), int(f[4])) for f in (l.split() for l in run("pdfimages", "-list", pdf).splitlines()[2:])
                   if len(f) > 4 and f[2] == "image"]
        assert sorted(printed) == sorted(sizes), f"printed pictures {printed}, the page shows {sizes}"
        # The Japanese text is text in a Japanese font (not boxes of missing glyphs).
        flat = re.sub(r"\s+", "", run("pdftotext", "-enc", "UTF-8", pdf, "-"))
        for phrase in ("Orvanta（qumbel.exe）説明書", "ハードディスクの健康状態", "登録項目スクリプト", "無人実行"):
            assert phrase in flat, f"{phrase!r} is not in the printed text"
        assert "IPA" in run("pdffonts", pdf), "no Japanese font in the printed pages"
        shutil.rmtree(pages_folder, ignore_errors=True)
        pages_folder.mkdir(parents=True)
        run("pdftoppm", "-r", "60", "-png", pdf, pages_folder / "page")
    pages = sorted(pages_folder.glob("page-*.png"))
    assert len(pages) >= 15, f"{len(pages)} pages"
    print(f"  ({len(pages)} pages in {pages_folder})")


if __name__ == "__main__":
    run_tests(globals())
