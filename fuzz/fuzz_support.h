#pragma once
// Helpers shared by the fuzz targets of this folder (each fuzz/*.cpp is one libFuzzer program).
//
// Inputs that hold several files or a file and some settings are split into parts at the byte
// 0x1E (record separator): it never occurs inside a CP932 character, so the seeds stay readable
// text and the fuzzer can still cut, join and splice parts.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace orv::fuzz {

inline constexpr char kPartSeparator = '\x1e';

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return std::string_view(reinterpret_cast<const char*>(data), size);
}

// The parts of an input, in order; an input without a separator is one part.
inline std::vector<std::string_view> SplitParts(std::string_view input) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    size_t cut = input.find(kPartSeparator, start);
    if (cut == std::string_view::npos) {
      parts.push_back(input.substr(start));
      return parts;
    }
    parts.push_back(input.substr(start, cut - start));
    start = cut + 1;
  }
}

// Reads small settings from a part byte after byte; once it is used up every read gives the
// default, so that a short input still makes a complete run.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  uint8_t Byte(uint8_t fallback = 0) { return at_ < bytes_.size() ? static_cast<uint8_t>(bytes_[at_++]) : fallback; }
  bool Bit(bool fallback = false) { return at_ < bytes_.size() ? (Byte() & 1) != 0 : fallback; }
  // A number in 0 .. limit - 1.
  unsigned Below(unsigned limit, unsigned fallback = 0) {
    return at_ < bytes_.size() ? Byte() % limit : fallback;
  }
  uint32_t Le32(uint32_t fallback = 0) {
    if (at_ >= bytes_.size()) return fallback;
    uint32_t v = 0;
    for (int k = 0; k < 4; ++k) v |= static_cast<uint32_t>(Byte()) << (8 * k);
    return v;
  }
  // The next `n` bytes (fewer at the end).
  std::string_view Bytes(size_t n) {
    std::string_view out = bytes_.substr(at_ < bytes_.size() ? at_ : bytes_.size(), n);
    at_ += out.size();
    return out;
  }
  std::string_view Rest() { return Bytes(std::string_view::npos); }
  bool Empty() const { return at_ >= bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// A property of the code under test does not hold: report it and stop, so that libFuzzer keeps
// the input as a crash.
[[noreturn]] inline void PropertyFailed(const char* what, const std::string& detail = std::string()) {
  std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.c_str());
  std::abort();
}

#define ORV_FUZZ_CHECK(condition, detail)                                  \
  do {                                                                     \
    if (!(condition)) ::orv::fuzz::PropertyFailed(#condition, (detail));   \
  } while (0)

}  // namespace orv::fuzz
