// Reading a large exchange file on two threads. While the store takes the
// lines of one block, a second thread reads the next block: first its plain
// four-number lines (the commonest lines, and the costliest to read), then it
// cuts other lines into their fields, in place, until the block is taken.
// Both touch nothing but the line's own bytes. Taking a line then only stores
// what was read, or applies the fields already cut. A line with a CR before
// its end is left whole to the reading thread, so the store ends up exactly
// as a reading on one thread leaves it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <optional>

#include "exchange/line_split.h"
#include "exchange/reader.h"
#include "exchange/reader_rows.h"

// What the second thread found in one line of a block.
struct TJwwLineAhead {
  enum TState : std::uint8_t {
    kUnread,    // not looked at: the line is read where it is taken
    kPlain,     // a plain four-number line, read into `numbers`
    kNotPlain,  // not one, and not cut: the general split takes it
    kSplit,     // not one, and cut in place into the fields named below
  };
  TState state = kUnread;
  // The line's bytes up to its LF, and without a CR at their end. A line
  // that is read ahead has no other CR, so nothing of it moves when CRs are
  // dropped.
  std::size_t length = 0;
  std::size_t size = 0;
  TJwwPlainNumbers numbers;
  // A line cut ahead: its kept fields are the block's field list from
  // `firstField` on (at most TJwwFields::kMaxFields of them), `fieldCount`
  // and `exactFields` are the split's `count` and `exact`.
  std::uint32_t firstField = 0;
  std::uint32_t fieldCount = 0;
  std::uint32_t exactFields = 0;
};

// Where one field of a line cut ahead lies in the line.
struct TJwwFieldAhead {
  std::uint32_t from = 0;
  std::uint32_t size = 0;
};

// How many of a block's other lines the read-ahead thread cuts: as many as
// it can before the block is taken (the reader's way), or, so that tests can
// see both ways of taking a line, none or all.
enum class TJwwCutAhead { kUntilTaken, kNone, kAll };

// Reads the open stream in blocks of `blockSize` bytes as the one-thread
// reader does (LF ends a line, CRs are dropped, Ctrl-Z ends the file, a line
// longer than a block grows it), with the lines of each block read ahead on a
// second thread. False on a read error; the lines before it stay applied.
// Empty, with nothing read, when no second thread can be started.
std::optional<bool> JwwReadStreamAhead(TJwwData& d, std::istream& in, std::size_t blockSize,
                                       IJwwReadProgress* progress, std::uint64_t total,
                                       TJwwCutAhead cut = TJwwCutAhead::kUntilTaken);

// Applies the line at `line[0..size)`, which begins at `offset` in the file,
// using what was read of it ahead (null when nothing was; when something
// was, `size` is not looked at, and `fields` is its block's field list).
void JwwApplyFileLine(TJwwData& d, char* line, std::size_t size, std::uint64_t offset, const TJwwLineAhead* ahead,
                      const TJwwFieldAhead* fields = nullptr);
