#pragma once
// The history graph screen (Panel1): the chart XYGraph1 with its three line series, the data
// selector ComboBox1, and the labels of the latest saved values and of the disk. It plots the
// first drive of the history loaded into the (hidden) history grid, which serves as its table.

#include <optional>
#include <string>
#include <vector>

#include "app/screen_model.h"
#include "platform/clock.h"
#include "xyGraph/xyGraph.h"
#include "xyGraph/xySeries.h"

namespace orv {

// A label whose text and colour the screen sets.
struct LabelModel {
  std::string caption;
  xy::TColor color = xy::clBlack;
};

struct ComboBoxModel {
  std::vector<std::string> items;
  int itemIndex = -1;
  std::string text = "表示するデータを選択";  // shown until the list is filled
};

// Columns of the history grid (first drive block).
namespace history_column {
inline constexpr int kDateTime = 0;
inline constexpr int kDriveNumber = 2;
inline constexpr int kCapacity = 3;
inline constexpr int kModel = 4;
inline constexpr int kSerial = 5;
inline constexpr int kTemperature = 6;
inline constexpr int kTempWorst = 7;
inline constexpr int kRealloc = 9;
inline constexpr int kFailures = 10;
inline constexpr int kWarnings = 11;
inline constexpr int kPowerCycles = 12;
inline constexpr int kHoursRunning = 13;
inline constexpr int kFirstGroup = 14;       // five columns per attribute: status, current, worst, threshold, raw
inline constexpr int kTemperatureGroup = 39;  // attribute 194
}  // namespace history_column

// Selector entries that are not attribute names.
inline constexpr const char* kGraphEntryTemperature = "温度";
inline constexpr const char* kGraphEntryCycles = "起動回数・稼働時間";
inline constexpr const char* kGraphEntrySeparator = "-----------";

class HealthGraphPanel {
 public:
  // The chart with its design-time settings and the three series attached.
  HealthGraphPanel();
  HealthGraphPanel(const HealthGraphPanel&) = delete;
  HealthGraphPanel& operator=(const HealthGraphPanel&) = delete;

  // Fills the selector and the labels from the history grid, selects the first entry and draws
  // it. `now` is the moment the records' ages are counted from. Returns the text of a chart error
  // that kept the previous picture, if any.
  std::optional<std::string> Open(const GridModel& history, const DateTime& now);
  // Draws the selected entry (ComboBox1.itemIndex). A separator does nothing; an attribute that is
  // no longer in the history empties the chart. Returns the text of a chart error, if any: the
  // chart, the axes and the labels then show the previous picture.
  std::optional<std::string> ComboBox1Change(const GridModel& history, const DateTime& now);

  xy::TXYGraph XYGraph1;
  xy::TXYLineSeries Series1;  // red: highest temperature, worst value, running time
  xy::TXYLineSeries Series2;  // green: temperature, current value, power cycles
  xy::TXYLineSeries Series3;  // blue: lowest temperature, threshold
  ComboBoxModel ComboBox1;
  // Latest data.
  LabelModel Label10, Label12, Label14, Label16, Label18, Label19, Label20, Label21, Label22, Label24, Label25;
  // The disk: drive number, capacity, model, serial number.
  LabelModel Label2, Label4, Label6, Label8;
  LabelModel Label26;  // colour legend
  LabelModel Label27;  // judgement of the plotted attribute (red, bold)
  uint64_t revision = 0;  // bumped on every change the view must show

 private:
  // Everything one selection puts on the screen, worked out before the chart is touched.
  struct Picture {
    std::vector<std::pair<double, double>> points[3];  // Series1, Series2, Series3
    std::string legend;
    std::optional<std::string> judgement;  // nullopt: Label27 stays as it is
    double xMin = -30;
    double xStep = 10;
    int xSubTicks = 5;
    enum class YTop { Fixed120, Fixed300, Automatic } yTop = YTop::Fixed120;
  };
  std::optional<Picture> Plan(const GridModel& history, const DateTime& now) const;
  void Show(const Picture& picture);
  xy::TXYLineSeries& SeriesAt(int index);

  std::optional<Picture> shown_;  // the last picture drawn, put back when a new one fails
};

}  // namespace orv
