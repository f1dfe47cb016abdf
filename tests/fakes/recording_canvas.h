#pragma once
// A canvas that writes down every drawing call by its name (with the text of a string), for
// fuzzers that paint a chart without a picture. Text sizes follow the portable metric, like the
// SVG canvas.

#include <string>
#include <string_view>
#include <vector>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

class RecordingCanvas final : public IGraphCanvas {
 public:
  std::vector<std::string> calls;

  void SetPen(const TGraphPen&) override { calls.push_back("pen"); }
  void SetBrush(const TGraphBrush&) override { calls.push_back("brush"); }
  void SetFont(const TGraphFont& font) override { font_ = font; }
  void FillRect(const TGraphRect&) override { calls.push_back("fill"); }
  void Line(int, int, int, int) override { calls.push_back("line"); }
  void PolyPolyline(const std::vector<TPolyline>&) override { calls.push_back("polylines"); }
  void Polygon(const TPolyline&) override { calls.push_back("polygon"); }
  void Ellipse(const TGraphRect&) override { calls.push_back("ellipse"); }
  void Rectangle(const TGraphRect&) override { calls.push_back("rectangle"); }
  void DrawString(int, int, std::string_view text) override { calls.push_back("text " + std::string(text)); }
  TGraphSize TextSize(std::string_view text) override { return EstimateTextSize(font_, text); }
  void SetClipRect(const TGraphRect&) override { calls.push_back("clip"); }
  void RemoveClip() override { calls.push_back("unclip"); }

 private:
  TGraphFont font_;
};

}  // namespace orv::xy
