#include "note/real_text.h"

#include <bit>
#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace notora {
namespace {

// The number of significant digits "%.15g" keeps.
constexpr int kSignificantDigits = 15;

constexpr std::uint64_t PowerOf10(int exponent) {
  std::uint64_t power = 1;
  for (int i = 0; i < exponent; ++i) power *= 10;
  return power;
}

constexpr std::uint64_t kDigitsFrom = PowerOf10(kSignificantDigits - 1);  // 15 digits
constexpr std::uint64_t kDigitsBelow = PowerOf10(kSignificantDigits);
constexpr std::uint64_t kLongDigitsBelow = PowerOf10(kSignificantDigits + 1);  // 16 digits

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes `value` in plain decimal at `out` (room for 20 bytes); returns the
// number of bytes written.
std::size_t FormatDecimal(std::int64_t value, char* out) {
  return static_cast<std::size_t>(std::to_chars(out, out + 20, value).ptr - out);
}

// Writes the 8 decimal digits of `value` (below 10^8), leading zeros
// included. Where a 64-bit word stores its low byte first, the digits are
// split in its lanes all at once: two halves of four digits, four pairs,
// eight digits, each step a multiplication by a reciprocal (exact for these
// ranges) and a shift.
void Write8Digits(std::uint32_t value, char* out) {
  if constexpr (std::endian::native == std::endian::little) {
    const std::uint64_t halves = (value / 10000) | (std::uint64_t{value % 10000} << 32);
    const std::uint64_t hundreds = ((halves * 10486) >> 20) & 0x0000007F0000007Full;
    const std::uint64_t pairs = hundreds | ((halves - hundreds * 100) << 16);
    const std::uint64_t tens = ((pairs * 103) >> 10) & 0x000F000F000F000Full;
    const std::uint64_t digits = tens | ((pairs - tens * 10) << 8);
    const std::uint64_t text = digits + 0x3030303030303030ull;
    std::memcpy(out, &text, sizeof text);
  } else {
    const std::uint32_t high = value / 10000;
    const std::uint32_t low = value % 10000;
    std::memcpy(out, kDigitPairs + 2 * (high / 100), 2);
    std::memcpy(out + 2, kDigitPairs + 2 * (high % 100), 2);
    std::memcpy(out + 4, kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(out + 6, kDigitPairs + 2 * (low % 100), 2);
  }
}

// Writes the 16 decimal digits of `value` (below 10^16), leading zeros
// included.
void Write16Digits(std::uint64_t value, char* out) {
  Write8Digits(static_cast<std::uint32_t>(value / 100000000), out);
  Write8Digits(static_cast<std::uint32_t>(value % 100000000), out + 8);
}

// Writes `value` (below 10^4) in plain decimal at `out`; returns the number
// of bytes written.
std::size_t WriteSmallDecimal(std::uint32_t value, char* out) {
  if (value < 10) {
    out[0] = static_cast<char>('0' + value);
    return 1;
  }
  if (value < 100) {
    std::memcpy(out, kDigitPairs + 2 * value, 2);
    return 2;
  }
  if (value < 1000) {
    out[0] = static_cast<char>('0' + value / 100);
    std::memcpy(out + 1, kDigitPairs + 2 * (value % 100), 2);
    return 3;
  }
  std::memcpy(out, kDigitPairs + 2 * (value / 100), 2);
  std::memcpy(out + 2, kDigitPairs + 2 * (value % 100), 2);
  return 4;
}

// Writes a decimal exponent as the files carry it: "e", its sign and three
// digits (a double's decimal exponent never needs more).
char* WriteExponent(int exponent, char* out) {
  const auto magnitude = static_cast<std::uint32_t>(exponent < 0 ? -exponent : exponent);
  out[0] = 'e';
  out[1] = exponent < 0 ? '-' : '+';
  out[2] = static_cast<char>('0' + magnitude / 100);
  std::memcpy(out + 3, kDigitPairs + 2 * (magnitude % 100), 2);
  return out + 5;
}

// Writes at `out` (kRealTextRoom bytes) what "%.15g" writes for a value
// whose rounding to 15 significant digits is `digits` × 10^(exponent - 14),
// `digits` from 10^14 to 10^15. Returns the number of bytes written. Digits
// are copied 16 at a time, the bytes after the text being free.
std::size_t WriteGeneral(bool negative, std::uint64_t digits, int exponent, char* out) {
  if (digits == kDigitsBelow) {  // rounded up to the next power of ten
    digits = kDigitsFrom;
    ++exponent;
  }
  char text[32] = {};
  Write16Digits(digits, text);  // a leading zero, then the 15 digits
  const char* significant = text + 1;
  int count = kSignificantDigits;
  while (significant[count - 1] == '0') --count;

  char* end = out;
  if (negative) *end++ = '-';
  if (exponent < -4 || exponent >= kSignificantDigits) {
    end[0] = significant[0];
    end[1] = '.';
    std::memcpy(end + 2, significant + 1, 16);
    end += count > 1 ? count + 1 : 1;
    end = WriteExponent(exponent, end);
  } else if (exponent >= 0) {
    // The whole part; when a fraction follows (then at most 14 digits stand
    // before the point), the point and the fraction after it.
    const int whole = exponent + 1;
    std::memcpy(end, significant, 16);
    end += whole;
    if (count > whole) {
      end[0] = '.';
      std::memcpy(end + 1, significant + whole, 16);
      end += 1 + count - whole;
    }
  } else {
    const int zeros = -exponent - 1;  // 0 to 3
    std::memcpy(end, "0.000", 5);
    end += 2 + zeros;
    std::memcpy(end, significant, 16);
    end += count;
  }
  return static_cast<std::size_t>(end - out);
}

// Gives the exponent of a formatted real (if any) at least three digits.
std::size_t WidenExponent(char* text, std::size_t length) {
  char* e = static_cast<char*>(std::memchr(text, 'e', length));
  if (e == nullptr) return length;
  char* digits = e + 2;  // after the sign, which to_chars always writes
  const std::size_t digitCount = static_cast<std::size_t>(text + length - digits);
  if (digitCount >= 3) return length;
  const std::size_t missing = 3 - digitCount;
  std::memmove(digits + missing, digits, digitCount);
  std::memset(digits, '0', missing);
  return length + missing;
}

#if defined(__SIZEOF_INT128__)

__extension__ typedef unsigned __int128 Uint128;

constexpr int kMaxPowerOf5 = 27;  // the largest below 2^64

constexpr std::uint64_t PowerOf5(int exponent) {
  std::uint64_t power = 1;
  for (int i = 0; i < exponent; ++i) power *= 5;
  return power;
}

constexpr std::uint64_t kPowersOf5[kMaxPowerOf5 + 1] = {
    PowerOf5(0),  PowerOf5(1),  PowerOf5(2),  PowerOf5(3),  PowerOf5(4),  PowerOf5(5),
    PowerOf5(6),  PowerOf5(7),  PowerOf5(8),  PowerOf5(9),  PowerOf5(10), PowerOf5(11),
    PowerOf5(12), PowerOf5(13), PowerOf5(14), PowerOf5(15), PowerOf5(16), PowerOf5(17),
    PowerOf5(18), PowerOf5(19), PowerOf5(20), PowerOf5(21), PowerOf5(22), PowerOf5(23),
    PowerOf5(24), PowerOf5(25), PowerOf5(26), PowerOf5(27)};

// The magnitudes the exact path below formats: from 10^-12, so that every
// scale it needs is a power of 5 below 2^64, to below 10^15, so that no
// scale is negative.
constexpr double kExactFrom = 1e-12;
constexpr double kExactBelow = 1e15;

// The doubles nearest to 10^-12 ... 10^15, to tell a magnitude's decimal
// exponent.
constexpr double kPowersOf10[] = {1e-12, 1e-11, 1e-10, 1e-9, 1e-8, 1e-7, 1e-6, 1e-5, 1e-4,
                                  1e-3,  1e-2,  1e-1,  1e0,  1e1,  1e2,  1e3,  1e4,  1e5,
                                  1e6,   1e7,   1e8,   1e9,   1e10, 1e11, 1e12, 1e13, 1e14,
                                  1e15};
constexpr int kFirstPowerOf10 = -12;

// A magnitude times 10^k, exactly: numerator / 2^shift, and its whole part.
struct ScaledMagnitude {
  Uint128 numerator;
  int shift;
  std::uint64_t whole;
};

// m × 2^e × 10^k for 0 <= k <= kMaxPowerOf5, m below 2^53 and a product
// below 2^64: the numerator m × 5^k stays below 2^117, and the shift below
// 128 as long as the product is not tiny (it is at least 10^12 wherever it
// is used).
ScaledMagnitude Scale(std::uint64_t m, int e, int k) {
  const Uint128 numerator = Uint128{m} * kPowersOf5[k];
  const int binaryExponent = e + k;
  if (binaryExponent >= 0) {
    const Uint128 product = numerator << binaryExponent;
    return {product, 0, static_cast<std::uint64_t>(product)};
  }
  const int shift = -binaryExponent;
  return {numerator, shift, static_cast<std::uint64_t>(numerator >> shift)};
}

// Rounds to the nearest whole number, a tie to the even one, as the C
// library's precision forms do.
std::uint64_t RoundToEven(const ScaledMagnitude& scaled) {
  if (scaled.shift == 0) return scaled.whole;
  bool up;
  if (scaled.shift < 64) {  // the usual case, in 64 bits
    const std::uint64_t rest = static_cast<std::uint64_t>(scaled.numerator) &
                               ((std::uint64_t{1} << scaled.shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (scaled.shift - 1);
    up = rest > half || (rest == half && (scaled.whole & 1) != 0);
  } else {
    const Uint128 rest = scaled.numerator - (Uint128{scaled.whole} << scaled.shift);
    const Uint128 half = Uint128{1} << (scaled.shift - 1);
    up = rest > half || (rest == half && (scaled.whole & 1) != 0);
  }
  return scaled.whole + (up ? 1 : 0);
}

// Writes the text of `value`, finite and not a whole number, computing its
// decimal digits exactly in integers, when its magnitude lies from
// kExactFrom to below kExactBelow; returns the number of bytes written, or
// 0 for any other value.
std::size_t FormatRealExactly(double value, char* out) {
  const double magnitude = std::fabs(value);
  if (!(magnitude >= kExactFrom && magnitude < kExactBelow)) return 0;
  // magnitude = m × 2^e, m from 2^52 to below 2^53 (it is a normal double).
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const std::uint64_t m = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
  const int e = static_cast<int>(bits >> 52) - 1075;
  const bool negative = std::signbit(value);

  // The decimal exponent E (10^E <= magnitude < 10^(E+1)): the binary
  // exponent e + 52 times log10(2) (1233 / 4096, near enough in this range)
  // gives E or E - 1, which the nearest double to 10^(E+1) tells apart. That
  // double may put a magnitude right beside the power on the wrong side; the
  // magnitude scaled to 15 digits before the point shows it, and the
  // exponent is corrected.
  int exponent = ((e + 52) * 1233) >> 12;
  if (magnitude >= kPowersOf10[exponent + 1 - kFirstPowerOf10]) ++exponent;
  ScaledMagnitude scaled{};
  for (;;) {
    const int k = kSignificantDigits - 1 - exponent;
    if (k < 0 || k + 1 > kMaxPowerOf5) return 0;
    scaled = Scale(m, e, k);
    if (scaled.whole < kDigitsFrom) {
      --exponent;
    } else if (scaled.whole >= kDigitsBelow) {
      ++exponent;
    } else {
      break;
    }
  }
  const int k = kSignificantDigits - 1 - exponent;

  // The 15 significant digits, and whether the decimal they make reads back
  // as the value: whether it lies within half the gap to the next double on
  // its side (a quarter of the gap below a power of two, where the gap below
  // is half the one above). In units of 2^-shift of the scaled magnitude,
  // half the gap above is 5^k / 2; no decimal lies exactly on the edge, as
  // 5^k is odd.
  const std::uint64_t digits = RoundToEven(scaled);
  bool readsBack = true;
  if (scaled.shift != 0) {
    const Uint128 decimal = Uint128{digits} << scaled.shift;
    const Uint128 gapUnits = kPowersOf5[k];
    if (decimal >= scaled.numerator) {
      readsBack = 2 * (decimal - scaled.numerator) < gapUnits;
    } else {
      const bool narrowBelow = m == std::uint64_t{1} << 52;
      readsBack = (narrowBelow ? 4 : 2) * (scaled.numerator - decimal) < gapUnits;
    }
  }
  if (readsBack) return WriteGeneral(negative, digits, exponent, out);

  // No 15-digit text reads back: 15 places, in fixed form between 0.001 and
  // 1000, else in exponent form (16 significant digits).
  char* end = out;
  if (negative) *end++ = '-';
  if (magnitude >= 0.001 && magnitude < 1000) {
    const std::uint64_t fixed = RoundToEven(Scale(m, e, kSignificantDigits));
    end += WriteSmallDecimal(static_cast<std::uint32_t>(fixed / kDigitsBelow), end);  // to 1000
    Write16Digits(fixed % kDigitsBelow, end);  // a leading zero, then the 15 places
    end[0] = '.';
    end += 1 + kSignificantDigits;
  } else {
    std::uint64_t mantissa = RoundToEven(Scale(m, e, k + 1));
    int scientificExponent = exponent;
    if (mantissa == kLongDigitsBelow) {
      mantissa /= 10;
      ++scientificExponent;
    }
    Write16Digits(mantissa, end + 1);
    end[0] = end[1];
    end[1] = '.';
    end += kSignificantDigits + 2;
    end = WriteExponent(scientificExponent, end);
  }
  return static_cast<std::size_t>(end - out);
}

#else

std::size_t FormatRealExactly(double, char*) { return 0; }

#endif

// Writes the text of `value` (finite) from the C++ library's shortest
// round-trip form, or from its 15-digit forms where that is not enough:
// for the magnitudes the exact path leaves out.
std::size_t FormatRealByLibrary(double value, char* out) {
  char shortest[32];
  const char* stop =
      std::to_chars(shortest, shortest + sizeof shortest, value, std::chars_format::scientific)
          .ptr;
  std::uint64_t digits = 0;
  int count = 0;
  const char* c = shortest;
  for (; c != stop && *c != 'e'; ++c) {
    if (*c >= '0' && *c <= '9' && ++count <= kSignificantDigits) digits = digits * 10 + (*c - '0');
  }
  int exponent = 0;
  if (c != stop) std::from_chars(c + (c[1] == '+' ? 2 : 1), stop, exponent);
  char* end = out + kRealTextRoom;
  if (count <= kSignificantDigits) {
    // The shortest decimal of a normal double has at most 15 digits just
    // when the 15-digit text reads back; it is then that text, as the
    // 15-digit decimals lie too far apart for two to read back as the same
    // double. Among subnormals, which have fewer digits of their own, "%.15g"
    // still writes 15.
    if (std::fabs(value) >= DBL_MIN) {
      return WriteGeneral(std::signbit(value), digits * PowerOf10(kSignificantDigits - count),
                          exponent, out);
    }
    stop = std::to_chars(out, end, value, std::chars_format::general, kSignificantDigits).ptr;
  } else {
    const double magnitude = std::fabs(value);
    const auto format = (magnitude < 0.001 || magnitude >= 1000) ? std::chars_format::scientific
                                                                 : std::chars_format::fixed;
    stop = std::to_chars(out, end, value, format, kSignificantDigits).ptr;
  }
  return WidenExponent(out, static_cast<std::size_t>(stop - out));
}

}  // namespace

std::size_t FormatRealText(double value, char* out) {
  if (std::isnan(value)) value = 0.0;
  if (std::isinf(value)) value = std::copysign(DBL_MAX, value);
  // Whole numbers below 10^15 print as their digits in the shortest form and
  // read back exactly: the common case, written as an integer (below 10^15 a
  // double is whole just when its conversion to an integer is exact).
  const bool negativeZero = value == 0 && std::signbit(value);
  if (std::fabs(value) < 1e15 && !negativeZero) {
    const auto whole = static_cast<std::int64_t>(value);
    if (static_cast<double>(whole) == value) return FormatDecimal(whole, out);
  }
  if (const std::size_t length = FormatRealExactly(value, out); length != 0) return length;
  return FormatRealByLibrary(value, out);
}

}  // namespace notora
