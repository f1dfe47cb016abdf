#include "fleet/report/disk_report.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "fleet/fleet_tables.h"
#include "fleet/report/history_excerpt.h"
#include "fleet/report/pc_health.h"
#include "fleet/report/report_charts.h"
#include "fleet/report/report_html.h"
#include "fleet/table_files.h"
#include "platform/files.h"
#include "platform/text_codec.h"

namespace orv {

namespace {

using namespace orv::report;

constexpr size_t kEventLines = 20;
constexpr const char* kHistoryFolder = "hdd\\";
constexpr const char* kEventLogName = "_hddfail.txt";

// What the first pass keeps of a computer.
struct Ranked {
  PcIdentity identity;
  uint32_t concerns = 0;
  Concern worst = Concern::Fine;
  std::optional<double> lastSaveDay;
  std::optional<double> latestLineDay;  // the newest history line the ranking saw
  bool historyMissing = false;
};

std::string Minutes(double day) { return FormatDateTime(FromDayCount(day)).substr(0, 16); }

std::string WithFolderSeparator(const std::string& folder) {
  if (folder.empty() || folder.back() == '\\' || folder.back() == '/') return folder;
  return folder + "\\";
}

DiskReportResult Failure(const std::string& name) {
  DiskReportResult r;
  r.message = name + kCannotOpenSuffix;
  return r;
}

}  // namespace

DiskReportResult BuildDiskReport(IFiles& files, const ITextCodec& codec, ITableFiles& pages,
                                 const std::string& folder, const DateTime& now) {
  const std::string dir = WithFolderSeparator(folder);
  const std::optional<std::vector<std::string>> listing = files.ListFiles(dir, "*.csv");
  if (!listing) return Failure(folder.empty() ? std::string(".") : folder);
  const double nowDay = ToDayCount(now);
  const double sinceDay = nowDay - kTrendDays;

  // First pass: every computer judged, the fleet's figures counted.
  PageTop top;
  top.folder = folder.empty() ? "." : folder;
  top.generated = Minutes(nowDay);
  std::array<int, kTemperatureBins> temperatures{};
  std::array<int, kTrendWeeks> withFailure{}, withConcern{};
  std::vector<Ranked> ranked;
  for (const std::string& name : *listing) {
    if (!IsPerPcFileName(name)) continue;
    Ranked r;
    r.identity = ReadPcIdentity(files, codec, dir, name);
    if (std::optional<DateTime> written = files.LastWriteTime(dir + name)) r.lastSaveDay = ToDayCount(*written);
    const HistoryExcerpt excerpt = ReadHistoryExcerpt(files, dir + kHistoryFolder + name, sinceDay);
    const HistoryHealth health = AssessHistory(excerpt, codec, nowDay);
    r.historyMissing = excerpt.state == ExcerptState::Missing;
    r.concerns = ConcernsOf(health, r.lastSaveDay, nowDay);
    r.worst = WorstConcern(r.concerns);
    if (health.readable) {
      r.latestLineDay = health.latestDay;
      r.lastSaveDay = std::max(r.lastSaveDay.value_or(health.latestDay), health.latestDay);
      for (const DriveHealth& d : health.drives)
        if (d.temperature > 0) ++temperatures[TemperatureBin(d.temperature)];
      for (int w = 0; w < kTrendWeeks; ++w) {
        if (health.failureWeeks & (1u << w)) ++withFailure[w];
        if ((health.failureWeeks | health.warningWeeks) & (1u << w)) ++withConcern[w];
      }
    }
    for (int c = 0; c < kConcernCount; ++c)
      if (r.concerns & (1u << c)) ++top.counts[c];
    ranked.push_back(std::move(r));
  }
  std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
    if (a.worst != b.worst) return a.worst < b.worst;
    if (int c = CompareMasterEntries(a.identity.computer, b.identity.computer)) return c < 0;
    return a.identity.fileName < b.identity.fileName;
  });
  top.computers = static_cast<int>(ranked.size());
  top.temperatureChart = TemperatureDistributionChart(temperatures);
  top.weeklyChart = WeeklyConcernChart(withFailure, withConcern);
  if (std::optional<std::vector<std::string>> events =
          ReadLastLines(files, dir + kHistoryFolder + kEventLogName, kEventLines)) {
    for (auto it = events->rbegin(); it != events->rend(); ++it)
      if (!it->empty()) top.events.push_back(codec.FromCp932(*it));
  } else {
    top.events.push_back(std::string(kEventLogName) + kCannotOpenSuffix);
  }

  // Second pass: the page, streamed, one computer after the other in ranked order.
  DiskReportResult result;
  result.path = dir + kReportFileName;
  std::string error;
  std::unique_ptr<ITableWriter> page = pages.Create(result.path, &error);
  if (!page) return Failure(kReportFileName);
  page->Append(PageStart(top));
  for (const Ranked& r : ranked) {
    PcRow row;
    row.identity = r.identity;
    row.concerns = r.concerns;
    row.historyMissing = r.historyMissing;
    if (r.lastSaveDay) row.lastSave = Minutes(*r.lastSaveDay);
    HistoryHealth health;
    if (r.latestLineDay) {
      const HistoryExcerpt excerpt =
          ReadHistoryExcerpt(files, dir + kHistoryFolder + r.identity.fileName, sinceDay, r.latestLineDay);
      health = AssessHistory(excerpt, codec, nowDay);
      row.health = &health;
    }
    page->Append(PcRows(row));
  }
  page->Append(PageEnd());
  if (!page->Finish(&error) || !page->Replace(&error)) return Failure(kReportFileName);
  result.ok = true;
  result.message = kReportDoneMessage;
  result.computers = static_cast<int>(ranked.size());
  return result;
}

}  // namespace orv
