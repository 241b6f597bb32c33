// The output line buffer: entries kept in file form, and the join points of
// text pairs.
#include "exchange/output_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>

#include "exchange/atomic_file.h"

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

TJwwOutputBuffer::TJwwOutputBuffer() = default;
TJwwOutputBuffer::~TJwwOutputBuffer() = default;
TJwwOutputBuffer::TJwwOutputBuffer(TJwwOutputBuffer&&) noexcept = default;
TJwwOutputBuffer& TJwwOutputBuffer::operator=(TJwwOutputBuffer&&) noexcept = default;

TJwwOutputBuffer::TJwwOutputBuffer(const TJwwOutputBuffer& other)
    : bytes_(other.bytes_),
      entries_(other.entries_),
      joins_(other.joins_),
      streamTarget_(other.streamTarget_),
      streamSeam_(other.streamSeam_),
      streamFailed_(other.streamFailed_ || other.stream_ != nullptr) {}

TJwwOutputBuffer& TJwwOutputBuffer::operator=(const TJwwOutputBuffer& other) {
  if (this != &other) *this = TJwwOutputBuffer(other);
  return *this;
}

// Two inlined stores instead of a second call to append for every line.
void TJwwOutputBuffer::EndLine() {
  bytes_.push_back('\r');
  bytes_.push_back('\n');
}

void TJwwOutputBuffer::StreamIfFull() {
  if (streamTarget_.empty() || bytes_.size() < kStreamChunk) return;
  if (stream_ == nullptr) {
    stream_ = std::make_unique<TFileReplacement>(streamTarget_, streamSeam_);
    joins_.clear();  // offsets into bytes that are about to leave
  }
  // A failed write is remembered: the answer is then lost, and WriteFile
  // leaves the host's file as it was instead of writing part of it.
  if (!stream_->Write(bytes_) && !streamFailed_) {
    streamFailed_ = true;
    streamError_ = stream_->Error();
  }
  bytes_.clear();  // the room is kept for the next chunk
}

void TJwwOutputBuffer::Append(std::string_view line) {
  bytes_.append(line);
  EndLine();
  ++entries_;
  StreamIfFull();
}

void TJwwOutputBuffer::AppendJoined(std::string_view head, std::string_view text) {
  bytes_.append(head);
  if (stream_ == nullptr) joins_.push_back(bytes_.size());
  bytes_.append(text);
  EndLine();
  entries_ += 2;
  StreamIfFull();
}

void TJwwOutputBuffer::StreamTo(const std::filesystem::path& target, IFileReplaceSeam* seam) {
  streamTarget_ = target;
  streamSeam_ = seam;
}

bool TJwwOutputBuffer::WriteFile(const std::filesystem::path& target, IFileReplaceSeam* seam, TFileError* error) {
  if (stream_ == nullptr && !streamFailed_) {
    return ReplaceFileContents(target, bytes_, seam != nullptr ? seam : streamSeam_, error);
  }
  // Streamed for another file, the answer cannot be put together again.
  TFileError result = streamError_;
  if (!result.Failed()) {
    if (stream_ == nullptr || stream_->Target() != target) {
      result = ErrnoError("write", EIO);
    } else if (!stream_->Write(bytes_) || !stream_->Commit()) {
      result = stream_->Error();
    }
  }
  Clear();
  if (error != nullptr) *error = result;
  return !result.Failed();
}

std::size_t TJwwOutputBuffer::TotalBytes() const {
  return (stream_ != nullptr ? stream_->Written() : 0) + bytes_.size();
}

std::string_view TJwwOutputBuffer::Find(std::size_t i, bool& joinsNext) const {
  const std::string_view all = bytes_;
  auto join = joins_.begin();
  std::size_t entry = 0;
  std::size_t begin = 0;
  while (entry <= i && begin < all.size()) {
    // Entries never hold a line end of their own in the answers the writer
    // builds; the last CR LF of a line is its end.
    std::size_t end = all.find(kLineEnd, begin);
    if (end == std::string_view::npos) end = all.size();
    const bool joined = join != joins_.end() && *join < end;
    if (joined) {
      if (entry == i) {
        joinsNext = true;
        return all.substr(begin, *join - begin);
      }
      if (entry + 1 == i) {
        joinsNext = false;
        return all.substr(*join, end - *join);
      }
      ++join;
      entry += 2;
    } else {
      if (entry == i) {
        joinsNext = false;
        return all.substr(begin, end - begin);
      }
      ++entry;
    }
    begin = end + kLineEnd.size();
  }
  joinsNext = false;
  return {};
}

std::string_view TJwwOutputBuffer::Entry(std::size_t i) const {
  bool joinsNext = false;
  return Find(i, joinsNext);
}

bool TJwwOutputBuffer::JoinsNext(std::size_t i) const {
  bool joinsNext = false;
  Find(i, joinsNext);
  return joinsNext;
}

void TJwwOutputBuffer::Reserve(std::size_t bytes) {
  // Only a hint: without the room the buffer still grows as it is filled.
  try {
    bytes_.reserve(bytes);
  } catch (const std::exception&) {
  }
}

void TJwwOutputBuffer::Clear() {
  std::string().swap(bytes_);
  std::vector<std::size_t>().swap(joins_);
  entries_ = 0;
  stream_.reset();  // removes the temporary file unless it was committed
  streamFailed_ = false;
  streamError_ = {};
  streamTarget_.clear();
  streamSeam_ = nullptr;
}
