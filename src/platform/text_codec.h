#pragma once
// The one text encoding of every file the program reads or writes: CP932 (Shift-JIS), whatever
// the PC's own code page, so that files from PCs of every locale merge.

#include <string>
#include <string_view>

namespace orv {

class ITextCodec {
 public:
  virtual ~ITextCodec() = default;
  // UTF-8 to CP932 bytes. A character CP932 cannot hold becomes "?"; never fails.
  virtual std::string ToCp932(std::string_view utf8) const = 0;
  // CP932 bytes to UTF-8. An invalid or unmapped byte sequence becomes "?"; never fails.
  virtual std::string FromCp932(std::string_view bytes) const = 0;
};

}  // namespace orv
