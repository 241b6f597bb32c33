// Shift-JIS <-> UTF-8 for the batch command, through UTF-16 with the system's
// code page 932 tables, as the window converts its texts.
#include <windows.h>

#include "app/text_codec.h"
#include "app/win32/cp932.h"

std::string SjisToUtf8(std::string_view sjis) { return WideToCodePage(CP_UTF8, SjisToWide(sjis)); }

std::string Utf8ToSjis(std::string_view utf8) { return WideToSjis(CodePageToWide(CP_UTF8, utf8)); }
