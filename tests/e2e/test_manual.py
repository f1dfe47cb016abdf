#!/usr/bin/env python3
"""End-to-end tests of the user manual qumbel.mht that scripts/build-manual writes beside
qumbel.exe (`make manual`; `make test` builds it before the end-to-end tests).

    python3 tests/e2e/test_manual.py [name filter...]

- the file is one MHTML document whose page finds every picture it shows among its parts;
- the page covers every menu command, every switch and every registry key of the sample script;
- a real browser (headless Chromium) prints it: every picture appears at its own size and the
  Japanese text comes out as text. The pages are also written as PNG files, for people to look at
  (<build>/manual/pages/page-NN.png). (Help opening it under Wine: test_collection.py.)
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

from harness import REPO, decode_cp932_lines, run_tests, win_build  # noqa: E402

TEST_TIMEOUT = 400
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync"]


def manual_path() -> Path:
    path = win_build() / "qumbel.mht"
    assert path.exists(), f"{path} is missing (build it with: make manual)"
    return path


def read_manual():
    """(the page's HTML, {picture URL: PNG bytes}, the page's URL)."""
    data = manual_path().read_bytes()
    assert re.search(rb"(?<!\r)\n", data) is None, "MIME lines must end with CR LF"
    message = email.message_from_bytes(data, policy=email.policy.default)
    assert message.get_content_type() == "multipart/related", message.get_content_type()
    parts = list(message.iter_parts())
    page = parts[0]
    assert page.get_content_type() == "text/html", page.get_content_type()
    pictures = {}
    for part in parts[1:]:
        assert part.get_content_type() == "image/png", part.get_content_type()
        pictures[part["Content-Location"]] = part.get_payload(decode=True)
    return page.get_content(), pictures, page["Content-Location"]


def png_size(data: bytes):
    assert data.startswith(PNG_SIGNATURE), "not a PNG picture"
    return struct.unpack(">II", data[16:24])


def picture_sizes():
    """The size of every picture the page shows, in page order."""
    page, pictures, base = read_manual()
    sizes = []
    for src in re.findall(r'<img\b[^>]*\bsrc="([^"]+)"', page):
        url = urljoin(base, src)
        assert url in pictures, f"the page shows {src}, which is not in the file"
        sizes.append(png_size(pictures[url]))
    return sizes


def page_text(page: str) -> str:
    return html.unescape(re.sub(r"<[^>]+>", "", page))


def menu_captions():
    """The captions of every menu item with a command, as the menu shows them (no "&")."""
    source = (REPO / "src" / "app" / "menu.cpp").read_text(encoding="utf-8")
    captions = []
    for name, caption in re.findall(r'\{M::\w+, M::\w+, "(\w+)", "((?:[^"\\]|\\.)*)"', source):
        caption = caption.replace("\\\\", "\\").replace("&", "").rstrip()
        if caption != "-" and not name.startswith("Test"):
            captions.append(caption)
    return captions


def test_one_mhtml_file_whose_page_shows_every_picture():
    sizes = picture_sizes()
    assert len(sizes) >= 12, f"only {len(sizes)} pictures"
    assert (749, 487) in sizes, "no picture of the main window"


def test_the_page_covers_every_menu_command_switch_and_sample_key():
    page, _, _ = read_manual()
    text = page_text(page)
    captions = menu_captions()
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
    chromium = shutil.which("chromium")
    assert chromium, "chromium is missing (scripts/install-deps installs it)"
    sizes = picture_sizes()
    pages_folder = win_build() / "manual" / "pages"
    with tempfile.TemporaryDirectory(prefix="orv-manual-") as tmp:
        pdf = Path(tmp) / "manual.pdf"
        r = subprocess.run(["timeout", "-k", "5", "180", chromium, *CHROMIUM_FLAGS, f"--user-data-dir={tmp}/profile",
                            "--no-pdf-header-footer", f"--print-to-pdf={pdf}", manual_path().as_uri()],
                           stdin=subprocess.DEVNULL, capture_output=True)
        assert pdf.exists() and pdf.stat().st_size > 0, r.stderr.decode(errors="replace")[-800:]

        # Every picture of the page is printed, at its own size: a picture the browser could not
        # find in the file would be missing (or a small broken-image icon).
        listing = subprocess.run(["pdfimages", "-list", pdf], capture_output=True, text=True, check=True).stdout
        printed = [(int(f[3]), int(f[4])) for f in (l.split() for l in listing.splitlines()[2:])
                   if len(f) > 4 and f[2] == "image"]
        assert sorted(printed) == sorted(sizes), f"printed pictures {printed}, the page shows {sizes}"

        # The Japanese text is text in a Japanese font (not boxes of missing glyphs).
        text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], capture_output=True, text=True, check=True).stdout
        flat = re.sub(r"\s+", "", text)
        for phrase in ("Orvanta（qumbel.exe）説明書", "ハードディスクの健康状態", "登録項目スクリプト", "無人実行"):
            assert phrase in flat, f"{phrase!r} is not in the printed text"
        fonts = subprocess.run(["pdffonts", pdf], capture_output=True, text=True, check=True).stdout
        assert "IPA" in fonts, f"no Japanese font in the printed pages:\n{fonts}"

        if pages_folder.exists():
            shutil.rmtree(pages_folder)
        pages_folder.mkdir(parents=True)
        subprocess.run(["pdftoppm", "-r", "60", "-png", pdf, pages_folder / "page"], check=True)
    pages = sorted(pages_folder.glob("page-*.png"))
    assert len(pages) >= 15, f"{len(pages)} pages"
    print(f"  ({len(pages)} pages in {pages_folder})")


if __name__ == "__main__":
    run_tests(globals())
