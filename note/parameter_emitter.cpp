#include "note/parameter_emitter.h"

#include <charconv>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "iges/record_format.h"
#include "base/messages.h"

namespace notora {
namespace {

constexpr int kMaxTailCharacters = 25;

// Writes `value` in plain decimal at `out` (room for 20 bytes); returns the
// number of bytes written.
std::size_t FormatDecimal(std::int64_t value, char* out) {
  return static_cast<std::size_t>(std::to_chars(out, out + 20, value).ptr - out);
}

// Pads `buffer` with blanks as the packing rule requires before a field of
// `fieldLength` bytes.
void PadForField(std::string* buffer, std::size_t fieldLength) {
  const std::size_t length = buffer->size();
  const std::size_t endRecord = (length + fieldLength) / kParameterDataWidth;
  if (endRecord > length / kParameterDataWidth) {
    buffer->resize(endRecord * kParameterDataWidth, ' ');
  }
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

// Writes `value` at `out` when it is the double nearest to a decimal of one
// to four places from 0.0001 up to 10^11, as most box sizes and positions
// are; returns the number of bytes written, or 0 for any other value.
// The decimal has at most 15 significant digits and `value` differs from it
// by less than half a unit in the 15th, so the 15-digit text of `value` is
// the decimal itself, without trailing zeros, and reads back as `value`.
std::size_t FormatShortDecimal(double value, char* out) {
  static constexpr std::uint64_t kScales[] = {10, 100, 1000, 10000};
  const double magnitude = std::fabs(value);
  if (!(magnitude >= 1e-4 && magnitude < 1e11)) return 0;
  for (std::size_t places = 1; places <= std::size(kScales); ++places) {
    const auto scale = static_cast<double>(kScales[places - 1]);
    // The nearest whole number (below 10^15, so the conversion is exact);
    // whichever whole number this gives, the check below decides.
    const auto scaled = static_cast<double>(static_cast<std::int64_t>(magnitude * scale + 0.5));
    // Both are exact, and the quotient is rounded once: equal only when
    // `magnitude` is the double nearest to scaled / 10^places.
    if (scaled / scale != magnitude) continue;
    const auto digits = static_cast<std::uint64_t>(scaled);
    std::uint64_t fraction = digits % kScales[places - 1];
    std::size_t length = 0;
    if (value < 0) out[length++] = '-';
    length += FormatDecimal(static_cast<std::int64_t>(digits / kScales[places - 1]), out + length);
    out[length++] = '.';
    for (std::size_t place = places; place-- > 0;) {
      out[length + place] = static_cast<char>('0' + fraction % 10);
      fraction /= 10;
    }
    length += places;
    while (out[length - 1] == '0') --length;
    return length;
  }
  return 0;
}

// The number of significant digits of the shortest decimal that reads back
// as `value` (finite).
int ShortestDigits(double value) {
  char text[32];
  const char* stop =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  int digits = 0;
  for (const char* c = text; c != stop && *c != 'e'; ++c) digits += *c >= '0' && *c <= '9';
  return digits;
}

// Writes the text of a real field's value at `out` (room for 64 bytes).
std::size_t FormatRealAnew(double value, char* out) {
  if (std::isnan(value)) value = 0.0;
  if (std::isinf(value)) value = std::copysign(DBL_MAX, value);
  // Whole numbers below 10^15 print as their digits in the shortest form and
  // read back exactly: the common case, written as an integer.
  const bool negativeZero = value == 0 && std::signbit(value);
  if (std::fabs(value) < 1e15 && value == std::trunc(value) && !negativeZero) {
    return FormatDecimal(static_cast<std::int64_t>(value), out);
  }
  if (const std::size_t length = FormatShortDecimal(value, out); length != 0) return length;
  char* end = out + 64;
  char* stop;
  if (ShortestDigits(value) <= 15) {
    // A decimal of at most 15 digits reads back as `value`, so the 15-digit
    // text does too: it is the decimal nearest to `value`, and the doubles
    // are so much denser than 15-digit decimals that no other lies as near.
    stop = std::to_chars(out, end, value, std::chars_format::general, 15).ptr;
  } else {
    // No 15-digit text reads back as `value`: 15 places instead.
    const double magnitude = std::fabs(value);
    const auto format = (magnitude < 0.001 || magnitude >= 1000) ? std::chars_format::scientific
                                                                 : std::chars_format::fixed;
    stop = std::to_chars(out, end, value, format, 15).ptr;
  }
  return WidenExponent(out, static_cast<std::size_t>(stop - out));
}

// Texts of reals formatted lately, by the value's bits: the strings of a
// note repeat their box sizes, slant and rotation from string to string, and
// formatting a real that is not a short decimal (its shortest digits, then
// its text) is the dearest part of a rebuilt note. Per thread (batch converts on several); a value maps to one slot.
struct FormattedReal {
  std::uint64_t bits = 0;
  std::uint8_t length = 0;  // 0: the slot is empty
  char text[31];
};
constexpr std::size_t kFormattedSlots = 64;

std::size_t FormatReal(double value, char* out) {
  thread_local FormattedReal slots[kFormattedSlots];
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  FormattedReal& slot = slots[(bits * 0x9E3779B97F4A7C15ull) >> 58];
  if (slot.length != 0 && slot.bits == bits) {
    std::memcpy(out, slot.text, slot.length);
    return slot.length;
  }
  const std::size_t length = FormatRealAnew(value, out);
  if (length <= sizeof slot.text) {
    slot.bits = bits;
    slot.length = static_cast<std::uint8_t>(length);
    std::memcpy(slot.text, out, length);
  }
  return length;
}

}  // namespace

void AppendPackedField(std::string* buffer, std::string_view text) {
  PadForField(buffer, text.size());
  buffer->append(text);
}

void AppendIntegerField(std::string* buffer, std::int32_t value, char delimiter) {
  char text[24];
  std::size_t length = FormatDecimal(value, text);
  text[length++] = delimiter;
  AppendPackedField(buffer, std::string_view(text, length));
}

void AppendRealField(std::string* buffer, double value, char delimiter) {
  char text[72];
  std::size_t length = FormatReal(value, text);
  text[length++] = delimiter;
  AppendPackedField(buffer, std::string_view(text, length));
}

void BeginHollerithField(std::string* buffer, std::size_t textLength) {
  char count[24];
  std::size_t length = FormatDecimal(static_cast<std::int64_t>(textLength), count);
  count[length++] = 'H';
  PadForField(buffer, length + textLength);
  buffer->append(count, length);
}

void AppendHollerithField(std::string* buffer, std::string_view text) {
  BeginHollerithField(buffer, text.size());
  buffer->append(text);
}

Status CloseRebuiltNote(std::string_view parameterText, std::int32_t tailStart,
                        const ParameterLines& lines, std::int32_t entityType,
                        std::int32_t stringCount, char parameterDelimiter,
                        char recordDelimiter, std::string* body, std::string* rebuilt) {
  const std::int64_t messageLine = lines.LineOf(std::int64_t{tailStart} + 1);
  char tail[kMaxTailCharacters];
  int tailLength = 0;
  for (std::size_t i = tailStart < 0 ? 0 : static_cast<std::size_t>(tailStart);
       i < parameterText.size(); ++i) {
    if (parameterText[i] == ' ') continue;
    if (tailLength == kMaxTailCharacters) {
      return Status::Error(MessageId::NoteTailTooLong, {messageLine});
    }
    tail[tailLength++] = parameterText[i];
  }

  // The back pointer and property counts that may follow the strings: only
  // zero counts carry over into the rebuilt note.
  const char P = parameterDelimiter;
  const char R = recordDelimiter;
  const std::string_view found(tail, tailLength);
  const char recordOnly[1] = {R};
  const char oneZeroCount[3] = {P, '0', R};
  const char twoZeroCounts[5] = {P, '0', P, '0', R};
  const char zeroThenRecord[2] = {'0', R};
  const char zeroThenDelimiter[2] = {'0', P};
  if (found == std::string_view(recordOnly, 1)) {
    // The record delimiter is already in the body.
  } else if (found == std::string_view(oneZeroCount, 3)) {
    AppendPackedField(body, std::string_view(zeroThenRecord, 2));
  } else if (found == std::string_view(twoZeroCounts, 5)) {
    AppendPackedField(body, std::string_view(zeroThenDelimiter, 2));
    AppendPackedField(body, std::string_view(zeroThenRecord, 2));
  } else {
    return Status::Error(MessageId::NoteTailNotRecordDelimiter,
                                       {messageLine, DescribeFileByte(R)});
  }
  if (body->size() % kParameterDataWidth != 0) {
    body->resize((body->size() / kParameterDataWidth + 1) * kParameterDataWidth, ' ');
  }

  char header[48];
  std::size_t headerLength = FormatDecimal(entityType, header);
  header[headerLength++] = P;
  headerLength += FormatDecimal(stringCount, header + headerLength);
  header[headerLength++] = P;

  rebuilt->clear();
  rebuilt->reserve(kParameterDataWidth + body->size());
  rebuilt->append(header, headerLength);
  rebuilt->resize(kParameterDataWidth, ' ');
  rebuilt->append(*body);
  return Status::Ok();
}

}  // namespace notora
