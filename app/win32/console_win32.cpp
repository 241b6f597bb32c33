// Console or not: the choice made by GetConsoleMode, and UTF-16 output to a
// console so that Japanese reads right whatever its code page.
#include "app/win32/console_win32.h"

#include <climits>
#include <string>

namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

class TConsoleSink : public ITextSink {
 public:
  explicit TConsoleSink(HANDLE handle) : handle_(handle) {}

  void Write(std::string_view utf8) override {
    while (!utf8.empty()) {
      // Pieces the converter can count in int.
      const std::size_t take = utf8.size() > (1u << 20) ? WholeUtf8Prefix(utf8.substr(0, 1u << 20)) : utf8.size();
      WritePiece(utf8.substr(0, take == 0 ? 1 : take));
      utf8.remove_prefix(take == 0 ? 1 : take);
    }
  }

 private:
  void WritePiece(std::string_view utf8) {
    const int inLen = static_cast<int>(utf8.size());
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, nullptr, 0);
    if (n <= 0) return;
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), inLen, wide.data(), n);
    const wchar_t* at = wide.data();
    DWORD left = static_cast<DWORD>(wide.size());
    while (left > 0) {
      DWORD written = 0;
      if (!WriteConsoleW(handle_, at, left, &written, nullptr) || written == 0) return;
      at += written;
      left -= written;
    }
  }

  HANDLE handle_;
};

}  // namespace

std::unique_ptr<ITextSink> MakeHandleSink(HANDLE handle, std::streambuf& bytes, bool utf8) {
  if (IsConsole(handle)) return std::make_unique<TConsoleSink>(handle);
  return std::make_unique<TByteSink>(bytes, utf8 ? TTextEncoding::Utf8 : TTextEncoding::Sjis);
}

bool IsTerminal(TStdStream which) {
  return IsConsole(GetStdHandle(which == TStdStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE));
}

std::unique_ptr<ITextSink> MakeStdSink(TStdStream which, std::streambuf& bytes, bool utf8) {
  return MakeHandleSink(GetStdHandle(which == TStdStream::Out ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), bytes, utf8);
}
