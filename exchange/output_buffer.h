// The output line buffer: the answer to the host, collected entry by entry and
// held already in file form (CR LF after each line) so the close-time write is
// one sequential copy. Only the bytes are kept, with the few places where a
// text's two entries meet: a per-entry index would cost more than a fifth of
// the answer's size on a large drawing, and only tests look entries up.
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

  // Entries appended, each text pair counting as two.
  std::size_t Count() const { return entries_; }
  // Lines of the file, each text pair counting as one.
  std::size_t LineCount() const { return entries_ - joins_.size(); }

  // Entry i, and whether it forms one file line with the entry after it. Both
  // walk the buffer from its start: for tests and diagnostics, not for loops.
  std::string_view Entry(std::size_t i) const;
  bool JoinsNext(std::size_t i) const;

  // The bytes of the file: every line ended with CR LF. Empty when Count() is 0.
  std::string_view FileBytes() const { return bytes_; }

  // Makes room for about this many bytes, so that a large answer is not copied
  // again and again while it grows. A request that cannot be met is ignored.
  void Reserve(std::size_t bytes);

  // Empties the buffer and releases its storage.
  void Clear();

 private:
  void EndLine();
  // Finds entry i: its bytes and whether it joins the next one.
  std::string_view Find(std::size_t i, bool& joinsNext) const;

  std::string bytes_;
  std::size_t entries_ = 0;
  std::vector<std::size_t> joins_;  // offsets in bytes_ where a pair's text begins, ascending
};
