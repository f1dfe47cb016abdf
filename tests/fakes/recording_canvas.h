#pragma once
// A canvas that records every drawing call with the pen, brush, font and clip in force. Text
// sizes follow the portable metric, like the SVG canvas.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

class RecordingCanvas final : public IGraphCanvas {
 public:
  enum class Kind { FillRect, Line, PolyPolyline, Polygon, Ellipse, Rectangle, Text };
  struct Op {
    Kind kind;
    TGraphPen pen;
    TGraphBrush brush;
    TGraphFont font;
    std::optional<TGraphRect> clip;
    TGraphRect rect;               // FillRect, Ellipse, Rectangle
    std::vector<TPolyline> lines;  // Line (one line of two points), PolyPolyline, Polygon
    int x = 0, y = 0;              // Text
    std::string text;
  };

  void SetPen(const TGraphPen& pen) override { pen_ = pen; }
  void SetBrush(const TGraphBrush& brush) override { brush_ = brush; }
  void SetFont(const TGraphFont& font) override { font_ = font; }
  void FillRect(const TGraphRect& rect) override { Record(Kind::FillRect).rect = rect; }
  void Line(int x1, int y1, int x2, int y2) override { Record(Kind::Line).lines = {{{x1, y1}, {x2, y2}}}; }
  void PolyPolyline(const std::vector<TPolyline>& lines) override { Record(Kind::PolyPolyline).lines = lines; }
  void Polygon(const TPolyline& points) override { Record(Kind::Polygon).lines = {points}; }
  void Ellipse(const TGraphRect& bounds) override { Record(Kind::Ellipse).rect = bounds; }
  void Rectangle(const TGraphRect& rect) override { Record(Kind::Rectangle).rect = rect; }
  void DrawString(int x, int y, std::string_view text) override {
    Op& op = Record(Kind::Text);
    op.x = x;
    op.y = y;
    op.text = std::string(text);
  }
  TGraphSize TextSize(std::string_view text) override { return EstimateTextSize(font_, text); }
  void SetClipRect(const TGraphRect& rect) override { clip_ = rect; }
  void RemoveClip() override { clip_.reset(); }

  std::vector<Op> ops;

 private:
  Op& Record(Kind kind) { return ops.emplace_back(Op{kind, pen_, brush_, font_, clip_, {}, {}, 0, 0, {}}); }
  TGraphPen pen_;
  TGraphBrush brush_;
  TGraphFont font_;
  std::optional<TGraphRect> clip_;
};

}  // namespace orv::xy
