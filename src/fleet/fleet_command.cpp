#include "fleet/fleet_command.h"

#include "fleet/fleet_tables.h"
#include "fleet/report/disk_report.h"
#include "platform/files.h"

namespace orv {

namespace {

constexpr const char* kUsage =
    "使い方: qumbel-fleet [フォルダ]\n"
    "       qumbel-fleet --report [フォルダ]\n"
    "フォルダ (省略時は現在のフォルダ) にある PC ごとの CSV ファイルから、集計表 roster.csv と "
    "roster_a.csv を作成します。\n"
    "見出しは itemlist.csv、台帳は roster2.csv から読みます (どちらもなくてもかまいません)。\n"
    "--report: 集計表の代わりに、hdd フォルダの履歴からディスク健康レポート report.html を作成します。";

bool IsHelpSwitch(const std::string& arg) {
  return arg == "-h" || arg == "--help" || arg == "/?" || arg == "-?";
}

}  // namespace

FleetCommandOutcome RunFleetCommand(const std::vector<std::string>& args, IFiles& files,
                                    const ITextCodec& codec, ITableFiles& tables, const DateTime& now) {
  if (args.size() == 1 && IsHelpSwitch(args[0])) return {kFleetExitDone, kUsage, false};
  std::vector<std::string> rest = args;
  const bool report = !rest.empty() && rest[0] == "--report";
  if (report) rest.erase(rest.begin());
  if (rest.size() > 1 || (rest.size() == 1 && (rest[0].empty() || rest[0].starts_with("--"))))
    return {kFleetExitUsage, kUsage, true};

  const std::string folder = rest.empty() ? "." : rest[0];
  if (!files.DirectoryExists(folder)) return {kFleetExitUsage, "フォルダがありません：" + folder, true};

  if (report) {
    DiskReportResult r = BuildDiskReport(files, codec, tables, folder, now);
    return {r.ok ? kFleetExitDone : kFleetExitFailed, r.message, !r.ok};
  }
  FleetTablesResult r = BuildFleetTables(files, codec, tables, folder);
  if (!r.ok) return {kFleetExitFailed, r.message, true};
  return {kFleetExitDone, r.message, false};
}

}  // namespace orv
