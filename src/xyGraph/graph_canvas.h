#pragma once
// Drawing vocabulary of the chart component: colours, pens, brushes, fonts, and the canvas
// interface the graph paints on. Three canvases implement it: the GDI canvas of the Win32 layer
// (an off-screen bitmap copied to the window in one step), the SVG canvas (headless pictures,
// saving a chart) and the recording canvas of the unit tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv::xy {

// Colours are 0x00BBGGRR, the layout of a COLORREF, so the GDI canvas passes them through.
using TColor = uint32_t;

constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
// The face colour of dialogs and panels on a default Windows desktop; a graph takes it as its
// own colour, as a control takes its parent's. The window may set the real system colour.
constexpr TColor clBtnFace = 0xF0F0F0;
// "No colour": a series that has not been given one yet.
constexpr TColor clNone = 0x1FFFFFFF;

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };
using enum TPenStyle;

struct TGraphPen {
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  friend bool operator==(const TGraphPen&, const TGraphPen&) = default;
};

enum class TBrushStyle { bsSolid, bsClear };
using enum TBrushStyle;

struct TGraphBrush {
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  friend bool operator==(const TGraphBrush&, const TGraphBrush&) = default;
};

struct TGraphFont {
  std::string Name = "Arial";
  int Size = 12;            // points; at 96 dots per inch 12 points are 16 pixels
  TColor Color = clBlack;
  bool Bold = false;
  int Escapement = 0;       // rotation, counter-clockwise, in tenths of a degree
  int PixelHeight() const { return (Size * 96 + 36) / 72; }
  friend bool operator==(const TGraphFont&, const TGraphFont&) = default;
};

struct TGraphPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TGraphPoint&, const TGraphPoint&) = default;
};

struct TGraphSize {
  int Width = 0;
  int Height = 0;
  friend bool operator==(const TGraphSize&, const TGraphSize&) = default;
};

// Right and Bottom are exclusive, as in GDI.
struct TGraphRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TGraphRect&, const TGraphRect&) = default;
};

using TPolyline = std::vector<TGraphPoint>;

// The drawing surface. Lines and outlines use the current pen; FillRect, Polygon, Ellipse and
// Rectangle fill with the current brush (nothing when it is clear); text uses the current font,
// its colour and escapement, and is drawn without background. Text positions are the top-left
// corner of the unrotated text; a rotated text turns around that point, as in GDI.
class IGraphCanvas {
 public:
  virtual ~IGraphCanvas() = default;

  virtual void SetPen(const TGraphPen& pen) = 0;
  virtual void SetBrush(const TGraphBrush& brush) = 0;
  virtual void SetFont(const TGraphFont& font) = 0;

  virtual void FillRect(const TGraphRect& rect) = 0;
  virtual void Line(int x1, int y1, int x2, int y2) = 0;
  // Every polyline of the list in one call; a polyline of fewer than two points draws nothing.
  virtual void PolyPolyline(const std::vector<TPolyline>& lines) = 0;
  virtual void Polygon(const TPolyline& points) = 0;
  virtual void Ellipse(const TGraphRect& bounds) = 0;
  virtual void Rectangle(const TGraphRect& rect) = 0;

  virtual void DrawString(int x, int y, std::string_view text) = 0;
  // Size of the unrotated text in the current font.
  virtual TGraphSize TextSize(std::string_view text) = 0;

  // Drawing outside the rectangle is suppressed until the clip is removed.
  virtual void SetClipRect(const TGraphRect& rect) = 0;
  virtual void RemoveClip() = 0;
};

// The text metric of the portable canvases (SVG and the recording canvas of the tests), so that
// layout is the same on every machine: advance widths per character class in em units —
// ASCII digits, letters and most punctuation 0.55 em, the narrow punctuation ".,:;'!|il" and
// blank 0.3 em, wide characters (CJK, kana, full-width forms) 1.0 em, other characters 0.6 em;
// the height of a line is 1.2 em. One em is the font's pixel height. The sizes are rounded up.
TGraphSize EstimateTextSize(const TGraphFont& font, std::string_view text);

}  // namespace orv::xy
