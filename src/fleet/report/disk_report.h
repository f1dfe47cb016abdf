#pragma once
// The disk health report "report.html": one page on which an administrator sees which computers
// of a folder of per-PC files need attention, worst first, with the trends of their drives.
//
// It reads the per-PC files of the folder (the first rows of each), the history of each in the
// "hdd" sub-folder (its header and its lines of the last 90 days, from the end of the file) and
// the last lines of "hdd\_hddfail.txt", and writes "report.html" into the same folder, streamed
// and put in place at the end like the fleet tables. Each history is read once, from its end;
// memory holds the lines of one history at a time and, per computer, what its row shows: its
// identity, the values of its drives' latest line and their 90-day trends as points of eight
// bytes (about a kilobyte a computer, whatever the length of the histories). The rows are
// written when every computer is judged, in ranked order.
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
