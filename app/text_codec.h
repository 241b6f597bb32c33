// Shift-JIS (code page 932) and UTF-8: the batch command keeps its messages in
// UTF-8 and meets the Shift-JIS of the files only here and at its output.
// Windows converts through its own code page tables, elsewhere through iconv.
#pragma once

#include <string>
#include <string_view>

// Shift-JIS bytes to UTF-8. A byte that starts no CP932 character becomes "?".
std::string SjisToUtf8(std::string_view sjis);

// UTF-8 to Shift-JIS. A character CP932 lacks, or a byte that starts no UTF-8
// character, becomes "?".
std::string Utf8ToSjis(std::string_view utf8);
