// Replacing a file through a temporary file beside it, so that the file is
// either the old one or the complete new one, never something in between.
#include "exchange/file/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <system_error>

#include "exchange/file/windows_api.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include "exchange/file/interrupt_cleanup.h"

namespace fs = std::filesystem;

namespace {

// Bytes per write, so that a seam can interrupt a long write part-way.
constexpr std::size_t kChunk = std::size_t{1} << 20;

// A name in the target's folder that no file has yet: the target's name, a
// tag made of a counter, the clock and an address, and ".tmp".
bool MakeTempPath(const fs::path& target, fs::path& temp) {
  static std::atomic<std::uint64_t> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    const auto tick = static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
    const std::uint64_t tag =
        tick ^ (counter.fetch_add(1) << 48) ^ static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(&counter));
    char buf[17];
    const std::string hex(buf, std::to_chars(buf, buf + sizeof buf, tag, 16).ptr);
    fs::path name = target.filename();
    name += ".";
    name += hex;
    name += ".tmp";
    temp = target.parent_path() / name;
    std::error_code ec;
    if (!fs::exists(temp, ec) && !ec) return true;
  }
  return false;
}

// The failure of a step that a seam refused.
TFileError SeamError(const char* step, IFileReplaceSeam& seam) { return ErrnoError(step, seam.FailureCode()); }

// On Windows the move is written through to the disk before the call returns,
// for every replacement as it always was; a durable one has flushed its bytes
// before it.
TFileError MoveOver(const fs::path& temp, const fs::path& target) {
#ifdef _WIN32
  SetLastError(0);
  if (MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0) return {};
  return LastSystemError("replace");
#else
  std::error_code ec;
  fs::rename(temp, target, ec);
  if (!ec) return {};
  return ErrnoError("replace", ec.value());
#endif
}

// Makes the system write to the disk what it holds of the file's bytes, and
// waits for it. Through a handle of its own: the stream that wrote the file
// gives none out, and the flush covers the file, whichever handle wrote it.
// A failure counts as the write's: the bytes may never reach the disk.
TFileError FlushToDisk(const fs::path& file) {
#ifdef _WIN32
  SetLastError(0);
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return LastSystemError("write");
  TFileError result;
  if (FlushFileBuffers(h) == 0) result = LastSystemError("write");
  CloseHandle(h);
  return result;
#else
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoError("write", errno);
  TFileError result;
  if (::fsync(fd) != 0) result = ErrnoError("write", errno);
  ::close(fd);
  return result;
#endif
}

#ifndef _WIN32
// The rename lives in the folder: until the folder is on the disk too, a power
// cut may bring back the old name. Windows has MOVEFILE_WRITE_THROUGH for that.
// Best effort: some file systems refuse to flush a folder, and the new file is
// in place by now whatever happens here.
void FlushFolderToDisk(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)::fsync(fd);
  ::close(fd);
}
#endif

}  // namespace

bool IsReadOnlyFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) return false;
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool ReplaceFileContents(const fs::path& target, std::string_view bytes, IFileReplaceSeam* seam,
                         TFileError* error, TReplaceDurability durability) {
  TFileError result;
  try {
    TFileReplacement replacement(target, seam, durability);
    if (!replacement.Write(bytes) || !replacement.Commit()) result = replacement.Error();
  } catch (...) {
    // Out of memory while copying the path: the target is untouched.
    result = FileFailure("create", TFileFailure::OutOfMemory);
  }
  if (error != nullptr) *error = result;
  return !result.Failed();
}

TFileReplacement::TFileReplacement(fs::path target, IFileReplaceSeam* seam, TReplaceDurability durability)
    : target_(std::move(target)), seam_(seam), durability_(durability) {}

TFileReplacement::~TFileReplacement() { Abandon(); }

bool TFileReplacement::Open() {
  if (opened_) return true;
  opened_ = true;
  try {
    if (IsReadOnlyFile(target_)) return Fail(FileFailure("replace", TFileFailure::ReadOnly));
    ClearSystemError();
    if (!MakeTempPath(target_, temp_)) {
      temp_.clear();
      return Fail(LastSystemError("create"));
    }
    if (seam_ != nullptr && !seam_->AllowCreate(temp_)) {
      temp_.clear();  // never created: nothing to remove
      return Fail(SeamError("create", *seam_));
    }
    // Named before the file exists, so that an interrupt from now on removes it.
    registered_ = std::make_unique<TInterruptTempFile>(temp_);
    if (InterruptRequested()) return Fail(FileFailure("create", TFileFailure::Interrupted));
    ClearSystemError();
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_.is_open()) return Fail(LastSystemError("create"));
    return true;
  } catch (...) {
    return Fail(FileFailure("create", TFileFailure::OutOfMemory));
  }
}

bool TFileReplacement::Fail(const TFileError& error) {
  if (!error_.Failed()) error_ = error;
  Abandon();
  return false;
}

bool TFileReplacement::Write(std::string_view bytes) {
  if (error_.Failed() || done_) return false;
  if (!Open()) return false;
  std::size_t done = 0;
  while (done < bytes.size()) {
    // In chunks, so that an interrupt or a seam can stop a long write part-way.
    if (InterruptRequested()) return Fail(FileFailure("write", TFileFailure::Interrupted));
    if (seam_ != nullptr && !seam_->AllowWrite(written_)) return Fail(SeamError("write", *seam_));
    const std::size_t n = std::min(kChunk, bytes.size() - done);
    ClearSystemError();
    out_.write(bytes.data() + done, static_cast<std::streamsize>(n));
    if (!out_) return Fail(LastSystemError("write"));
    done += n;
    written_ += n;
  }
  return true;
}

bool TFileReplacement::Commit() {
  if (!Write({})) return false;
  ClearSystemError();
  out_.flush();
  if (!out_) return Fail(LastSystemError("write"));
  out_.close();
  if (out_.fail()) return Fail(LastSystemError("write"));
  const bool durable = durability_ == TReplaceDurability::Durable;
  if (durable) {
    // The bytes on the disk before the name points at them: a power cut
    // between the two then leaves the old file, not an empty new one.
    if (seam_ != nullptr && !seam_->AllowFlush(temp_)) return Fail(SeamError("write", *seam_));
    if (TFileError e = FlushToDisk(temp_); e.Failed()) return Fail(e);
  }
  if (seam_ != nullptr && !seam_->AllowReplace(target_)) return Fail(SeamError("replace", *seam_));
  if (TFileError e = MoveOver(temp_, target_); e.Failed()) return Fail(e);
  done_ = true;
  registered_.reset();
#ifndef _WIN32
  if (durable && (seam_ == nullptr || seam_->AllowFlushFolder(target_.parent_path()))) {
    FlushFolderToDisk(target_.parent_path());
  }
#endif
  return true;
}

void TFileReplacement::Abandon() {
  if (done_) return;
  done_ = true;
  if (out_.is_open()) out_.close();
  if (!temp_.empty()) {
    std::error_code ec;
    fs::remove(temp_, ec);
  }
  // Forgotten by the interrupt handler only once the file is gone.
  registered_.reset();
}
