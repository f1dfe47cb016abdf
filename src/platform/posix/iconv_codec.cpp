#include "platform/posix/iconv_codec.h"

#include <iconv.h>

#include <cerrno>
#include <memory>

namespace orv {

namespace {

struct IconvCloser {
  void operator()(iconv_t* cd) const {
    if (cd && *cd != reinterpret_cast<iconv_t>(-1)) iconv_close(*cd);
    delete cd;
  }
};
using IconvHandle = std::unique_ptr<iconv_t, IconvCloser>;

IconvHandle Open(const char* to, const char* from) {
  return IconvHandle(new iconv_t(iconv_open(to, from)));
}

// Length of the UTF-8 sequence at `p` (1 for a stray byte).
size_t Utf8SequenceLength(const unsigned char* p, size_t left) {
  unsigned char lead = p[0];
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
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
  IconvHandle cd = Open(to, from);
  std::string out;
  if (*cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[4096];
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    size_t r = iconv(*cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: replace one unit and go on.
    size_t skip = unitLength(reinterpret_cast<const unsigned char*>(src), srcLeft);
    if (skip > srcLeft) skip = srcLeft;
    src += skip;
    srcLeft -= skip;
    out.push_back('?');
    iconv(*cd, nullptr, nullptr, nullptr, nullptr);
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
