// The four-decimal path of the number text against the 15-digit precision
// path, on the values it takes and on those just beside it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "exchange/write/number_text.h"

namespace {

void ExpectAsByPrecision(double v) { ASSERT_EQ(NumberText(v), NumberTextByPrecision(v)) << std::hexfloat << v; }

// Whole numbers of ten-thousandths, tenths and so on, across the whole range
// the path takes (up to 10^15 ten-thousandths) and both signs; each also nudged
// by one unit in the last place, which must round the same way or leave the path.
TEST(NumberTextFourDecimals, ScaledWholeNumbersAgreeWithThePrecisionPath) {
  std::mt19937_64 rng(4);
  for (int i = 0; i < 300000; ++i) {
    const int digits = static_cast<int>(rng() % 16) + 1;
    const auto n = static_cast<double>(rng() % static_cast<uint64_t>(std::pow(10.0, digits)));
    const double v = n / std::pow(10.0, static_cast<double>(rng() % 5)) * ((rng() & 1) ? -1.0 : 1.0);
    ExpectAsByPrecision(v);
    ExpectAsByPrecision(std::nextafter(v, 1e300));
    ExpectAsByPrecision(std::nextafter(v, -1e300));
  }
}

// The edges: the smallest value it writes, trailing zeros of the fraction, a
// fraction below 0.001, and the top of the range where 10^4 times the value
// nears 10^15.
TEST(NumberTextFourDecimals, EdgesAgreeWithThePrecisionPath) {
  for (const double v : {0.0001, 0.00005, 0.00015, 0.0009, 0.001, 0.01, 0.1, 0.5, 0.9999, 1.0001, 1.5, 1.25, 10.125,
                         2.0005, 7.0625, 99999999999.9999, 99999999999.999, 100000000000.0001, 123456789012.5,
                         99999999999.99995, 1e11 - 0.5, 1e11 + 0.5, 0.3, 0.7, 1.1, 2.675, 1.0005}) {
    ExpectAsByPrecision(v);
    ExpectAsByPrecision(-v);
  }
}

// Values outside the plain range with 1 to 17 significant digits, across the
// exponents of doubles, and those at the plain range's edges: the shortest
// form written as it is where it has at most 15 digits, the rest rounded.
TEST(NumberTextExponent, ShortestFormsAgreeWithThePrecisionPath) {
  std::mt19937_64 rng(1214);
  for (int i = 0; i < 300000; ++i) {
    const int digits = static_cast<int>(rng() % 17) + 1;
    const auto n = static_cast<double>(rng() % static_cast<uint64_t>(std::pow(10.0, digits)));
    const int exp = static_cast<int>(rng() % 600) - 300;
    const double v = std::stod(std::to_string(static_cast<uint64_t>(n)) + "e" + std::to_string(exp - digits));
    if (!std::isfinite(v)) continue;
    ExpectAsByPrecision(v);
    ExpectAsByPrecision(-v);
  }
  for (const double v : {1e-5, 9.99999999999999e-5, 9.999999999999999e-5, 0.0001, 1e15, 9.99999999999999e14,
                         999999999999999.9, 1e16, 1.5e-300, 2.2250738585072014e-308, 1.7976931348623157e308,
                         1e-4 * (1 - 1e-16), 1e-4 * (1 + 1e-16), 5e-324}) {
    ExpectAsByPrecision(v);
    ExpectAsByPrecision(-v);
    ExpectAsByPrecision(std::nextafter(v, 0.0));
    ExpectAsByPrecision(std::nextafter(v, 1e308));
  }
}

}  // namespace
