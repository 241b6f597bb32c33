// The preset file's lines, read in blocks and cut at LF without iostreams'
// line reading: the file has 5148 short lines, and reading it line by line
// through the stream cost more than the rest of a small run together.
#pragma once

#include <cstddef>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>

class TPresetLines {
 public:
  TPresetLines() = default;
  explicit TPresetLines(const std::filesystem::path& path) { Open(path); }

  // Opens the file; false when it cannot be (the system's error is left set).
  bool Open(const std::filesystem::path& path);
  bool IsOpen() const { return in_.is_open(); }

  // Goes back to the first line. A file that came whole in one read is not
  // read again, so the batch command's check and the load read it once.
  void Rewind();

  // The next line without its LF and a CR before it, as std::getline and a
  // dropped CR give it: a last line without a line end counts, an empty one
  // after the last LF does not. Valid until the next call. False at the end
  // of the file, or once reading has failed (then Failed() says so).
  bool Next(std::string_view& line) {
    // Byte by byte: the lines are a few bytes long, shorter than a call.
    const char* const from = buf_.get() + begin_;
    const char* const end = buf_.get() + end_;
    const char* lf = from;
    while (lf != end && *lf != '\n') ++lf;
    if (lf == end) return NextAfterBlock(line);
    begin_ += static_cast<std::size_t>(lf - from) + 1;
    line = WithoutCr(from, lf);
    return true;
  }
  bool Failed() const { return failed_; }

 private:
  static std::string_view WithoutCr(const char* from, const char* end) {
    if (end != from && end[-1] == '\r') --end;
    return std::string_view(from, static_cast<std::size_t>(end - from));
  }
  // Next for a line that the bytes read so far do not end.
  bool NextAfterBlock(std::string_view& line);
  // Moves the unfinished line to the front and reads more after it. False
  // when reading failed.
  bool Fill();

  std::ifstream in_;
  std::unique_ptr<char[]> buf_;  // never zero-filled; the unread bytes lie in [begin_, end_)
  std::size_t size_ = 0;
  std::size_t begin_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;     // the file has been read to its end
  bool failed_ = false;
  bool dropped_ = false;   // bytes already read have been let go
};
