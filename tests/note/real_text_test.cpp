#include "note/real_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace notora {
namespace {

std::string Real(double value) {
  char text[kRealTextRoom];
  return std::string(text, FormatRealText(value, text));
}

TEST(RealTextTest, ShortestExactFormElseFifteenDigits) {
  EXPECT_EQ(Real(0.5), "0.5");
  EXPECT_EQ(Real(100), "100");
  EXPECT_EQ(Real(0.3), "0.3");
  EXPECT_EQ(Real(-7), "-7");
  EXPECT_EQ(Real(-0.0), "-0");
  EXPECT_EQ(Real(999999999999999), "999999999999999");
  EXPECT_EQ(Real(1e15), "1e+015");
  EXPECT_EQ(Real(2.0 / 3.0), "0.666666666666667");
  EXPECT_EQ(Real(0.1 + 0.2), "0.300000000000000");
  EXPECT_EQ(Real(1e20), "1e+020");
  EXPECT_EQ(Real(1e-5), "1e-005");
  EXPECT_EQ(Real(1e300), "1e+300");
  EXPECT_EQ(Real(123456.78901234567), "1.234567890123457e+005");
  EXPECT_EQ(Real(5 * std::cos(-1.5707963267948966)), "3.061616997868383e-016");
  EXPECT_EQ(Real(0.00012345678901234567), "1.234567890123457e-004");
}

// Decimals of a few places (most box sizes and positions) and the doubles
// beside them, which are not such decimals: each text is the C library's
// 15-digit text where that reads back exactly, else its 15 places (between
// 0.001 and 1000; beyond, exponents are compared above).
TEST(RealTextTest, DecimalsOfFewPlacesAndTheirNeighboursMatchTheLibrarysFifteenDigits) {
  std::mt19937_64 random(12);
  std::vector<double> values = {1e-4, -1e-4, 9e-5, 0.0001000001, 99999999999.9999, 1e11 + 0.5,
                                12345678901.25, 0.1, 0.7, 1.05, 2.675, 1e10 + 0.1};
  for (int i = 0; i < 100000; ++i) {
    const int places = 1 + static_cast<int>(random() % 4);
    const auto digits = static_cast<double>(random() % (std::uint64_t{1} << (1 + random() % 50)));
    const double value = (random() % 2 ? -1 : 1) * digits / std::pow(10.0, places);
    values.push_back(value);
    values.push_back(std::nextafter(value, HUGE_VAL));
    values.push_back(std::nextafter(value, -HUGE_VAL));
  }
  int shortest = 0;
  int fifteenPlaces = 0;
  for (double value : values) {
    const std::string text = Real(value);
    char library[400];
    std::snprintf(library, sizeof library, "%.15g", value);
    if (std::strtod(library, nullptr) == value) {
      if (std::strchr(library, 'e') != nullptr) continue;
      ++shortest;
      EXPECT_EQ(text, library) << value;
    } else if (std::fabs(value) >= 0.001 && std::fabs(value) < 1000) {
      ++fifteenPlaces;
      std::snprintf(library, sizeof library, "%.15f", value);
      EXPECT_EQ(text, library) << value;
    }
  }
  EXPECT_GT(shortest, 90000);  // most of the decimals themselves
  EXPECT_GT(fifteenPlaces, 10000);
}

TEST(RealTextTest, NeverWritesInfinityOrNaN) {
  EXPECT_EQ(Real(std::numeric_limits<double>::infinity()), "1.797693134862316e+308");
  EXPECT_EQ(Real(-std::numeric_limits<double>::infinity()), "-1.797693134862316e+308");
  EXPECT_EQ(Real(DBL_MAX), "1.797693134862316e+308");
  EXPECT_EQ(Real(std::nan("")), "0");
}

// A real's text as the library's forms give it: 15 significant digits
// ("%.15g") when the shortest decimal that reads back has at most 15, else
// 15 places. FormatRealText computes most of them in integers instead.
std::string LibraryRealText(double value) {
  if (std::isnan(value)) value = 0.0;
  if (std::isinf(value)) value = std::copysign(DBL_MAX, value);
  char text[64];
  char* stop;
  const bool negativeZero = value == 0 && std::signbit(value);
  if (std::fabs(value) < 1e15 && value == std::trunc(value) && !negativeZero) {
    stop = std::to_chars(text, text + sizeof text, static_cast<std::int64_t>(value)).ptr;
    return std::string(text, stop);
  }
  char shortest[64];
  const char* shortestBegin = shortest;
  const char* shortestEnd =
      std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific).ptr;
  const auto digits = std::count_if(shortestBegin, std::find(shortestBegin, shortestEnd, 'e'),
                                    [](char c) { return c >= '0' && c <= '9'; });
  const double magnitude = std::fabs(value);
  if (digits <= 15) {
    stop = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
  } else if (magnitude < 0.001 || magnitude >= 1000) {
    stop = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, 15).ptr;
  } else {
    stop = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 15).ptr;
  }
  const std::string result(text, stop);
  const std::size_t e = result.find('e');
  if (e == std::string::npos || result.size() - e - 2 >= 3) return result;
  return result.substr(0, e + 2) + std::string(3 - (result.size() - e - 2), '0') +
         result.substr(e + 2);
}

double FromBits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// Every path of the formatting (whole numbers, exact digits with and
// without a 15-digit text, ties rounded to even, the library's forms for
// tiny, huge and subnormal magnitudes) against the library's forms.
TEST(RealTextTest, MatchesTheLibrarysFormsOverEveryKindOfDouble) {
  std::vector<double> values = {0.0, DBL_MIN, DBL_TRUE_MIN, DBL_MAX, HUGE_VAL, std::nan(""),
                                0.001, 1000, 1e-4, 1e-5, 1e-12, 1e15, 999.9999999999999,
                                0.00099999999999999999, 9.9999999999999995e14};
  for (int exponent = -1074; exponent <= 1023; ++exponent) {
    values.push_back(std::ldexp(1.0, exponent));
  }
  for (int exponent = -30; exponent <= 30; ++exponent) values.push_back(std::pow(10.0, exponent));
  std::mt19937_64 random(2001);
  // Ties: an odd multiple of 2^-j has a decimal 5 in place j, which a form
  // of 15 places or 16 digits may have to round.
  for (int i = 0; i < 20000; ++i) {
    const int j = 1 + static_cast<int>(random() % 60);
    values.push_back(std::ldexp(static_cast<double>(random() % (std::uint64_t{1} << 53) | 1), -j));
  }
  for (int i = 0; i < 100000; ++i) {
    values.push_back(FromBits(random()));  // every exponent, subnormals, NaNs
    const double logUniform = std::pow(10.0, -16.0 + 34.0 * (random() % 1000000) / 1e6);
    values.push_back(logUniform * (1.0 + static_cast<double>(random() % 1000) / 1000.0));
  }
  // Start points stepping along a string, as vertical strings made
  // horizontal have them.
  double position = 86.5;
  for (int i = 0; i < 20000; ++i) values.push_back(position -= 0.010570824524313);
  const std::size_t count = values.size();
  for (std::size_t i = 0; i < count; ++i) {
    values.push_back(std::nextafter(values[i], HUGE_VAL));
    values.push_back(std::nextafter(values[i], -HUGE_VAL));
  }
  int failures = 0;
  for (double value : values) {
    for (double signedValue : {value, -value}) {
      const std::string expected = LibraryRealText(signedValue);
      const std::string text = Real(signedValue);
      if (text != expected && ++failures <= 10) {
        ADD_FAILURE() << std::hexfloat << signedValue << ": " << text << " instead of " << expected;
      }
    }
  }
  EXPECT_EQ(failures, 0);
}

}  // namespace
}  // namespace notora
