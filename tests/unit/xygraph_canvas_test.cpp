// The portable canvases: the fixed text metric and the SVG output (the sample pictures show it
// in use; here is what a chart never draws).

#include <gtest/gtest.h>

#include <string>

#include "xyGraph/svg_canvas.h"

namespace orv::xy {
namespace {

struct MetricRow {
  const char* text;
  int size;  // points
  int width, height;
};

TEST(GraphCanvas, FixedAdvancePerCharacterClass) {
  // clang-format off
  const MetricRow rows[] = {
      {"", 12, 0, 20}, {"0", 12, 9, 20}, {"10", 12, 18, 20}, {"4.945", 12, 40, 20}, {" .,:;'!|il", 12, 48, 20},
      {"\"~", 12, 18, 20}, {"\x7f", 12, 10, 20}, {"é", 12, 10, 20}, {"日数", 12, 32, 20}, {"40℃", 12, 34, 20},
      {"Pi", 9, 11, 15},                                                                      // 9 pt = 12 px
      {"\uff61\uff9f", 12, 18, 20},                                                          // half-width kana
      {"\u1100\u2e80\uac00\uf900\ufe30\uff00\uffe0\U00020000", 12, 128, 20},                 // wide: first ...
      {"\u115f\ua4cf\ud7a3\ufaff\ufe4f\uff60\uffe6\U0003fffd", 12, 128, 20},                 // ... and last
      {"\u10ff\u1160\u2e7f\ua4d0\uabff\ud7a4\uf8ff\ufb00\ufe2f\ufe50\uffa0\uffdf\uffe7\U0001ffff\U0003fffe\u2102", 12, 154, 20},
      {"\xc3", 12, 10, 20}, {"\xc3" "A", 12, 19, 20}, {"\xff", 12, 10, 20}, {"\xe6\x97", 12, 20, 20}};  // malformed
  // clang-format on
  for (const MetricRow& r : rows) {
    TGraphFont font;
    font.Size = r.size;
    EXPECT_EQ(EstimateTextSize(font, r.text), (TGraphSize{r.width, r.height})) << r.text;
  }
}

// What no chart draws: clear and empty fills, shapes too small to show, a second clip.
TEST(SvgCanvas, RareShapesAndClips) {
  SvgCanvas svg(60, 40);
  svg.SetBrush({clWhite, bsClear});
  svg.FillRect({0, 0, 60, 40});
  svg.SetBrush({clBtnFace, bsSolid});
  svg.FillRect({5, 5, 5, 9});
  svg.FillRect({1, 2, 4, 6});
  svg.RemoveClip();  // no clip to remove
  svg.SetClipRect({0, 0, 30, 20});
  svg.SetClipRect({2, 2, 1, 1});  // closes the first
  svg.SetPen({clRed, 2, psDash});
  svg.Rectangle({0, 0, 1, 9});
  svg.Rectangle({0, 0, 2, 2});
  svg.Ellipse({0, 0, 9, 1});
  svg.Polygon({{1, 1}});
  svg.Polygon({{1, 1}, {3, 4}});
  svg.PolyPolyline({{{1, 1}}, {}});
  svg.DrawString(3, 4, "");
  EXPECT_EQ(svg.Svg(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"60\" height=\"40\" viewBox=\"0 0 60 40\">\n"
            "<rect x=\"1\" y=\"2\" width=\"3\" height=\"4\" fill=\"#f0f0f0\"/>\n"
            "<clipPath id=\"clip1\"><rect x=\"0\" y=\"0\" width=\"30\" height=\"20\"/></clipPath>\n"
            "<g clip-path=\"url(#clip1)\">\n</g>\n"
            "<clipPath id=\"clip2\"><rect x=\"2\" y=\"2\" width=\"0\" height=\"0\"/></clipPath>\n"
            "<g clip-path=\"url(#clip2)\">\n"
            "<rect x=\"0.5\" y=\"0.5\" width=\"1\" height=\"1\" fill=\"#f0f0f0\" stroke=\"#ff0000\" stroke-width=\"2\" "
            "stroke-dasharray=\"12,4\"/>\n"
            "<polygon points=\"1,1 3,4\" fill=\"#f0f0f0\" stroke=\"#ff0000\" stroke-width=\"2\" stroke-dasharray=\"12,4\"/>\n"
            "</g>\n</svg>\n");
}

}  // namespace
}  // namespace orv::xy
