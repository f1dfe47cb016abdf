// The portable canvases: the fixed text metric and the SVG output.

#include <gtest/gtest.h>

#include <string>

#include "xyGraph/svg_canvas.h"

namespace orv::xy {
namespace {

struct MetricCase {
  const char* text;
  int size;  // points
  int width, height;
};

class GraphCanvasMetric : public ::testing::TestWithParam<MetricCase> {};

TEST_P(GraphCanvasMetric, FixedAdvancePerCharacterClass) {
  TGraphFont font;
  font.Size = GetParam().size;
  EXPECT_EQ(EstimateTextSize(font, GetParam().text), (TGraphSize{GetParam().width, GetParam().height}));
}

INSTANTIATE_TEST_SUITE_P(Cases, GraphCanvasMetric,
                         ::testing::Values(MetricCase{"", 12, 0, 20}, MetricCase{"0", 12, 9, 20},
                                           MetricCase{"10", 12, 18, 20},     // 1.1 em of 16 px
                                           MetricCase{"4.945", 12, 40, 20},  // the point is narrow
                                           MetricCase{"-90", 12, 27, 20},
                                           MetricCase{"日数", 12, 32, 20},   // wide characters: 1 em
                                           MetricCase{"ｱ", 12, 9, 20},      // half-width kana
                                           MetricCase{"40℃", 12, 34, 20},
                                           MetricCase{"é", 12, 10, 20},      // other: 0.6 em
                                           MetricCase{"Pi", 9, 11, 15}));     // 9 pt = 12 px

TEST(SvgCanvas, WritesShapesColoursAndClip) {
  SvgCanvas svg(200, 100);
  svg.SetBrush({clBtnFace, bsSolid});
  svg.FillRect({0, 0, 200, 100});
  svg.SetPen({clRed, 2, psSolid});
  svg.SetClipRect({10, 10, 190, 90});
  svg.PolyPolyline({{{10, 80}, {50, 20}, {90, 50}}, {{100, 10}}, {{120, 30}, {130, 40}}});
  svg.RemoveClip();
  svg.SetPen({clGray, 1, psDot});
  svg.Line(0, 5, 100, 5);
  std::string doc = svg.Svg();
  EXPECT_NE(doc.find("width=\"200\" height=\"100\""), std::string::npos);
  EXPECT_NE(doc.find("<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#f0f0f0\"/>"), std::string::npos);
  // Both runs of two or more points in one path; even widths on pixel edges, odd on centres.
  EXPECT_NE(doc.find("d=\"M10,80 L50,20 L90,50 M120,30 L130,40\" fill=\"none\" stroke=\"#ff0000\" stroke-width=\"2\""),
            std::string::npos);
  EXPECT_NE(doc.find("d=\"M0.5,5.5 L100.5,5.5\""), std::string::npos);
  EXPECT_NE(doc.find("stroke-dasharray=\"1,1\""), std::string::npos);
  size_t clip = doc.find("<clipPath id=\"clip1\"><rect x=\"10\" y=\"10\" width=\"180\" height=\"80\"/>");
  size_t group = doc.find("<g clip-path=\"url(#clip1)\">");
  size_t end = doc.find("</g>");
  size_t path = doc.find("#ff0000");
  ASSERT_NE(clip, std::string::npos);
  EXPECT_LT(group, path);
  EXPECT_LT(path, end);
  EXPECT_EQ(doc.substr(doc.size() - 7), "</svg>\n");
}

TEST(SvgCanvas, TextWithFallbackFontsRotationAndEscaping) {
  SvgCanvas svg(100, 100);
  TGraphFont font;
  font.Color = clBlue;
  font.Escapement = 900;
  svg.SetFont(font);
  svg.DrawString(20, 80, "温度 <&>");
  std::string doc = svg.Svg();
  EXPECT_NE(doc.find("font-family=\"Arial, Liberation Sans, DejaVu Sans, sans-serif\""), std::string::npos);
  EXPECT_NE(doc.find("font-size=\"16\""), std::string::npos);
  EXPECT_NE(doc.find("fill=\"#0000ff\""), std::string::npos);
  EXPECT_NE(doc.find("transform=\"rotate(-90 20 80)\""), std::string::npos);
  EXPECT_NE(doc.find(">温度 &lt;&amp;&gt;</text>"), std::string::npos);
  EXPECT_EQ(svg.TextSize("温度"), (TGraphSize{32, 20}));
  EXPECT_EQ(SvgCanvas::FontFamily("IPAGothic"), "IPAGothic, sans-serif");
}

TEST(SvgCanvas, ClearBrushAndPenDrawNothingOrOutlinesOnly) {
  SvgCanvas svg(50, 50);
  svg.SetBrush({clWhite, bsClear});
  svg.FillRect({0, 0, 50, 50});
  svg.SetPen({clBlack, 1, psClear});
  svg.PolyPolyline({{{0, 0}, {10, 10}}});
  svg.SetPen({clBlack, 1, psSolid});
  svg.Rectangle({10, 10, 20, 20});
  std::string doc = svg.Svg();
  EXPECT_EQ(doc.find("<path"), std::string::npos);
  EXPECT_NE(doc.find("<rect x=\"10.5\" y=\"10.5\" width=\"9\" height=\"9\" fill=\"none\" stroke=\"#000000\""),
            std::string::npos);
  EXPECT_EQ(doc.find("width=\"50\" height=\"50\" fill"), std::string::npos);
}

}  // namespace
}  // namespace orv::xy
