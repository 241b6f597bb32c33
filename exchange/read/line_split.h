// Cutting one exchange-file line into its fields: the byte rules the host's
// lines follow (double-byte pairs, quotes, "=", blanks) with no allocation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The fields of one line. At most kMaxFields are kept; `count` goes on
// counting past them (see JwwSplitFields) so that forms needing an exact
// count reject an over-long line instead of matching its first fields.
struct TJwwFields {
  static constexpr std::size_t kMaxFields = 32;
  // Where a kept field lies in the split line. Left uninitialised: a line is
  // split for every line of the file, and only the first `count` are read.
  struct TSpan {
    const char* data;
    std::size_t size;
  };
  std::array<TSpan, kMaxFields> field;
  std::size_t count = 0;  // fields found, the empty trailing one included
  // Leading fields that lie in the line exactly as they were read: no byte
  // before their end was dropped, a quote, "=" or part of a double-byte
  // character, so a split at blanks and tabs finds the same fields.
  std::size_t exact = 0;
  // Bit i: field i was read as a number whose text is already its number
  // text in the answer (TextToFloat's ownNumberText). Set as fields are read.
  mutable std::uint16_t ownNumbers = 0;

  // Field i, or the empty text when the line has no such kept field.
  std::string_view operator[](std::size_t i) const {
    return i < count && i < kMaxFields ? std::string_view(field[i].data, field[i].size) : std::string_view();
  }
  std::string_view Key() const { return (*this)[0]; }
};

// Splits `line[0..size)` in place: within a field, kept bytes are moved
// towards the front over dropped ones (the split only ever drops bytes), and
// `out` views the fields in the same memory, so `line` must outlive every use
// of `out`. What lies between the fields afterwards is unspecified.
//
// A lead byte takes the byte after it along (a lead byte in the last position
// is dropped); while splitting is on, a double quote switches it off and is
// dropped, "=" is kept and switches it off, a blank or tab ends a non-empty
// field; bytes outside 0x20..0xFD are dropped. Fields past the 32nd are not
// kept, but still counted, so a line of 40 words has count 40.
void JwwSplitFields(char* line, std::size_t size, TJwwFields& out);

// The same split for the commonest lines, made only of blanks and bytes
// 0x21..0x7E other than a quote and "=": fields are the runs between blanks,
// found eight bytes at a time, and no byte moves. Gives exactly what
// JwwSplitFields gives for such a line and true; false, with `out` in an
// unspecified state, for any other line (a tab included). JwwSplitFields
// takes the plain start of every line this way.
bool JwwSplitPlainFields(const char* line, std::size_t size, TJwwFields& out);
