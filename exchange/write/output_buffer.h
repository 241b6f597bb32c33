// The output line buffer: the answer to the host, collected entry by entry and
// held already in file form (CR LF after each line) so the close-time write is
// one sequential copy. Only the bytes and the counts are kept: a per-entry
// index would cost more than a fifth of the answer's size on a large drawing.
//
// Given the file it is meant for, the buffer streams: whenever it holds a
// chunk's worth, the bytes go on to a temporary file beside that file, so a
// large answer never sits in memory whole. The temporary file takes the
// file's place only when the whole answer is written (WriteFile).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "exchange/file/file_error.h"

class TFileReplacement;
class IFileReplaceSeam;

class TJwwOutputBuffer {
 public:
  // Bytes held before they are streamed on.
  static constexpr std::size_t kStreamChunk = std::size_t{1} << 20;

  TJwwOutputBuffer();
  ~TJwwOutputBuffer();
  TJwwOutputBuffer(TJwwOutputBuffer&&) noexcept;
  TJwwOutputBuffer& operator=(TJwwOutputBuffer&&) noexcept;
  // A copy holds what is in memory. The temporary file stays with the
  // original, so the copy of a buffer that has streamed cannot write its
  // answer: its WriteFile fails.
  TJwwOutputBuffer(const TJwwOutputBuffer& other);
  TJwwOutputBuffer& operator=(const TJwwOutputBuffer& other);

  // Appends one entry that becomes one file line. Kept whole, however long.
  void Append(std::string_view line) {
    char* out = LineRoom(line.size());
    if (!line.empty()) std::memcpy(out, line.data(), line.size());
    EndLine(out + line.size());
  }

  // Room for one line of up to `bytes` bytes written in place: the bytes go
  // to the returned pointer, and EndLine(end) makes them an entry. Nothing
  // else may be appended in between. For lines built piece by piece, which
  // then need no copy of their own.
  char* LineRoom(std::size_t bytes) {
    if (capacity_ - size_ < bytes + kLineEndSize) Grow(bytes + kLineEndSize);
    return data_.get() + size_;
  }
  // Ends the line written from LineRoom's pointer up to `end` with CR LF.
  void EndLine(char* end) {
    end[0] = '\r';
    end[1] = '\n';
    size_ = static_cast<std::size_t>(end + kLineEndSize - data_.get());
    ++entries_;
    if (size_ >= streamAt_) StreamOut();
  }

  // Appends the two entries of a text or dimension text: the keyword-and-numbers
  // head (ending in a blank and a double quote) and the text. They become one
  // file line. Only these pairs are joined, never by what an entry ends with.
  void AppendJoined(std::string_view head, std::string_view text);

  // Entries appended, each text pair counting as two.
  std::size_t Count() const { return entries_; }
  // Lines of the file, each text pair counting as one.
  std::size_t LineCount() const { return entries_ - pairs_; }

  // The bytes of the file not yet streamed: every line ended with CR LF.
  // The whole answer unless it is streaming; empty when Count() is 0.
  std::string_view FileBytes() const { return std::string_view(data_.get(), size_); }

  // From now on, streams the answer meant for `target` through a temporary
  // file beside it once a chunk's worth is held. The target itself is only
  // replaced by WriteFile. `seam` (may be null) lets tests fail its steps.
  void StreamTo(const std::filesystem::path& target, IFileReplaceSeam* seam = nullptr);
  // True once a target to stream to is given.
  bool HasStreamTarget() const { return !streamTarget_.empty(); }
  // True once bytes have gone to the temporary file.
  bool Streaming() const { return stream_ != nullptr; }

  // Puts the whole answer into `target`, through a temporary file that
  // replaces it only when complete; false, with `target` as it was, when any
  // write failed, also one made while streaming. A streamed answer is gone
  // from the buffer afterwards; one held in memory stays.
  // `seam` (may be null) serves an answer held in memory whole, in place of
  // the one given to StreamTo; `error`, when given, receives the failing step
  // and the reason, also of a write made while streaming.
  bool WriteFile(const std::filesystem::path& target, IFileReplaceSeam* seam = nullptr, TFileError* error = nullptr);

  // Bytes of the answer so far: those streamed and those held.
  std::size_t TotalBytes() const;

  // Makes room for about this many bytes, so that a large answer is not copied
  // again and again while it grows. A request that cannot be met is ignored.
  void Reserve(std::size_t bytes);

  // Empties the buffer and releases its storage; a streamed answer's
  // temporary file is removed, and what follows is held in memory again.
  void Clear();

 private:
  static constexpr std::size_t kLineEndSize = 2;
  static constexpr std::size_t kNoStream = std::numeric_limits<std::size_t>::max();

  // Makes room for `more` bytes after those held, keeping them.
  void Grow(std::size_t more);
  // Moves the bytes held into new storage of exactly `capacity` bytes.
  void Reallocate(std::size_t capacity);
  // Sends the bytes held on to the temporary file (a chunk's worth is held).
  void StreamOut();

  // The bytes held: a plain array, so that appending a line costs one check
  // of the room left (std::string checks at every step and fills new room).
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t streamAt_ = kNoStream;  // bytes held that make a chunk to stream; kNoStream when held whole
  std::size_t entries_ = 0;
  std::size_t pairs_ = 0;           // text pairs appended, streamed ones too
  std::filesystem::path streamTarget_;       // empty: held in memory whole
  IFileReplaceSeam* streamSeam_ = nullptr;
  std::unique_ptr<TFileReplacement> stream_;  // the temporary file, from the first chunk streamed
  bool streamFailed_ = false;                 // a streamed write failed: WriteFile will fail
  TFileError streamError_;                    // why the first streamed write failed
};
