#!/usr/bin/env python3
"""Times the registry search of "\\Software" of HKEY_LOCAL_MACHINE in a Wine prefix that holds at
least 20,000 values, side by side with `wine reg query HKLM\\Software /s` (the platform's own full
dump of the same branch), for a text found nowhere and one found in every planted key, and
prints the times and their ratios.

    make win && python3 bench/regsearch/run.py [values]
"""

import subprocess
import sys
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]
sys.path.insert(0, str(REPO / "tests" / "e2e"))

from harness import WinePrefix, win_build, write_reg_file  # noqa: E402


def planted_registry(values: int) -> str:
    """A branch of 40 keys x 50 subkeys with string and integer values, like the program keys of
    a real PC: names, versions, paths, flags."""
    lines = []
    per_key = 10
    keys = max(1, values // per_key)
    for k in range(keys):
        vendor, product = divmod(k, 50)
        lines.append(f"[HKEY_LOCAL_MACHINE\\Software\\BenchVendor{vendor:03d}\\Product{product:03d}]")
        lines.append(f'"DisplayName"="Product {k} アプリケーション"')
        lines.append(f'"DisplayVersion"="{k % 9}.{k % 7}.{k}"')
        lines.append(f'"InstallLocation"="C:\\\\Program Files\\\\Vendor{vendor}\\\\Product{product}"')
        lines.append(f'"Publisher"="Vendor {vendor} 株式会社"')
        lines.append(f'"UninstallString"="MsiExec.exe /X{{{k:08X}-0000-0000-0000-000000000000}}"')
        lines.append(f'"EstimatedSize"=dword:{k:08x}')
        lines.append(f'"NoModify"=dword:00000001')
        lines.append(f'"Language"=dword:00000411')
        lines.append(f'"Comments"="benchmark value {k}"')
        lines.append(f'"HelpLink"="http://example.invalid/{k}"')
        lines.append("")
    return "\n".join(lines)


# Found nowhere, and found in every planted key (its "Comments" value).
SEARCH_TEXTS = ("orvanta-not-there", "benchmark value")


def timed(prefix, args, timeout=600):
    start = time.monotonic()
    r = prefix.wine(args, timeout=timeout, check=False)
    return time.monotonic() - start, r


def main():
    values = int(sys.argv[1]) if len(sys.argv) > 1 else 22000
    tool = win_build() / "regsearch.exe"
    if not tool.exists():
        sys.exit(f"{tool} is missing: run make win first")
    with WinePrefix() as prefix:
        reg = write_reg_file(prefix.root / "bench.reg", planted_registry(values))
        prefix.import_reg(reg)
        r = prefix.wine(["reg", "query", r"HKLM\Software", "/s"], timeout=600, check=False)
        count = sum(1 for l in r.stdout.decode("utf-16", errors="replace").splitlines()
                    if l.startswith("    ") and "REG_" in l) if r.stdout[:2] == b"\xff\xfe" else \
            sum(1 for l in r.stdout.decode("utf-8", errors="replace").splitlines() if "REG_" in l)
        print(f"values under HKLM\\Software: {count}")
        # Two search texts: one found nowhere (only the walk and the reads count) and one found in
        # every planted key (each key and all its values are listed, and the text screen is
        # repainted as the lines come in). The better of three runs each, both programs warm.
        dumps, searches = [], {text: [] for text in SEARCH_TEXTS}
        outputs = {}
        for _ in range(3):
            t, _ = timed(prefix, ["reg", "query", r"HKLM\Software", "/s"])
            dumps.append(t)
            for text in SEARCH_TEXTS:
                t, r = timed(prefix, [tool, text])
                searches[text].append(t)
                outputs[text] = r.stdout.decode("utf-8", errors="replace").strip()
        dump = min(dumps)
        print(f"wine reg query HKLM\\Software /s : {dump:.3f} s (best of 3, including Wine start-up)")
        for text in SEARCH_TEXTS:
            search = min(searches[text])
            print(f"search for {text!r}: {outputs[text]}")
            print(f"  registry search of \\Software  : {search:.3f} s (best of 3, including Wine start-up)")
            print(f"  ratio search / dump            : {search / dump:.2f} (target: at most 0.3)")


if __name__ == "__main__":
    main()
