// The batch command's console output on Windows: a console gets UTF-16 through
// WriteConsoleW, anything else (a file, a pipe) bytes.
#pragma once

#include <windows.h>

#include <memory>
#include <streambuf>

#include "app/text_out.h"

// The sink for `handle`: UTF-16 when it is a console (GetConsoleMode succeeds),
// otherwise Shift-JIS bytes (UTF-8 with `utf8`) onto `bytes`.
std::unique_ptr<ITextSink> MakeHandleSink(HANDLE handle, std::streambuf& bytes, bool utf8);
