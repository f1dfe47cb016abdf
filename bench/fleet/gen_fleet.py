#!/usr/bin/env python3
"""Writes a folder as the fleet table builder finds it on a file server: one per-PC file per
computer (about 250 lines, CP932, CR LF, values in the record's layout: fixed rows, script rows
with the "/UninstallInfo" marker, 100 program rows, patch rows), the item catalogue export
"itemlist.csv" of the same layout and a master list "roster2.csv"; with --history-lines, also a
disk health history per computer in the "hdd" sub-folder, as the disk health report reads them.

    python3 bench/fleet/gen_fleet.py FOLDER [--computers 10000] [--master 10000] [--seed 1]
                                            [--history-lines 500]

The master list names most computers by their full identity in lower case, some by the computer
name alone, and some computers that have no file; some computers have no entry.
"""

import argparse
import random
from datetime import datetime, timedelta
from pathlib import Path

# A real history: the program's history writer over the captured sectors of a WD30EFRX
# (fuzz/corpus/README.md says how it was made). Its header lines and one data line are the
# template of every generated history.
HISTORY_TEMPLATE = Path(__file__).resolve().parents[2] / "fuzz" / "corpus" / "history_screens" / "wd30efrx_five_saves.csv"

WORKGROUPS = ["KEIRI", "SOUMU", "EIGYO1", "EIGYO2", "KAIHATSU", "WORKGROUP"]
DEPARTMENTS = ["経理部", "総務部", "営業一課", "営業二課", "開発部", "情報システム室", "品質保証部"]
FAMILY = ["佐藤", "鈴木", "高橋", "田中", "伊藤", "渡辺", "山本", "中村", "小林", "加藤", "吉田", "山田"]
GIVEN = ["太郎", "花子", "一郎", "美咲", "健太", "さくら", "翔", "由美", "大輔", "愛"]
MODELS = ["FUJITSU FMVD12345", "NEC PC-MKM28BZ", "Dell Inc. OptiPlex 7070", "HP ProDesk 400 G6 SFF",
          "LENOVO 10VGS00B00", "Panasonic CF-SV8"]
CPUS = ["Intel(R) Core(TM) i5-8500 CPU @ 3.00GHz", "Intel(R) Core(TM) i7-9700 CPU @ 3.00GHz",
        "Intel(R) Core(TM) i3-10100 CPU @ 3.60GHz", "AMD Ryzen 5 PRO 4650G with Radeon Graphics"]
PROGRAMS = [
    "Microsoft Office Professional Plus 2016", "Adobe Acrobat Reader DC - 日本語", "一太郎2021",
    "ATOK 2021", "秀丸エディタ", "ウイルスバスター クラウド", "Google Chrome", "Mozilla Firefox (x64 ja)",
    "7-Zip 19.00 (x64)", "Java 8 Update 301", "筆まめVer.31", "弥生会計 22", "Lhaplus", "CubePDF 1.0.0",
    "Microsoft Visual C++ 2015-2019 Redistributable (x64) - 14.29.30133", "Microsoft Edge",
    "Microsoft Teams", "Zoom", "サクラエディタ", "Canon iR-ADV C5535 プリンタードライバー",
    "EPSON Scan 2", "Brother MFL-Pro Suite MFC-J6983CDW", "楽々Framework 3", "奉行i10 勘定奉行",
    "ジャストシステム JUST PDF 4", "Intel(R) Graphics Driver", "Realtek High Definition Audio Driver",
    "TeamViewer", "Notepad++ (64-bit x64)", "WinSCP 5.19.2", "Tera Term 4.106", "Python 3.9.7 (64-bit)",
    "SKYSEA Client View", "Microsoft OneDrive", "Windows 10 更新アシスタント", "Cisco AnyConnect Secure Mobility Client",
]


def itemlist_lines(script_before, script_after):
    lines = ["CSVファイル名,CSVファイル名", "OVTバージョン,OVTバージョン", "ユーザ名,ユーザ名"]
    lines += [f"項目{row},項目{row}" for row in range(4, 91)]
    lines += [f"{name},{name}" for name in script_before]
    lines.append("/UninstallInfo,/UninstallInfo")
    lines += [f"{name},{name}" for name in script_after]
    return lines


def csv_field(text):
    """The program's escaping: quoted when it holds a comma (none of these values holds a quote)."""
    return f'"{text}"' if "," in text else text


def pc_lines(rnd, computer, workgroup, script_before, script_after):
    user = rnd.choice(FAMILY) + " " + rnd.choice(GIVEN)
    values = [f"{computer}__{workgroup}", "Orvanta 1.0.0", f"user{rnd.randrange(1000):03d}",
              f"user{rnd.randrange(1000):03d}", workgroup, "", "", computer,
              f"{rnd.choice(DEPARTMENTS)} {rnd.randrange(1, 9)}階", user, "株式会社サンプル商事",
              rnd.choice(MODELS), rnd.choice(CPUS), str(rnd.randrange(2000, 4000)), "2666/256",
              str(rnd.choice([4096, 8192, 16384])), "16384", "C:NTFS", str(rnd.randrange(10000, 400000)),
              "476000", "D:NTFS", str(rnd.randrange(10000, 900000)), "953000",
              f"2024/05/{rnd.randrange(1, 29):02d} {rnd.randrange(8, 19):02d}:12:33", "0",
              r"C:\WINDOWS\system32", rf"C:\Users\user{rnd.randrange(1000):03d}\Documents", "1920", "32",
              "Windows 10 Pro", "10.0.19045", "2024/04/10", "", "自動", "Yes", "2021/03/01",
              "00330-80000-00000-AA123", "", "11.0.19041.1", "", "Microsoft IME", "Canon iR-ADV C5535",
              "Canon Generic Plus UFR II", "IP_192.168.1.20", "カラー", computer.lower(),
              f"192.168.{rnd.randrange(1, 5)}.{rnd.randrange(2, 250)}"]
    while len(values) < 90:  # memory, board, BIOS, disks, disk health, adapters, anti-virus ...
        values.append(rnd.choice(["", "OK", "0", "正常", "Realtek PCIe GbE Family Controller",
                                  "255.255.255.0", "00:1A:2B:3C:4D:5E", "ST1000DM010-2EP102",
                                  "DIMM1/DDR4/8192/2666,DIMM2/DDR4/8192/2666"]))
    values += [rnd.choice(["", "営業支援システム 2.1", "Yes", "No", "C:\\Program Files\\App"])
               for _ in script_before]
    values.append("/UninstallInfo")
    values += [rnd.choice(["", "資産番号 A-1234", "Yes"]) for _ in script_after]
    programs = rnd.sample(PROGRAMS, rnd.randrange(25, len(PROGRAMS)))
    programs += [f"アプリケーション {rnd.randrange(10000)} 日本語版" for _ in range(rnd.randrange(20, 60))]
    values += programs[:100] + [""] * (100 - len(programs[:100]))
    values += [f"KB{rnd.randrange(2000000, 5999999)}" for _ in range(rnd.randrange(35, 60))]
    return [csv_field(v) for v in values]


def write_lines(path, lines):
    path.write_bytes(("\r\n".join(lines) + "\r\n").encode("cp932"))


def generate(folder, computers=10000, master=10000, seed=1):
    rnd = random.Random(seed)
    folder = Path(folder)
    folder.mkdir(parents=True, exist_ok=True)
    script_before = ["氏名", "内線番号", "資産管理番号", "設置場所", "業務システム", "", "VPN", "備考"]
    script_after = ["資産番号", "保守契約", "リース期限", "廃棄予定"]
    write_lines(folder / "itemlist.csv", itemlist_lines(script_before, script_after))

    identities = []
    for i in range(computers):
        computer = f"PC{i + 1:05d}"
        workgroup = rnd.choice(WORKGROUPS)
        identities.append((computer, workgroup))
        write_lines(folder / f"{computer}__{workgroup}.csv",
                    pc_lines(rnd, computer, workgroup, script_before, script_after))

    entries = []
    for i in range(master):
        if i < computers and rnd.random() < 0.9:
            computer, workgroup = identities[i]
            key = f"{computer}__{workgroup}".lower() if rnd.random() < 0.7 else computer
        else:
            key = f"PC{computers + i + 1:05d}"  # a computer without a file
        entries.append(f"{key},{rnd.choice(DEPARTMENTS)},{rnd.choice(FAMILY)} {rnd.choice(GIVEN)},"
                       f"本社{rnd.randrange(1, 9)}F,A-{rnd.randrange(100000):05d}")
    rnd.shuffle(entries)
    write_lines(folder / "roster2.csv", ["PC,部署,使用者,設置場所,資産番号"] + entries)


def write_histories(folder, lines=500, seed=1):
    """One history of `lines` lines (two headers, then one save a day up to today) per per-PC
    file of `folder`: the template drive's line with its time stamp, temperatures and counters
    changed from save to save; a few drives warm, a few with warnings or a failure."""
    rnd = random.Random(seed)
    folder = Path(folder)
    hdd = folder / "hdd"
    hdd.mkdir(exist_ok=True)
    template = HISTORY_TEMPLATE.read_bytes().decode("cp932").split("\r\n")
    headers, sample = template[:2], template[2].split(",")
    today = datetime.now().replace(hour=9, minute=30, second=0, microsecond=0)
    days = [today - timedelta(days=lines - 3 - i) for i in range(lines - 2)]
    stamps = [f"{d:%Y/%m/%d %H:%M:%S},{d.isoweekday() % 7 + 1}" for d in days]
    head = ",".join(sample[2:6])
    tail = ",".join(sample[14:])
    for pc in sorted(p for p in folder.glob("*.csv") if "__" in p.name):
        base = rnd.randrange(30, 46)
        warm = rnd.random() < 0.03
        failing = rnd.random() < 0.01
        warning = rnd.random() < 0.03
        out = list(headers)
        for i, stamp in enumerate(stamps):
            t = base + (i * 7 + 3) % 5 + (12 if warm and i > lines - 40 else 0)
            fails = 1 if failing and i > lines - 30 else 0
            warns = 1 if warning and i > lines - 60 else 0
            out.append(f"{stamp},{head},{t},{t + 6},22,0,{fails},{warns},{700 + i // 3},{9000 + i * 9},{tail}")
        (hdd / pc.name).write_bytes(("\r\n".join(out) + "\r\n").encode("cp932"))


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("folder")
    ap.add_argument("--computers", type=int, default=10000)
    ap.add_argument("--master", type=int, default=10000)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--history-lines", type=int, default=0, help="also write histories of this many lines")
    a = ap.parse_args()
    generate(a.folder, a.computers, a.master, a.seed)
    if a.history_lines:
        write_histories(a.folder, a.history_lines, a.seed)


if __name__ == "__main__":
    main()
