#pragma once
// Data series of the chart component. A series holds X and Y values (two value lists of equal
// length) and attaches itself to a graph with SetParentGraph; the graph draws the active ones
// in its paint. TXYLineSeries is the kind the application's screens use; the other kinds are
// the component's vocabulary, each with a plain drawing of its own.

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "xyGraph/graph_canvas.h"
#include "xyGraph/graph_lists.h"
#include "xyGraph/xyGraph.h"

namespace orv::xy {

// A rectangle of values: the axis ranges a series is clipped to.
struct TValueRect {
  double XMin = 0;
  double XMax = 0;
  double YMin = 0;
  double YMax = 0;
};

// Outcode bits of a point against the value rectangle.
enum : int { kOutLeft = 1, kOutRight = 2, kOutBelow = 4, kOutAbove = 8 };
int OutCode(double x, double y, const TValueRect& r);
// Cuts the segment to the rectangle; false when nothing of it is inside.
bool ClipSegment(double& x1, double& y1, double& x2, double& y2, const TValueRect& r);

class TXYGraphSeries {
 public:
  TXYGraphSeries() = default;
  // Detaches the series from its graph.
  virtual ~TXYGraphSeries();
  TXYGraphSeries(const TXYGraphSeries&) = delete;
  TXYGraphSeries& operator=(const TXYGraphSeries&) = delete;

  // The component name; used in the message of a series without a graph.
  const std::string& Name() const { return name_; }
  void SetName(const std::string& name) { name_ = name; }

  TXYGraph* ParentGraph() const { return parent_; }
  // Detaches from the old graph (which repaints) and attaches to the new one: the series is
  // appended to its list, gets a default colour if it has none, and the graph repaints.
  void SetParentGraph(TXYGraph* graph);
  TColor SeriesColor() const { return seriesColor_; }
  virtual void SetSeriesColor(TColor color);
  bool Active() const { return active_; }
  void SetActive(bool value);
  // Called after a point was added, with its index.
  std::function<void(TXYGraphSeries& sender, int index)> OnAfterAdd;

  // Appends a point, fires OnAfterAdd, repaints, and returns the point's index.
  int Add(double x, double y);
  virtual void Clear();
  virtual void Delete(int index);
  int Count() const { return xValues_.Count(); }
  double XValue(int index) const { return xValues_.Get(index); }
  double YValue(int index) const { return yValues_.Get(index); }
  const TGraphValueList& XValues() const { return xValues_; }
  const TGraphValueList& YValues() const { return yValues_; }
  double XMin() const { return xValues_.Min(); }
  double XMax() const { return xValues_.Max(); }
  double YMin() const { return yValues_.Min(); }
  double YMax() const { return yValues_.Max(); }

  // The stored point data ("Data"): the X list, then the Y list, each in the value-list
  // stream form. Reading replaces the points.
  void WriteData(std::ostream& out) const;
  void ReadData(std::istream& in);

  // Fills the series with ten sample points across its graph's axes (the design-time
  // preview). Raises EXYGraphSeriesError when the series has no graph.
  void GenerateSampleData();

  // The name of the kind in the series editor; empty for kinds the editor does not offer.
  virtual std::string KindDisplayName() const { return {}; }

  // Painting, called by the graph: copies the graph's axis ranges, then draws.
  void TakeAxisRanges();
  const TValueRect& AxisRanges() const { return ranges_; }
  virtual void Draw(IGraphCanvas& canvas) = 0;

 protected:
  void Repaint() const;
  TGraphPoint ToPixel(double x, double y) const;
  bool Inside(double x, double y) const { return OutCode(x, y, ranges_) == 0; }
  // The visible pieces of the line through points [first, first + count), as pixel runs.
  std::vector<TPolyline> ClippedRuns(int first, int count) const;

  TGraphValueList xValues_;
  TGraphValueList yValues_;
  TValueRect ranges_;

 private:
  friend class TXYGraph;
  void ParentDestroyed() { parent_ = nullptr; }

  std::string name_;
  TXYGraph* parent_ = nullptr;  // not owned
  TColor seriesColor_ = clNone;
  bool active_ = true;
};

// A poly-line through the points.
class TXYLineSeries : public TXYGraphSeries {
 public:
  const TGraphPen& LinePen() const { return linePen_; }
  // Also makes the pen's colour the series colour.
  void SetLinePen(const TGraphPen& pen);
  void SetSeriesColor(TColor color) override;
  bool DisContinue() const { return disContinue_; }
  void SetDisContinue(bool value);
  std::string KindDisplayName() const override { return "折れ線"; }
  void Draw(IGraphCanvas& canvas) override;

 protected:
  void DrawLine(IGraphCanvas& canvas) const;

 private:
  TGraphPen linePen_;
  bool disContinue_ = false;
};

enum class TMarkerShape { msPlus, msTimes, msSquare, msCircle, msPoint, msStar, msTriangleUp, msTriangleDown, msDiamond };
using enum TMarkerShape;

class TGraphMarker {
 public:
  TGraphPen Pen;
  TGraphBrush Brush;
  int Size = 10;
  TMarkerShape Shape = msSquare;
  bool Visible = true;
  // Draws the marker centred on a pixel.
  void Draw(IGraphCanvas& canvas, TGraphPoint at) const;
};

// Markers at the points, optionally joined by the line.
class TXYMarkerSeries : public TXYLineSeries {
 public:
  bool Joined() const { return joined_; }
  void SetJoined(bool value);
  const TGraphMarker& Marker() const { return marker_; }
  void SetMarker(const TGraphMarker& marker);
  void SetSeriesColor(TColor color) override;
  std::string KindDisplayName() const override { return "散布図"; }
  void Draw(IGraphCanvas& canvas) override;

 private:
  bool joined_ = false;
  TGraphMarker marker_;
};

// The line with an arrow head at the end of every segment.
class TXYArrowSeries : public TXYLineSeries {
 public:
  int ArrowSize() const { return arrowSize_; }
  void SetArrowSize(int value);
  std::string KindDisplayName() const override { return "矢印"; }
  void Draw(IGraphCanvas& canvas) override;

 private:
  int arrowSize_ = 6;
};

// Circles whose area follows a third value per point.
class TXYBubbleSeries : public TXYGraphSeries {
 public:
  int AddBubble(double x, double y, double size);
  void Clear() override;
  void Delete(int index) override;
  const TGraphValueList& Sizes() const { return sizes_; }
  const TGraphBrush& Brush() const { return brush_; }
  void SetBrush(const TGraphBrush& brush);
  const TGraphPen& Pen() const { return pen_; }
  void SetPen(const TGraphPen& pen);
  void SetSeriesColor(TColor color) override;
  // Radius of the largest bubble in per cent of the plot's smaller side.
  int MaxSizeRate() const { return maxSizeRate_; }
  void SetMaxSizeRate(int value);
  std::string KindDisplayName() const override { return "泡"; }
  void Draw(IGraphCanvas& canvas) override;

 private:
  TGraphValueList sizes_;
  TGraphBrush brush_;
  TGraphPen pen_;
  int maxSizeRate_ = 10;
};

// Points with a vertical error bar of ± a third value, optionally joined by the line.
class TXYErrorBarSeries : public TXYLineSeries {
 public:
  int AddErrorBar(double x, double y, double error);
  void Clear() override;
  void Delete(int index) override;
  const TGraphValueList& Errors() const { return errors_; }
  bool Joined() const { return joined_; }
  void SetJoined(bool value);
  int BarSize() const { return barSize_; }
  void SetBarSize(int value);
  const TGraphPen& Pen() const { return pen_; }
  void SetPen(const TGraphPen& pen);
  std::string KindDisplayName() const override { return "エラーバー"; }
  void Draw(IGraphCanvas& canvas) override;

 private:
  TGraphValueList errors_;
  bool joined_ = true;
  int barSize_ = 8;
  TGraphPen pen_;
};

// Filled polygons: CountList holds the number of points of each polygon, in order.
class TXYPolyPolygonSeries : public TXYLineSeries {
 public:
  const TGraphIntegerList& CountList() const { return countList_; }
  // Closes the polygon made of the points added since the previous one.
  void EndPolygon();
  void Clear() override;
  const TGraphBrush& Brush() const { return brush_; }
  void SetBrush(const TGraphBrush& brush);
  // The series editor offers neither polygons nor the kinds built on them.
  std::string KindDisplayName() const override { return {}; }
  void Draw(IGraphCanvas& canvas) override;

 protected:
  // Point ranges [first, first + count) of the closed polygons.
  std::vector<std::pair<int, int>> Groups() const;

 private:
  TGraphIntegerList countList_;
  TGraphBrush brush_;
};

// Open poly-lines, one per group of CountList, clipped like the line series.
class TXYPolyPolyLineSeries : public TXYPolyPolygonSeries {
 public:
  void Draw(IGraphCanvas& canvas) override;
};

// Regions of inequalities: polygons in groups; GroupList holds the number of polygons of each
// group, and the polygons of one group are drawn together as one region.
class TXYInequalSeries : public TXYPolyPolygonSeries {
 public:
  const TGraphIntegerList& GroupList() const { return groupList_; }
  // Closes the group made of the polygons closed since the previous group.
  void EndGroup();
  void Clear() override;

 private:
  TGraphIntegerList groupList_;
};

}  // namespace orv::xy
