#!/usr/bin/env python3
# End-to-end tests of the user manual qumbel.mht beside qumbel.exe (`make manual`): one MHTML file
# whose page finds its pictures (every one a PNG part of the file, found by its location) and names
# every menu command, switch and sample script key.
#
#     python3 tests/e2e/test_manual.py [name filter...]

import email
import email.policy
import html
import re
import struct
from urllib.parse import urljoin

from harness import REPO, decode_cp932_lines, run_tests, unbalanced_elements, win_build

MANUAL = win_build() / "qumbel.mht"
PAGE = []  # the page's HTML


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
    assert not unbalanced_elements(PAGE[0]), unbalanced_elements(PAGE[0])
    sizes = []
    for src in re.findall(r'<img\b[^>]*\bsrc="([^"]+)"', PAGE[0]):
        picture = pictures.get(urljoin(page["Content-Location"], src))
        assert picture and picture.startswith(b"\x89PNG\r\n\x1a\n"), f"the page shows {src}, which is not in the file"
        sizes.append(struct.unpack(">II", picture[16:24]))
    assert len(sizes) >= 12 and (749, 487) in sizes, f"{len(sizes)} pictures, none of the main window: {sizes}"


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


if __name__ == "__main__":
    run_tests(globals())
