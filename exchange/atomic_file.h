// Replacing a file without ever leaving it half-written: the bytes go to a
// temporary file in the same folder, which then takes the target's place.
#pragma once

#include <cerrno>
#include <filesystem>
#include <string_view>

#include "exchange/file_error.h"

// The steps of a replacement, so that tests can make any of them fail.
class IFileReplaceSeam {
 public:
  virtual ~IFileReplaceSeam() = default;
  // Called before each step; returning false makes that step fail.
  virtual bool AllowCreate(const std::filesystem::path& temp) { (void)temp; return true; }
  virtual bool AllowWrite(std::size_t bytesWrittenSoFar) { (void)bytesWrittenSoFar; return true; }
  virtual bool AllowReplace(const std::filesystem::path& target) { (void)target; return true; }
  // The errno value a refused step reports (ENOSPC stands for a full disk).
  virtual int FailureCode() { return EIO; }
};

// Writes `bytes` to a temporary file beside `target`, flushes it, and replaces
// `target` with it (atomically where the platform allows). On any failure the
// temporary file is removed, `target` is left as it was, and the result is
// false. A target marked read-only is refused, not replaced. An interrupt
// (see interrupt_cleanup.h) stops the write the same way. Never throws.
// `seam` may be null; `error`, when given, receives the failing step and reason.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         IFileReplaceSeam* seam = nullptr, TFileError* error = nullptr);

// True when `path` is an existing file that its owner may not write (mode
// without the owner's write bit; on Windows the read-only attribute).
bool IsReadOnlyFile(const std::filesystem::path& path);
