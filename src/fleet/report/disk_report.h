#pragma once
// The disk health report "report.html": one page on which an administrator sees which computers
// of a folder of per-PC files need attention, worst first, with the trends of their drives.
//
// It reads the per-PC files of the folder (the first rows of each), the history of each in the
// "hdd" sub-folder (its header and its lines of the last 90 days, from the end of the file) and
// the last lines of "hdd\_hddfail.txt", and writes "report.html" into the same folder, streamed
// and put in place at the end like the fleet tables. Memory holds one history and one summary
// line per computer: the computers are judged in a first pass, and their rows are written in a
// second one, in ranked order, from a second reading of their histories (up to the lines the
// first pass saw, so that a save meanwhile does not change a row after its rank was given).
//
// Nothing a computer wrote stops the report: a per-PC file or a history that cannot be read, is
// cut short or edited by hand gives that computer "履歴が読めません" or "履歴なし", and the page goes
// on. Only a folder that cannot be listed, or a page that cannot be written, fails the run; the
// previous page then stays.

#include <string>

#include "platform/clock.h"

namespace orv {

class IFiles;
class ITableFiles;
class ITextCodec;

inline constexpr const char* kReportFileName = "report.html";
inline constexpr const char* kReportDoneMessage = "ディスク健康レポートを作成しました：report.html";

struct DiskReportResult {
  bool ok = false;
  // kReportDoneMessage, or the name of what could not be read or written followed by
  // "が開けません" (the folder, or kReportFileName).
  std::string message;
  std::string path;  // the page's full path
  int computers = 0;
};

// Builds the report of `folder` (a Windows path, with or without its trailing backslash) as of
// `now`, the local time of the report.
DiskReportResult BuildDiskReport(IFiles& files, const ITextCodec& codec, ITableFiles& pages,
                                 const std::string& folder, const DateTime& now);

}  // namespace orv
