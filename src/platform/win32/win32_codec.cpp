#include "platform/win32/win32_codec.h"

#include <vector>

#include "platform/win32/wide.h"

namespace orv {

namespace {

constexpr UINT kCp932 = 932;

// Characters whose JIS form CP932 holds under another code point ("〜" WAVE DASH is CP932's
// "～" FULLWIDTH TILDE, and so on). Text from JIS-minded sources uses the first form; the native
// converter writes them as CP932's character, and so does this one, so that a file is the same
// whichever build wrote it.
wchar_t Cp932Form(wchar_t c) {
  switch (c) {
    case 0x00A2: return 0xFFE0;  // ¢ -> ￠
    case 0x00A3: return 0xFFE1;  // £ -> ￡
    case 0x00A5: return 0x005C;  // ¥ -> the yen sign of JIS-Roman, byte 5C
    case 0x00AC: return 0xFFE2;  // ¬ -> ￢
    case 0x2014: return 0x2015;  // EM DASH -> HORIZONTAL BAR
    case 0x2016: return 0x2225;  // DOUBLE VERTICAL LINE -> PARALLEL TO
    case 0x203E: return 0x007E;  // OVERLINE -> the overline of JIS-Roman, byte 7E
    case 0x2212: return 0xFF0D;  // MINUS SIGN -> FULLWIDTH HYPHEN-MINUS
    case 0x301C:
      return 0xFF5E;  // WAVE DASH -> FULLWIDTH TILDE
    // The system's table also pairs the single bytes 80, A0, FD, FE and FF with these characters;
    // they are no Shift-JIS characters, and the native converter does not know them.
    case 0x0080:
    case 0xF8F0:
    case 0xF8F1:
    case 0xF8F2:
    case 0xF8F3: return L'?';
    default: return c;
  }
}

// Length the lead byte of a UTF-8 sequence announces; 1 for a byte that cannot start one.
size_t AnnouncedLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

// UTF-8 to the UTF-16 text handed to the CP932 table. Characters outside the BMP (CP932 holds
// none) become one "?" each. A malformed sequence becomes one "?", and the bytes its lead byte
// announces are skipped with it, as the native converter does.
std::wstring PrepareForCp932(std::string_view utf8) {
  std::wstring wide;
  wide.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      wide.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    size_t length = AnnouncedLength(lead);
    bool valid = length > 1 && i + length <= utf8.size();
    uint32_t cp = length == 2 ? (lead & 0x1Fu) : length == 3 ? (lead & 0x0Fu) : (lead & 0x07u);
    for (size_t k = 1; valid && k < length; ++k) {
      auto b = static_cast<unsigned char>(utf8[i + k]);
      valid = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3Fu);
    }
    // No overlong forms, no surrogates, nothing above U+10FFFF.
    if (valid) {
      valid = (length == 3 && cp >= 0x800 && (cp < 0xD800 || cp > 0xDFFF)) ||
              (length == 4 && cp >= 0x10000 && cp <= 0x10FFFF) || length == 2;
    }
    if (!valid) {
      wide.push_back(L'?');
      i += length < utf8.size() - i ? length : utf8.size() - i;
      continue;
    }
    wide.push_back(cp > 0xFFFF ? L'?' : Cp932Form(static_cast<wchar_t>(cp)));
    i += length;
  }
  return wide;
}

bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Start offsets of the CP932 sequences of `bytes` (and bytes.size() at the end): a lead byte with
// a proper trail byte is one sequence, every other byte is one on its own.
std::vector<size_t> SequenceStarts(std::string_view bytes) {
  std::vector<size_t> starts;
  starts.reserve(bytes.size() + 1);
  size_t i = 0;
  while (i < bytes.size()) {
    starts.push_back(i);
    auto lead = static_cast<unsigned char>(bytes[i]);
    bool pair =
        IsLeadByte(lead) && i + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]));
    i += pair ? 2 : 1;
  }
  starts.push_back(bytes.size());
  return starts;
}

// Strict conversion of `bytes`, appended to `out`; false (and `out` unchanged) when any sequence
// in it is invalid or unmapped.
bool TryDecode(std::string_view bytes, std::wstring& out) {
  if (bytes.empty()) return true;
  int n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                              nullptr, 0);
  if (n <= 0) return false;
  size_t at = out.size();
  out.resize(at + static_cast<size_t>(n));
  n = MultiByteToWideChar(kCp932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                          out.data() + at, n);
  if (n <= 0) {
    out.resize(at);
    return false;
  }
  out.resize(at + static_cast<size_t>(n));
  return true;
}

// Decodes the sequences [first, last) of `bytes`. A range that does not convert as a whole is
// halved at a sequence boundary until the bad sequences stand alone; each becomes one "?". A
// text with a few bad bytes thus costs a few calls per bad sequence, not one call per character.
void DecodeRange(std::string_view bytes, const std::vector<size_t>& starts, size_t first, size_t last,
                 std::wstring& out) {
  std::string_view part = bytes.substr(starts[first], starts[last] - starts[first]);
  if (TryDecode(part, out)) return;
  if (last - first == 1) {
    out.push_back(L'?');
    return;
  }
  size_t middle = first + (last - first) / 2;
  DecodeRange(bytes, starts, first, middle, out);
  DecodeRange(bytes, starts, middle, last, out);
}

}  // namespace

std::string Win32Codec::ToCp932(std::string_view utf8) const {
  std::wstring wide = PrepareForCp932(utf8);
  if (wide.empty()) return {};
  // No best-fit look-alikes ("A" for "Å"): what CP932 does not hold becomes "?".
  int n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                              nullptr, 0, "?", nullptr);
  if (n <= 0) return std::string(wide.size(), '?');
  std::string out(static_cast<size_t>(n), '\0');
  n = WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          out.data(), n, "?", nullptr);
  out.resize(static_cast<size_t>(n > 0 ? n : 0));
  return out;
}

std::string Win32Codec::FromCp932(std::string_view bytes) const {
  std::wstring wide;
  if (!TryDecode(bytes, wide)) {
    wide.clear();
    std::vector<size_t> starts = SequenceStarts(bytes);
    DecodeRange(bytes, starts, 0, starts.size() - 1, wide);
  }
  // The single bytes 80, A0, FD, FE and FF, which the system's table maps to U+0080 and to
  // private-use characters, are no Shift-JIS characters (see Cp932Form).
  for (wchar_t& c : wide)
    if (c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3)) c = L'?';
  return win32::Narrow(wide);
}

}  // namespace orv
