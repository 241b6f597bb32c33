// Replacing a file without ever leaving it half-written: the bytes go to a
// temporary file in the same folder, which then takes the target's place.
#pragma once

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

#include "exchange/file/file_error.h"
#include "exchange/file/interrupt_cleanup.h"

// The steps of a replacement, so that tests can make any of them fail.
class IFileReplaceSeam {
 public:
  virtual ~IFileReplaceSeam() = default;
  // Called before each step; returning false makes that step fail.
  virtual bool AllowCreate(const std::filesystem::path& temp) { (void)temp; return true; }
  virtual bool AllowWrite(std::size_t bytesWrittenSoFar) { (void)bytesWrittenSoFar; return true; }
  virtual bool AllowReplace(const std::filesystem::path& target) { (void)target; return true; }
  // Only for a durable replacement: before the temporary file is flushed to
  // disk, and (Linux) before its folder is, after the replacement. A refused
  // folder flush is skipped: the new file is in place by then.
  virtual bool AllowFlush(const std::filesystem::path& temp) { (void)temp; return true; }
  virtual bool AllowFlushFolder(const std::filesystem::path& folder) { (void)folder; return true; }
  // The errno value a refused step reports (ENOSPC stands for a full disk).
  virtual int FailureCode() { return EIO; }
};

// Whether a replacement waits for the disk. The answer is read back by the
// host at once, and a lost one is made again by running the tool again:
// Cached, as fast as the system allows. The preset file holds the user's
// tables from run to run: Durable, its bytes flushed to disk before it takes
// the old file's place, so that a power cut leaves the old tables or the new
// ones, never an empty or a torn file.
enum class TReplaceDurability { Cached, Durable };

// Writes `bytes` to a temporary file beside `target`, flushes it, and replaces
// `target` with it (atomically where the platform allows). On any failure the
// temporary file is removed, `target` is left as it was, and the result is
// false. A target marked read-only is refused, not replaced. An interrupt
// (see interrupt_cleanup.h) stops the write the same way. Never throws.
// `seam` may be null; `error`, when given, receives the failing step and reason.
bool ReplaceFileContents(const std::filesystem::path& target, std::string_view bytes,
                         IFileReplaceSeam* seam = nullptr, TFileError* error = nullptr,
                         TReplaceDurability durability = TReplaceDurability::Cached);

// True when `path` is an existing file that its owner may not write (mode
// without the owner's write bit; on Windows the read-only attribute).
bool IsReadOnlyFile(const std::filesystem::path& path);

// The same replacement fed in pieces, for contents too large to hold whole:
// the temporary file is created at the first write (or at Commit), and
// removed again by Abandon, by a failed step or when the object goes away
// uncommitted. The target is touched only by a successful Commit.
class TFileReplacement {
 public:
  explicit TFileReplacement(std::filesystem::path target, IFileReplaceSeam* seam = nullptr,
                            TReplaceDurability durability = TReplaceDurability::Cached);
  ~TFileReplacement();
  TFileReplacement(const TFileReplacement&) = delete;
  TFileReplacement& operator=(const TFileReplacement&) = delete;

  // Appends bytes to the temporary file. False once any step has failed;
  // later writes then do nothing. Never throws.
  bool Write(std::string_view bytes);
  // Flushes and closes the temporary file (a durable one to the disk) and
  // puts it in the target's place.
  // False when this or an earlier step failed (the temporary file is gone
  // and the target as it was). Never throws.
  bool Commit();
  // Removes the temporary file; the target stays as it was.
  void Abandon();

  // The first step that failed and why (no failure while all went well). A
  // read-only target is refused at the first write, an interrupt stops the
  // write between chunks; both count as failures.
  const TFileError& Error() const { return error_; }
  // Bytes written to the temporary file so far.
  std::size_t Written() const { return written_; }

  const std::filesystem::path& Target() const { return target_; }

 private:
  bool Open();
  // Records the failure (the first one stays), removes the temporary file; false.
  bool Fail(const TFileError& error);

  std::filesystem::path target_;
  std::filesystem::path temp_;
  IFileReplaceSeam* seam_;
  TReplaceDurability durability_;
  std::ofstream out_;
  std::size_t written_ = 0;
  bool opened_ = false;
  TFileError error_;
  bool done_ = false;  // committed or abandoned
  std::unique_ptr<TInterruptTempFile> registered_;  // the temporary file, named for the interrupt handler
};
