// Shift-JIS <-> UTF-8 for the batch command, through UTF-16 with the system's
// code page 932 tables, as the window converts its texts.
#include <windows.h>

#include <climits>

#include "app/text_codec.h"

namespace {

constexpr UINT kSjis = 932;

// The converters count in int; longer texts are cut rather than overflowed.
int ClampLength(std::size_t n) { return n > static_cast<std::size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(n); }

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int inLen = ClampLength(text.size());
  const int outLen = MultiByteToWideChar(codePage, 0, text.data(), inLen, nullptr, 0);
  if (outLen <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(outLen), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), inLen, wide.data(), outLen);
  return wide;
}

std::string FromWide(UINT codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int inLen = ClampLength(wide.size());
  // Code page 932 puts "?" for what it lacks; UTF-8 takes every character.
  const int outLen = WideCharToMultiByte(codePage, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (outLen <= 0) return {};
  std::string out(static_cast<std::size_t>(outLen), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), inLen, out.data(), outLen, nullptr, nullptr);
  return out;
}

}  // namespace

std::string SjisToUtf8(std::string_view sjis) { return FromWide(CP_UTF8, ToWide(kSjis, sjis)); }

std::string Utf8ToSjis(std::string_view utf8) { return FromWide(kSjis, ToWide(CP_UTF8, utf8)); }
