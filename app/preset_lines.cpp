// Cutting the preset file into lines a block at a time.
#include "app/preset_lines.h"

#include <cstring>

namespace {

constexpr std::size_t kBlock = std::size_t{1} << 15;  // a whole preset file in one or two reads

}  // namespace

bool TPresetLines::Open(const std::filesystem::path& path) {
  in_.open(path, std::ios::binary);
  return in_.is_open();
}

void TPresetLines::Rewind() {
  begin_ = 0;
  if (ended_ && !dropped_) return;
  end_ = 0;
  ended_ = false;
  failed_ = false;
  dropped_ = false;
  in_.clear();
  in_.seekg(0);
}

bool TPresetLines::NextAfterBlock(std::string_view& line) {
  for (;;) {
    if (ended_) {
      if (begin_ == end_) return false;
      line = WithoutCr(buf_.get() + begin_, buf_.get() + end_);
      begin_ = end_;
      return true;
    }
    const std::size_t scanned = end_ - begin_;  // holds no LF
    if (failed_ || !Fill()) return false;
    const char* const from = buf_.get() + begin_;
    if (const auto* lf = static_cast<const char*>(std::memchr(from + scanned, '\n', end_ - begin_ - scanned))) {
      begin_ += static_cast<std::size_t>(lf - from) + 1;
      line = WithoutCr(from, lf);
      return true;
    }
  }
}

bool TPresetLines::Fill() {
  const std::size_t kept = end_ - begin_;
  if (begin_ > 0) {
    std::memmove(buf_.get(), buf_.get() + begin_, kept);
    dropped_ = true;
  }
  begin_ = 0;
  end_ = kept;
  // A line that fills the room there is gets twice the room.
  if (kept == size_) {
    const std::size_t bigger = size_ == 0 ? kBlock : size_ * 2;
    std::unique_ptr<char[]> room(new char[bigger]);
    if (kept > 0) std::memcpy(room.get(), buf_.get(), kept);
    buf_ = std::move(room);
    size_ = bigger;
  }
  in_.read(buf_.get() + end_, static_cast<std::streamsize>(size_ - end_));
  if (in_.bad()) {
    failed_ = true;
    return false;
  }
  const auto got = static_cast<std::size_t>(in_.gcount());
  end_ += got;
  if (got == 0 || in_.eof()) ended_ = true;
  return true;
}
