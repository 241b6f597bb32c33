// The output line buffer: entries kept in file form, with their spans.
#include "exchange/output_buffer.h"

#include <exception>

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

void TJwwOutputBuffer::Append(std::string_view line) {
  spans_.push_back({bytes_.size(), static_cast<std::uint32_t>(line.size()), false});
  bytes_.append(line);
  bytes_.append(kLineEnd);
}

void TJwwOutputBuffer::AppendJoined(std::string_view head, std::string_view text) {
  spans_.push_back({bytes_.size(), static_cast<std::uint32_t>(head.size()), true});
  bytes_.append(head);
  spans_.push_back({bytes_.size(), static_cast<std::uint32_t>(text.size()), false});
  bytes_.append(text);
  bytes_.append(kLineEnd);
}

std::string_view TJwwOutputBuffer::Entry(std::size_t i) const {
  const Span& s = spans_[i];
  return std::string_view(bytes_).substr(static_cast<std::size_t>(s.start), s.length);
}

void TJwwOutputBuffer::Reserve(std::size_t bytes, std::size_t entries) {
  // Only a hint: without the room the buffer still grows as it is filled.
  try {
    bytes_.reserve(bytes);
    spans_.reserve(entries);
  } catch (const std::exception&) {
  }
}

void TJwwOutputBuffer::Clear() {
  std::string().swap(bytes_);
  std::vector<Span>().swap(spans_);
}
