// The clipboard as text, with the memory handling Win32 asks for.
#include "app/win32/clipboard.h"

#include <cstring>

namespace {

// Another program may hold the clipboard for a moment: a few short tries.
bool OpenClipboardSoon(HWND owner) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (OpenClipboard(owner)) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace

std::optional<std::wstring> ReadClipboardText(HWND owner) {
  if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboardSoon(owner)) return std::nullopt;
  std::optional<std::wstring> text;
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
      // The size bounds the text when a program forgot the terminating NUL.
      const SIZE_T limit = GlobalSize(data) / sizeof(wchar_t);
      SIZE_T length = 0;
      while (length < limit && chars[length] != L'\0') ++length;
      text.emplace(chars, length);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

bool WriteClipboardText(HWND owner, std::wstring_view text) {
  HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
  if (!data) return false;
  auto* chars = static_cast<wchar_t*>(GlobalLock(data));
  if (!chars) {
    GlobalFree(data);
    return false;
  }
  std::memcpy(chars, text.data(), text.size() * sizeof(wchar_t));
  chars[text.size()] = L'\0';
  GlobalUnlock(data);
  if (!OpenClipboardSoon(owner)) {
    GlobalFree(data);
    return false;
  }
  EmptyClipboard();
  // On success the clipboard owns the memory.
  const bool placed = SetClipboardData(CF_UNICODETEXT, data) != nullptr;
  CloseClipboard();
  if (!placed) GlobalFree(data);
  return placed;
}
