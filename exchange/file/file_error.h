// Why a file operation failed, kept as the system gave it, so that a message
// can name the step and the system's own reason instead of "cannot write".
#pragma once

#include <string>

// What went wrong, beyond the system's error code.
enum class TFileFailure {
  None,         // no failure recorded
  System,       // the system refused; `code` holds its error number
  OutOfMemory,  // memory ran out while the file was read or its bytes built
  ReadOnly,     // the target is marked read-only: it is not replaced
  Interrupted,  // Ctrl-C or a termination signal stopped the write
};

struct TFileError {
  const char* step = "";  // "open", "read", "create", "write", "replace": the operation that failed
  TFileFailure failure = TFileFailure::None;
  int code = 0;             // errno, or on Windows the GetLastError() value when `win32` is set
  bool win32 = false;

  bool Failed() const { return failure != TFileFailure::None; }
};

// Forgets the last error, so that the next failure's own code is the one read.
void ClearSystemError();
// A failure of `step` with the system's last error: GetLastError() on Windows
// when it is set, errno otherwise.
TFileError LastSystemError(const char* step);
// A failure of `step` with the given errno value.
TFileError ErrnoError(const char* step, int errnoValue);
TFileError FileFailure(const char* step, TFileFailure failure);

// The reason as text: the system's own words (strerror, or FormatMessageW on
// Windows) or ours for the failures the system does not name. UTF-8 for the
// console; Shift-JIS for the window, whose own reasons are then in Japanese.
std::string FileErrorReasonUtf8(const TFileError& error);
std::string FileErrorReasonSjis(const TFileError& error);

// True when the failure means the place cannot be written at all (access
// refused, read-only file or medium), not a passing fault such as a full disk.
bool IsAccessDenied(const TFileError& error);
