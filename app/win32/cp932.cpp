// Shift-JIS and UTF-8 <-> UTF-16 through the system's code page tables.
#include "app/win32/cp932.h"

#include <windows.h>

#include <climits>

namespace {
constexpr UINT kCodePage = 932;

// The converters count in int; longer texts are cut rather than overflowed.
int ClampLength(std::size_t n) { return n > static_cast<std::size_t>(INT_MAX / 4) ? INT_MAX / 4 : static_cast<int>(n); }
}  // namespace

std::wstring CodePageToWide(unsigned codePage, std::string_view text) {
  if (text.empty()) return {};
  const int inLen = ClampLength(text.size());
  const int outLen = MultiByteToWideChar(codePage, 0, text.data(), inLen, nullptr, 0);
  if (outLen <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(outLen), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), inLen, wide.data(), outLen);
  return wide;
}

std::string WideToCodePage(unsigned codePage, std::wstring_view wide) {
  if (wide.empty()) return {};
  const int inLen = ClampLength(wide.size());
  const int outLen = WideCharToMultiByte(codePage, 0, wide.data(), inLen, nullptr, 0, nullptr, nullptr);
  if (outLen <= 0) return {};
  std::string out(static_cast<std::size_t>(outLen), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), inLen, out.data(), outLen, nullptr, nullptr);
  return out;
}

std::wstring SjisToWide(std::string_view sjis) { return CodePageToWide(kCodePage, sjis); }

std::string WideToSjis(std::wstring_view wide) { return WideToCodePage(kCodePage, wide); }

std::string PathToSjis(const std::filesystem::path& path) { return WideToSjis(path.native()); }

std::filesystem::path SjisToPath(std::string_view text) { return std::filesystem::path(SjisToWide(text)); }
