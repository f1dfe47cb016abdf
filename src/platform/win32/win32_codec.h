#pragma once
// CP932 (Shift-JIS) through the system's code page 932 tables, whatever the PC's ANSI code page.
// Behaves like the native iconv codec: one "?" per character or byte sequence that cannot be
// converted.

#include "platform/text_codec.h"

namespace orv {

class Win32Codec final : public ITextCodec {
 public:
  std::string ToCp932(std::string_view utf8) const override;
  std::string FromCp932(std::string_view bytes) const override;
};

}  // namespace orv
