#include "app/health_graph.h"

#include <algorithm>
#include <cmath>

#include "util/text.h"

namespace orv {

namespace col = history_column;
using namespace orv::xy;

namespace {

constexpr const char* kLegendTemperature = "グラフの 緑は現在温度、赤は過去最高温度、青は過去最低温度 です";
constexpr const char* kLegendAttribute = "グラフの 緑は現在値、赤は過去の最悪値、青はしきい値 です";
constexpr const char* kLegendCycles = "グラフの 緑は起動回数、赤は稼働時間 です";
constexpr const char* kMarkFailure = "▲";
constexpr const char* kMarkWarning = "△";

constexpr int kDaysPerStep = 30;
constexpr int kMaxAxisSteps = 30;

// A whole number as the grid holds it; nullopt for anything else (empty, hand-edited, shifted).
std::optional<long long> IntegerCell(const std::string& text) { return ParseInt64(text); }

// "yyyy/mm/dd hh:mm:ss" by position: year, month and day from characters 1-4, 6-7 and 9-10, the
// time from the 8 characters at 12.
std::optional<double> RecordDay(const std::string& stamp) {
  if (stamp.size() < 19) return std::nullopt;
  DateTime t;
  auto number = [&stamp](size_t pos, size_t len) -> std::optional<int> {
    auto v = IntegerCell(stamp.substr(pos, len));
    if (!v || *v < 0) return std::nullopt;
    return static_cast<int>(*v);
  };
  auto y = number(0, 4), mo = number(5, 2), d = number(8, 2), h = number(11, 2), mi = number(14, 2),
       s = number(17, 2);
  if (!y || !mo || !d || !h || !mi || !s) return std::nullopt;
  const std::string text = std::to_string(*y) + "/" + std::to_string(*mo) + "/" + std::to_string(*d) + " " +
                           std::to_string(*h) + ":" + std::to_string(*mi) + ":" + std::to_string(*s);
  if (!ParseDateTime(text, t)) return std::nullopt;
  return ToDayCount(t);
}

// The last data row of the history grid (the grid has one row more than the file has lines); 1
// when the file has no data line.
int LastDataRow(const GridModel& history) { return std::max(1, history.RowCount() - 2); }

// The screen shows the first drive only: its attribute groups end where the next drive's block
// begins (its "DriveNum" header after one empty field), else at the line's closing comma. Going on
// in steps of five would read the second drive's counters and names out of step as attributes.
int FirstBlockEnd(const GridModel& history) {
  for (int c = col::kFirstGroup; c < history.ColCount(); ++c)
    if (history.Cell(c, 0) == "DriveNum") return c - 1;
  return history.ColCount() - 1;
}

std::string FormatCount(const std::string& text) {
  auto value = IntegerCell(text);
  return value ? FormatThousands(*value) : text;
}

}  // namespace

HealthGraphPanel::HealthGraphPanel() {
  XYGraph1.BeginLoading();
  XYGraph1.SetColor(clWhite);
  XYGraph1.SetBackColor(clWhite);
  XYGraph1.SetGridPen({clGray, 1, psSolid});
  XYGraph1.SetSubGridPen({clGray, 1, psSolid});
  XYGraph1.SetGridStyle(gsBoth);
  XYGraph1.SetSubGrid(true);
  TGraphFont font;
  font.Name = "Arial";
  font.Size = 12;  // 16 pixels
  XYGraph1.SetTitleFont(font);
  for (TGraphAxis* axis : {&XYGraph1.XAxis(), &XYGraph1.YAxis()}) {
    axis->SetLabelsOnAxis(false);
    axis->SetAutoDecimal(false);
    axis->SetLabelDecimal(0);
    axis->SetLabelFont(font);
    axis->SetTitleFont(font);
  }
  XYGraph1.XAxis().SetMax(3.3);
  XYGraph1.XAxis().SetTickStep(1);
  XYGraph1.YAxis().SetMin(4.94);
  XYGraph1.YAxis().SetMax(4.9575);
  XYGraph1.YAxis().SetOrigin(4.94);
  XYGraph1.YAxis().SetTickStep(0.005);
  XYGraph1.EndLoading();

  const TColor colors[] = {clRed, clGreen, clBlue};
  const char* names[] = {"Series1", "Series2", "Series3"};
  for (int i = 0; i < 3; ++i) {
    TXYLineSeries& s = SeriesAt(i);
    s.SetName(names[i]);
    s.SetParentGraph(&XYGraph1);
    s.SetLinePen({colors[i], 2, psSolid});
    s.SetDisContinue(false);
  }
  Label27.color = clRed;
}

TXYLineSeries& HealthGraphPanel::SeriesAt(int index) {
  return index == 0 ? Series1 : index == 1 ? Series2 : Series3;
}

std::optional<std::string> HealthGraphPanel::Open(const GridModel& history, const DateTime& now) {
  const int last = LastDataRow(history);
  const bool hasData = last >= 2;
  auto latest = [&](int column) { return hasData ? history.Cell(column, last) : std::string(); };

  ComboBox1.items = {kGraphEntryTemperature, kGraphEntryCycles, kGraphEntrySeparator};
  // Pre-failure attributes first, marked by their latest judgement; then the others.
  const int blockEnd = FirstBlockEnd(history);
  for (bool preFailure : {true, false}) {
    if (!preFailure) ComboBox1.items.push_back(kGraphEntrySeparator);
    for (int c = col::kFirstGroup; c < blockEnd; c += 5) {
      if (history.Cell(c, 0).starts_with('*') != preFailure) continue;
      const std::string& name = history.Cell(c, 1);
      if (name.empty() || name.find("不明") != std::string::npos) continue;
      std::string mark;
      if (preFailure) {
        const std::string status = latest(c);
        if (status.find("故障") != std::string::npos) mark = kMarkFailure;
        else if (status.find("警戒") != std::string::npos) mark = kMarkWarning;
      }
      ComboBox1.items.push_back(mark + name);
    }
  }

  Label2.caption = latest(col::kDriveNumber);
  Label4.caption = latest(col::kModel);
  Label6.caption = latest(col::kSerial);
  Label8.caption = FormatCount(latest(col::kCapacity));
  Label10.caption = latest(col::kTemperature) + "℃";
  Label12.caption = latest(col::kTempWorst) + "℃";
  Label14.caption = latest(col::kRealloc);
  Label16.caption = FormatCount(latest(col::kPowerCycles));
  Label18.caption = FormatCount(latest(col::kHoursRunning));
  // A count other than "0" is drawn red, with its caption.
  auto count = [](LabelModel& value, LabelModel& caption, const std::string& text) {
    value.caption = text;
    value.color = caption.color = text == "0" ? clBlack : clRed;
  };
  count(Label20, Label19, latest(col::kWarnings));
  count(Label22, Label21, latest(col::kFailures));
  const std::string stamp = latest(col::kDateTime);
  Label24.caption = stamp.substr(0, 10);
  Label25.caption = stamp.size() > 11 ? stamp.substr(11, 8) : std::string();

  ComboBox1.itemIndex = 0;
  ComboBox1.text = ComboBox1.items[0];
  ++revision;
  return ComboBox1Change(history, now);
}

std::optional<HealthGraphPanel::Picture> HealthGraphPanel::Plan(const GridModel& history, const DateTime& now) const {
  if (ComboBox1.itemIndex < 0 || ComboBox1.itemIndex >= static_cast<int>(ComboBox1.items.size())) return std::nullopt;
  std::string s = ComboBox1.items[static_cast<size_t>(ComboBox1.itemIndex)];
  if (s.starts_with("-----")) return std::nullopt;
  for (const char* mark : {kMarkWarning, kMarkFailure})
    if (s.starts_with(mark)) s.erase(0, std::string_view(mark).size());

  Picture p;
  int k = 0;
  if (ComboBox1.itemIndex == 0) {
    p.legend = kLegendTemperature;
    p.judgement = "";
    k = col::kTemperature;
  } else {
    p.legend = kLegendAttribute;
    const int blockEnd = FirstBlockEnd(history);
    for (int c = col::kFirstGroup; c < blockEnd && k == 0; c += 5)
      if (history.Cell(c, 1) == s) k = c + 1;
    if (k == 0) {
      // An attribute that is no longer in the history: an empty chart, the judgement as it was.
      if (ComboBox1.itemIndex != 1) return p;
      k = col::kPowerCycles;
    }
  }

  const double today = ToDayCount(now);
  double minX = 100000;
  long long maxY = 0;
  int lastPlotted = -1;
  const int last = LastDataRow(history);
  for (int row = 2; row <= last; ++row) {
    const std::string& stamp = history.Cell(col::kDateTime, row);
    if (stamp.empty()) break;
    const auto day = RecordDay(stamp);
    if (!day) continue;  // not a time stamp: the row has no place on the time axis
    double x = *day - today;
    minX = std::min(minX, x);
    x = std::min(x, 0.0);
    lastPlotted = row;
    // Series1 red (k + 1), Series2 green (k), Series3 blue (k + 2, not for the counters).
    const int columns[3] = {k + 1, k, k + 2};
    for (int i = 0; i < 3; ++i) {
      if (i == 2 && k == col::kPowerCycles) continue;
      auto y = IntegerCell(history.Cell(columns[i], row));
      if (!y) continue;  // a value that is not a whole number is left out of its series
      const long long value = std::max(0LL, *y);
      maxY = std::max(maxY, value);
      p.points[i].emplace_back(x, static_cast<double>(value));
    }
  }

  if (k == col::kPowerCycles) {
    p.legend = kLegendCycles;
    p.judgement = "";
  } else {
    const int statusColumn = ComboBox1.itemIndex == 0 ? col::kTemperatureGroup : k - 1;
    const std::string status = lastPlotted >= 0 ? history.Cell(statusColumn, lastPlotted) : std::string();
    p.judgement = status == "-" ? std::string() : status;
  }

  p.yTop = maxY > 100 ? (maxY >= 300 ? Picture::YTop::Automatic : Picture::YTop::Fixed300) : Picture::YTop::Fixed120;

  // The X axis starts at the first multiple of 30 days at or below the oldest record. Records all
  // stamped in the future (or none plotted) still get one month, as an axis from 0 to 0 has no room.
  double xMin = 0;
  while (xMin > minX) xMin -= kDaysPerStep;
  if (xMin >= 0) xMin = -kDaysPerStep;
  p.xMin = xMin;
  if (xMin >= -60) {
    p.xStep = 10;
    p.xSubTicks = 5;
  } else {
    // Beyond 900 days the step grows by whole months so that at most 30 steps remain.
    const double months = std::ceil(-xMin / kDaysPerStep / kMaxAxisSteps);
    p.xStep = kDaysPerStep * std::max(1.0, months);
    p.xSubTicks = 6;
  }
  return p;
}

void HealthGraphPanel::Show(const Picture& p) {
  for (int i = 0; i < 3; ++i) SeriesAt(i).Clear();
  TGraphAxis& x = XYGraph1.XAxis();
  TGraphAxis& y = XYGraph1.YAxis();
  // Wide ranges first, so that each step keeps the minimum below the maximum and the step fits.
  y.SetMax(100000);
  y.SetMin(0);
  x.SetMin(-9999);
  x.SetMax(0);
  for (int i = 0; i < 3; ++i)
    for (const auto& [px, py] : p.points[i]) SeriesAt(i).Add(px, py);
  switch (p.yTop) {
    case Picture::YTop::Fixed120: y.SetMax(120); break;
    case Picture::YTop::Fixed300: y.SetMax(300); break;
    case Picture::YTop::Automatic: y.SetAutoMax(true); break;
  }
  x.SetMin(p.xMin);
  x.SetOrigin(p.xMin);
  x.SetTickStep(p.xStep);
  x.SetSubTicksCount(p.xSubTicks);
  x.SetTitle("日数");
  Label26.caption = p.legend;
  if (p.judgement) Label27.caption = *p.judgement;
}

std::optional<std::string> HealthGraphPanel::ComboBox1Change(const GridModel& history, const DateTime& now) {
  std::optional<Picture> picture = Plan(history, now);
  if (!picture) return std::nullopt;
  ++revision;
  try {
    Show(*picture);
    shown_ = std::move(picture);
    return std::nullopt;
  } catch (const EXYGraphError& e) {
    const std::string message = e.what();
    try {
      if (shown_) Show(*shown_);
    } catch (const EXYGraphError&) {
      for (int i = 0; i < 3; ++i) SeriesAt(i).Clear();
    }
    return message;
  }
}

}  // namespace orv
