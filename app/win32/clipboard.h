// The clipboard's Unicode text, read and written for the grid's copy and paste.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

// The CF_UNICODETEXT on the clipboard; nothing when it holds none or cannot be opened.
std::optional<std::wstring> ReadClipboardText(HWND owner);
// Replaces the clipboard's contents with `text`; false when the clipboard is busy.
bool WriteClipboardText(HWND owner, std::wstring_view text);
