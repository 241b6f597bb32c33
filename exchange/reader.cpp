// Reading the exchange file: framing its bytes into lines (LF ends a line,
// CRs are dropped, Ctrl-Z ends the file) and applying each line in turn.
// The file is read in blocks, never whole, and lines are split in place.
#include "exchange/reader.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <exception>
#include <string>
#include <system_error>
#include <vector>

#include "exchange/reader_rows.h"

namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// A scratch buffer that grew past this for one long line is given back.
constexpr std::size_t kScratchKeep = std::size_t{1} << 20;
constexpr char kCtrlZ = '\x1A';

// Drops every CR: one before the LF belongs to the line end, any other is
// not part of the line either. Returns the new length.
std::size_t DropCarriageReturns(char* line, std::size_t size) {
  char* cr = static_cast<char*>(std::memchr(line, '\r', size));
  if (cr == nullptr) return size;
  char* w = cr;
  for (char* r = cr; r != line + size; ++r) {
    if (*r != '\r') *w++ = *r;
  }
  return static_cast<std::size_t>(w - line);
}

// Applies every complete line in `buf[0..end)`, the first of which is known
// to hold no LF before `scanFrom`; returns where the unfinished last line begins.
std::size_t ApplyLines(TJwwData& d, char* buf, std::size_t scanFrom, std::size_t end) {
  std::size_t begin = 0;
  while (scanFrom < end) {
    char* lf = static_cast<char*>(std::memchr(buf + scanFrom, '\n', end - scanFrom));
    if (lf == nullptr) break;
    const auto stop = static_cast<std::size_t>(lf - buf);
    JwwApplyLine(d, buf + begin, DropCarriageReturns(buf + begin, stop - begin));
    begin = stop + 1;
    scanFrom = begin;
  }
  return begin;
}

// Reads the open stream block by block. False on a read error; lines read
// before it stay applied, a line cut short by it is not applied.
bool ReadStream(TJwwData& d, std::ifstream& in, IJwwReadProgress* progress, uint64_t total) {
  std::vector<char> buf(kBlockSize);
  std::size_t used = 0;     // bytes in buf
  std::size_t scanned = 0;  // bytes of the unfinished line already known to hold no LF
  bool ended = false;
  while (!ended) {
    if (used == buf.size()) buf.resize(buf.size() * 2);  // one line longer than the buffer
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
    const std::size_t rest = ApplyLines(d, buf.data(), scanned, used);
    if (rest > 0) {
      std::memmove(buf.data(), buf.data() + rest, used - rest);
      used -= rest;
    }
    scanned = used;
    if (progress != nullptr) progress->ShowBytesRead(d.BytesRead, total);
  }
  // The last line needs no line end.
  if (used > 0) JwwApplyLine(d, buf.data(), DropCarriageReturns(buf.data(), used));
  return true;
}

}  // namespace

void JwwApplyLine(TJwwData& d, char* line, std::size_t size) {
  TJwwFields f;
  JwwSplitFields(line, size, f);
  // An empty line, or one of blanks and control bytes only.
  if (f.count == 1 && f.Key().empty()) return;
  if (JwwTakeStateLine(d, f)) return;
  JwwTakeEntityLine(d, f);
}

void JwwParseLine(TJwwData& d, std::string_view line) {
  thread_local std::string scratch;
  scratch.assign(line);
  JwwApplyLine(d, scratch.data(), scratch.size());
  if (scratch.capacity() > kScratchKeep) std::string().swap(scratch);
}

void JwwReadBytes(TJwwData& d, std::string_view bytes) {
  d.BytesRead += bytes.size();
  try {
    if (const std::size_t z = bytes.find(kCtrlZ); z != std::string_view::npos) bytes = bytes.substr(0, z);
    std::string scratch;
    while (!bytes.empty()) {
      const std::size_t lf = bytes.find('\n');
      const std::string_view line = bytes.substr(0, lf);
      scratch.assign(line);
      JwwApplyLine(d, scratch.data(), DropCarriageReturns(scratch.data(), scratch.size()));
      if (lf == std::string_view::npos) break;
      bytes.remove_prefix(lf + 1);
    }
    d.ReadOutcome = TJwwReadOutcome::Complete;
  } catch (const std::exception&) {
    // Memory ran out: what was read stays.
    d.ReadOutcome = TJwwReadOutcome::Failed;
  }
}

namespace {

TFileError ReadFile(TJwwData& d, const std::filesystem::path& path, IJwwReadProgress* progress) {
  try {
    ClearSystemError();
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) return LastSystemError("open");
    ClearSystemError();
    std::error_code sizeError;
    const auto size = progress != nullptr ? std::filesystem::file_size(path, sizeError) : 0;
    if (!ReadStream(d, in, progress, sizeError ? 0 : static_cast<uint64_t>(size))) return LastSystemError("read");
    return {};
  } catch (const std::bad_alloc&) {
    return FileFailure("read", TFileFailure::OutOfMemory);
  } catch (const std::exception&) {
    // The stream failed: what was read stays.
    return LastSystemError("read");
  }
}

}  // namespace

bool JwwReadFile(TJwwData& d, const std::filesystem::path& path, TFileError* error,
                 IJwwReadProgress* progress) {
  std::error_code ec;
  const auto status = std::filesystem::status(path, ec);
  if (status.type() == std::filesystem::file_type::not_found) {
    d.ReadOutcome = TJwwReadOutcome::Missing;
    if (error != nullptr) *error = ErrnoError("open", ENOENT);
    return false;
  }
  const TFileError result = ReadFile(d, path, progress);
  if (error != nullptr) *error = result;
  d.ReadOutcome = result.Failed() ? TJwwReadOutcome::Failed : TJwwReadOutcome::Complete;
  return !result.Failed();
}
