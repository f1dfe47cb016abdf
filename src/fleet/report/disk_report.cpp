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

// What the page shows of a computer, kept from its reading to its row.
struct Ranked {
  PcIdentity identity;
  uint32_t concerns = 0;
  Concern worst = Concern::Fine;
  std::optional<double> lastSaveDay;
  bool historyMissing = false;
  HistoryHealth health;  // the latest drive values and their 90-day trends, no history text
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

  // Every computer read and judged, the fleet's figures counted.
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
    HistoryExcerpt excerpt = ReadHistoryExcerpt(files, dir + kHistoryFolder + name, sinceDay);
    r.health = AssessHistory(excerpt, codec, nowDay);
    r.historyMissing = excerpt.state == ExcerptState::Missing;
    excerpt = {};  // the lines go before the next history is read
    const HistoryHealth& health = r.health;
    r.concerns = ConcernsOf(health, r.lastSaveDay, nowDay);
    r.worst = WorstConcern(r.concerns);
    if (health.readable) {
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

  // The page, streamed, one computer after the other in ranked order.
  DiskReportResult result;
  result.path = dir + kReportFileName;
  std::string error;
  std::unique_ptr<ITableWriter> page = pages.Create(result.path, &error);
  if (!page) return Failure(kReportFileName);
  page->Append(PageStart(top));
  for (Ranked& r : ranked) {
    PcRow row;
    row.identity = std::move(r.identity);
    row.concerns = r.concerns;
    row.historyMissing = r.historyMissing;
    if (r.lastSaveDay) row.lastSave = Minutes(*r.lastSaveDay);
    row.health = &r.health;
    page->Append(PcRows(row));
    r.health = {};
  }
  page->Append(PageEnd());
  if (!page->Finish(&error) || !page->Replace(&error)) return Failure(kReportFileName);
  result.ok = true;
  result.message = kReportDoneMessage;
  result.computers = static_cast<int>(ranked.size());
  return result;
}

}  // namespace orv
