#pragma once
// The chart component: TXYGraph, a self-drawing XY chart with two automatic axes (TGraphAxis,
// graph_axis.h), an optional grid, a multi-line title and any number of series (xySeries.h).
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
// EXYGraphError (graph_errors.h), with fixed Japanese messages.

#include <functional>
#include <string>
#include <vector>

#include "xyGraph/graph_axis.h"
#include "xyGraph/graph_canvas.h"
#include "xyGraph/graph_errors.h"
#include "xyGraph/graph_lists.h"
#include "xyGraph/number_format.h"

namespace orv::xy {

enum class TGraphGridStyle { gsNone, gsHorizontal, gsVertical, gsBoth };
using enum TGraphGridStyle;

enum class TTitleAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TTitleAlignment;

class TXYGraphSeries;

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

}  // namespace orv::xy
