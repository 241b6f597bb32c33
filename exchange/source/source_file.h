// The exchange file read again while the answer is written: numbers already in
// final form are copied from it instead of being formatted a second time. The
// file stays open from the start of reading until the walk ends, letting others
// read it but not write it, and is read through a small window that moves
// forward with the walk (keeping it all in memory would cost a second copy of
// the drawing's size).
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

// Where an entity's line lies in the exchange file and which of its fields
// the record writer may copy, packed into one word of the order list.
struct TJwwLineSource {
  static constexpr int kOffsetBits = 48;
  static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kOffsetBits) - 1;

  static std::uint64_t Pack(std::uint64_t offset, std::uint16_t fields) {
    return offset > kOffsetMask ? 0 : offset | (std::uint64_t{fields} << kOffsetBits);
  }
  static std::uint64_t Offset(std::uint64_t packed) { return packed & kOffsetMask; }
  static std::uint16_t Fields(std::uint64_t packed) { return static_cast<std::uint16_t>(packed >> kOffsetBits); }

  // A plain line of four numbers in final form, written as the answer writes
  // it (single blanks between, none before or after), is copied whole: the
  // top bit of its fields says so and the bits below carry the line's length
  // (no record's fields reach that high).
  static constexpr std::uint16_t kWholeLine = 0x8000;
  static constexpr std::size_t kWholeLineMax = 0x7FF;
  static constexpr std::uint16_t kPlainLineFields = 0x0F;
  static std::uint16_t WholeLine(std::size_t size) {
    return size > kWholeLineMax ? kPlainLineFields
                                : static_cast<std::uint16_t>(kWholeLine | size << 4 | kPlainLineFields);
  }
  static bool IsWholeLine(std::uint16_t fields) { return (fields & kWholeLine) != 0; }
  static std::size_t WholeLineSize(std::uint16_t fields) { return fields >> 4 & kWholeLineMax; }
};

class TJwwSourceFile {
 public:
  TJwwSourceFile() = default;
  ~TJwwSourceFile() { Close(); }
  TJwwSourceFile(const TJwwSourceFile&) = delete;
  TJwwSourceFile& operator=(const TJwwSourceFile&) = delete;

  // Opens the file for reading, denying others the right to write it where
  // the platform allows. False when it cannot be opened.
  bool Open(const std::filesystem::path& path);
  void Close();
  bool IsOpen() const { return file_ != nullptr; }
  // The file last opened, so that a second reader can open it too.
  const std::filesystem::path& Path() const { return path_; }

  // Up to `want` bytes (at most kWindow) from `offset`: fewer at the end of
  // the file, none when they cannot be read. Valid until the next call.
  std::string_view At(std::uint64_t offset, std::size_t want) {
    // The walk reads forward, nearly always inside the window.
    if (offset >= windowStart_ && want <= kWindow && offset - windowStart_ + want <= windowSize_) {
      return std::string_view(window_.get() + (offset - windowStart_), want);
    }
    return Refill(offset, want);
  }

  static constexpr std::size_t kWindow = std::size_t{256} << 10;

 private:
  // At, for bytes not all in the window: moves the window to `offset`.
  std::string_view Refill(std::uint64_t offset, std::size_t want);

  std::FILE* file_ = nullptr;
  std::filesystem::path path_;
  std::unique_ptr<char[]> window_;  // allocated on first use, never zero-filled
  std::uint64_t windowStart_ = 0;
  std::size_t windowSize_ = 0;
};

// The copyable fields of the entity being written, found in its source line.
struct TJwwCopyFields {
  static constexpr std::size_t kMaxFields = 16;
  // The longest field and run copied. Final-form number text is far shorter
  // (at most 21 bytes); a file changed since it was read may hold more,
  // which is then formatted instead: the lines built have room for these.
  static constexpr std::size_t kMaxField = 40;
  static constexpr std::size_t kMaxRun = 255;
  struct TSpan {
    const char* data;
    std::size_t size;
  };
  std::uint16_t mask = 0;  // bit i: field i is in final form and found
  // A plain line marked to be copied whole (TJwwLineSource::kWholeLine): the
  // bytes read at its offset, its `lineSize` bytes and the one after, not yet
  // checked (JwwCopyLine checks them as it copies); else empty.
  std::string_view line;
  std::size_t lineSize = 0;
  // A keyword line's bytes from its start to the end of field `runLast`
  // (JwwFindCopyRun), or empty.
  std::string_view run;
  std::size_t runLast = 0;
  // Left uninitialised: found for every entity written, and only those the
  // mask names are read.
  TSpan field[kMaxFields];

  // Nothing found: no field, no whole line, no run (the spans stay as they are).
  void Clear() {
    mask = 0;
    line = {};
    lineSize = 0;
    run = {};
  }

  // The keyword line's bytes up to the end of field `last`, to be written
  // as they are, when they begin with `keyword` and a blank; else empty.
  std::string_view Run(std::string_view keyword, std::size_t last) const {
    const bool fits = last == runLast && run.size() > keyword.size() && run[keyword.size()] == ' ' &&
                      run.compare(0, keyword.size(), keyword) == 0;
    return fits ? run : std::string_view();
  }

  // The text of field i to copy, or empty when it is to be formatted.
  std::string_view Get(std::size_t i) const {
    return i < kMaxFields && (mask >> i & 1u) != 0 ? std::string_view(field[i].data, field[i].size)
                                                   : std::string_view();
  }
};

// Finds the fields named in `wanted` in `line` (fields separated by blanks or
// tabs, the line ending at CR, LF or the end of the bytes), keeping those made
// of digits, "." and "-" only, of at most kMaxField bytes. The reader marks a line only when its fields lie
// in the file exactly as it split them, so the same fields are found.
void JwwFindCopyFields(std::string_view line, std::uint16_t wanted, TJwwCopyFields& found);

// For a keyword line whose fields 1..last (at least 1) are all to be copied:
// true, with `found.run` set to the line's bytes up to the end of field
// `last`, when the keyword (no blank, shorter than eight bytes) is followed by
// fields 1..last each after a single blank and made of number bytes only
// ("-", ".", digits), the last one ended by a blank, CR or LF, all in at most
// kMaxRun bytes. Such bytes are
// what the writer writes for the keyword and those fields' copies, so they are
// copied at once. False otherwise; the fields may then still be found one by
// one (JwwFindCopyFields).
bool JwwFindCopyRun(std::string_view line, std::size_t last, TJwwCopyFields& found);

// For a line marked to be copied whole: true when `bytes` (read at its
// offset, up to `size` + 1 bytes, so that the end of the file is the only
// reason for fewer) begin with `size` bytes of number text and blanks ("-",
// ".", digits, blanks) ended by CR, LF or the end of the bytes. Those bytes
// are copied to `out` (room for `size` bytes) as they are checked; when the
// result is false, `out` holds bytes of no meaning, and the file no longer
// holds such a line there.
bool JwwCopyLine(std::string_view bytes, std::size_t size, char* out);
