// The output line buffer: the answer to the host, collected entry by entry and
// held already in file form (CR LF after each line) so the close-time write is
// one sequential copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TJwwOutputBuffer {
 public:
  // Appends one entry that becomes one file line. Kept whole, however long.
  void Append(std::string_view line);

  // Appends the two entries of a text or dimension text: the keyword-and-numbers
  // head (ending in a blank and a double quote) and the text. They become one
  // file line. Only these pairs are joined, never by what an entry ends with.
  void AppendJoined(std::string_view head, std::string_view text);

  std::size_t Count() const { return spans_.size(); }
  std::string_view Entry(std::size_t i) const;
  // True when entry i and the entry after it form one file line.
  bool JoinsNext(std::size_t i) const { return spans_[i].joins_next; }

  // The bytes of the file: every line ended with CR LF. Empty when Count() is 0.
  std::string_view FileBytes() const { return bytes_; }

  // Makes room for about this many bytes and entries, so that a large answer
  // is not copied again and again while it grows. A request that cannot be
  // met is ignored.
  void Reserve(std::size_t bytes, std::size_t entries);

  // Empties the buffer and releases its storage.
  void Clear();

 private:
  struct Span {
    std::uint64_t start = 0;
    std::uint32_t length = 0;
    bool joins_next = false;
  };
  std::string bytes_;
  std::vector<Span> spans_;
};
