#include "platform/posix/iconv_codec.h"

#include <iconv.h>

#include <cerrno>

namespace orv {

namespace {

// One conversion descriptor, closed when it goes.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence at `p` that iconv rejected: the lead byte with the continuation
// bytes that follow it, up to the length the lead byte announces. A broken sequence ends at the
// first byte that cannot continue it, so the character after it is kept (as the Windows
// converter keeps it): "\xE3A," must not lose "A,".
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  unsigned char lead = p[0];
  size_t expected = 1;
  if (lead >= 0xF0 && lead <= 0xF4)
    expected = 4;
  else if (lead >= 0xE0 && lead <= 0xEF)
    expected = 3;
  else if (lead >= 0xC2 && lead <= 0xDF)
    expected = 2;
  size_t length = 1;
  while (length < expected && length < left && (p[length] & 0xC0) == 0x80) ++length;
  return length;
}

// Length of the CP932 sequence at `p`: two bytes for a lead byte followed by a trail byte, else
// one (a lead byte without a proper trail byte is replaced alone, keeping what follows it).
size_t Cp932SequenceLength(const unsigned char* p, size_t left) {
  unsigned char lead = p[0];
  bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (!isLead || left < 2) return 1;
  unsigned char trail = p[1];
  return (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) ? 2 : 1;
}

// Converts as much as it can; a sequence iconv rejects becomes "?" and conversion goes on after it.
std::string Convert(const char* to, const char* from, std::string_view in, size_t (*unitLength)(const unsigned char*, size_t)) {
  Iconv cd(to, from);
  std::string out;
  if (!cd.ok()) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(cd.get(), &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: replace one unit and go on.
    size_t skip = unitLength(reinterpret_cast<const unsigned char*>(src), srcLeft);
    if (skip > srcLeft) skip = srcLeft;
    src += skip;
    srcLeft -= skip;
    out.push_back('?');
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

std::string IconvCodec::ToCp932(std::string_view utf8) const {
  return Convert("CP932", "UTF-8", utf8, Utf8SequenceLength);
}

std::string IconvCodec::FromCp932(std::string_view bytes) const {
  return Convert("UTF-8", "CP932", bytes, Cp932SequenceLength);
}

}  // namespace orv
