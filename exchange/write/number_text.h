// The three text forms in which the answer carries numbers: number text for
// real values, integer text, and the single hex digit of layer groups and layers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Room that PutNumberText needs at its output: the longest number text is 24
// bytes ("-", 15 digits, ".", "E-", three exponent digits), and it writes
// whole 16-byte groups of digits beyond the text's end.
inline constexpr std::size_t kNumberTextMax = 40;

// Writes the number text of `value` at `out` (room for kNumberTextMax bytes,
// of which only those up to the returned end are meaningful) and returns the end. 15 significant digits; plain notation for magnitudes
// from 0.0001 to below 1E15, otherwise "E" notation without "+" or leading
// exponent zeros; no trailing zeros; zero of either sign is "0". NaN and the
// infinities, which the reader never produces, are written as "0".
char* PutNumberText(char* out, double value);

// Writes the decimal text of `value` ("-" for negatives) and returns the end.
// Needs room for 11 bytes.
char* PutIntText(char* out, int32_t value);

// Writes `value` as upper-case hexadecimal without leading zeros ("0".."F"
// for 0..15; "-" before the digits of a negative value) and returns the end.
// Needs room for 9 bytes.
char* PutHexText(char* out, int32_t value);

// True when `text` is already exactly the number text, in plain notation, of the value it reads
// as (TextToFloat): an optional "-", "0" or digits without a leading zero,
// optionally "." and digits not ending in "0"; at most 15 significant digits;
// a magnitude from 0.0001 to below 1E15, or "0" itself; never "-0". Such text
// can be copied into the answer instead of being formatted again.
bool IsFinalNumberText(std::string_view text);

// The same as strings, for callers off the hot path.
std::string NumberText(double value);
std::string IntText(int32_t value);
std::string HexText(int32_t value);

// The reference form of number text, rounded through the precision path of
// std::to_chars for every value. PutNumberText must agree with it exactly.
std::string NumberTextByPrecision(double value);
