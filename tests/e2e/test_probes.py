#!/usr/bin/env python3
# End-to-end checks of the probe rows under Wine against what Wine's own `wmic` and the machine
# report for the same things: processor, board, BIOS, memory, network adapters, host
# name and address, drive C:, and the script words that ask WMI.
#
#     python3 tests/e2e/test_probes.py [name filter...]

import shutil
import socket

from harness import run_tests, session, write_cp932

ROWS = []
# Script words that ask WMI, from row 91 on: 1 + 2 + 2 + 3 rows.
SCRIPT = ["#wmi:Win32_BIOS.Manufacturer,SMBIOSBIOSVersion", "#wmi:Win32_NoSuchClass.Name 2", "#antivirus 2",
          "#updates 3", "// end"]


def setup_module():
    p = session().prefix
    write_cp932(p.app_dir / "regitems.txt", SCRIPT)
    ROWS.extend(p.unattended(p.root / "out")[1])


def wmic(cls, *props) -> list:
    # Every instance's values of the properties, a list per property; None for one that Wine's class
    # lacks. One at a time: Wine's wmic mixes columns up. It now and then fails on a loaded machine:
    # again then.
    columns = []
    for prop in props:
        runs = (session().prefix.wine(["wmic", "path", cls, "get", prop], timeout=60, check=False) for _ in range(3))
        r = next((r for r in runs if r.returncode == 0), None)
        columns.append(r and [l.strip() for l in r.stdout.decode("utf-16", errors="replace").splitlines()[1:]])
    return columns


def first(cls, prop) -> str:
    return next((v for v in wmic(cls, prop)[0] if v), "")


def wmic_array(text):  # '{"a", "b"}', an array as Wine's wmic prints it
    return [e.strip().strip('"') for e in text.strip("{}").split(",") if e.strip()] if text else []


def wmic_date(text):  # "d/m/yyyy", the day first as Wine writes it: "yyyy/mm/dd"
    day, month, year = text.split("/")
    return f"{year}/{int(month):02}/{int(day):02}"


def test_processor_board_bios_memory_and_drive_c_agree_with_wmic():
    bios = {p: first("Win32_BIOS", p) for p in ("SMBIOSBIOSVersion", "SMBIOSMajorVersion", "SMBIOSMinorVersion")}
    mb = round(int(first("Win32_ComputerSystem", "TotalPhysicalMemory")) / 1024 / 1024)
    expected = {13: first("Win32_Processor", "Name"), 52: first("Win32_Processor", "ProcessorId"),
                50: f"{first('Win32_BaseBoard', 'Manufacturer')} {first('Win32_BaseBoard', 'Product')}",
                51: "{SMBIOSBIOSVersion} v{SMBIOSMajorVersion}.{SMBIOSMinorVersion}".format(**bios),
                16: str((mb + 4) // 8 * 8), 18: "C: NTFS",
                # Wine's Win32_DiskDrive has no Name and its WQL does not unescape the device path:
                # the disk model queries, written for Windows, find no instance there.
                54: "", 55: ""}
    assert {n: ROWS[n - 1] for n in expected} == expected
    # Free space moves while other programs write; some GB of slack on a busy build machine.
    usage = shutil.disk_usage(session().prefix.path / "drive_c")
    assert abs(int(ROWS[19]) - usage.total // 1048576) <= 1 and abs(int(ROWS[18]) - usage.free // 1048576) <= 4096, \
        (ROWS[18:20], usage)


def test_network_adapters_agree_with_wmic():
    names = ("Description", "DHCPEnabled", "IPAddress", "IPSubnet", "DefaultIPGateway", "DNSServerSearchOrder",
             "MACAddress", "IPEnabled")
    adapters = [dict(zip(names, values)) for values in zip(*wmic("Win32_NetworkAdapterConfiguration", *names))
                if values[0]]
    # Adapters with IP and an address (Wine lists IPv6 addresses first), two groups of eight rows;
    # which group holds which adapter is the unit tests' matter.
    groups = [[""] * 8, [""] * 8]
    for a in [a for a in adapters if a["IPEnabled"] in ("-1", "TRUE") and wmic_array(a["IPAddress"])][:2]:
        one = {p: (wmic_array(a[p]) or [""])[0] for p in ("IPAddress", "IPSubnet", "DefaultIPGateway")}
        groups.append([a["Description"], "1" if a["DHCPEnabled"] in ("-1", "TRUE") else "0", one["IPAddress"],
                       one["IPSubnet"], one["DefaultIPGateway"], ", ".join(wmic_array(a["DNSServerSearchOrder"])[:2]),
                       a["MACAddress"], ""])
    have = [r.replace(" ", "") if i % 8 == 2 else r for i, r in enumerate(ROWS[61:77])]
    assert sorted([have[:8], have[8:]]) == sorted(groups[-2:]), (ROWS[61:77], adapters)
    # The host name and its address.
    parts = ROWS[46].replace(" ", "").split(".")
    assert ROWS[45].lower() == socket.gethostname().lower() and len(parts) == 4 and all(map(str.isdigit, parts)), \
        ROWS[45:47]


def test_script_words_ask_wmi_like_wmic():
    hotfixes = zip(*wmic("Win32_QuickFixEngineering", "InstalledOn", "HotFixID", "Description"))
    updates = [f"{wmic_date(installed)} {kb} {title}" for installed, kb, title in hotfixes if kb]
    # Wine has no Security Center and no Defender namespace: the anti-virus words give empty values.
    want = ([f"{first('Win32_BIOS', 'Manufacturer')} {first('Win32_BIOS', 'SMBIOSBIOSVersion')}", "", "", "", ""]
            + (sorted(updates, reverse=True) + ["", "", ""])[:3])
    assert ROWS[90:98] == want, ROWS[90:98]


if __name__ == "__main__":
    run_tests(globals())
