// Looking at sixteen bytes at once: which of them are line breaks, blanks or
// bytes the field split must treat one by one. The reader's framing and
// field split spend most of their time finding such bytes in long runs of
// ordinary ones. With SSE2 (every x86-64 build) a step is a few vector
// instructions; elsewhere the same masks are built byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Bit k of each mask stands for byte k of the sixteen.
struct TJwwByteMasks {
  std::uint32_t special = 0;   // outside blank..0x7E, a quote or "=" (a tab included)
  std::uint32_t nonBlank = 0;  // anything but a blank (0x20)
};

// The masks of p[0..16); all sixteen bytes must be readable.
inline TJwwByteMasks JwwByteMasks(const char* p) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  // Signed compares: bytes 0x80..0xFF are negative, so "below a blank"
  // takes them in with the control bytes.
  const __m128i below = _mm_cmplt_epi8(v, _mm_set1_epi8(0x20));
  const __m128i del = _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F));
  const __m128i quote = _mm_cmpeq_epi8(v, _mm_set1_epi8('"'));
  const __m128i equals = _mm_cmpeq_epi8(v, _mm_set1_epi8('='));
  const __m128i special = _mm_or_si128(_mm_or_si128(below, del), _mm_or_si128(quote, equals));
  const __m128i blank = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
  TJwwByteMasks m;
  m.special = static_cast<std::uint32_t>(_mm_movemask_epi8(special));
  m.nonBlank = static_cast<std::uint32_t>(_mm_movemask_epi8(blank)) ^ 0xFFFFu;
  return m;
#else
  TJwwByteMasks m;
  for (unsigned k = 0; k < 16; ++k) {
    const auto b = static_cast<unsigned char>(p[k]);
    if (b < 0x20 || b > 0x7E || b == '"' || b == '=') m.special |= 1u << k;
    if (b != ' ') m.nonBlank |= 1u << k;
  }
  return m;
#endif
}

// Bit k set when byte k of p[0..16) is an LF or a CR.
inline std::uint32_t JwwLineBreakMask(const char* p) {
#if defined(__SSE2__)
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i hit = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
  return static_cast<std::uint32_t>(_mm_movemask_epi8(hit));
#else
  std::uint32_t m = 0;
  for (unsigned k = 0; k < 16; ++k) {
    if (p[k] == '\n' || p[k] == '\r') m |= 1u << k;
  }
  return m;
#endif
}
