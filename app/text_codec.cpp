// Shift-JIS <-> UTF-8 through iconv (glibc knows "CP932"). The Windows build
// converts with the system's tables instead (win32/text_codec_win32.cpp).
#ifndef _WIN32
#include "app/text_codec.h"

#include <iconv.h>

#include <cerrno>

namespace {

// Converts `in` from one encoding to another, one "?" for each character that
// cannot be read or written; `skip` tells how many input bytes such a character
// takes, so the rest is still converted.
template <typename SkipFn>
std::string Convert(const char* to, const char* from, std::string_view in, SkipFn skip) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char buf[1024];
  char* src = const_cast<char*>(in.data());
  std::size_t srcLeft = in.size();
  while (srcLeft > 0) {
    char* dst = buf;
    std::size_t dstLeft = sizeof buf;
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buf, static_cast<std::size_t>(dst - buf));
    if (r != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ (a byte sequence or a character the other side lacks) or EINVAL (cut short).
    const std::size_t n = skip(std::string_view(src, srcLeft));
    out += '?';
    src += n;
    srcLeft -= n;
  }
  iconv_close(cd);
  return out;
}

// Length of the Shift-JIS character at the start: a lead byte takes its trail byte.
std::size_t SjisCharLength(std::string_view s) {
  const auto b = static_cast<unsigned char>(s[0]);
  const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
  return lead && s.size() >= 2 ? 2 : 1;
}

// Length of the UTF-8 character at the start, 1 for a stray byte.
std::size_t Utf8CharLength(std::string_view s) {
  const auto b = static_cast<unsigned char>(s[0]);
  std::size_t n = 1;
  if (b >= 0xF0 && b <= 0xF4) {
    n = 4;
  } else if (b >= 0xE0) {
    n = 3;
  } else if (b >= 0xC2 && b <= 0xDF) {
    n = 2;
  }
  if (n > s.size()) return 1;
  for (std::size_t i = 1; i < n; ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) return 1;
  }
  return n;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) { return Convert("UTF-8", "CP932", sjis, SjisCharLength); }

std::string Utf8ToSjis(std::string_view utf8) { return Convert("CP932", "UTF-8", utf8, Utf8CharLength); }
#endif
