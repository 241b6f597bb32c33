// Shift-JIS <-> UTF-16 through the system's code page 932 tables.
#include "app/win32/cp932.h"

#include <windows.h>

#include <climits>

namespace {
constexpr UINT kCodePage = 932;

// The converters count in int; longer texts are cut rather than overflowed.
int ClampLength(std::size_t n) { return n > static_cast<std::size_t>(INT_MAX / 2) ? INT_MAX / 2 : static_cast<int>(n); }
}  // namespace

std::wstring SjisToWide(std::string_view sjis) {
  if (sjis.empty()) return {};
  const int inLen = ClampLength(sjis.size());
  const int outLen = MultiByteToWideChar(kCodePage, 0, sjis.data(), inLen, nullptr, 0);
  if (outLen <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(outLen), L'\0');
  MultiByteToWideChar(kCodePage, 0, sjis.data(), inLen, wide.data(), outLen);
  return wide;
}

std::string WideToSjis(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int inLen = ClampLength(wide.size());
  const int outLen = WideCharToMultiByte(kCodePage, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (outLen <= 0) return {};
  std::string sjis(static_cast<std::size_t>(outLen), '\0');
  WideCharToMultiByte(kCodePage, 0, wide.data(), inLen, sjis.data(), outLen, nullptr, nullptr);
  return sjis;
}

std::string PathToSjis(const std::filesystem::path& path) { return WideToSjis(path.native()); }

std::filesystem::path SjisToPath(std::string_view text) { return std::filesystem::path(SjisToWide(text)); }
