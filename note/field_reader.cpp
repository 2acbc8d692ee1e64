#include "note/field_reader.h"

#include <algorithm>
#include <charconv>
#include <cfloat>
#include <cstdint>
#include <limits>
#include <system_error>

#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "note/cp932.h"

namespace notora {
namespace {

constexpr int kMaxFieldCharacters = 25;

// The index of the first `wanted` byte at or after `from`, stepping over
// double-byte characters whole; -1 when there is none.
std::int64_t FindTerminator(std::string_view text, std::int64_t from, char wanted) {
  const auto size = static_cast<std::int64_t>(text.size());
  for (std::int64_t i = from < 0 ? 0 : from; i < size; ++i) {
    if (text[i] == wanted) return i;
    if (cp932::IsLeadByte(static_cast<unsigned char>(text[i]))) ++i;
  }
  return -1;
}

Status NoTerminator(const ParameterLines& lines, std::int32_t next, char terminator) {
  return Status::Error(
      MessageId::FieldNoTerminator,
      {lines.LineOf(next), next % std::int32_t{kParameterDataWidth} + 1,
       DescribeFileByte(terminator)});
}

Status FieldError(MessageId id, const ParameterLines& lines, std::int64_t index,
                  MessageId fieldName) {
  return Status::Error(id, {lines.LineOf(index), MessageText(fieldName)});
}

// The decimal magnitude of a digit string with an optional point, scaled by
// 10^exponent: positive when the number is at least 1, else zero or negative.
std::int64_t DecimalMagnitude(std::string_view mantissa, std::int64_t exponent) {
  const std::size_t point = mantissa.find('.');
  const std::string_view integer = mantissa.substr(0, point);
  const std::size_t firstInteger = integer.find_first_not_of('0');
  if (firstInteger != std::string_view::npos) {
    return static_cast<std::int64_t>(integer.size() - firstInteger) + exponent;
  }
  if (point == std::string_view::npos) return 0;
  const std::size_t firstFraction = mantissa.substr(point + 1).find_first_not_of('0');
  if (firstFraction == std::string_view::npos) return 0;
  return exponent - static_cast<std::int64_t>(firstFraction);
}

// Converts the longest leading part of `field` of the form [sign] digits
// [. digits] [exponent]; 0.0 when there is none. Locale-independent.
double LeadingReal(std::string_view field) {
  std::size_t i = 0;
  bool negative = false;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    negative = field[i] == '-';
    ++i;
  }
  const std::size_t mantissaStart = i;
  // The digits are also gathered as a whole number (exact up to 19 of them)
  // with the count of those after the point.
  std::size_t digits = 0;
  std::uint64_t whole = 0;
  int fractionDigits = 0;
  for (; i < field.size() && IsDigit(field[i]); ++i, ++digits) {
    whole = whole * 10 + (field[i] - '0');
  }
  if (i < field.size() && field[i] == '.') {
    for (++i; i < field.size() && IsDigit(field[i]); ++i, ++digits, ++fractionDigits) {
      whole = whole * 10 + (field[i] - '0');
    }
  }
  if (digits == 0) return 0.0;
  const std::string_view mantissa = field.substr(mantissaStart, i - mantissaStart);

  // An exponent counts only when at least one digit follows its letter.
  std::string_view exponentDigits;
  bool exponentNegative = false;
  if (i < field.size() &&
      (field[i] == 'E' || field[i] == 'e' || field[i] == 'D' || field[i] == 'd')) {
    std::size_t j = i + 1;
    bool sign = j < field.size() && (field[j] == '+' || field[j] == '-');
    if (sign) exponentNegative = field[j++] == '-';
    std::size_t exponentStart = j;
    while (j < field.size() && IsDigit(field[j])) ++j;
    exponentDigits = field.substr(exponentStart, j - exponentStart);
  }

  // The usual real, a few digits and a small exponent, is its whole number
  // scaled once by an exact power of ten: both exact, so the one rounding
  // gives the same double as reading the text in full.
  static constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                            1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                            1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  constexpr std::uint64_t kExactWhole = std::uint64_t{1} << 53;
  if (digits <= 19 && exponentDigits.size() <= 3) {
    int exponent = 0;
    for (char c : exponentDigits) exponent = exponent * 10 + (c - '0');
    const int scale = (exponentNegative ? -exponent : exponent) - fractionDigits;
    if (whole <= kExactWhole && scale >= -22 && scale <= 22) {
      const double exact = static_cast<double>(whole);
      const double value = scale < 0 ? exact / kExactPowers[-scale] : exact * kExactPowers[scale];
      return negative ? -value : value;
    }
  }

  char buffer[2 * kMaxFieldCharacters + 4] = {};
  std::size_t length = 0;
  for (char c : mantissa) buffer[length++] = c;
  if (!exponentDigits.empty()) {
    buffer[length++] = 'e';
    if (exponentNegative) buffer[length++] = '-';
    for (char c : exponentDigits) buffer[length++] = c;
  }
  double value = 0.0;
  auto [end, error] = std::from_chars(buffer, buffer + length, value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    // Up to 24 exponent digits would overflow: the exponent stops growing
    // once it is far beyond any double either way.
    std::int64_t exponent = 0;
    for (char c : exponentDigits) exponent = std::min<std::int64_t>(exponent * 10 + (c - '0'), 100000);
    if (exponentNegative) exponent = -exponent;
    value = DecimalMagnitude(mantissa, exponent) > 0 ? DBL_MAX : 0.0;
  } else if (error != std::errc()) {
    value = 0.0;
  }
  return negative ? -value : value;
}

}  // namespace

Status ReadIntegerField(std::string_view text, char delimiter, MessageId fieldName,
                        char recordDelimiter, const ParameterLines& lines,
                        const RunOptions& options, FieldCursor* cursor) {
  const std::int32_t next = cursor->next;
  std::int64_t terminator = FindTerminator(text, next, delimiter);
  if (terminator < 0) {
    // A note that ends right after its string count may close that count
    // with the record delimiter, unless a missing string count is an error.
    if (next != 4 || options.zeroColumnsIsError) {
      return NoTerminator(lines, next, delimiter);
    }
    terminator = FindTerminator(text, next, recordDelimiter);
    if (terminator < 0) return NoTerminator(lines, next, recordDelimiter);
  }

  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  int digits = 0;
  std::int64_t last = next;
  for (; last < terminator; ++last) {
    const char c = text[last];
    if (c == ' ') continue;
    if (!IsDigit(c)) return FieldError(MessageId::FieldNotNumeric, lines, last, fieldName);
    if (digits == kMaxFieldCharacters) {
      return FieldError(MessageId::FieldTooLong, lines, last, fieldName);
    }
    ++digits;
    value = value * 10 + (c - '0');
    if (value > kMax) value = kMax;  // saturates; later digits keep it there
  }
  if (digits == 0) return FieldError(MessageId::FieldNoValue, lines, last, fieldName);

  cursor->last = static_cast<std::int32_t>(terminator);
  cursor->next = static_cast<std::int32_t>(terminator + 1);
  cursor->value = static_cast<std::int32_t>(value);
  return Status::Ok();
}

Status ReadRealField(std::string_view text, char delimiter, MessageId fieldName,
                     const ParameterLines& lines, FieldCursor* cursor, double* result) {
  const std::int32_t next = cursor->next;
  const std::int64_t terminator = FindTerminator(text, next, delimiter);
  if (terminator < 0) return NoTerminator(lines, next, delimiter);

  char field[kMaxFieldCharacters];
  int length = 0;
  std::int64_t last = next;
  for (; last < terminator; ++last) {
    const char c = text[last];
    if (c == ' ') continue;
    const bool accepted = IsDigit(c) || c == '.' || c == '-' || c == '+' || c == 'D' ||
                          c == 'd' || c == 'E' || c == 'e';
    if (!accepted) return FieldError(MessageId::FieldNotNumeric, lines, last, fieldName);
    if (length == kMaxFieldCharacters) {
      return FieldError(MessageId::FieldTooLong, lines, last, fieldName);
    }
    field[length++] = c;
  }
  if (length == 0) return FieldError(MessageId::FieldNoValue, lines, last, fieldName);

  *result = LeadingReal(std::string_view(field, length));
  cursor->last = static_cast<std::int32_t>(terminator);
  cursor->next = static_cast<std::int32_t>(terminator + 1);
  return Status::Ok();
}

}  // namespace notora
