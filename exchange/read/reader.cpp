// Reading the exchange file: framing its bytes into lines (LF ends a line,
// CRs are dropped, Ctrl-Z ends the file) and applying each line in turn.
// The file is read in blocks, never whole, and lines are split in place.
#include "exchange/read/reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <new>
#include <string>
#include <system_error>

#include "exchange/read/line_framing.h"
#include "exchange/read/line_rules.h"

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// A scratch buffer that grew past this for one long line is given back.
constexpr std::size_t kScratchKeep = std::size_t{1} << 20;
constexpr char kCtrlZ = '\x1A';

// Every line but a plain four-number one, cut into its fields.
void ApplySplitLine(TJwwData& d, TJwwReadState& rs, char* line, std::size_t size, std::uint64_t lineOffset) {
  TJwwFields f;
  JwwSplitFields(line, size, f);
  // An empty line, or one of blanks and control bytes only.
  if (f.count == 1 && f.Key().empty()) return;
  if (JwwTakeStateLine(d, rs, f)) return;
  JwwTakeEntityLine(d, rs, f, lineOffset);
}


// Applies every complete line in `buf[0..end)`, the first of which begins at
// `bufOffset` in the file; returns where the unfinished last line begins. Lines
// are marked for copying (their offsets passed) only when `mark` is set.
std::size_t ApplyLines(TJwwData& d, TJwwReadState& rs, char* buf, std::size_t end, std::uint64_t bufOffset, bool mark) {
  std::size_t begin = 0;
  TJwwFramedLine line;
  while (JwwNextLine(buf, begin, end, line)) {
    JwwApplyLine(d, rs, line.data, line.size, !mark || line.moved ? kJwwNoLineOffset : bufOffset + begin);
    begin = line.next;
  }
  return begin;
}

// The bytes after the last LF, at `offset` in the file: a line of their own,
// which needs no line end.
void ApplyLastLine(TJwwData& d, TJwwReadState& rs, char* line, std::size_t size, std::uint64_t offset, bool mark) {
  if (size == 0) return;
  bool moved = false;
  size = JwwDropCarriageReturns(line, size, &moved);
  JwwApplyLine(d, rs, line, size, !mark || moved ? kJwwNoLineOffset : offset);
}

// Room for the bytes read, never zero-filled: a small file fills only part of
// the first block. Grows (keeping what it holds) for a line longer than it.
class TReadBuffer {
 public:
  explicit TReadBuffer(std::size_t size) : bytes_(new char[size]), size_(size) {}
  char* data() { return bytes_.get(); }
  std::size_t size() const { return size_; }
  void Grow(std::size_t used) {
    std::unique_ptr<char[]> bigger(new char[size_ * 2]);
    std::memcpy(bigger.get(), bytes_.get(), used);
    bytes_ = std::move(bigger);
    size_ *= 2;
  }

 private:
  std::unique_ptr<char[]> bytes_;
  std::size_t size_;
};

// Reads the open stream block by block. False on a read error; lines read
// before it stay applied, a line cut short by it is not applied.
bool ReadStream(TJwwData& d, std::ifstream& in, std::size_t blockSize, IJwwReadProgress* progress, uint64_t total,
                bool mark) {
  TJwwReadState rs;  // the file's state, from its first line
  TReadBuffer buf(blockSize);
  std::uint64_t bufOffset = 0;  // where buf[0] lies in the file
  std::size_t used = 0;     // bytes in buf
  bool ended = false;
  while (!ended) {
    if (used == buf.size()) buf.Grow(used);  // one line longer than the buffer
    in.read(buf.data() + used, static_cast<std::streamsize>(buf.size() - used));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) return false;
    d.BytesRead += got;
    ended = in.eof() || got == 0;
    if (void* z = std::memchr(buf.data() + used, kCtrlZ, got)) {
      used = static_cast<std::size_t>(static_cast<char*>(z) - buf.data());
      ended = true;
    } else {
      used += got;
    }
    // The unfinished line is scanned again from its start with the next
    // block: once per block, or a few times for a line longer than one.
    const std::size_t rest = ApplyLines(d, rs, buf.data(), used, bufOffset, mark);
    if (rest > 0) {
      std::memmove(buf.data(), buf.data() + rest, used - rest);
      used -= rest;
      bufOffset += rest;
    }
    if (progress != nullptr) progress->ShowBytesRead(d.BytesRead, total);
  }
  ApplyLastLine(d, rs, buf.data(), used, bufOffset, mark);
  return true;
}

}  // namespace

void JwwApplyLine(TJwwData& d, TJwwReadState& rs, char* line, std::size_t size, std::uint64_t lineOffset) {
  // Most lines of a drawing are plain lines of four numbers.
  if (JwwTakePlainNumberLine(d, rs, line, size, lineOffset)) return;
  ApplySplitLine(d, rs, line, size, lineOffset);
}

void JwwParseLine(TJwwData& d, TJwwReadState& rs, std::string_view line) {
  thread_local std::string scratch;
  scratch.assign(line);
  JwwApplyLine(d, rs, scratch.data(), scratch.size());
  if (scratch.capacity() > kScratchKeep) std::string().swap(scratch);
}

void JwwReadBytes(TJwwData& d, std::string_view bytes) {
  d.BytesRead += bytes.size();
  try {
    TJwwReadState rs;
    if (const std::size_t z = bytes.find(kCtrlZ); z != std::string_view::npos) bytes = bytes.substr(0, z);
    // Framed as a file's block is, in a copy the split may overwrite.
    std::string buf(bytes);
    const std::size_t rest = ApplyLines(d, rs, buf.data(), buf.size(), 0, false);
    ApplyLastLine(d, rs, buf.data() + rest, buf.size() - rest, rest, false);
    d.ReadOutcome = TJwwReadOutcome::Complete;
  } catch (const std::exception&) {
    // Memory ran out: what was read stays.
    d.ReadOutcome = TJwwReadOutcome::Failed;
  }
}

namespace {

TFileError ReadFile(TJwwData& d, const std::filesystem::path& path, IJwwReadProgress* progress,
                    std::unique_ptr<TJwwSourceFile>* keepOpen) {
  try {
    // Opened first and kept open until the walk, so that the file cannot
    // change between reading it and copying numbers from it. Without it the
    // answer is formatted whole.
    if (keepOpen != nullptr) {
      keepOpen->reset();
      auto source = std::make_unique<TJwwSourceFile>();
      if (source->Open(path)) *keepOpen = std::move(source);
    }
    const bool mark = keepOpen != nullptr && *keepOpen != nullptr;
    ClearSystemError();
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return LastSystemError("open");
    // A block no larger than the file (and a little room to see its end).
    std::error_code sizeError;
    const auto fileSize = std::filesystem::file_size(path, sizeError);
    const std::size_t block = sizeError || fileSize >= kBlockSize
                                  ? kBlockSize
                                  : std::max<std::size_t>(4096, static_cast<std::size_t>(fileSize) + 1);
    ClearSystemError();
    const uint64_t total = sizeError ? 0 : static_cast<uint64_t>(fileSize);
    if (!ReadStream(d, in, block, progress, total, mark)) return LastSystemError("read");
    return {};
  } catch (const std::bad_alloc&) {
    return FileFailure("read", TFileFailure::OutOfMemory);
  } catch (const std::exception&) {
    // The stream failed: what was read stays.
    return LastSystemError("read");
  }
}

}  // namespace

bool JwwReadFile(TJwwData& d, const std::filesystem::path& path, TFileError* error, IJwwReadProgress* progress,
                 std::unique_ptr<TJwwSourceFile>* keepOpen) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    d.ReadOutcome = TJwwReadOutcome::Missing;
    if (error != nullptr) *error = ErrnoError("open", ENOENT);
    return false;
  }
  const TFileError result = ReadFile(d, path, progress, keepOpen);
  if (error != nullptr) *error = result;
  if (result.Failed() && keepOpen != nullptr) keepOpen->reset();
  d.ReadOutcome = result.Failed() ? TJwwReadOutcome::Failed : TJwwReadOutcome::Complete;
  return !result.Failed();
}
