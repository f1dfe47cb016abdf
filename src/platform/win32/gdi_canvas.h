#pragma once
// The chart's canvas on GDI: an off-screen bitmap (a memory DC compatible with the window's
// DC) that the graph paints into and the window copies to the screen in one BitBlt, so a
// repaint never flickers.
//
// Fonts are the real ones. A font named "Arial" that the system does not have (Wine without the
// core fonts) falls back to the first installed of Liberation Sans (same metrics), DejaVu Sans
// and IPAGothic. A text with characters the font has no glyphs for (Japanese titles in a Latin
// font where the system links no fallback) is drawn and measured in the first Japanese font
// that has them all.

#include <map>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/win32/wide.h"
#include "platform/win32/win32_handles.h"
#include "xyGraph/graph_canvas.h"

namespace orv::win32 {

struct MemoryDcDeleter {
  void operator()(HDC dc) const {
    if (dc) DeleteDC(dc);
  }
};
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

class GdiCanvas final : public xy::IGraphCanvas {
 public:
  // A bitmap of width x height pixels compatible with `reference` (the window's DC).
  GdiCanvas(HDC reference, int width, int height);
  ~GdiCanvas() override;
  GdiCanvas(const GdiCanvas&) = delete;
  GdiCanvas& operator=(const GdiCanvas&) = delete;

  // False when the bitmap could not be made (out of GDI resources); drawing is then a no-op.
  bool Valid() const { return dc_ != nullptr && bitmap_ != nullptr; }
  HDC Dc() const { return dc_.get(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // Copies the picture to `target` with its top-left corner at (x, y).
  void CopyTo(HDC target, int x, int y) const;

  void SetPen(const xy::TGraphPen& pen) override;
  void SetBrush(const xy::TGraphBrush& brush) override;
  void SetFont(const xy::TGraphFont& font) override;
  void FillRect(const xy::TGraphRect& rect) override;
  void Line(int x1, int y1, int x2, int y2) override;
  void PolyPolyline(const std::vector<xy::TPolyline>& lines) override;
  void Polygon(const xy::TPolyline& points) override;
  void Ellipse(const xy::TGraphRect& bounds) override;
  void Rectangle(const xy::TGraphRect& rect) override;
  void DrawString(int x, int y, std::string_view text) override;
  xy::TGraphSize TextSize(std::string_view text) override;
  void SetClipRect(const xy::TGraphRect& rect) override;
  void RemoveClip() override;

 private:
  std::wstring ResolveFace(const std::string& name);
  bool FaceInstalled(const std::wstring& face);
  bool HasGlyphs(const std::wstring& text);
  // Selects a font that can show `text` for one call; the returned object reselects the font.
  HGDIOBJ SelectFontFor(const std::wstring& text);

  int width_;
  int height_;
  UniqueMemoryDc dc_;
  UniqueGdiObject bitmap_;
  UniqueGdiObject pen_;
  UniqueGdiObject brush_;  // null while the brush is clear (the stock null brush is selected)
  UniqueGdiObject font_;
  LOGFONTW logFont_{};
  UniqueGdiObject wideFont_;  // the Japanese fallback of font_, made when first needed
  bool wideFontTried_ = false;
  HGDIOBJ originalBitmap_ = nullptr;
  HGDIOBJ originalPen_ = nullptr;
  HGDIOBJ originalBrush_ = nullptr;
  HGDIOBJ originalFont_ = nullptr;
  bool brushClear_ = false;
  xy::TColor brushColor_ = xy::clWhite;
  std::map<std::string, std::wstring> faces_;  // requested font name -> installed face
};

}  // namespace orv::win32
