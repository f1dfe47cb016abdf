#pragma once
// CP932 through glibc's iconv, for the native build (the unit tests and the command-line tools).

#include "platform/text_codec.h"

namespace orv {

class IconvCodec final : public ITextCodec {
 public:
  std::string ToCp932(std::string_view utf8) const override;
  std::string FromCp932(std::string_view bytes) const override;
};

}  // namespace orv
