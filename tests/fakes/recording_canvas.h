#pragma once
// A canvas that writes down every drawing call as one line of text (the call with its points or
// text), for tests and fuzzers that paint a chart without a picture. Text sizes follow the
// portable metric, like the SVG canvas.

#include <string>
#include <string_view>
#include <vector>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

class RecordingCanvas final : public IGraphCanvas {
 public:
  std::vector<std::string> calls;

  void SetPen(const TGraphPen& pen) override { Record("pen " + std::to_string(pen.Color), {}); }
  void SetBrush(const TGraphBrush& brush) override { Record("brush " + std::to_string(brush.Color), {}); }
  void SetFont(const TGraphFont& font) override { font_ = font; }
  void FillRect(const TGraphRect& r) override { Record("fill", Corners(r)); }
  void Line(int x1, int y1, int x2, int y2) override { Record("line", {{x1, y1}, {x2, y2}}); }
  void PolyPolyline(const std::vector<TPolyline>& lines) override {
    for (const TPolyline& line : lines) Record("polyline", line);
  }
  void Polygon(const TPolyline& points) override { Record("polygon", points); }
  void Ellipse(const TGraphRect& r) override { Record("ellipse", Corners(r)); }
  void Rectangle(const TGraphRect& r) override { Record("rectangle", Corners(r)); }
  void DrawString(int x, int y, std::string_view text) override { Record("text " + std::string(text), {{x, y}}); }
  TGraphSize TextSize(std::string_view text) override { return EstimateTextSize(font_, text); }
  void SetClipRect(const TGraphRect& r) override { Record("clip", Corners(r)); }
  void RemoveClip() override { Record("unclip", {}); }

 private:
  static TPolyline Corners(const TGraphRect& r) { return {{r.Left, r.Top}, {r.Right, r.Bottom}}; }
  void Record(std::string call, const TPolyline& points) {
    for (const TGraphPoint& p : points) call += " " + std::to_string(p.X) + "," + std::to_string(p.Y);
    calls.push_back(std::move(call));
  }
  TGraphFont font_;
};

}  // namespace orv::xy
