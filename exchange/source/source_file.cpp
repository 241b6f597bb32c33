// Reading the exchange file again by offset, through a window that moves forward.
#include "exchange/source/source_file.h"

#include <array>
#include <bit>
#include <cstring>

#ifdef _WIN32
#include <share.h>
#endif


bool TJwwSourceFile::Open(const std::filesystem::path& path) {
  Close();
  path_ = path;
#ifdef _WIN32
  // Others may read the file while it is open, but not change it under us.
  file_ = _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
  file_ = std::fopen(path.c_str(), "rb");
#endif
  return file_ != nullptr;
}

void TJwwSourceFile::Close() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  windowSize_ = 0;
}

std::string_view TJwwSourceFile::Refill(std::uint64_t offset, std::size_t want) {
  if (file_ == nullptr) return {};
  if (want > kWindow) want = kWindow;
  const bool inside = offset >= windowStart_ && offset - windowStart_ + want <= windowSize_;
  if (!inside) {
    if (!window_) window_.reset(new char[kWindow]);
#ifdef _WIN32
    const bool placed = _fseeki64(file_, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    const bool placed = fseeko(file_, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
    windowStart_ = offset;
    windowSize_ = placed ? std::fread(window_.get(), 1, kWindow, file_) : 0;
  }
  const std::uint64_t from = offset - windowStart_;
  if (from >= windowSize_) return {};
  const std::size_t available = windowSize_ - static_cast<std::size_t>(from);
  return std::string_view(window_.get() + from, want < available ? want : available);
}

namespace {

// What a byte is to the search for fields: part of number text, any other
// byte of a field, or a byte that ends the field. One lookup per byte.
enum FieldByte : unsigned char { kNumberByte = 0, kOtherByte = 1, kEndByte = 2 };

constexpr std::array<FieldByte, 256> MakeFieldBytes() {
  std::array<FieldByte, 256> t{};
  for (int b = 0; b < 256; ++b) t[static_cast<std::size_t>(b)] = kOtherByte;
  for (char c : {' ', '\t', '\r', '\n'}) t[static_cast<unsigned char>(c)] = kEndByte;
  for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = kNumberByte;
  t['.'] = kNumberByte;
  t['-'] = kNumberByte;
  return t;
}

constexpr std::array<FieldByte, 256> kFieldBytes = MakeFieldBytes();

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;
constexpr std::uint64_t kLowBits = ~kHighBits;

// The high bit of (at least) the first of eight bytes that is not "-", "." or
// a digit (0x2D, 0x2E, 0x30..0x39); zero when all eight are. Borrows and
// carries only run towards higher bytes, so the lowest bit set is exact.
std::uint64_t NotNumberBytes(const unsigned char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  const std::uint64_t below = (v - kOnes * 0x2D) & ~v & kHighBits;     // bytes < 0x2D
  const std::uint64_t above = ((v + kOnes * (0x7F - 0x39)) | v) & kHighBits;  // bytes > 0x39
  const std::uint64_t x = v ^ (kOnes * '/');
  const std::uint64_t slash = (x - kOnes) & ~x & kHighBits;
  return below | above | slash;
}

// Where the run of number bytes from i ends, eight bytes at a time while
// eight remain (the first byte is the lowest), then byte by byte.
[[gnu::always_inline]] inline std::size_t SkipNumberBytes(const unsigned char* bytes, std::size_t i, std::size_t size) {
  while (size - i >= 8) {
    const std::uint64_t notNumber = NotNumberBytes(bytes + i);
    if (notNumber != 0) return i + static_cast<std::size_t>(std::countr_zero(notNumber)) / 8;
    i += 8;
  }
  while (i < size && kFieldBytes[bytes[i]] == kNumberByte) ++i;
  return i;
}

// Eight bytes of `p`, the first byte lowest.
std::uint64_t LoadLittle(const unsigned char* p) {
  std::uint64_t v = 0;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Copies eight bytes from `in` to `out` and returns them as LoadLittle does,
// read once.
std::uint64_t CopyWord(const char* in, char* out) {
  std::uint64_t raw = 0;
  std::memcpy(&raw, in, sizeof raw);
  std::memcpy(out, &raw, sizeof raw);
  return raw;
}

// The first `n` (< 8) bytes of `p` the same way, the rest zero.
std::uint64_t LoadLittlePart(const unsigned char* p, std::size_t n) {
  std::uint64_t v = 0;
  for (std::size_t i = n; i-- > 0;) v = v << 8 | p[i];
  return v;
}

// The tests below work on the low seven bits of each byte (`low`, bytes of
// 0x00..0x7F), so that no sum carries into the next byte; the caller rules
// out bytes with the high bit set. Each sets the high bit of a byte where the
// test holds, exactly.
std::uint64_t AtLeast(std::uint64_t low, unsigned char c) { return low + kOnes * (0x80 - c); }
std::uint64_t NotEqual(std::uint64_t low, unsigned char c) { return (low ^ kOnes * c) + kLowBits; }

// The high bit of every byte of v that is not "-", ".", a digit or a blank.
std::uint64_t NotNumberOrBlank(std::uint64_t v) {
  const std::uint64_t low = v & kLowBits;
  const std::uint64_t number = AtLeast(low, 0x2D) & ~AtLeast(low, 0x3A) & NotEqual(low, '/');
  return (~number & NotEqual(low, ' ')) | v;
}

}  // namespace

void JwwFindCopyFields(std::string_view line, std::uint16_t wanted, TJwwCopyFields& found) {
  found.Clear();
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  std::size_t i = 0;
  for (std::size_t index = 0; index < TJwwCopyFields::kMaxFields && (wanted >> index) != 0; ++index) {
    while (i < size && (bytes[i] == ' ' || bytes[i] == '\t')) ++i;
    if (i == size || bytes[i] == '\r' || bytes[i] == '\n') break;
    const std::size_t start = i;
    // Only the bytes number text is made of are copied, whatever the file
    // holds now; the reader found the rest of the rule true for this field.
    unsigned other = 0;
    while ((i = SkipNumberBytes(bytes, i, size)) < size && kFieldBytes[bytes[i]] != kEndByte) {
      other = 1;
      ++i;
    }
    // A field running to the end of the bytes may go on past them.
    if (i == size) break;
    if ((wanted >> index & 1u) == 0 || other != 0 || i - start > TJwwCopyFields::kMaxField) continue;
    found.field[index] = {line.data() + start, i - start};
    found.mask = static_cast<std::uint16_t>(found.mask | (1u << index));
  }
}

bool JwwFindCopyRun(std::string_view line, std::size_t last, TJwwCopyFields& found) {
  found.Clear();
  const auto* bytes = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  // Eight bytes from `at`, or the few left padded with zero bytes, which are
  // neither number bytes nor blanks: a field running into them may go on.
  auto load = [&](std::size_t at) {
    return size - at >= 8 ? LoadLittle(bytes + at) : LoadLittlePart(bytes + at, size - at);
  };
  if (size == 0 || last == 0) return false;
  const std::uint64_t head = load(0);
  const std::uint64_t headBlanks = ~NotEqual(head & kLowBits, ' ') & ~head & kHighBits;
  if ((headBlanks & 0xFF) != 0 || headBlanks == 0) return false;
  // From the blank after the keyword on: blank number i (counting from 0)
  // begins field i + 1, so blank number `last` or the line's end after
  // field `last` ends the run.
  std::size_t at = static_cast<std::size_t>(std::countr_zero(headBlanks)) / 8;
  std::size_t blanks = 0;
  std::uint64_t before = 0;  // the high bit of byte 0 set when the byte before `at` is a blank
  for (; at < size; at += 8) {
    const std::uint64_t v = load(at);
    const std::uint64_t bad = NotNumberOrBlank(v) & kHighBits;
    // Only the bytes before the first that is neither counts.
    const std::uint64_t counted = bad == 0 ? ~std::uint64_t{0} : (bad & (~bad + 1)) - 1;
    const std::uint64_t blanks8 = ~AtLeast(v & kLowBits, 0x2D) & kHighBits & counted;
    std::uint64_t blank = blanks8;
    // The second of two blanks in a row (an empty field: not as written)
    // matters only up to the run's end.
    const std::uint64_t pairs = blanks8 & (blanks8 << 8 | before);
    for (; blank != 0; blank &= blank - 1, ++blanks) {
      if (blanks == last) {
        if ((pairs & (blank ^ (blank - 1))) != 0) return false;
        const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(blank)) / 8;
        if (end > TJwwCopyFields::kMaxRun) return false;
        found.run = line.substr(0, end);
        found.runLast = last;
        return true;
      }
    }
    if (pairs != 0) return false;
    if (bad != 0) {
      const std::size_t end = at + static_cast<std::size_t>(std::countr_zero(bad)) / 8;
      if (end >= size || end > TJwwCopyFields::kMaxRun || blanks != last || (line[end] != '\r' && line[end] != '\n') ||
          line[end - 1] == ' ') {
        return false;
      }
      found.run = line.substr(0, end);
      found.runLast = last;
      return true;
    }
    before = blanks8 >> 56;  // every byte counted here: the last one's high bit
  }
  return false;
}

bool JwwCopyLine(std::string_view bytes, std::size_t size, char* out) {
  if (size == 0 || bytes.size() < size) return false;
  if (bytes.size() > size && bytes[size] != '\r' && bytes[size] != '\n') return false;
  const char* in = bytes.data();
  std::uint64_t bad = 0;
  if (size >= 8) {
    // Whole words, then the last eight bytes again, overlapping the words
    // before: judging and copying a byte twice costs less than a loop over
    // the rest. All verdicts are collected before one branch.
    for (std::size_t i = 0; size - i >= 8; i += 8) bad |= NotNumberOrBlank(CopyWord(in + i, out + i));
    bad |= NotNumberOrBlank(CopyWord(in + size - 8, out + size - 8));
  } else {
    std::memcpy(out, in, size);
    // Padded with blanks, which are allowed.
    bad = NotNumberOrBlank(LoadLittlePart(reinterpret_cast<const unsigned char*>(in), size) |
                           (kOnes * ' ' << (8 * size)));
  }
  return (bad & kHighBits) == 0;
}
