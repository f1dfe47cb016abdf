#pragma once
// One axis of the chart: its settings, the scaling they give with the data (axis_scaling.h),
// the mapping of values to pixels and its layout inside the plot rectangle. Drawing reads a
// finished axis (axis_drawing.h).
//
// A setter checks its value, scales the changed settings and stores them together with the
// result in one step, so a refused setting (an EXYGraphAxisError) leaves every previous value
// in place. While the graph loads, setters only store their values.

#include <optional>
#include <string>
#include <vector>

#include "xyGraph/axis_scaling.h"
#include "xyGraph/axis_settings.h"
#include "xyGraph/graph_canvas.h"
#include "xyGraph/graph_errors.h"

namespace orv::xy {

class TXYGraph;

class TGraphAxis {
 public:
  // `owner` may be null: such an axis has no data and no symbol of its own but works otherwise.
  TGraphAxis(TXYGraph* owner, bool horizontal);
  TGraphAxis(const TGraphAxis&) = delete;
  TGraphAxis& operator=(const TGraphAxis&) = delete;

  // ---- properties ----
  bool AutoDecimal() const { return s().autoDecimal; }
  void SetAutoDecimal(bool value);
  bool AutoMax() const { return s().autoMax; }
  void SetAutoMax(bool value);
  bool AutoMin() const { return s().autoMin; }
  void SetAutoMin(bool value);
  bool AutoOrigin() const { return s().autoOrigin; }
  void SetAutoOrigin(bool value);
  const TGraphPen& AxisPen() const { return s().axisPen; }
  void SetAxisPen(const TGraphPen& pen);
  TAxisScale AxisScale() const { return s().axisScale; }
  void SetAxisScale(TAxisScale scale);
  bool AutoStep() const { return s().autoStep; }
  void SetAutoStep(bool value);
  TAxisTitleLoc AxisTitleLoc() const { return s().axisTitleLoc; }
  void SetAxisTitleLoc(TAxisTitleLoc loc);
  bool Inverted() const { return s().inverted; }
  void SetInverted(bool value);
  int LabelDecimal() const { return s().labelDecimal; }
  void SetLabelDecimal(int value);
  const TGraphFont& LabelFont() const { return s().labelFont; }
  void SetLabelFont(const TGraphFont& font);
  bool Labels() const { return s().labels; }
  void SetLabels(bool value);
  bool LabelsOnAxis() const { return s().labelsOnAxis; }
  void SetLabelsOnAxis(bool value);
  int LabelSpace() const { return s().labelSpace; }
  void SetLabelSpace(int value);
  double Max() const { return s().max; }
  void SetMax(double value);
  double Min() const { return s().min; }
  void SetMin(double value);
  double Origin() const { return s().origin; }
  void SetOrigin(double value);
  int SubTickLen() const { return s().subTickLen; }
  void SetSubTickLen(int value);
  int SubTicksCount() const { return s().subTicksCount; }
  void SetSubTicksCount(int value);
  const std::string& Title() const { return s().title; }
  void SetTitle(const std::string& title);
  int TitleAngle() const { return s().titleAngle; }
  void SetTitleAngle(int degrees);
  const TGraphFont& TitleFont() const { return s().titleFont; }
  void SetTitleFont(const TGraphFont& font);
  int TickLen() const { return s().tickLen; }
  void SetTickLen(int value);
  bool Ticks() const { return s().ticks; }
  void SetTicks(bool value);
  int TicksCount() const { return s().ticksCount; }
  void SetTicksCount(int value);
  double TickStep() const { return s().tickStep; }
  void SetTickStep(double value);
  bool Visible() const { return s().visible; }
  void SetVisible(bool value);

  // ---- state ----
  bool Horizontal() const { return horizontal_; }
  double Range() const { return s().range; }
  double Decades() const { return s().decades; }
  int EffectiveTicksCount() const { return s().effectiveTicks; }
  // Valid until the axis scales anew.
  const std::vector<double>& MajorTicks() const { return scaled_.ticks.major; }
  const std::vector<double>& MinorTicks() const { return scaled_.ticks.minor; }
  // The labels stand at the major ticks.
  const std::vector<double>& LabelValues() const { return scaled_.ticks.major; }
  int StartPixel() const { return startPixel_; }
  int EndPixel() const { return endPixel_; }
  int Length() const { return length_; }
  int CrossingPosition() const { return crossing_; }
  // The pixel across the axis where its line is drawn; ignored outside the plot rectangle.
  void SetCrossingPosition(int pixel);
  // The plot's edge on the labels' side (left for the Y axis, bottom for the X axis), set by the
  // graph: a side title stays outside it even when the axis crosses inside the plot.
  void SetPlotEdge(int pixel) { plotEdge_ = pixel; }
  // -1 until the graph sets it.
  int PlotEdge() const { return plotEdge_; }
  // The height of the control the axis belongs to (the bottom of its rectangle without one).
  int ControlHeight() const;

  // ---- operations ----
  // Scales the axis anew from the data (automatic settings) or the stored values. Raises
  // EXYGraphAxisError when the result is not a valid range; nothing changes then.
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
  // The widest and the tallest label (at least the font height), for the graph's layout.
  TGraphSize LargestLabelSize(IGraphCanvas& canvas) const;

  // Used by the graph: the plot rectangle it was last laid out in.
  const TGraphRect& LayoutRect() const { return rect_; }

 private:
  const AxisSettings& s() const { return scaled_.settings; }
  AxisSettings& stored() { return scaled_.settings; }
  void Redraw() const;
  bool Loading() const;
  std::optional<DataExtent> Data() const;
  double DataMin() const;
  // Scales `next` and commits it with the result; raises before anything changes.
  void Rescale(const AxisSettings& next);
  // A setter's change: stored alone while loading, else rescaled, committed and redrawn.
  template <typename Change>
  void Commit(Change&& change);
  double LargestLabelExtent(IGraphCanvas& canvas) const;
  void FitEnds(IGraphCanvas& canvas);

  TXYGraph* owner_;
  bool horizontal_;
  ScaledAxis scaled_;
  TGraphRect rect_{0, 0, 300, 200};
  int startPixel_ = 0;
  int endPixel_ = 0;
  int length_ = 0;
  bool laidOut_ = false;  // Layout has given the axis its pixels
  int crossing_ = 0;
  int plotEdge_ = -1;  // -1: not set, the crossing position is the edge
};

}  // namespace orv::xy
