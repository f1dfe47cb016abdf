#include "fleet/fleet_command.h"

#include "fleet/fleet_tables.h"
#include "platform/files.h"

namespace orv {

namespace {

constexpr const char* kUsage =
    "使い方: qumbel-fleet [フォルダ]\n"
    "フォルダ (省略時は現在のフォルダ) にある PC ごとの CSV ファイルから、集計表 roster.csv と "
    "roster_a.csv を作成します。\n"
    "見出しは itemlist.csv、台帳は roster2.csv から読みます (どちらもなくてもかまいません)。";

bool IsHelpSwitch(const std::string& arg) {
  return arg == "-h" || arg == "--help" || arg == "/?" || arg == "-?";
}

}  // namespace

FleetCommandOutcome RunFleetCommand(const std::vector<std::string>& args, IFiles& files,
                                    const ITextCodec& codec, ITableFiles& tables) {
  if (args.size() == 1 && IsHelpSwitch(args[0])) return {kFleetExitDone, kUsage, false};
  if (args.size() > 1 || (args.size() == 1 && args[0].empty())) return {kFleetExitUsage, kUsage, true};

  const std::string folder = args.empty() ? "." : args[0];
  if (!files.DirectoryExists(folder)) return {kFleetExitUsage, "フォルダがありません：" + folder, true};

  FleetTablesResult r = BuildFleetTables(files, codec, tables, folder);
  if (!r.ok) return {kFleetExitFailed, r.message, true};
  return {kFleetExitDone, r.message, false};
}

}  // namespace orv
