// The reasons of failed file operations in words: the system's own text for
// its error numbers, and fixed texts for the failures it has no number for.
#include "exchange/file/file_error.h"

#include <cerrno>
#include <cstring>
#include <string_view>

#include "exchange/file/windows_api.h"

namespace {

struct TOwnReason {
  std::string_view utf8;
  std::string_view sjis;
};

TOwnReason OwnReason(TFileFailure failure) {
  switch (failure) {
    case TFileFailure::OutOfMemory:
      // メモリが足りません。
      return {"not enough memory", "\x83\x81\x83\x82\x83\x8A\x82\xAA\x91\xAB\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81\x42"};
    case TFileFailure::ReadOnly:
      // ファイルが読み取り専用になっています。
      return {"the file is read-only",
              "\x83\x74\x83\x40\x83\x43\x83\x8B\x82\xAA\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97\x70\x82\xC9"
              "\x82\xC8\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7\x81\x42"};
    case TFileFailure::Interrupted:
      // 中断されました。
      return {"interrupted", "\x92\x86\x92\x66\x82\xB3\x82\xEA\x82\xDC\x82\xB5\x82\xBD\x81\x42"};
    default:
      return {"unknown failure", "?"};
  }
}

// The system's text ends with a line break (and on Windows often a period and blank).
std::string TrimEnd(std::string text) {
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string ErrnoText(int code) {
  const char* text = std::strerror(code);
  return text != nullptr ? std::string(text) : "error " + std::to_string(code);
}

#ifdef _WIN32
std::string SystemText(unsigned long code, unsigned codePage) {
  wchar_t* wide = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
      reinterpret_cast<wchar_t*>(&wide), 0, nullptr);
  std::string out;
  if (n > 0 && wide != nullptr) {
    const int size = WideCharToMultiByte(codePage, 0, wide, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
    if (size > 0) {
      out.resize(static_cast<std::size_t>(size));
      WideCharToMultiByte(codePage, 0, wide, static_cast<int>(n), out.data(), size, nullptr, nullptr);
    }
  }
  if (wide != nullptr) LocalFree(wide);
  if (out.empty()) out = "error " + std::to_string(code);
  return TrimEnd(std::move(out));
}
#endif

std::string Reason(const TFileError& error, bool sjis) {
  if (error.failure != TFileFailure::System) {
    const TOwnReason own = OwnReason(error.failure);
    return std::string(sjis ? own.sjis : own.utf8);
  }
#ifdef _WIN32
  if (error.win32) return SystemText(static_cast<unsigned long>(error.code), sjis ? 932u : CP_UTF8);
#endif
  (void)sjis;  // strerror's words in the C locale are plain ASCII, the same in both
  return TrimEnd(ErrnoText(error.code));
}

}  // namespace

TFileError ErrnoError(const char* step, int errnoValue) {
  TFileError e;
  e.step = step;
  e.failure = TFileFailure::System;
  e.code = errnoValue;
  return e;
}

void ClearSystemError() {
  errno = 0;
#ifdef _WIN32
  SetLastError(0);
#endif
}

TFileError LastSystemError(const char* step) {
#ifdef _WIN32
  const DWORD last = GetLastError();
  if (last != 0) {
    TFileError e = ErrnoError(step, static_cast<int>(last));
    e.win32 = true;
    return e;
  }
#endif
  return ErrnoError(step, errno != 0 ? errno : EIO);
}

TFileError FileFailure(const char* step, TFileFailure failure) {
  TFileError e;
  e.step = step;
  e.failure = failure;
  return e;
}

std::string FileErrorReasonUtf8(const TFileError& error) { return Reason(error, false); }

std::string FileErrorReasonSjis(const TFileError& error) { return Reason(error, true); }

bool IsAccessDenied(const TFileError& error) {
  if (error.failure == TFileFailure::ReadOnly) return true;
  if (error.failure != TFileFailure::System) return false;
#ifdef _WIN32
  if (error.win32) {
    return error.code == ERROR_ACCESS_DENIED || error.code == ERROR_WRITE_PROTECT;
  }
#endif
  return error.code == EACCES || error.code == EPERM || error.code == EROFS;
}
