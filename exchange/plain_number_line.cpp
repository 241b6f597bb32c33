// The commonest line of a drawing, four numbers ("x1 y1 x2 y2"), read from a
// copy in a padded buffer: its blanks are found sixteen bytes at a time as it
// is copied, and the digits of each field between them read in one step.
#include "exchange/plain_number_line.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "util/padded_decimal.h"
#include "util/plain_decimal.h"
#include "util/text.h"

namespace {

constexpr std::size_t kFields = 4;

// What a byte is to a four-number line: a byte of number text, a blank or
// tab between fields, or a byte that leaves the line to the general split.
enum NumberLineByte : unsigned char { kOtherByte, kNumberByte, kBlankByte };

constexpr std::array<NumberLineByte, 256> MakeNumberLineBytes() {
  std::array<NumberLineByte, 256> t{};
  for (char c = '0'; c <= '9'; ++c) t[static_cast<unsigned char>(c)] = kNumberByte;
  for (char c : {'.', '+', '-', 'e', 'E'}) t[static_cast<unsigned char>(c)] = kNumberByte;
  t[' '] = kBlankByte;
  t['\t'] = kBlankByte;
  return t;
}

constexpr std::array<NumberLineByte, 256> kNumberLineBytes = MakeNumberLineBytes();

// The line copied after kPadBefore bytes of padding; 16 NUL bytes follow it.
constexpr std::size_t kPadBefore = padded_decimal::kPadBefore;
constexpr std::size_t kPadAfter = 16;

// Lines with more blanks than this are left to the bytewise reading.
constexpr std::size_t kMaxBlanks = 16;

// Where the blanks of a copied line are.
struct TLineBlanks {
  std::uint8_t at[kMaxBlanks + 16];  // room for one more chunk's blanks
  std::size_t count = 0;
};

// Notes the blanks of `bits` (bit i: byte 16 * chunk + i is a blank).
[[gnu::always_inline]] inline void NoteBlanks(std::uint32_t bits, std::size_t chunk, TLineBlanks& b) {
  // A local count: stores through the byte array could alias the member.
  std::size_t count = b.count;
  for (; bits != 0; bits &= bits - 1) {
    b.at[count++] = static_cast<std::uint8_t>(16 * chunk + static_cast<std::size_t>(std::countr_zero(bits)));
  }
  b.count = count;
}

// Copies line[0..size) (1 <= size <= kJwwPaddedNumberLine) to `text`, with
// the padding, and notes its blanks: false when there are more than
// kMaxBlanks. Reads nothing past the line.
bool CopyAndFindBlanks(const char* line, std::size_t size, char* text, TLineBlanks& b) {
  std::memset(text - kPadBefore, 0, kPadBefore);
  if (size < 16) {
    std::memset(text, 0, 16);
    padded_decimal::CopyShort(text, line, size);
  } else {
    padded_decimal::CopySixteen(text + size - 16, line + size - 16);
  }
  std::memset(text + size, 0, kPadAfter);
#if defined(__SSE2__)
  std::size_t c = 0;
  for (; 16 * c + 16 <= size; ++c) {
    const __m128i v = padded_decimal::LoadSixteen(line + 16 * c);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(text + 16 * c), v);
    NoteBlanks(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')))), c, b);
    if (b.count > kMaxBlanks) return false;
  }
  // The last bytes, and the NUL bytes after them, which are no blanks.
  const __m128i v = padded_decimal::LoadSixteen(text + 16 * c);
  NoteBlanks(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')))), c, b);
#else
  for (std::size_t i = 0; i + 16 <= size; i += 16) std::memcpy(text + i, line + i, 16);
  for (std::size_t i = 0; i < size && b.count <= kMaxBlanks; ++i) {
    if (text[i] == ' ') b.at[b.count++] = static_cast<std::uint8_t>(i);
  }
#endif
  return b.count <= kMaxBlanks;
}

// How reading a line ends: read, not a four-number line, or left to the
// bytewise reading.
enum class TRead { kRead, kNotPlain, kBytewise };

// Reads field k, text[begin..end) of a copied line, into `out`; sets bit k
// of `own` when the field is in final form. A field of plain decimal text is
// read here; TextToFloat reads any other field of number text. A byte of the
// line's own rules (a tab) leaves the line to the bytewise reading, and any
// other byte makes it no four-number line.
[[gnu::always_inline]] inline TRead ReadField(const char* text, std::size_t begin, std::size_t end, std::size_t k,
                                              TJwwPlainNumbers& out, unsigned& own) {
  const std::size_t size = end - begin;
  const char* const s = text + begin;
  bool fieldOwn = false;
  if (!padded_decimal::ReadPaddedField(s, size, out.value[k], fieldOwn)) {
    for (std::size_t i = 0; i < size; ++i) {
      const NumberLineByte kind = kNumberLineBytes[static_cast<unsigned char>(s[i])];
      if (kind != kNumberByte) return kind == kBlankByte ? TRead::kBytewise : TRead::kNotPlain;
    }
    bool readOwn = false;
    out.value[k] = TextToFloat(std::string_view(s, size), &readOwn);
    fieldOwn = readOwn;
  }
  own |= (fieldOwn ? 1u : 0u) << k;
  return TRead::kRead;
}

// The fields of a copied line, parted by its blanks.
TRead ReadBlankSeparated(const char* text, std::size_t size, const TLineBlanks& b, TJwwPlainNumbers& out) {
  const std::uint8_t* const at = b.at;
  unsigned own = 0;
  if (b.count == 3) {
    // The commonest: one blank between fields. Three blanks make four
    // fields only so.
    if (at[0] == 0 || at[1] == at[0] + 1 || at[2] == at[1] + 1 || at[2] + 1u == size) return TRead::kNotPlain;
    TRead r = ReadField(text, 0, at[0], 0, out, own);
    if (r == TRead::kRead) r = ReadField(text, at[0] + 1u, at[1], 1, out, own);
    if (r == TRead::kRead) r = ReadField(text, at[1] + 1u, at[2], 2, out, own);
    if (r == TRead::kRead) r = ReadField(text, at[2] + 1u, size, 3, out, own);
    out.ownNumbers = static_cast<std::uint16_t>(own);
    out.asWritten = true;
    return r;
  }
  std::size_t k = 0;
  std::size_t begin = 0;
  for (std::size_t j = 0; j < b.count; ++j) {
    if (at[j] > begin) {
      if (k + 1 == kFields) return TRead::kNotPlain;
      const TRead r = ReadField(text, begin, at[j], k++, out, own);
      if (r != TRead::kRead) return r;
    }
    begin = at[j] + 1u;
  }
  // A blank after the last field: the general split counts one more (empty)
  // field.
  if (begin == size || k + 1 != kFields) return TRead::kNotPlain;
  const TRead r = ReadField(text, begin, size, k, out, own);
  out.ownNumbers = static_cast<std::uint16_t>(own);
  out.asWritten = false;  // more blanks than a line written as the answer writes it has
  return r;
}

// JwwReadPlainNumberLine for a line whose first byte may begin one.
[[gnu::noinline]] bool ReadCandidateLine(const char* line, std::size_t size, TJwwPlainNumbers& out) {
  if (size > kJwwPaddedNumberLine) return JwwReadPlainNumberLineBytewise(line, size, out);
  alignas(16) char buf[kPadBefore + kJwwPaddedNumberLine + kPadAfter];
  char* const text = buf + kPadBefore;
  TLineBlanks b;
  TRead r = TRead::kBytewise;
  if (CopyAndFindBlanks(line, size, text, b)) r = ReadBlankSeparated(text, size, b, out);
  // Fields are parted here by blanks alone; a tab (rare in a drawing) parts
  // them too, so a line found wanting for its fields may still be one.
  if (r == TRead::kNotPlain && std::memchr(line, '\t', size) != nullptr) r = TRead::kBytewise;
  if (r == TRead::kBytewise) return JwwReadPlainNumberLineBytewise(line, size, out);
  return r == TRead::kRead;
}

}  // namespace

bool JwwReadPlainNumberLine(const char* line, std::size_t size, TJwwPlainNumbers& out) {
  out.ownNumbers = 0;
  // Keyword lines, about half of a drawing's, go at their first byte.
  if (size == 0 || kNumberLineBytes[static_cast<unsigned char>(line[0])] == kOtherByte) return false;
  return ReadCandidateLine(line, size, out);
}

bool JwwReadPlainNumberLineBytewise(const char* line, std::size_t size, TJwwPlainNumbers& out) {
  const auto* in = reinterpret_cast<const unsigned char*>(line);
  const char* const end = line + size;
  out.ownNumbers = 0;
  std::size_t i = 0;
  while (i < size && kNumberLineBytes[in[i]] == kBlankByte) ++i;
  // Written as the answer writes it: no blank first, single blanks between.
  bool asWritten = i == 0;
  for (std::size_t k = 0; k < kFields; ++k) {
    // An empty field here is a trailing blank, which the general split
    // counts as one more (empty) field, or a byte of its own rules.
    if (i == size || kNumberLineBytes[in[i]] != kNumberByte) return false;
    const char* stop = nullptr;
    bool own = false;
    out.value[k] = plain_decimal::ReadDecimalPrefix(line + i, end, &stop, &own);
    auto j = static_cast<std::size_t>(stop - line);
    if (j < size && kNumberLineBytes[in[j]] == kNumberByte) {
      // More than plain decimal text, such as an exponent: read whole.
      while (j < size && kNumberLineBytes[in[j]] == kNumberByte) ++j;
      out.value[k] = TextToFloat(std::string_view(line + i, j - i), &own);
    }
    if (own) out.ownNumbers = static_cast<std::uint16_t>(out.ownNumbers | (1u << k));
    i = j;
    if (i == size) {
      if (k + 1 != kFields) return false;
      break;
    }
    if (kNumberLineBytes[in[i]] != kBlankByte || k + 1 == kFields) return false;
    asWritten = asWritten && in[i] == ' ';
    ++i;
    asWritten = asWritten && (i == size || kNumberLineBytes[in[i]] != kBlankByte);
    while (i < size && kNumberLineBytes[in[i]] == kBlankByte) ++i;
  }
  out.asWritten = asWritten;
  return true;
}
