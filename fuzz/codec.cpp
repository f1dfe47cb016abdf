// The CP932 codec of the native build (IconvCodec), over any bytes in both directions.
//
// Input: bytes, taken as CP932 for FromCp932 and as (possibly broken) UTF-8 for ToCp932.
//
// Properties: FromCp932 gives valid UTF-8, and its text encodes back to bytes that decode to the
// same text; ToCp932 keeps every ASCII character of its input (a broken sequence becomes "?" and
// takes no valid character after it along).

#include <string>

#include "fuzz_support.h"
#include "platform/posix/iconv_codec.h"

namespace {

bool ValidUtf8(const std::string& s) {
  size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3 : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    if (n == 3) {
      const auto d = static_cast<unsigned char>(s[i + 1]);
      if ((c == 0xE0 && d < 0xA0) || (c == 0xED && d >= 0xA0)) return false;
    }
    if (n == 4) {
      const auto d = static_cast<unsigned char>(s[i + 1]);
      if ((c == 0xF0 && d < 0x90) || (c == 0xF4 && d >= 0x90)) return false;
    }
    i += n;
  }
  return true;
}

size_t AsciiCount(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += static_cast<unsigned char>(c) < 0x80;
  return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace orv;
  const std::string_view bytes = fuzz::AsText(data, size);
  const IconvCodec codec;

  const std::string text = codec.FromCp932(bytes);
  ORV_FUZZ_CHECK(ValidUtf8(text), text);
  const std::string again = codec.FromCp932(codec.ToCp932(text));
  ORV_FUZZ_CHECK(again == text, text + "\n" + again);

  const std::string encoded = codec.ToCp932(bytes);
  ORV_FUZZ_CHECK(AsciiCount(encoded) >= AsciiCount(bytes),
                 std::to_string(AsciiCount(bytes)) + " ASCII in, " + std::to_string(AsciiCount(encoded)) + " out");
  return 0;
}
