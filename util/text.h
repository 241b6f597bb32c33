// Text and number helpers over Shift-JIS bytes: exact, locale-free, and never
// failing towards the caller (unreadable text gives a fixed default).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Whole-text integer: leading spaces (0x20 only), an optional sign, then decimal
// digits or hex digits after "$", "x", "X", "0x" or "0X". Anything else, a
// trailing space or a decimal value outside int32 gives 0. Hex keeps up to eight
// significant digits, taken as a signed 32-bit value ("$FFFFFFFF" is -1).
int32_t TextToInt(std::string_view text);

// Whole-text real in ordinary decimal notation with "." (and an optional
// exponent), after optional leading spaces. Anything else gives 0.0.
// `ownNumberText`, when given, tells whether the text is exactly the answer's
// number text of the value (plain notation only; see IsFinalNumberText), so
// that the writer may copy it instead of formatting the value again.
double TextToFloat(std::string_view text, bool* ownNumberText = nullptr);

// For callers that cut fields themselves: reads an optional "-", digits, and
// an optional "." with digits from `p` (not past `end`), sets `*stop` where
// that ended, and returns TextToFloat of the bytes [p, *stop) with its
// `ownNumberText`. A caller that finds more of the field at `*stop` (an
// exponent, say) reads the whole field with TextToFloat instead.
double TextToFloatPrefix(const char* p, const char* end, const char** stop, bool* ownNumberText);

// True for T, TR, TRU, TRUE, 1, full-width 1, circle, ON, and the two kanji
// for true and correct, after removing blanks and upper-casing (CP932-aware).
bool TextToBool(std::string_view text);

// "1" or "0".
std::string BoolToText(bool value);

// Drops ASCII blanks, control characters and full-width spaces anywhere in the
// text; double-byte characters are kept whole.
std::string RemoveBlanks(std::string_view text);

// Splits comma/blank separated text into dest[0..capacity-1]; quoted items keep
// commas and blanks, a doubled quote stands for one. Items past capacity are
// dropped. Returns the number of items found (which may exceed capacity).
int SplitCommaText(std::string_view text, std::string* dest, std::size_t capacity);

// Euclidean distance between (x1, y1) and (x2, y2).
double PointDistance(double x1, double y1, double x2, double y2);

// Upper-cases a..z, leaving double-byte characters whole (CP932).
std::string UpperCaseSjis(std::string_view text);

// True for the lead bytes of CP932 double-byte characters (0x80..0x9F, 0xE0..0xFD).
constexpr bool IsSjisLeadByte(unsigned char b) { return (b >= 0x80 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFD); }

// The start of `text` as a message can show it whatever its encoding: printable
// ASCII as it is, every other byte as \xNN (both bytes of a Shift-JIS double-byte
// character), "..." after the first `maxBytes` bytes.
std::string PrintableExcerpt(std::string_view text, std::size_t maxBytes);
