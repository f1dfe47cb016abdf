#pragma once
// The HTML of the disk health report, piece by piece as the page is streamed: the head with the
// heading, the summary, the fleet charts and the event log, then one table body per computer,
// then the end. Every text that comes from a per-PC file, a history or an event log goes through
// HtmlText, so that no file a PC wrote can put markup or script into the administrator's browser.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "fleet/report/pc_health.h"

namespace orv::report {

// `text` (UTF-8) as HTML text or attribute value: & < > " ' escaped, control characters as blanks.
std::string HtmlText(std::string_view text);

// The short name of each concern, as the summary and the status column show it.
const char* ConcernName(Concern c);

struct PageTop {
  std::string folder;     // as given, UTF-8
  std::string generated;  // "yyyy/mm/dd hh:mm"
  int computers = 0;
  std::array<int, kConcernCount> counts{};  // computers per concern (one computer may count under several)
  std::string temperatureChart, weeklyChart;  // inline SVG
  std::vector<std::string> events;  // the latest lines of _hddfail.txt, newest first, UTF-8
};

// From the doctype to the table's header row.
std::string PageStart(const PageTop& top);

// The table body of one computer: one row per drive of its latest history line (the computer's
// own columns spanning them), or one row with "履歴なし" / "履歴が読めません".
struct PcRow {
  PcIdentity identity;
  uint32_t concerns = 0;
  std::string lastSave;  // "yyyy/mm/dd hh:mm", empty when unknown
  bool historyMissing = false;
  const HistoryHealth* health = nullptr;  // null or not readable: no drive rows
};
std::string PcRows(const PcRow& row);

// The end of the table and the page.
std::string PageEnd();

}  // namespace orv::report
