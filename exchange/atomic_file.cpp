// Replacing a file through a temporary file beside it, so that the file is
// either the old one or the complete new one, never something in between.
#include "exchange/atomic_file.h"

#include <algorithm>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>
#include <system_error>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include "exchange/interrupt_cleanup.h"

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

// Removes the temporary file unless it has taken the target's place.
class TTempGuard {
 public:
  explicit TTempGuard(const fs::path& p) : path_(p) {}
  ~TTempGuard() {
    if (!armed_) return;
    std::error_code ec;
    fs::remove(path_, ec);
  }
  TTempGuard(const TTempGuard&) = delete;
  TTempGuard& operator=(const TTempGuard&) = delete;
  void Release() { armed_ = false; }

 private:
  fs::path path_;
  bool armed_ = true;
};

// The failure of a step that a seam refused.
TFileError SeamError(const char* step, IFileReplaceSeam& seam) { return ErrnoError(step, seam.FailureCode()); }

TFileError WriteAll(const fs::path& temp, std::string_view bytes, IFileReplaceSeam* seam) {
  ClearSystemError();
  std::ofstream out(temp, std::ios::binary | std::ios::trunc);
  if (!out) return LastSystemError("create");
  std::size_t written = 0;
  while (written < bytes.size()) {
    if (InterruptRequested()) return FileFailure("write", TFileFailure::Interrupted);
    if (seam != nullptr && !seam->AllowWrite(written)) return SeamError("write", *seam);
    const std::size_t n = std::min(kChunk, bytes.size() - written);
    out.write(bytes.data() + written, static_cast<std::streamsize>(n));
    if (!out) return LastSystemError("write");
    written += n;
  }
  out.flush();
  if (!out) return LastSystemError("write");
  out.close();
  if (out.fail()) return LastSystemError("write");
  return {};
}

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

TFileError Replace(const fs::path& target, std::string_view bytes, IFileReplaceSeam* seam) {
  if (IsReadOnlyFile(target)) return FileFailure("replace", TFileFailure::ReadOnly);
  fs::path temp;
  ClearSystemError();
  if (!MakeTempPath(target, temp)) return LastSystemError("create");
  if (seam != nullptr && !seam->AllowCreate(temp)) return SeamError("create", *seam);
  // Declared before the guard, so the handler forgets the path only after the
  // guard has removed the file.
  TInterruptTempFile registered(temp);
  TTempGuard guard(temp);
  if (InterruptRequested()) return FileFailure("create", TFileFailure::Interrupted);
  if (TFileError e = WriteAll(temp, bytes, seam); e.Failed()) return e;
  if (seam != nullptr && !seam->AllowReplace(target)) return SeamError("replace", *seam);
  if (TFileError e = MoveOver(temp, target); e.Failed()) return e;
  guard.Release();
  return {};
}

}  // namespace

bool IsReadOnlyFile(const fs::path& path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::is_regular_file(status)) return false;
  return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

bool ReplaceFileContents(const fs::path& target, std::string_view bytes, IFileReplaceSeam* seam,
                         TFileError* error) {
  TFileError result;
  try {
    result = Replace(target, bytes, seam);
  } catch (...) {
    // Out of memory while building a path: the target is untouched.
    result = FileFailure("create", TFileFailure::OutOfMemory);
  }
  if (error != nullptr) *error = result;
  return !result.Failed();
}
