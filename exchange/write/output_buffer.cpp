// The output line buffer: entries kept in file form, streamed on in chunks.
#include "exchange/write/output_buffer.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <utility>

#include "exchange/file/atomic_file.h"

TJwwOutputBuffer::TJwwOutputBuffer() = default;
TJwwOutputBuffer::~TJwwOutputBuffer() = default;

TJwwOutputBuffer::TJwwOutputBuffer(TJwwOutputBuffer&& other) noexcept
    : data_(std::move(other.data_)),
      size_(std::exchange(other.size_, 0)),
      capacity_(std::exchange(other.capacity_, 0)),
      streamAt_(std::exchange(other.streamAt_, kNoStream)),
      entries_(std::exchange(other.entries_, 0)),
      pairs_(std::exchange(other.pairs_, 0)),
      streamTarget_(std::move(other.streamTarget_)),
      streamSeam_(std::exchange(other.streamSeam_, nullptr)),
      stream_(std::move(other.stream_)),
      streamFailed_(std::exchange(other.streamFailed_, false)),
      streamError_(std::exchange(other.streamError_, TFileError{})) {
  other.streamTarget_.clear();
}

TJwwOutputBuffer& TJwwOutputBuffer::operator=(TJwwOutputBuffer&& other) noexcept {
  if (this != &other) {
    Clear();
    data_ = std::move(other.data_);
    size_ = std::exchange(other.size_, 0);
    capacity_ = std::exchange(other.capacity_, 0);
    streamAt_ = std::exchange(other.streamAt_, kNoStream);
    entries_ = std::exchange(other.entries_, 0);
    pairs_ = std::exchange(other.pairs_, 0);
    streamTarget_ = std::move(other.streamTarget_);
    other.streamTarget_.clear();
    streamSeam_ = std::exchange(other.streamSeam_, nullptr);
    stream_ = std::move(other.stream_);
    streamFailed_ = std::exchange(other.streamFailed_, false);
    streamError_ = std::exchange(other.streamError_, TFileError{});
  }
  return *this;
}

TJwwOutputBuffer::TJwwOutputBuffer(const TJwwOutputBuffer& other)
    : streamAt_(other.streamAt_),
      entries_(other.entries_),
      pairs_(other.pairs_),
      streamTarget_(other.streamTarget_),
      streamSeam_(other.streamSeam_),
      streamFailed_(other.streamFailed_ || other.stream_ != nullptr) {
  if (other.size_ != 0) {
    Grow(other.size_);
    std::memcpy(data_.get(), other.data_.get(), other.size_);
    size_ = other.size_;
  }
}

TJwwOutputBuffer& TJwwOutputBuffer::operator=(const TJwwOutputBuffer& other) {
  if (this != &other) *this = TJwwOutputBuffer(other);
  return *this;
}

void TJwwOutputBuffer::Grow(std::size_t more) {
  // Doubling keeps a buffer grown line by line from copying itself more than
  // about once over; a streaming buffer stops growing at about one chunk.
  const std::size_t needed = size_ + more;
  std::size_t capacity = capacity_ < 256 ? 256 : capacity_;
  while (capacity < needed) capacity = capacity > kNoStream / 2 ? needed : capacity * 2;
  Reallocate(capacity);
}

void TJwwOutputBuffer::Reallocate(std::size_t capacity) {
  std::unique_ptr<char[]> data(new char[capacity]);  // not filled: only bytes written are read
  if (size_ != 0) std::memcpy(data.get(), data_.get(), size_);
  data_ = std::move(data);
  capacity_ = capacity;
}

void TJwwOutputBuffer::StreamOut() {
  if (stream_ == nullptr) stream_ = std::make_unique<TFileReplacement>(streamTarget_, streamSeam_);
  // A failed write is remembered: the answer is then lost, and WriteFile
  // leaves the host's file as it was instead of writing part of it.
  if (!stream_->Write(FileBytes()) && !streamFailed_) {
    streamFailed_ = true;
    streamError_ = stream_->Error();
  }
  size_ = 0;  // the room is kept for the next chunk
}

void TJwwOutputBuffer::AppendJoined(std::string_view head, std::string_view text) {
  char* out = LineRoom(head.size() + text.size());
  if (!head.empty()) std::memcpy(out, head.data(), head.size());
  out += head.size();
  ++pairs_;
  if (!text.empty()) std::memcpy(out, text.data(), text.size());
  out += text.size();
  ++entries_;  // the pair counts as two entries, EndLine adds the second
  EndLine(out);
}

void TJwwOutputBuffer::StreamTo(const std::filesystem::path& target, IFileReplaceSeam* seam) {
  streamTarget_ = target;
  streamSeam_ = seam;
  streamAt_ = target.empty() ? kNoStream : kStreamChunk;
}

bool TJwwOutputBuffer::WriteFile(const std::filesystem::path& target, IFileReplaceSeam* seam, TFileError* error) {
  if (stream_ == nullptr && !streamFailed_) {
    return ReplaceFileContents(target, FileBytes(), seam != nullptr ? seam : streamSeam_, error);
  }
  // Streamed for another file, the answer cannot be put together again.
  TFileError result = streamError_;
  if (!result.Failed()) {
    if (stream_ == nullptr || stream_->Target() != target) {
      result = ErrnoError("write", EIO);
    } else if (!stream_->Write(FileBytes()) || !stream_->Commit()) {
      result = stream_->Error();
    }
  }
  Clear();
  if (error != nullptr) *error = result;
  return !result.Failed();
}

std::size_t TJwwOutputBuffer::TotalBytes() const {
  return (stream_ != nullptr ? stream_->Written() : 0) + size_;
}

void TJwwOutputBuffer::Reserve(std::size_t bytes) {
  // Only a hint: without the room the buffer still grows as it is filled.
  if (bytes <= capacity_) return;
  try {
    Reallocate(bytes);
  } catch (const std::exception&) {
  }
}

void TJwwOutputBuffer::Clear() {
  data_.reset();
  size_ = 0;
  capacity_ = 0;
  streamAt_ = kNoStream;
  pairs_ = 0;
  entries_ = 0;
  stream_.reset();  // removes the temporary file unless it was committed
  streamFailed_ = false;
  streamError_ = {};
  streamTarget_.clear();
  streamSeam_ = nullptr;
}
