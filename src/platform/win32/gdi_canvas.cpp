#include "platform/win32/gdi_canvas.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace orv::win32 {

namespace {

COLORREF ToColorRef(xy::TColor color) { return static_cast<COLORREF>(color & 0x00FFFFFF); }

int PenStyle(xy::TPenStyle style) {
  switch (style) {
    case xy::psDash: return PS_DASH;
    case xy::psDot: return PS_DOT;
    case xy::psDashDot: return PS_DASHDOT;
    case xy::psDashDotDot: return PS_DASHDOTDOT;
    case xy::psClear: return PS_NULL;
    default: return PS_SOLID;
  }
}

std::vector<POINT> ToPoints(const xy::TPolyline& line) {
  std::vector<POINT> points;
  points.reserve(line.size());
  for (const xy::TGraphPoint& p : line) points.push_back(POINT{p.X, p.Y});
  return points;
}

}  // namespace

GdiCanvas::GdiCanvas(HDC reference, int width, int height)
    : width_(std::max(1, width)), height_(std::max(1, height)) {
  dc_.reset(CreateCompatibleDC(reference));
  if (!dc_) return;
  bitmap_.reset(CreateCompatibleBitmap(reference, width_, height_));
  if (!bitmap_) return;
  originalBitmap_ = SelectObject(dc_.get(), bitmap_.get());
  originalPen_ = GetCurrentObject(dc_.get(), OBJ_PEN);
  originalBrush_ = GetCurrentObject(dc_.get(), OBJ_BRUSH);
  originalFont_ = GetCurrentObject(dc_.get(), OBJ_FONT);
  SetBkMode(dc_.get(), TRANSPARENT);
  SetTextAlign(dc_.get(), TA_LEFT | TA_TOP | TA_NOUPDATECP);
}

GdiCanvas::~GdiCanvas() {
  if (!dc_) return;
  // Our objects are deselected before their owners delete them.
  SelectClipRgn(dc_.get(), nullptr);
  if (originalPen_) SelectObject(dc_.get(), originalPen_);
  if (originalBrush_) SelectObject(dc_.get(), originalBrush_);
  if (originalFont_) SelectObject(dc_.get(), originalFont_);
  if (originalBitmap_) SelectObject(dc_.get(), originalBitmap_);
}

void GdiCanvas::CopyTo(HDC target, int x, int y) const {
  if (Valid()) BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

void GdiCanvas::SetPen(const xy::TGraphPen& pen) {
  if (!Valid()) return;
  UniqueGdiObject created(CreatePen(PenStyle(pen.Style), std::max(1, pen.Width), ToColorRef(pen.Color)));
  if (!created) return;
  SelectObject(dc_.get(), created.get());
  pen_ = std::move(created);  // the previous pen, now deselected, is deleted here
}

void GdiCanvas::SetBrush(const xy::TGraphBrush& brush) {
  if (!Valid()) return;
  brushClear_ = brush.Style == xy::bsClear;
  brushColor_ = brush.Color;
  if (brushClear_) {
    SelectObject(dc_.get(), GetStockObject(NULL_BRUSH));
    brush_.reset();
    return;
  }
  UniqueGdiObject created(CreateSolidBrush(ToColorRef(brush.Color)));
  if (!created) return;
  SelectObject(dc_.get(), created.get());
  brush_ = std::move(created);
}

bool GdiCanvas::FaceInstalled(const std::wstring& face) {
  LOGFONTW lf{};
  lf.lfHeight = -16;
  lf.lfCharSet = DEFAULT_CHARSET;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  UniqueGdiObject font(CreateFontIndirectW(&lf));
  if (!font) return false;
  HGDIOBJ old = SelectObject(dc_.get(), font.get());
  wchar_t got[LF_FACESIZE] = {};
  GetTextFaceW(dc_.get(), LF_FACESIZE, got);
  SelectObject(dc_.get(), old);
  return _wcsicmp(got, face.c_str()) == 0;
}

std::wstring GdiCanvas::ResolveFace(const std::string& name) {
  auto known = faces_.find(name);
  if (known != faces_.end()) return known->second;
  std::wstring face = Widen(name);
  if (name == "Arial" && !FaceInstalled(face)) {
    for (const wchar_t* fallback : {L"Liberation Sans", L"DejaVu Sans", L"IPAGothic"}) {
      if (FaceInstalled(fallback)) {
        face = fallback;
        break;
      }
    }
  }
  faces_[name] = face;
  return face;
}

void GdiCanvas::SetFont(const xy::TGraphFont& font) {
  if (!Valid()) return;
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(font.Size, GetDeviceCaps(dc_.get(), LOGPIXELSY), 72);
  lf.lfEscapement = font.Escapement;
  lf.lfOrientation = font.Escapement;
  lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_TT_PRECIS;  // a TrueType face, so that rotated text turns
  lf.lfQuality = ANTIALIASED_QUALITY;
  std::wstring face = ResolveFace(font.Name);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  UniqueGdiObject created(CreateFontIndirectW(&lf));
  if (!created) return;
  SelectObject(dc_.get(), created.get());
  font_ = std::move(created);
  logFont_ = lf;
  wideFont_.reset();
  wideFontTried_ = false;
  SetTextColor(dc_.get(), ToColorRef(font.Color));
}

bool GdiCanvas::HasGlyphs(const std::wstring& text) {
  std::vector<WORD> glyphs(text.size());
  if (GetGlyphIndicesW(dc_.get(), text.c_str(), static_cast<int>(text.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
    return true;  // cannot tell: keep the font
  return std::none_of(glyphs.begin(), glyphs.end(), [](WORD g) { return g == 0xFFFF; });
}

HGDIOBJ GdiCanvas::SelectFontFor(const std::wstring& text) {
  if (!font_ || text.empty()) return nullptr;
  bool ascii = std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
  if (ascii || HasGlyphs(text)) return nullptr;
  if (!wideFontTried_) {
    wideFontTried_ = true;
    HGDIOBJ current = GetCurrentObject(dc_.get(), OBJ_FONT);
    for (const wchar_t* face : {L"Meiryo UI", L"MS UI Gothic", L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF",
                                L"IPAPGothic", L"IPAGothic"}) {
      LOGFONTW lf = logFont_;
      wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
      UniqueGdiObject candidate(CreateFontIndirectW(&lf));
      if (!candidate) continue;
      SelectObject(dc_.get(), candidate.get());
      bool fits = HasGlyphs(text);
      SelectObject(dc_.get(), current);
      if (fits) {
        wideFont_ = std::move(candidate);
        break;
      }
    }
  }
  if (!wideFont_) return nullptr;
  return SelectObject(dc_.get(), wideFont_.get());
}

void GdiCanvas::FillRect(const xy::TGraphRect& r) {
  if (!Valid() || brushClear_) return;
  RECT rect{r.Left, r.Top, r.Right, r.Bottom};
  ::FillRect(dc_.get(), &rect, static_cast<HBRUSH>(brush_.get()));
}

void GdiCanvas::Line(int x1, int y1, int x2, int y2) {
  if (!Valid()) return;
  MoveToEx(dc_.get(), x1, y1, nullptr);
  LineTo(dc_.get(), x2, y2);
}

void GdiCanvas::PolyPolyline(const std::vector<xy::TPolyline>& lines) {
  if (!Valid()) return;
  std::vector<POINT> points;
  std::vector<DWORD> counts;
  for (const xy::TPolyline& line : lines) {
    if (line.size() < 2) continue;
    for (const xy::TGraphPoint& p : line) points.push_back(POINT{p.X, p.Y});
    counts.push_back(static_cast<DWORD>(line.size()));
  }
  if (!counts.empty()) ::PolyPolyline(dc_.get(), points.data(), counts.data(), static_cast<DWORD>(counts.size()));
}

void GdiCanvas::Polygon(const xy::TPolyline& line) {
  if (!Valid() || line.size() < 2) return;
  std::vector<POINT> points = ToPoints(line);
  ::Polygon(dc_.get(), points.data(), static_cast<int>(points.size()));
}

void GdiCanvas::Ellipse(const xy::TGraphRect& r) {
  if (Valid()) ::Ellipse(dc_.get(), r.Left, r.Top, r.Right, r.Bottom);
}

void GdiCanvas::Rectangle(const xy::TGraphRect& r) {
  if (Valid()) ::Rectangle(dc_.get(), r.Left, r.Top, r.Right, r.Bottom);
}

void GdiCanvas::DrawString(int x, int y, std::string_view text) {
  if (!Valid() || text.empty()) return;
  std::wstring wide = Widen(text);
  HGDIOBJ previous = SelectFontFor(wide);
  TextOutW(dc_.get(), x, y, wide.c_str(), static_cast<int>(wide.size()));
  if (previous) SelectObject(dc_.get(), previous);
}

xy::TGraphSize GdiCanvas::TextSize(std::string_view text) {
  if (!Valid()) return {};
  std::wstring wide = Widen(text);
  SIZE size{};
  HGDIOBJ previous = SelectFontFor(wide);
  BOOL measured = GetTextExtentPoint32W(dc_.get(), wide.c_str(), static_cast<int>(wide.size()), &size);
  if (previous) SelectObject(dc_.get(), previous);
  if (!measured) return {};
  if (wide.empty()) size.cx = 0;
  return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void GdiCanvas::SetClipRect(const xy::TGraphRect& r) {
  if (!Valid()) return;
  UniqueGdiObject region(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
  if (region) SelectClipRgn(dc_.get(), static_cast<HRGN>(region.get()));  // the DC keeps a copy
}

void GdiCanvas::RemoveClip() {
  if (Valid()) SelectClipRgn(dc_.get(), nullptr);
}

}  // namespace orv::win32
