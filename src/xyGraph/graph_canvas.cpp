#include "xyGraph/graph_canvas.h"

#include <cmath>
#include <string_view>

namespace orv::xy {

namespace {

// Next code point of UTF-8 text; a malformed byte counts as one character of its own.
char32_t NextCodePoint(std::string_view s, size_t& i) {
  unsigned char c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) {
    ++i;
    return c;
  }
  int extra = (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
  if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = c & (0x7F >> (extra + 1));
  for (int k = 1; k <= extra; ++k) {
    unsigned char cc = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
    if ((cc & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (cc & 0x3F);
  }
  i += static_cast<size_t>(extra) + 1;
  return cp;
}

bool IsWide(char32_t cp) {
  return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
         (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
         (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD) ||
         cp == 0x2103;  // the degree-Celsius sign is drawn full width by Japanese fonts
}

double Advance(char32_t cp) {
  if (cp == U' ' || std::u32string_view(U".,:;'!|il").find(cp) != std::u32string_view::npos) return 0.3;
  if (cp >= 0x21 && cp < 0x7F) return 0.55;
  if (IsWide(cp)) return 1.0;
  if (cp >= 0xFF61 && cp <= 0xFF9F) return 0.55;  // half-width katakana
  return 0.6;
}

}  // namespace

TGraphSize EstimateTextSize(const TGraphFont& font, std::string_view text) {
  double em = font.PixelHeight();
  double width = 0;
  for (size_t i = 0; i < text.size();) width += Advance(NextCodePoint(text, i));
  return {static_cast<int>(std::ceil(width * em - 1e-9)), static_cast<int>(std::ceil(1.2 * em - 1e-9))};
}

}  // namespace orv::xy
