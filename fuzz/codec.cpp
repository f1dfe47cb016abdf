// The CP932 codec of the native build (IconvCodec), over any bytes in both directions.
//
// Input: bytes, taken as CP932 for FromCp932 and as (possibly broken) UTF-8 for ToCp932.
//
// Properties: FromCp932 gives valid UTF-8, and its text encodes back to bytes that decode to the
// same text; ToCp932 keeps every ASCII character of its input (a broken sequence becomes "?" and
// takes no valid character after it along).

#include "fuzz_support.h"

ORV_FUZZ_TARGET(bytes) {
  const IconvCodec codec;
  const std::string text = codec.FromCp932(bytes);
  ORV_FUZZ_CHECK(ValidUtf8(text), text);
  const std::string again = codec.FromCp932(codec.ToCp932(text));
  ORV_FUZZ_CHECK(again == text, text, "\n", again);

  auto ascii = [](std::string_view s) {
    return std::count_if(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  };
  const std::string encoded = codec.ToCp932(bytes);
  ORV_FUZZ_CHECK(ascii(encoded) >= ascii(bytes), ascii(bytes), " ASCII in, ", ascii(encoded), " out");
}
