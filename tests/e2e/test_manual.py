#!/usr/bin/env python3
# End-to-end tests of the user manual qumbel.mht beside qumbel.exe (`make manual`): one MHTML file
# whose page finds its pictures and names every menu command, switch and sample script key; headless
# Chromium prints every picture and the Japanese text (pages left in <build>/manual/pages).
#
#     python3 tests/e2e/test_manual.py [name filter...]

import email
import email.policy
import html
import re
import shutil
import struct
import subprocess
import tempfile
from pathlib import Path
from urllib.parse import urljoin

from harness import REPO, chromium, decode_cp932_lines, run_tests, win_build

TEST_TIMEOUT = 400
MANUAL = win_build() / "qumbel.mht"
PAGE, SIZES = [], []  # the page's HTML; the size of every picture it shows


def setup_module():
    # One MHTML file (CR LF lines): the page, then the PNG pictures it shows, each found by its location.
    assert MANUAL.exists(), f"{MANUAL} is missing (build it with: make manual)"
    data = MANUAL.read_bytes()
    assert re.search(rb"(?<!\r)\n", data) is None, "MIME lines must end with CR LF"
    message = email.message_from_bytes(data, policy=email.policy.default)
    page, *parts = message.iter_parts()
    assert [p.get_content_type() for p in (message, page, *parts)] == \
        ["multipart/related", "text/html"] + ["image/png"] * len(parts)
    pictures = {part["Content-Location"]: part.get_payload(decode=True) for part in parts}
    PAGE.append(page.get_content())
    for src in re.findall(r'<img\b[^>]*\bsrc="([^"]+)"', PAGE[0]):
        picture = pictures.get(urljoin(page["Content-Location"], src))
        assert picture and picture.startswith(b"\x89PNG\r\n\x1a\n"), f"the page shows {src}, which is not in the file"
        SIZES.append(struct.unpack(">II", picture[16:24]))
    assert len(SIZES) >= 12 and (749, 487) in SIZES, f"{len(SIZES)} pictures, none of the main window: {SIZES}"


def page_text(page: str) -> str:
    return html.unescape(re.sub(r"<[^>]+>", "", page))


def test_the_page_covers_every_menu_command_switch_and_sample_key():
    page = PAGE[0]
    # The captions of every menu item with a command, as the menu shows them (no "&").
    source = (REPO / "src" / "app" / "menu.cpp").read_text(encoding="utf-8")
    captions = [caption.replace("\\\\", "\\").replace("&", "").rstrip()
                for name, caption in re.findall(r'\{M::\w+, M::\w+, "(\w+)", "((?:[^"\\]|\\.)*)"', source)
                if caption != "-" and not name.startswith("Test")]
    missing = [c for c in captions if c not in page_text(page)]
    assert len(captions) >= 25 and not missing, f"menu commands the manual does not name: {missing}"
    missing = [s for s in ("/b", "/p", "/h", "/w", "/a") if f"<code>{s}</code>" not in page]
    assert not missing, f"switches not explained: {missing}"
    # The sample script is quoted whole, and every key it reads is explained outside the quote.
    sample = decode_cp932_lines(win_build() / "regitems.sample.txt")
    quote = max(re.findall(r"<pre>(.*?)</pre>", page, flags=re.S), key=len)
    assert page_text(quote).splitlines() == sample, "the sample script is not quoted as shipped"
    outside = page_text(page.replace(quote, ""))
    missing = [key for key in sample if key.startswith("\\") and key not in outside]
    assert not missing, f"the manual does not explain {missing}"


def test_a_browser_prints_the_pictures_and_the_japanese_text():
    assert shutil.which("chromium"), "chromium is missing (scripts/install-deps installs it)"
    pages_folder = win_build() / "manual" / "pages"
    with tempfile.TemporaryDirectory(prefix="orv-manual-") as tmp:
        pdf = Path(tmp) / "manual.pdf"
        r = chromium("--no-pdf-header-footer", f"--print-to-pdf={pdf}", MANUAL.as_uri(), profile=f"{tmp}/profile")
        assert pdf.exists() and pdf.stat().st_size > 0, r.stderr.decode(errors="replace")[-800:]

        def run(*cmd):
            return subprocess.run(cmd, capture_output=True, text=True, check=True, timeout=120).stdout

        # Every picture of the page is printed, at its own size: a picture the browser could not
        # find in the file would be missing (or a small broken-image icon).
        printed = [(int(f[3]), int(f[4])) for f in (l.split() for l in run("pdfimages", "-list", pdf).splitlines()[2:])
                   if len(f) > 4 and f[2] == "image"]
        assert sorted(printed) == sorted(SIZES), f"printed pictures {printed}, the page shows {SIZES}"
        # The Japanese text is text in a Japanese font (not boxes of missing glyphs).
        flat = re.sub(r"\s+", "", run("pdftotext", "-enc", "UTF-8", pdf, "-"))
        missing = [p for p in ("Orvanta（qumbel.exe）説明書", "ハードディスクの健康状態", "登録項目スクリプト", "無人実行")
                   if p not in flat]
        assert not missing and "IPA" in run("pdffonts", pdf), f"not printed in a Japanese font: {missing}"
        shutil.rmtree(pages_folder, ignore_errors=True)
        pages_folder.mkdir(parents=True)
        run("pdftoppm", "-r", "60", "-png", pdf, pages_folder / "page")
    pages = sorted(pages_folder.glob("page-*.png"))
    assert len(pages) >= 15, f"{len(pages)} pages"
    print(f"  ({len(pages)} pages in {pages_folder})")


if __name__ == "__main__":
    run_tests(globals())
