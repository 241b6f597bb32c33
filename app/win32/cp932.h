// The one place where Shift-JIS text meets the window's UTF-16: every text the
// core hands to the window, and every path it keeps as text, crosses here.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// Shift-JIS bytes (code page 932) to UTF-16. Bytes that are no CP932 character
// become what the system's converter makes of them (usually U+30FB or "?").
std::wstring SjisToWide(std::string_view sjis);

// UTF-16 to Shift-JIS; characters CP932 lacks become "?".
std::string WideToSjis(std::wstring_view wide);

std::string PathToSjis(const std::filesystem::path& path);
std::filesystem::path SjisToPath(std::string_view text);
