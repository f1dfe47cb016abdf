#include "fleet/report/report_html.h"

#include <cstdio>

#include "fleet/report/report_charts.h"
#include "util/text.h"

namespace orv::report {

namespace {

constexpr const char* kStyle = R"(
body { font-family: "Yu Gothic UI", "Meiryo", "IPAPGothic", "IPAGothic", sans-serif; margin: 16px 20px; color: #222; }
h1 { font-size: 22px; margin: 0 0 4px; }
h2 { font-size: 16px; margin: 18px 0 6px; }
.meta { color: #555; margin: 0 0 12px; }
.summary { display: flex; flex-wrap: wrap; gap: 8px; margin: 0; padding: 0; list-style: none; }
.summary li { border: 1px solid #ccc; border-radius: 4px; padding: 6px 12px; min-width: 96px; }
.summary .n { display: block; font-size: 22px; font-weight: bold; }
.c0 { background: #fbe3e3; } .c1 { background: #fdf0d8; } .c2 { background: #fff7cc; }
.c3 { background: #fde7d6; } .c4 { background: #ececec; } .c5 { background: #f2f2f2; } .c6 { background: #e6f4e6; }
.charts { display: flex; flex-wrap: wrap; gap: 16px; }
figure { margin: 0; } figcaption { font-size: 13px; color: #444; }
.key { display: inline-block; width: 12px; height: 4px; margin: 0 3px 3px 8px; }
.events { font-family: monospace; font-size: 12px; background: #f7f7f7; padding: 6px; margin: 0; white-space: pre-wrap; }
table { border-collapse: collapse; font-size: 12px; margin-top: 8px; }
th, td { border: 1px solid #ccc; padding: 3px 6px; vertical-align: top; text-align: left; }
th { background: #eef1f5; }
thead { display: table-header-group; }
tbody.pc { break-inside: avoid; }
td.num { text-align: right; white-space: nowrap; }
.wg { color: #777; font-size: 11px; }
.bad { color: #b00000; font-weight: bold; } .warn { color: #a06000; font-weight: bold; }
.note { color: #555; }
td.chart { padding: 1px; }
@media print { body { margin: 0; } * { -webkit-print-color-adjust: exact; print-color-adjust: exact; } }
)";

// Thousands separators, as the Japanese Windows shows counts.
std::string Count(int64_t n) { return FormatThousands(n); }

// Capacity as the drive's label gives it: decimal gigabytes, terabytes from 1000 GB.
std::string Capacity(int64_t mib) {
  const double gb = static_cast<double>(mib) * 1048576.0 / 1e9;
  char text[32];
  if (gb >= 1000)
    std::snprintf(text, sizeof text, "%.1f TB", gb / 1000);
  else
    std::snprintf(text, sizeof text, "%.0f GB", gb);
  return text;
}

std::string StatusCell(uint32_t concerns, const std::string& rowspan) {
  std::string names;
  for (int c = 0; c < kConcernCount; ++c) {
    if (!(concerns & (1u << c))) continue;
    if (!names.empty()) names += "<br>";
    names += ConcernName(static_cast<Concern>(c));
  }
  return "<td" + rowspan + " class=\"status c" + std::to_string(static_cast<int>(WorstConcern(concerns))) + "\">" + names + "</td>";
}

std::string DriveCells(const DriveHealth& d) {
  std::string judgement = d.failures > 0   ? "<span class=\"bad\">故障</span>"
                          : d.warnings > 0 ? "<span class=\"warn\">警戒</span>"
                                           : "OK";
  judgement += " <span class=\"note\">(" + std::to_string(d.failures) + "/" + std::to_string(d.warnings) + ")</span>";
  if (d.worsened) judgement += "<br><span class=\"warn\">悪化</span>";
  // A drive that keeps no highest temperature reports 0.
  std::string temperature = std::to_string(d.temperature) + " ℃ / " +
                            (d.tempWorst > 0 ? std::to_string(d.tempWorst) + " ℃" : std::string("-"));
  if (d.temperature >= kHotCelsius) temperature = "<span class=\"bad\">" + temperature + "</span>";
  std::string sectors = d.nvme ? (d.spare >= 0 ? "予備 " + std::to_string(d.spare) + " %" : "予備 -")
                               : Count(d.reallocated);
  return "<td>" + HtmlText(d.model) + "</td><td class=\"num\">" + Capacity(d.capacityMb) + "</td><td>" + judgement +
         "</td><td class=\"num\">" + temperature + "</td><td class=\"num\">" + sectors + "</td><td class=\"num\">" +
         Count(d.powerCycles) + "</td><td class=\"chart\">" + DriveTrendChart(d.trend) + "</td>";
}

}  // namespace

std::string HtmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) ? ' ' : c;
    }
  }
  return out;
}

const char* ConcernName(Concern c) {
  switch (c) {
    case Concern::Failure: return "故障";
    case Concern::Warning: return "警戒";
    case Concern::Worsened: return "悪化";
    case Concern::Hot: return "55 ℃以上";
    case Concern::Stale: return "30日以上保存なし";
    case Concern::NoHistory: return "履歴なし・読めない";
    case Concern::Fine: return "異常なし";
  }
  return "";
}

std::string PageStart(const PageTop& top) {
  std::string html = "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                     "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                     "<title>ディスク健康レポート</title>\n<style>" +
                     std::string(kStyle) + "</style>\n</head>\n<body>\n";
  html += "<h1>ディスク健康レポート</h1>\n<p class=\"meta\">フォルダ: " + HtmlText(top.folder) + "<br>作成: " +
          HtmlText(top.generated) + "　コンピューター " + Count(top.computers) + " 台</p>\n";
  html += "<ul class=\"summary\">\n";
  for (int c = 0; c < kConcernCount; ++c)
    html += "<li class=\"c" + std::to_string(c) + "\"><span class=\"n\">" + Count(top.counts[c]) + "</span>" +
            ConcernName(static_cast<Concern>(c)) + "</li>\n";
  html += "</ul>\n<h2>全体の傾向</h2>\n<div class=\"charts\">\n";
  html += "<figure>" + top.temperatureChart + "<figcaption>ドライブの最新の温度（台数、5 ℃ごと）</figcaption></figure>\n";
  html += "<figure>" + top.weeklyChart +
          "<figcaption>故障・警戒のあったコンピューター（台数、過去13週、右端が最近の1週間）"
          "<span class=\"key\" style=\"background:#c01010\"></span>故障"
          "<span class=\"key\" style=\"background:#e89a00\"></span>故障または警戒</figcaption></figure>\n</div>\n";
  html += "<h2>_hddfail.txt の最新の記録</h2>\n";
  if (top.events.empty()) {
    html += "<p class=\"note\">記録はありません</p>\n";
  } else {
    html += "<pre class=\"events\">";
    for (const std::string& line : top.events) html += HtmlText(line) + "\n";
    html += "</pre>\n";
  }
  html += "<h2>コンピューター（状態の悪い順）</h2>\n<table>\n<thead><tr><th>状態</th><th>コンピューター</th>"
          "<th>ユーザー</th><th>機種</th><th>Windows</th><th>最終保存</th><th>ドライブ</th><th>容量</th>"
          "<th>判定 (故障/警告)</th><th>温度 現在/最高</th><th>再配置セクタ<br>(NVMe: 予備領域)</th><th>電源投入回数</th>"
          "<th>90日間の推移"
          "<br><span class=\"key\" style=\"background:#1f6fb4\"></span>温度"
          "<span class=\"key\" style=\"background:#c01010\"></span>故障数"
          "<span class=\"key\" style=\"background:#e89a00\"></span>警告数</th></tr></thead>\n";
  return html;
}

std::string PcRows(const PcRow& row) {
  const bool drives = row.health && row.health->readable && !row.health->drives.empty();
  const size_t span = drives ? row.health->drives.size() : 1;
  const std::string rowspan = span > 1 ? " rowspan=\"" + std::to_string(span) + "\"" : "";
  std::string own = StatusCell(row.concerns, rowspan);
  const PcIdentity& id = row.identity;
  own += "<td" + rowspan + ">" + HtmlText(id.computer) +
         (id.workgroup.empty() ? "" : "<br><span class=\"wg\">" + HtmlText(id.workgroup) + "</span>") + "</td>";
  for (const std::string* text : {&id.user, &id.model, &id.windows})
    own += "<td" + rowspan + ">" + HtmlText(*text) + "</td>";
  own += "<td" + rowspan + " class=\"num\">" + HtmlText(row.lastSave) + "</td>";

  std::string html = "<tbody class=\"pc\">\n";
  if (!drives) {
    const char* why = row.historyMissing ? "履歴なし" : "履歴が読めません";
    return html + "<tr class=\"nohistory\">" + own + "<td colspan=\"7\" class=\"note\">" + why + "</td></tr>\n</tbody>\n";
  }
  for (size_t k = 0; k < span; ++k)
    html += "<tr class=\"drive\">" + (k == 0 ? own : std::string()) + DriveCells(row.health->drives[k]) + "</tr>\n";
  return html + "</tbody>\n";
}

std::string PageEnd() { return "</table>\n</body>\n</html>\n"; }

}  // namespace orv::report
