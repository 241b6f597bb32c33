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

bool MoveOver(const fs::path& temp, const fs::path& target) {
#ifdef _WIN32
  return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code ec;
  fs::rename(temp, target, ec);
  return !ec;
#endif
}

}  // namespace

bool ReplaceFileContents(const fs::path& target, std::string_view bytes, IFileReplaceSeam* seam) {
  try {
    TFileReplacement replacement(target, seam);
    return replacement.Write(bytes) && replacement.Commit();
  } catch (...) {
    // Out of memory while copying the path: the target is untouched.
    return false;
  }
}

TFileReplacement::TFileReplacement(fs::path target, IFileReplaceSeam* seam) : target_(std::move(target)), seam_(seam) {}

TFileReplacement::~TFileReplacement() { Abandon(); }

bool TFileReplacement::Open() {
  if (opened_) return true;
  opened_ = true;
  try {
    if (!MakeTempPath(target_, temp_)) return false;
    if (seam_ != nullptr && !seam_->AllowCreate(temp_)) {
      temp_.clear();  // never created: nothing to remove
      return false;
    }
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    return out_.is_open();
  } catch (...) {
    return false;
  }
}

void TFileReplacement::Fail() {
  failed_ = true;
  Abandon();
}

bool TFileReplacement::Write(std::string_view bytes) {
  if (failed_ || done_) return false;
  if (!Open()) {
    Fail();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    // In chunks, so that a seam can interrupt a long write part-way.
    if (seam_ != nullptr && !seam_->AllowWrite(written_)) {
      Fail();
      return false;
    }
    const std::size_t n = std::min(kChunk, bytes.size() - done);
    out_.write(bytes.data() + done, static_cast<std::streamsize>(n));
    if (!out_) {
      Fail();
      return false;
    }
    done += n;
    written_ += n;
  }
  return true;
}

bool TFileReplacement::Commit() {
  if (!Write({})) return false;
  out_.flush();
  out_.close();
  if (out_.fail() || (seam_ != nullptr && !seam_->AllowReplace(target_)) || !MoveOver(temp_, target_)) {
    Fail();
    return false;
  }
  done_ = true;
  return true;
}

void TFileReplacement::Abandon() {
  if (done_) return;
  done_ = true;
  if (out_.is_open()) out_.close();
  if (temp_.empty()) return;
  std::error_code ec;
  fs::remove(temp_, ec);
}
