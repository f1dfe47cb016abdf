#include "xyGraph/svg_canvas.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>

namespace orv::xy {

namespace {

std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}

// Lines of odd width are centred on the middle of their pixels, as GDI draws them.
double PenOffset(const TGraphPen& pen) { return pen.Width % 2 ? 0.5 : 0.0; }

}  // namespace

std::string SvgColor(TColor color) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02x%02x%02x", RedOf(color), GreenOf(color), BlueOf(color));
  return buf;
}

SvgCanvas::SvgCanvas(int width, int height) : width_(width), height_(height) {}

std::string SvgCanvas::FontFamily(const std::string& name) {
  if (name == "Arial") return "Arial, Liberation Sans, DejaVu Sans, sans-serif";
  return name + ", sans-serif";
}

std::string SvgCanvas::StrokeAttributes() const {
  if (pen_.Style == psClear) return " stroke=\"none\"";
  std::string s = " stroke=\"" + SvgColor(pen_.Color) + "\" stroke-width=\"" + std::to_string(std::max(1, pen_.Width)) + "\"";
  int w = std::max(1, pen_.Width);
  auto dash = [w](std::initializer_list<int> parts) {
    std::string d;
    for (int p : parts) d += (d.empty() ? "" : ",") + std::to_string(p * w);
    return " stroke-dasharray=\"" + d + "\"";
  };
  switch (pen_.Style) {
    case psDash: s += dash({6, 2}); break;
    case psDot: s += dash({1, 1}); break;
    case psDashDot: s += dash({6, 2, 1, 2}); break;
    case psDashDotDot: s += dash({6, 2, 1, 2, 1, 2}); break;
    default: break;
  }
  return s;
}

std::string SvgCanvas::FillAttribute() const {
  return brush_.Style == bsClear ? " fill=\"none\"" : " fill=\"" + SvgColor(brush_.Color) + "\"";
}

std::string SvgCanvas::Points(const TPolyline& points) const {
  double o = PenOffset(pen_);
  std::string s;
  for (const TGraphPoint& p : points) {
    if (!s.empty()) s += ' ';
    s += Num(p.X + o) + "," + Num(p.Y + o);
  }
  return s;
}

void SvgCanvas::FillRect(const TGraphRect& r) {
  if (brush_.Style == bsClear || r.Width() <= 0 || r.Height() <= 0) return;
  body_ += "<rect x=\"" + Num(r.Left) + "\" y=\"" + Num(r.Top) + "\" width=\"" + Num(r.Width()) + "\" height=\"" +
           Num(r.Height()) + "\" fill=\"" + SvgColor(brush_.Color) + "\"/>\n";
}

void SvgCanvas::Line(int x1, int y1, int x2, int y2) { PolyPolyline({{{x1, y1}, {x2, y2}}}); }

void SvgCanvas::PolyPolyline(const std::vector<TPolyline>& lines) {
  if (pen_.Style == psClear) return;
  std::string d;
  double o = PenOffset(pen_);
  for (const TPolyline& line : lines) {
    if (line.size() < 2) continue;
    for (size_t i = 0; i < line.size(); ++i)
      d += (i ? " L" : (d.empty() ? "M" : " M")) + Num(line[i].X + o) + "," + Num(line[i].Y + o);
  }
  if (d.empty()) return;
  body_ += "<path d=\"" + d + "\" fill=\"none\"" + StrokeAttributes() +
           " stroke-linejoin=\"round\" stroke-linecap=\"butt\"/>\n";
}

void SvgCanvas::Polygon(const TPolyline& points) {
  if (points.size() < 2) return;
  body_ += "<polygon points=\"" + Points(points) + "\"" + FillAttribute() + StrokeAttributes() + "/>\n";
}

void SvgCanvas::Ellipse(const TGraphRect& r) {
  double rx = (r.Width() - 1) / 2.0, ry = (r.Height() - 1) / 2.0;
  if (rx <= 0 || ry <= 0) return;
  body_ += "<ellipse cx=\"" + Num(r.Left + 0.5 + rx) + "\" cy=\"" + Num(r.Top + 0.5 + ry) + "\" rx=\"" + Num(rx) +
           "\" ry=\"" + Num(ry) + "\"" + FillAttribute() + StrokeAttributes() + "/>\n";
}

void SvgCanvas::Rectangle(const TGraphRect& r) {
  if (r.Width() <= 1 || r.Height() <= 1) return;
  body_ += "<rect x=\"" + Num(r.Left + 0.5) + "\" y=\"" + Num(r.Top + 0.5) + "\" width=\"" + Num(r.Width() - 1) +
           "\" height=\"" + Num(r.Height() - 1) + "\"" + FillAttribute() + StrokeAttributes() + "/>\n";
}

void SvgCanvas::DrawString(int x, int y, std::string_view text) {
  if (text.empty()) return;
  int px = font_.PixelHeight();
  // GDI places the top of the text cell at y; the baseline lies 0.95 em below it in the
  // metric's 1.2 em line.
  std::string e = "<text x=\"" + Num(x) + "\" y=\"" + Num(y + 0.95 * px) + "\" font-family=\"" +
                  FontFamily(font_.Name) + "\" font-size=\"" + std::to_string(px) + "\" fill=\"" +
                  SvgColor(font_.Color) + "\"";
  if (font_.Bold) e += " font-weight=\"bold\"";
  if (font_.Escapement % 3600 != 0)
    e += " transform=\"rotate(" + Num(-font_.Escapement / 10.0) + " " + Num(x) + " " + Num(y) + ")\"";
  body_ += e + " xml:space=\"preserve\">" + Escape(text) + "</text>\n";
}

void SvgCanvas::SetClipRect(const TGraphRect& r) {
  RemoveClip();
  std::string id = "clip" + std::to_string(++clipCount_);
  body_ += "<clipPath id=\"" + id + "\"><rect x=\"" + Num(r.Left) + "\" y=\"" + Num(r.Top) + "\" width=\"" +
           Num(std::max(0, r.Width())) + "\" height=\"" + Num(std::max(0, r.Height())) + "\"/></clipPath>\n";
  body_ += "<g clip-path=\"url(#" + id + ")\">\n";
  clipped_ = true;
}

void SvgCanvas::RemoveClip() {
  if (!clipped_) return;
  body_ += "</g>\n";
  clipped_ = false;
}

std::string SvgCanvas::Svg() const {
  std::string doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(width_) + "\" height=\"" + std::to_string(height_) + "\" viewBox=\"0 0 " +
                    std::to_string(width_) + " " + std::to_string(height_) + "\">\n";
  doc += body_;
  if (clipped_) doc += "</g>\n";
  return doc + "</svg>\n";
}

}  // namespace orv::xy
