#pragma once
// The chart component: TXYGraph, a self-drawing XY chart with two automatic axes (TGraphAxis),
// an optional grid, a multi-line title and any number of series (xySeries.h).
//
// Ownership: the graph owns its two axes; series are separate objects that attach themselves
// to a graph through SetParentGraph. The graph keeps non-owning pointers to its series; a series
// detaches itself when it is destroyed, and a graph that is destroyed first tells every
// attached series, so neither side ever holds a dangling pointer.
//
// Painting: Paint(canvas) draws the whole control onto a canvas (the GDI canvas is an
// off-screen bitmap that the window copies to the screen in one step). A change that alters the
// picture calls OnRepaintRequest, which the window maps to an invalidation of its area.
//
// Rule violations raise EXYGraphAxisError (axes) or EXYGraphSeriesError (series), both
// EXYGraphError, with fixed Japanese messages. The checks run before anything is stored, so a
// refused setting leaves every previous value in place.

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "xyGraph/graph_canvas.h"
#include "xyGraph/graph_lists.h"

namespace orv::xy {

class EXYGraphError : public std::exception {
 public:
  explicit EXYGraphError(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class EXYGraphAxisError : public EXYGraphError {
 public:
  using EXYGraphError::EXYGraphError;
};

class EXYGraphSeriesError : public EXYGraphError {
 public:
  using EXYGraphError::EXYGraphError;
};

// The axis messages.
namespace axis_messages {
inline constexpr const char* kRange = "軸の範囲を超えています";
inline constexpr const char* kLogRange = "対数目盛では軸の範囲はゼロより大きくないといけません";
inline constexpr const char* kOriginBelowMin = "軸の交点の値が最小値以下です";
inline constexpr const char* kOriginAboveMax = "軸の交点の値が最大値を超えています";
inline constexpr const char* kCannotLog = "最小値がゼロ以下のため、対数目盛にできません";
inline constexpr const char* kNegative = "負の値は無効です";
inline constexpr const char* kStepNotPositive = "目盛間隔はゼロ以下に設定できません";
inline constexpr const char* kStepBeyondRange = "目盛間隔が軸の範囲を超えています";
inline constexpr const char* kStepTooSmall = "目盛間隔が小さすぎます";
inline constexpr const char* kLogValue = "対数目盛で値がゼロ以下です";
}  // namespace axis_messages

enum class TAxisScale { asNormal, asPi, asPercent, asLog };
using enum TAxisScale;

enum class TAxisTitleLoc { tlHead, tlFoot, tlSide, tlFixed };
using enum TAxisTitleLoc;

enum class TGraphGridStyle { gsNone, gsHorizontal, gsVertical, gsBoth };
using enum TGraphGridStyle;

enum class TTitleAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TTitleAlignment;

class TXYGraph;
class TXYGraphSeries;

inline constexpr double kPi = 3.141592653589793;

// One axis of a graph: range, tick step, origin and scale, the tick and label lists, the mapping
// of values to pixels, its layout inside the plot rectangle and its drawing.
class TGraphAxis {
 public:
  // `owner` may be null: such an axis has no data and no symbol of its own but works otherwise.
  TGraphAxis(TXYGraph* owner, bool horizontal);
  TGraphAxis(const TGraphAxis&) = delete;
  TGraphAxis& operator=(const TGraphAxis&) = delete;

  // ---- properties ----
  bool AutoDecimal() const { return s_.autoDecimal; }
  void SetAutoDecimal(bool value);
  bool AutoMax() const { return s_.autoMax; }
  void SetAutoMax(bool value);
  bool AutoMin() const { return s_.autoMin; }
  void SetAutoMin(bool value);
  bool AutoOrigin() const { return s_.autoOrigin; }
  void SetAutoOrigin(bool value);
  const TGraphPen& AxisPen() const { return s_.axisPen; }
  void SetAxisPen(const TGraphPen& pen);
  TAxisScale AxisScale() const { return s_.axisScale; }
  void SetAxisScale(TAxisScale scale);
  bool AutoStep() const { return s_.autoStep; }
  void SetAutoStep(bool value);
  TAxisTitleLoc AxisTitleLoc() const { return s_.axisTitleLoc; }
  void SetAxisTitleLoc(TAxisTitleLoc loc);
  bool Inverted() const { return s_.inverted; }
  void SetInverted(bool value);
  int LabelDecimal() const { return s_.labelDecimal; }
  void SetLabelDecimal(int value);
  const TGraphFont& LabelFont() const { return s_.labelFont; }
  void SetLabelFont(const TGraphFont& font);
  bool Labels() const { return s_.labels; }
  void SetLabels(bool value);
  bool LabelsOnAxis() const { return s_.labelsOnAxis; }
  void SetLabelsOnAxis(bool value);
  int LabelSpace() const { return s_.labelSpace; }
  void SetLabelSpace(int value);
  double Max() const { return s_.max; }
  void SetMax(double value);
  double Min() const { return s_.min; }
  void SetMin(double value);
  double Origin() const { return s_.origin; }
  void SetOrigin(double value);
  int SubTickLen() const { return s_.subTickLen; }
  void SetSubTickLen(int value);
  int SubTicksCount() const { return s_.subTicksCount; }
  void SetSubTicksCount(int value);
  const std::string& Title() const { return s_.title; }
  void SetTitle(const std::string& title);
  int TitleAngle() const { return s_.titleAngle; }
  void SetTitleAngle(int degrees);
  const TGraphFont& TitleFont() const { return s_.titleFont; }
  void SetTitleFont(const TGraphFont& font);
  int TickLen() const { return s_.tickLen; }
  void SetTickLen(int value);
  bool Ticks() const { return s_.ticks; }
  void SetTicks(bool value);
  int TicksCount() const { return s_.ticksCount; }
  void SetTicksCount(int value);
  double TickStep() const { return s_.tickStep; }
  void SetTickStep(double value);
  bool Visible() const { return s_.visible; }
  void SetVisible(bool value);

  // ---- state ----
  bool Horizontal() const { return horizontal_; }
  double Range() const { return s_.range; }
  double Decades() const { return s_.decades; }
  int EffectiveTicksCount() const { return s_.effectiveTicks; }
  std::vector<double> MajorTicks() const { return majorTicks_.Values(); }
  std::vector<double> MinorTicks() const { return minorTicks_.Values(); }
  std::vector<double> LabelValues() const { return labelValues_.Values(); }
  int StartPixel() const { return startPixel_; }
  int EndPixel() const { return endPixel_; }
  int Length() const { return length_; }
  int CrossingPosition() const { return crossing_; }
  // The pixel across the axis where its line is drawn; ignored outside the plot rectangle.
  void SetCrossingPosition(int pixel);
  // The plot's edge on the labels' side (left for the Y axis, bottom for the X axis), set by the
  // graph: a side title stays outside it even when the axis crosses inside the plot.
  void SetPlotEdge(int pixel) { plotEdge_ = pixel; }

  // ---- operations ----
  // Recomputes range, step, origin and ticks from the data (automatic settings) or the stored
  // values. Raises EXYGraphAxisError when the result is not a valid range; nothing changes then.
  void Recalculate();
  // The nice step for a span with the effective ticks count.
  double NiceStep(double span) const;
  // The automatic origin for a data range and step.
  double AutomaticOrigin(double lo, double hi, double step) const;
  // The pixel of a value along the axis; NaN gives the start pixel. Raises EXYGraphAxisError for
  // a value not above zero on a logarithmic axis.
  int ValueToPixel(double value) const;
  std::string LabelText(double value) const;
  // Fixes start, end and length inside the rectangle, fitting the labels (measured on `canvas`).
  void Layout(const TGraphRect& rect, IGraphCanvas& canvas);
  // Width and height of the title (swapped for 90 and 270 degrees) when it sits at `loc`.
  TGraphSize TitleExtent(TAxisTitleLoc loc, IGraphCanvas& canvas) const;
  // The widest (X axis: widest; Y axis: tallest is the font height) label, for the graph's layout.
  TGraphSize LargestLabelSize(IGraphCanvas& canvas) const;

  void DrawAxisLine(IGraphCanvas& canvas) const;
  void DrawTicks(IGraphCanvas& canvas) const;
  void DrawLabels(IGraphCanvas& canvas) const;
  void DrawTitle(IGraphCanvas& canvas) const;

  // Used by the graph: the plot rectangle it was last laid out in.
  const TGraphRect& LayoutRect() const { return rect_; }

 private:
  struct Scaling {
    double max, min, origin, tickStep;
  };
  void Redraw() const;
  bool Loading() const;
  void CheckRange(double max, double min) const;
  void SetRange(double max, double min);
  void ValidateTickStep(double step, double range) const;
  Scaling Compute() const;
  void LinearTicks();
  void LogTicks();
  void AddTick(TGraphValueList& list, double value) const;
  std::string PiSymbol() const;
  double DataMax() const;
  double DataMin() const;
  bool HasData() const;
  double LargestLabelExtent(IGraphCanvas& canvas) const;
  void FitEnds(IGraphCanvas& canvas);

  // Everything a refused setting must leave as it was.
  struct Settings {
    bool autoDecimal = true;
    bool autoMax = true;
    bool autoMin = true;
    bool autoOrigin = true;
    TGraphPen axisPen;
    TAxisScale axisScale = asNormal;
    bool autoStep = true;
    TAxisTitleLoc axisTitleLoc = tlHead;
    bool inverted = false;
    int labelDecimal = 0;
    TGraphFont labelFont;
    bool labels = true;
    bool labelsOnAxis = false;
    int labelSpace = 4;
    double max = 10.0;
    double min = 0.0;
    double origin = 0.0;
    int subTickLen = 3;
    int subTicksCount = 5;
    std::string title;
    int titleAngle = 0;
    TGraphFont titleFont;
    int tickLen = 5;
    bool ticks = true;
    int ticksCount = 6;
    double tickStep = 2.0;
    bool visible = true;

    double range = 10.0;
    double decades = 1.0;
    int effectiveTicks = 6;
  };
  // Stores a change, recalculates (unless loading) and asks for a redraw; when the
  // recalculation refuses the result, every value goes back to what it was and the error is
  // passed on.
  template <typename Store>
  void Apply(Store&& store);

  TXYGraph* owner_;
  bool horizontal_;
  Settings s_;
  TGraphValueList majorTicks_;
  TGraphValueList minorTicks_;
  TGraphValueList labelValues_;
  TGraphRect rect_{0, 0, 300, 200};
  int startPixel_ = 0;
  int endPixel_ = 0;
  int length_ = 0;
  bool laidOut_ = false;  // Layout has given the axis its pixels
  int crossing_ = 0;
  int plotEdge_ = -1;  // -1: not set, the crossing position is the edge
};

// The chart control.
class TXYGraph {
 public:
  TXYGraph();
  ~TXYGraph();
  TXYGraph(const TXYGraph&) = delete;
  TXYGraph& operator=(const TXYGraph&) = delete;

  TGraphAxis& XAxis() { return xAxis_; }
  const TGraphAxis& XAxis() const { return xAxis_; }
  TGraphAxis& YAxis() { return yAxis_; }
  const TGraphAxis& YAxis() const { return yAxis_; }

  bool AutoAspectRatio() const { return autoAspectRatio_; }
  void SetAutoAspectRatio(bool value);
  bool AxesFront() const { return axesFront_; }
  void SetAxesFront(bool value);
  TColor BackColor() const { return backColor_; }
  void SetBackColor(TColor color);
  const TGraphPen& GridPen() const { return gridPen_; }
  void SetGridPen(const TGraphPen& pen);
  TGraphGridStyle GridStyle() const { return gridStyle_; }
  void SetGridStyle(TGraphGridStyle style);
  bool SubGrid() const { return subGrid_; }
  void SetSubGrid(bool value);
  const std::string& PiSymbol() const { return piSymbol_; }
  void SetPiSymbol(const std::string& symbol);
  const TGraphPen& SubGridPen() const { return subGridPen_; }
  void SetSubGridPen(const TGraphPen& pen);
  const std::vector<std::string>& Title() const { return title_; }
  void SetTitle(const std::vector<std::string>& lines);
  const TGraphFont& TitleFont() const { return titleFont_; }
  void SetTitleFont(const TGraphFont& font);
  TTitleAlignment TitleAlignment() const { return titleAlignment_; }
  void SetTitleAlignment(TTitleAlignment alignment);
  // Called after each paint, with the canvas the graph was drawn on.
  std::function<void(TXYGraph& sender, IGraphCanvas& canvas)> OnAfterDraw;
  // Called whenever a change alters the picture.
  std::function<void(TXYGraph& sender)> OnRepaintRequest;

  // The control properties the chart uses.
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetBounds(int width, int height);
  TColor Color() const { return color_; }
  void SetColor(TColor color);

  // While loading stored settings, setters only store their values; EndLoading recalculates.
  void BeginLoading() { loading_ = true; }
  void EndLoading();
  bool Loading() const { return loading_; }

  // ---- series ----
  int SeriesCount() const { return static_cast<int>(series_.size()); }
  TXYGraphSeries& Series(int index) const;
  // Data extents along an axis over the active series that hold points; with no such series
  // the axis's own Max and Min.
  double DataMax(bool alongX) const;
  double DataMin(bool alongX) const;
  bool HasData() const;
  // The colour a series attached now gets: the first of the 16-colour table no other series
  // uses, else the first used once, then twice, ...
  TColor DefaultSeriesColor(const TXYGraphSeries* except = nullptr) const;

  // ---- painting ----
  void Repaint();
  // Lays out and draws the whole control on `canvas` (Width x Height pixels). Raises
  // EXYGraphAxisError when the data cannot be scaled (a range the axis refuses, a value not
  // above zero on a logarithmic axis); the caller decides what the screen shows then.
  void Paint(IGraphCanvas& canvas);
  // The plot rectangle of the last layout.
  const TGraphRect& PlotRect() const { return plotRect_; }
  // Lays out the title area and both axes for the current size, measuring text on `canvas`.
  void Layout(IGraphCanvas& canvas);

 private:
  friend class TXYGraphSeries;
  void AttachSeries(TXYGraphSeries* series);
  void DetachSeries(TXYGraphSeries* series);
  int TitleHeight(IGraphCanvas& canvas) const;
  void LayoutAxes(const TGraphRect& area, IGraphCanvas& canvas);
  void DrawTitle(IGraphCanvas& canvas) const;
  void DrawGrid(IGraphCanvas& canvas) const;
  void DrawAxes(IGraphCanvas& canvas);
  void DrawSeries(IGraphCanvas& canvas);

  bool loading_ = false;
  std::vector<TXYGraphSeries*> series_;  // attached series, not owned
  TGraphAxis xAxis_{this, true};
  TGraphAxis yAxis_{this, false};
  bool autoAspectRatio_ = false;
  bool axesFront_ = false;
  TColor backColor_ = clWhite;
  TGraphPen gridPen_{clGray, 1, psSolid};
  TGraphGridStyle gridStyle_ = gsNone;
  bool subGrid_ = false;
  std::string piSymbol_ = "Pi";
  TGraphPen subGridPen_{clGray, 1, psSolid};
  std::vector<std::string> title_;
  TGraphFont titleFont_;
  TTitleAlignment titleAlignment_ = taLeftJustify;
  int width_ = 300;
  int height_ = 200;
  TColor color_ = clBtnFace;
  TGraphRect plotRect_{0, 0, 300, 200};
};

// Text of a number in general format with `digits` significant digits (trailing zeros dropped,
// scientific form for very large or small numbers), as the labels use it.
std::string FormatGeneral(double value, int digits);
// Text of a number with a fixed number of decimals.
std::string FormatFixed(double value, int decimals);

}  // namespace orv::xy
