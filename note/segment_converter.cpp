#include "note/segment_converter.h"

#include <algorithm>
#include <cmath>

#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "base/counting.h"
#include "note/parameter_emitter.h"
#include "note/text_encoding.h"
#include "note/trigonometry.h"

namespace notora {
namespace {

using cp932::CharClass;

constexpr double kHalfPi = 1.5707963267948966;

// JIS-code notation to full-width characters: two bytes of code page 932
// for every four hex digits, appended to `out`.
void AppendFullWidthCharacters(const RunOptions& options, std::string_view digits,
                               std::string* out, std::int32_t* changeCount,
                               RunCounters* counters) {
  const std::uint16_t fallback = FullWidthFallbackCode(options);
  for (std::size_t i = 0; i < digits.size(); i += kJisCodeDigits) {
    CountOne(changeCount);
    std::uint16_t code =
        cp932::JisToShiftJis(cp932::ReadJisCode(digits.substr(i, kJisCodeDigits)));
    if (code == 0) {
      code = fallback;
      CountOne(&counters->unconvertibleChars);
    }
    out->push_back(static_cast<char>(code >> 8));
    out->push_back(static_cast<char>(code & 0xFF));
  }
}

// The same as a Hollerith field, without a buffer of its own.
void AppendFullWidthText(const RunOptions& options, std::string_view digits, std::string* body,
                         std::int32_t* changeCount, RunCounters* counters) {
  const std::size_t characters = (digits.size() + kJisCodeDigits - 1) / kJisCodeDigits;
  BeginHollerithField(body, characters * 2);
  AppendFullWidthCharacters(options, digits, body, changeCount, counters);
}

// The text of a block written with a font other than 2001 in an output
// encoding other than Shift-JIS: full-width characters of JIS-code `bytes`,
// or `bytes` as they are, in that encoding. Characters it cannot hold become
// the full-width fallback and are counted.
std::string EncodeBlockText(const RunOptions& options, std::string_view bytes,
                            bool jisToFullWidth, std::int32_t* changeCount,
                            RunCounters* counters) {
  std::string fullWidth;
  if (jisToFullWidth) {
    AppendFullWidthCharacters(options, bytes, &fullWidth, changeCount, counters);
    bytes = fullWidth;
  }
  std::string encoded;
  std::int64_t unconvertible = 0;
  FromCp932(bytes, options.outputEncoding, FullWidthFallbackCode(options), &encoded,
            &unconvertible);
  CountMany(&counters->unconvertibleChars, unconvertible);
  return encoded;
}

// Full-width characters to JIS-code notation: four lower-case hex digits for
// every character.
void AppendJisText(const RunOptions& options, std::string_view bytes, CharClass charClass,
                   std::string* body, std::int32_t* changeCount, RunCounters* counters) {
  static constexpr char kHex[] = "0123456789abcdef";
  const bool doubleByte = charClass == CharClass::kDoubleByte;
  const std::size_t characters = doubleByte ? (bytes.size() + 1) / 2 : bytes.size();
  BeginHollerithField(body, characters * kJisCodeDigits);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    std::uint16_t code;
    if (doubleByte) {
      const unsigned trail = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[++i]) : 0;
      code = static_cast<std::uint16_t>(byte << 8 | trail);
    } else {
      code = cp932::WidenHalfWidth(byte);
    }
    CountOne(changeCount);
    const std::uint16_t jis = cp932::ShiftJisToJis(code);
    if (jis == 0) {
      body->append(options.jisFallback == JisFallback::k2121 ? "2121" : "FFFF",
                   kJisCodeDigits);
      CountOne(&counters->unconvertibleChars);
    } else {
      const char digits[kJisCodeDigits] = {kHex[jis >> 12], kHex[(jis >> 8) & 0xF],
                                           kHex[(jis >> 4) & 0xF], kHex[jis & 0xF]};
      body->append(digits, kJisCodeDigits);
    }
  }
}

}  // namespace

void ConvertNoteSegment(const RunOptions& options, std::string_view text, std::string* body,
                        char parameterDelimiter, NoteString* string, NoteSegment* segment,
                        std::int32_t* changeCount, RunCounters* counters) {
  const char P = parameterDelimiter;
  const bool vertical = string->VH != 0;
  const bool fullWidthClass = segment->charClass == CharClass::kHalfWidth ||
                              segment->charClass == CharClass::kDoubleByte;
  const bool jisToFullWidth =
      options.conversionMode == ConversionMode::kToFullWidth && string->FC == kJisCodeFont;
  const bool toJis = options.conversionMode == ConversionMode::kToJisCode && fullWidthClass;

  const auto textSize = static_cast<std::int64_t>(text.size());
  const std::int64_t start = std::min<std::int64_t>(std::max(segment->start, 0), textSize);
  const std::int64_t length = std::min<std::int64_t>(std::max(segment->length, 0),
                                                     textSize - start);
  const std::string_view bytes = text.substr(start, length);

  std::int32_t font = string->FC;
  if (jisToFullWidth) {
    font = 1;
  } else if (toJis) {
    font = kJisCodeFont;
  }
  // Text in a font other than 2001 goes out in the output encoding; its
  // bytes are counted once they are known.
  const bool encoded = options.outputEncoding != TextEncoding::kShiftJis && font != kJisCodeFont;
  const std::string encodedText =
      encoded ? EncodeBlockText(options, bytes, jisToFullWidth, changeCount, counters)
              : std::string();

  // New character count: the bytes of the new text.
  std::int64_t characters = length;
  const bool toJisMode = options.conversionMode == ConversionMode::kToJisCode;
  if (encoded) {
    characters = static_cast<std::int64_t>(encodedText.size());
  } else if (toJisMode && segment->charClass == CharClass::kDoubleByte) {
    characters = length * 2;
  } else if (toJisMode && segment->charClass == CharClass::kHalfWidth) {
    characters = length * 4;
  } else if (jisToFullWidth) {
    characters = length / 2;
  }
  AppendIntegerField(body, SaturateToInt32(characters), P);

  // The segment's share of the box width: by characters along a vertical
  // string, by bytes along a horizontal one (product first, then quotient).
  double width = string->WT;
  if (vertical) {
    const double n = static_cast<double>(cp932::CountCharacters(bytes));
    if (segment->stringChars > 0) width = n * string->WT / segment->stringChars;
  } else if (string->NC > 0) {
    width = static_cast<double>(length) * string->WT / string->NC;
  }
  if (options.verticalValueOutput == VerticalValue::kAfter && vertical) {
    AppendRealField(body, string->HT, P);
    AppendRealField(body, width, P);
    if (options.verticalValueInput == VerticalValue::kBefore) CountOne(changeCount);
  } else {
    AppendRealField(body, width, P);
    AppendRealField(body, string->HT, P);
  }

  AppendIntegerField(body, font, P);
  AppendRealField(body, string->SL, P);
  AppendRealField(body, string->A, P);
  AppendIntegerField(body, string->M, P);
  if (options.verticalToHorizontal && vertical) {
    AppendIntegerField(body, 0, P);
    CountOne(changeCount);
  } else {
    AppendIntegerField(body, string->VH, P);
  }
  AppendRealField(body, string->XS, P);
  AppendRealField(body, string->YS, P);
  AppendRealField(body, string->ZS, P);

  // The next segment starts where this one ends along the writing direction;
  // a negative width still moves forward.
  const double theta = vertical ? string->A - kHalfPi : string->A;
  string->XS += std::fabs(width) * Cosine(theta);
  string->YS += std::fabs(width) * Sine(theta);

  if (encoded) {
    AppendHollerithField(body, encodedText);
  } else if (jisToFullWidth) {
    AppendFullWidthText(options, bytes, body, changeCount, counters);
  } else if (toJis) {
    AppendJisText(options, bytes, segment->charClass, body, changeCount, counters);
  } else {
    AppendHollerithField(body, bytes);
  }
  segment->start = static_cast<std::int32_t>(start + length);
}

}  // namespace notora
