#include "inventory/catalogue.h"

#include <algorithm>
#include <array>

#include "inventory/csv_field.h"
#include "util/text.h"
#include "util/text_file.h"

namespace orv {

namespace {

// Rows 1 to 90 of the record. Rows 25 and 35 carry their label only on the NT family.
constexpr std::array<const char*, kJapaneseLabelRows> kJapaneseLabels = {
    "CSVファイル名",                                     // 1
    "OVTバージョン",                                     // 2
    "ユーザ名",                                          // 3
    "Netユーザ名",                                       // 4
    "ワークグループ",                                    // 5
    "ドメイン名",                                        // 6
    "",                                                  // 7
    "コンピュータ名",                                    // 8
    "コメント",                                          // 9
    "使用者",                                            // 10
    "組織名",                                            // 11
    "モデル",                                            // 12
    "MPU名",                                             // 13
    "MPUクロックMHz",                                    // 14
    "メモリ速度MHz/L2キャッシュkB",                      // 15
    "メモリMB",                                          // 16
    "ページメモリMB",                                    // 17
    "Winドライブ",                                       // 18
    "Winドライブ空き容量MB",                             // 19
    "Winドライブ総容量MB",                               // 20
    "Subドライブ",                                       // 21
    "Subドライブ空き容量MB",                             // 22
    "Subドライブ総容量MB",                               // 23
    "検査日時",                                          // 24
    "時計誤差Min",                                       // 25 (NT only)
    "Systemディレクトリ",                                // 26
    "マイドキュメントディレクトリ",                      // 27
    "画面幅",                                            // 28
    "画面色ビット数",                                    // 29
    "Windows製品名",                                     // 30
    "Windowsバージョン",                                 // 31
    "Windowsアップデート日",                             // 32
    "",                                                  // 33
    "Windows自動アップデート",                           // 34
    "管理者権限",                                        // 35 (NT only)
    "Windowsインストール日",                             // 36
    "Windows製造番号",                                   // 37
    "Windows製品キー",                                   // 38
    "IEバージョン",                                      // 39
    "IEパッチ",                                          // 40
    "通常使用IME",                                       // 41
    "通常使用プリンタ名",                                // 42
    "通常使用プリンタドライバ",                          // 43
    "通常使用プリンタポート",                            // 44
    "通常使用プリンタ色設定",                            // 45
    "ホスト名",                                          // 46
    "IPアドレス",                                        // 47
    "メモリ スロット/形式/MB/MHz/TotalWidth/MemoryType",  // 48
    "メモリ搭載可能MB/スロット数",                       // 49
    "マザーボード",                                      // 50
    "BIOS",                                              // 51
    "MPU ID番号",                                        // 52
    "光学ドライブ",                                      // 53
    "HDD型式",                                           // 54
    "HDDシリアル",                                       // 55
    "HDD 故障/警戒",                                     // 56
    "HDD 読み取りエラー率",                              // 57
    "HDD 再配置セクタ数",                                // 58
    "HDD シークエラー率",                                // 59
    "HDD 回転再試行回数",                                // 60
    "HDD 温度（℃）",                                     // 61
    // first network adapter
    "NIC名称",                 // 62
    "DHCP有効",                // 63
    "IPアドレス",              // 64
    "サブネットマスク",        // 65
    "デフォルトゲートウェイ",  // 66
    "DNS",                     // 67
    "MACアドレス",             // 68
    "WINS",                    // 69
    // second network adapter
    "NIC名称",                 // 70
    "DHCP有効",                // 71
    "IPアドレス",              // 72
    "サブネットマスク",        // 73
    "デフォルトゲートウェイ",  // 74
    "DNS",                     // 75
    "MACアドレス",             // 76
    "WINS",                    // 77
    "VirusScanVer",            // 78
    "エンジンVer",             // 79
    "パターンVer",             // 80
    "スキャン日時",            // 81
    "感染ファイル",            // 82
    "オンアクセススキャン",    // 83
    "TrendMicro",              // 84
    "プリンタ共有",            // 85
    "TCP/IP",                  // 86
    "IPX/SPX",                 // 87
    "NetBEUI",                 // 88
    "ダイアルアップ",          // 89
    "起動後時間",              // 90
};
constexpr std::array<int, 2> kJapaneseNtOnlyRows = {25, 35};

// The older English layout. Only rows 1 to 12 and 16 to 47 (row 33 aside) name the same items
// as the Japanese list; it is not the catalogue of the record.
constexpr std::array<const char*, kEnglishKeyRows> kEnglishKeys = {
    "CsvFileName",          // 1
    "OvtVersion",           // 2
    "UserName",             // 3
    "NetUserName",          // 4
    "WorkGroup",            // 5
    "DomainName",           // 6
    "",                     // 7
    "ComputerName",         // 8
    "Comment",              // 9
    "Owner",                // 10
    "Organization",         // 11
    "Model",                // 12
    "Model2",               // 13
    "CpuName",              // 14
    "CpuClockMHz",          // 15
    "MemoryMB",             // 16
    "PageMemory",           // 17
    "WinDrive",             // 18
    "WinDriveFree",         // 19
    "WinDriveTotal",        // 20
    "SubDrive",             // 21
    "SubDriveFree",         // 22
    "SubDriveTotal",        // 23
    "DateTime",             // 24
    "TimeDifference",       // 25 (NT only)
    "SystemDir",            // 26
    "MyDocumentsDir",       // 27
    "ScreenWidth",          // 28
    "ScreenColorBits",      // 29
    "WindowsProductName",   // 30
    "WindowsVersion",       // 31
    "LastWindowsUpdate",    // 32
    "LatestWinPatch",       // 33 (NT only)
    "WinAutoUpdate",        // 34
    "IsAdmin",              // 35 (NT only)
    "WinInstallDate",       // 36
    "WinProductID",         // 37
    "WinProductKey",        // 38
    "IeVersion",            // 39
    "IePatchList",          // 40
    "DefaultIME",           // 41
    "DefaultPrinterName",   // 42
    "DefaultPrinterDriver", // 43
    "DefaultPrinterPort",   // 44
    "DefaultPrinterColor",  // 45
    "HostName",             // 46
    "IpAddress",            // 47
    "HoursFromStart",       // 48
    "BIOS",                 // 49
    "HDD型式",              // 50
    "HDDシリアル",          // 51
    "MPU ID番号",           // 52
    "メモリ空き容量MB",     // 53
    "McAfeeVer",            // 54
    "EngineVer",            // 55
    "PatternVer",           // 56
    "ScanDateTime",         // 57
    "FilesInfected",        // 58
    "OnAccessScan",         // 59
    "TrendMicro",           // 60
    "TrendMicro",           // 61
};
constexpr std::array<int, 3> kEnglishNtOnlyRows = {25, 33, 35};

template <size_t N, size_t M>
std::vector<std::string> ListFor(const std::array<const char*, N>& list, const std::array<int, M>& ntOnly,
                                 const std::string& osKind) {
  std::vector<std::string> out(list.begin(), list.end());
  if (osKind != kOsKindNT)
    for (int row : ntOnly) out[static_cast<size_t>(row - 1)].clear();
  return out;
}

void WriteList(ITableSink& grid, int& counter, int mode, const std::vector<std::string>& labels,
               const std::vector<std::string>& scriptNames) {
  counter = 1;
  for (const auto& label : labels) AddLabel(grid, counter, label, mode);
  for (const auto& name : scriptNames) AddLabel(grid, counter, name, mode);
}

}  // namespace

std::vector<std::string> JapaneseLabels(const std::string& osKind) {
  return ListFor(kJapaneseLabels, kJapaneseNtOnlyRows, osKind);
}

std::vector<std::string> EnglishKeys(const std::string& osKind) {
  return ListFor(kEnglishKeys, kEnglishNtOnlyRows, osKind);
}

int CountLineCount(std::string_view line) {
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return 1;
  auto n = ParseInt32(line.substr(blank + 1));
  if (!n || *n == 0) return 1;
  return std::min(*n, kMaxCountLineRows);
}

std::vector<std::string> ScriptItemNames(const std::vector<std::string>& lines, const std::string& osKind) {
  std::vector<std::string> names;
  size_t i = 0;
  // A line is handled only when another line follows it: the file's last line never counts.
  while (i + 1 < lines.size()) {
    const std::string& line = lines[i];
    if (StartsWith(line, "?")) {
      ++i;
      if (!Contains(line, osKind))
        while (i < lines.size() && !StartsWith(lines[i], "?")) ++i;
      continue;  // the next "?" line is a header in turn
    }
    ++i;
    if (StartsWith(line, "HKEY_") || StartsWith(line, "\\") || StartsWith(line, "//")) continue;
    if (StartsWith(line, "#")) {
      size_t blank = line.find(' ');
      names.push_back(blank == std::string::npos ? line : line.substr(0, blank));
      // Counted up rather than from count - 1 down: the count may be the most negative int.
      const int count = CountLineCount(line);
      for (int extra = 1; extra < count; ++extra) names.emplace_back();
      continue;
    }
    size_t label = line.find("==");
    names.push_back(label == std::string::npos ? line : line.substr(label + 2));
  }
  return names;
}

std::vector<std::string> ReadScriptItemNames(IFiles& files, const ITextCodec& codec,
                                             const std::string& programFolder, const std::string& osKind) {
  auto lines = ReadTextLines(files, codec, programFolder + kScriptFileName);
  if (!lines) return {};
  return ScriptItemNames(*lines, osKind);
}

void AddLabel(ITableSink& grid, int& counter, const std::string& name, int mode) {
  if (grid.RowCount() <= counter) grid.SetRowCount(counter + 1);
  if (mode != 2) grid.SetCell(1, counter, name);
  if (mode != 1) grid.SetCell(2, counter, name);
  ++counter;
}

void WriteJapaneseLabels(ITableSink& grid, int& counter, const std::string& osKind, int mode,
                         const std::vector<std::string>& scriptNames) {
  WriteList(grid, counter, mode, JapaneseLabels(osKind), scriptNames);
}

void WriteEnglishKeys(ITableSink& grid, int& counter, const std::string& osKind, int mode,
                      const std::vector<std::string>& scriptNames) {
  WriteList(grid, counter, mode, EnglishKeys(osKind), scriptNames);
}

std::vector<std::string> ItemListLines(const ITableSink& grid) {
  std::vector<std::string> lines;
  for (int row = 1; row < grid.RowCount(); ++row)
    lines.push_back(CsvField(grid.Cell(1, row)) + "," + CsvField(grid.Cell(2, row)));
  return lines;
}

}  // namespace orv
