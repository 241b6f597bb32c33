// The one place where Shift-JIS text meets UTF-16: every text the core hands
// to the window or the console, and every path it keeps as text, crosses here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Bytes of a code page (932 for Shift-JIS, 65001 for UTF-8) to UTF-16, and
// back; what the code page lacks becomes what the system's converter makes of it.
std::wstring CodePageToWide(unsigned codePage, std::string_view text);
std::string WideToCodePage(unsigned codePage, std::wstring_view wide);

// Shift-JIS bytes (code page 932) to UTF-16. Bytes that are no CP932 character
// become what the system's converter makes of them (usually U+30FB or "?").
std::wstring SjisToWide(std::string_view sjis);

// UTF-16 to Shift-JIS; characters CP932 lacks become "?".
std::string WideToSjis(std::wstring_view wide);

std::string PathToSjis(const std::filesystem::path& path);
std::filesystem::path SjisToPath(std::string_view text);
