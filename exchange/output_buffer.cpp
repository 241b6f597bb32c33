// The output line buffer: entries kept in file form, and the join points of
// text pairs.
#include "exchange/output_buffer.h"

#include <algorithm>
#include <cstring>
#include <exception>

namespace {
constexpr std::string_view kLineEnd = "\r\n";
}

// Two inlined stores instead of a second call to append for every line.
void TJwwOutputBuffer::EndLine() {
  bytes_.push_back('\r');
  bytes_.push_back('\n');
}

void TJwwOutputBuffer::Append(std::string_view line) {
  bytes_.append(line);
  EndLine();
  ++entries_;
}

void TJwwOutputBuffer::AppendJoined(std::string_view head, std::string_view text) {
  bytes_.append(head);
  joins_.push_back(bytes_.size());
  bytes_.append(text);
  EndLine();
  entries_ += 2;
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
}
