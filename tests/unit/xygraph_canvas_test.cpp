// The fixed text metric of the portable canvases (the sample pictures show the SVG output).

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

}  // namespace
}  // namespace orv::xy
