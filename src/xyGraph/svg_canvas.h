#pragma once
// A canvas that writes SVG: headless pictures of a chart, and saving a chart as a picture.
// Text sizes come from the fixed metric of EstimateTextSize, so the layout is the same on every
// machine; the font is named "Arial" with metric-compatible fallbacks for viewers without it.

#include <string>
#include <string_view>

#include "xyGraph/graph_canvas.h"

namespace orv::xy {

class SvgCanvas final : public IGraphCanvas {
 public:
  SvgCanvas(int width, int height);

  void SetPen(const TGraphPen& pen) override { pen_ = pen; }
  void SetBrush(const TGraphBrush& brush) override { brush_ = brush; }
  void SetFont(const TGraphFont& font) override { font_ = font; }

  void FillRect(const TGraphRect& rect) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void PolyPolyline(const std::vector<TPolyline>& lines) override;
  void Polygon(const TPolyline& points) override;
  void Ellipse(const TGraphRect& bounds) override;
  void Rectangle(const TGraphRect& rect) override;
  void DrawString(int x, int y, std::string_view text) override;
  TGraphSize TextSize(std::string_view text) override { return EstimateTextSize(font_, text); }
  void SetClipRect(const TGraphRect& rect) override;
  void RemoveClip() override;

  // The whole document.
  std::string Svg() const;

  // The font-family list written for a font name: "Arial" gets metric-compatible fallbacks.
  static std::string FontFamily(const std::string& name);

 private:
  std::string StrokeAttributes() const;
  std::string FillAttribute() const;
  std::string Points(const TPolyline& points) const;

  int width_;
  int height_;
  TGraphPen pen_;
  TGraphBrush brush_;
  TGraphFont font_;
  std::string body_;
  int clipCount_ = 0;
  bool clipped_ = false;
};

// "#rrggbb" of a colour.
std::string SvgColor(TColor color);

}  // namespace orv::xy
