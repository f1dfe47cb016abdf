#pragma once
// Helpers shared by the fuzz targets of this folder (each fuzz/*.cpp is one libFuzzer program), and
// the text functions and the native codec that most of them use.
//
// Inputs that hold several files or a file and some settings are split into parts at the byte
// 0x1E (record separator): it never occurs inside a CP932 character, so the seeds stay readable
// text and the fuzzer can still cut, join and splice parts.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/fake_files.h"
#include "platform/posix/iconv_codec.h"
#include "util/text.h"

namespace orv::fuzz {

inline constexpr char kPartSeparator = '\x1e';

// The parts of an input, in order; an input without a separator is one part, and a part past
// the last one reads as empty.
class Parts {
 public:
  explicit Parts(std::string_view input) {
    for (size_t start = 0, cut = 0; cut != std::string_view::npos; start = cut + 1) {
      cut = input.find(kPartSeparator, start);
      parts_.push_back(input.substr(start, cut == std::string_view::npos ? cut : cut - start));
    }
  }
  std::string_view operator[](size_t i) const { return i < parts_.size() ? parts_[i] : std::string_view(); }
  std::string Text(size_t i) const { return std::string((*this)[i]); }
  size_t size() const { return parts_.size(); }
  auto begin() const { return parts_.begin(); }
  auto end() const { return parts_.end(); }

 private:
  std::vector<std::string_view> parts_;
};

// Reads small settings from a part byte after byte; once it is used up every read gives the
// default (0 unless given), so that a short input still makes a complete run.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  uint8_t Byte(uint8_t fallback = 0) { return Empty() ? fallback : static_cast<uint8_t>(bytes_[at_++]); }
  bool Bit() { return Byte() & 1; }
  // A number in 0 .. limit - 1.
  unsigned Below(unsigned limit, unsigned fallback = 0) { return Empty() ? fallback : Byte() % limit; }
  uint32_t Le32() {
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(Byte()) << (8 * k);
    return v;
  }
  uint64_t Le64() { return Le32() | static_cast<uint64_t>(Le32()) << 32; }
  // Eight bytes as the bits of a double: any value, NaNs and infinities too.
  double Double() {
    const uint64_t bits = Le64();
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }
  // The next `n` bytes (fewer at the end).
  std::string_view Bytes(size_t n) {
    const std::string_view out = bytes_.substr(std::min(at_, bytes_.size()), n);
    at_ += out.size();
    return out;
  }
  std::string_view Rest() { return Bytes(std::string_view::npos); }
  bool Empty() const { return at_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
inline bool ValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const size_t n = c < 0x80                   ? 1
                     : (c >= 0xC2 && c <= 0xDF) ? 2
                     : (c >= 0xE0 && c <= 0xEF) ? 3
                     : c >= 0xF0 && c <= 0xF4   ? 4
                                                : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    const auto d = n > 1 ? static_cast<unsigned char>(s[i + 1]) : 0;
    if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0) || (c == 0xF0 && d < 0x90) ||
        (c == 0xF4 && d >= 0x90))
      return false;
    i += n;
  }
  return true;
}

// The number of times `what` occurs in `text`, none overlapping.
inline long Occurrences(std::string_view text, std::string_view what) {
  long n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

// The lines of a text whose every line ends with CR LF; -1 when a CR or LF stands anywhere else
// or the last line has no end.
inline long CrLfLines(std::string_view bytes) {
  const long pairs = Occurrences(bytes, "\r\n");
  const bool whole = pairs == Occurrences(bytes, "\r") && pairs == Occurrences(bytes, "\n") &&
                     (bytes.empty() || bytes.ends_with("\r\n"));
  return whole ? pairs : -1;
}

// Files of a fake folder from the parts of an input, each the file's name, a LF, then its bytes.
// Separators, drive colons, CR and NUL are taken out of the name; a part left without a name is
// skipped. `place` gets the cleaned name and may change it; it returns the folder of the file.
template <typename Place>
void PutFiles(test::FakeFiles& files, const Parts& parts, Place&& place) {
  for (std::string_view part : parts) {
    const size_t lf = part.find('\n');
    std::string name(part.substr(0, lf));
    const std::string folder = place(name);
    std::erase_if(name, [](char c) { return c == '\\' || c == '/' || c == ':' || c == '\r' || c == '\0'; });
    if (!name.empty())
      files.Put(folder + "\\" + name, std::string(part.substr(std::min(lf, part.size() - 1) + 1)));
  }
}

// A property of the code under test does not hold: report it with the values that tell why, and
// stop, so that libFuzzer keeps the input as a crash.
template <typename... Detail>
[[noreturn]] void PropertyFailed(const char* what, const Detail&... detail) {
  std::ostringstream out;
  (out << ... << detail);
  std::cerr << "property failed: " << what << "\n" << out.str() << "\n";
  std::abort();
}

}  // namespace orv::fuzz

// ORV_FUZZ_CHECK(condition, detail...): the detail values are printed one after the other.
#define ORV_FUZZ_CHECK(condition, ...)                                      \
  do {                                                                      \
    if (!(condition)) ::orv::fuzz::PropertyFailed(#condition, __VA_ARGS__); \
  } while (0)

// The entry point: `ORV_FUZZ_TARGET(input) { ... }` runs its body, in namespace orv, on each input
// as a string_view; a `return;` ends the run.
#define ORV_FUZZ_TARGET(input)                                                        \
  namespace orv::fuzz {                                                               \
  void RunOne(std::string_view input);                                                \
  }                                                                                   \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {           \
    ::orv::fuzz::RunOne(std::string_view(reinterpret_cast<const char*>(data), size)); \
    return 0;                                                                         \
  }                                                                                   \
  void ::orv::fuzz::RunOne(std::string_view input)
