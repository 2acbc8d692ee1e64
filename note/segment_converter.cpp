#include "note/segment_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "iges/record_format.h"
#include "base/byte_classes.h"
#include "base/counting.h"
#include "note/text_encoding.h"
#include "note/trigonometry.h"

namespace notora {
namespace {

using cp932::CharClass;

constexpr double kHalfPi = 1.5707963267948966;

// A writing direction: the angle's cosine and sine.
struct Direction {
  std::uint64_t angleBits;
  bool known;
  double cosine;
  double sine;
};

// The direction of `angle`. Every block of a string moves along the same
// one, so the last is kept (per thread; zero-initialized, as unknown).
const Direction& DirectionOf(double angle) {
  thread_local Direction last;
  std::uint64_t bits;
  std::memcpy(&bits, &angle, sizeof bits);
  if (!last.known || last.angleBits != bits) last = {bits, true, Cosine(angle), Sine(angle)};
  return last;
}

// JIS-code notation to full-width characters: two bytes of code page 932
// for every four hex digits, written at `out`.
void WriteFullWidthCharacters(const RunOptions& options, std::string_view digits, char* out,
                              std::int32_t* changeCount, RunCounters* counters) {
  const std::uint16_t fallback = FullWidthFallbackCode(options);
  for (std::size_t i = 0; i < digits.size(); i += kJisCodeDigits) {
    CountOne(changeCount);
    std::uint16_t code =
        cp932::JisToShiftJis(cp932::ReadJisCode(digits.substr(i, kJisCodeDigits)));
    if (code == 0) {
      code = fallback;
      CountOne(&counters->unconvertibleChars);
    }
    *out++ = static_cast<char>(code >> 8);
    *out++ = static_cast<char>(code & 0xFF);
  }
}

// The bytes of the full-width characters of JIS-code `digits`: two for every
// four hex digits.
std::size_t FullWidthLength(std::string_view digits) {
  return (digits.size() + kJisCodeDigits - 1) / kJisCodeDigits * 2;
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
    fullWidth.resize(FullWidthLength(bytes));
    WriteFullWidthCharacters(options, bytes, fullWidth.data(), changeCount, counters);
    bytes = fullWidth;
  }
  std::string encoded;
  std::int64_t unconvertible = 0;
  FromCp932(bytes, options.outputEncoding, FullWidthFallbackCode(options), &encoded,
            &unconvertible);
  CountMany(&counters->unconvertibleChars, unconvertible);
  return encoded;
}

// The number of hex digits of the JIS-code notation of `bytes`.
std::size_t JisTextLength(std::string_view bytes, CharClass charClass) {
  const bool doubleByte = charClass == CharClass::kDoubleByte;
  return (doubleByte ? (bytes.size() + 1) / 2 : bytes.size()) * kJisCodeDigits;
}

// Full-width characters to JIS-code notation: four lower-case hex digits for
// every character, written at `out`.
void WriteJisText(const RunOptions& options, std::string_view bytes, CharClass charClass,
                  char* out, std::int32_t* changeCount, RunCounters* counters) {
  static constexpr char kHex[] = "0123456789abcdef";
  const char* fallback = options.jisFallback == JisFallback::k2121 ? "2121" : "FFFF";
  const bool doubleByte = charClass == CharClass::kDoubleByte;
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
      std::memcpy(out, fallback, kJisCodeDigits);
      CountOne(&counters->unconvertibleChars);
    } else {
      out[0] = kHex[jis >> 12];
      out[1] = kHex[(jis >> 8) & 0xF];
      out[2] = kHex[(jis >> 4) & 0xF];
      out[3] = kHex[jis & 0xF];
    }
    out += kJisCodeDigits;
  }
}

}  // namespace

void ConvertNoteSegment(const RunOptions& options, std::string_view text,
                        ParameterEmitter* emitter, char parameterDelimiter, NoteString* string,
                        NoteSegment* segment, std::int32_t* changeCount, RunCounters* counters) {
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
  BlockFields fields;
  fields.NC = SaturateToInt32(characters);

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
    fields.WT = string->HT;
    fields.HT = width;
    if (options.verticalValueInput == VerticalValue::kBefore) CountOne(changeCount);
  } else {
    fields.WT = width;
    fields.HT = string->HT;
  }

  fields.FC = font;
  fields.SL = string->SL;
  fields.A = string->A;
  fields.M = string->M;
  if (options.verticalToHorizontal && vertical) {
    fields.VH = 0;
    CountOne(changeCount);
  } else {
    fields.VH = string->VH;
  }
  fields.XS = string->XS;
  fields.YS = string->YS;
  fields.ZS = string->ZS;
  emitter->PlaceBlockFields(fields, P);

  // The next segment starts where this one ends along the writing direction;
  // a negative width still moves forward.
  const Direction& direction = DirectionOf(vertical ? string->A - kHalfPi : string->A);
  string->XS += std::fabs(width) * direction.cosine;
  string->YS += std::fabs(width) * direction.sine;

  if (encoded) {
    emitter->Text(encodedText);
  } else if (jisToFullWidth) {
    WriteFullWidthCharacters(options, bytes, emitter->BeginText(FullWidthLength(bytes)),
                             changeCount, counters);
  } else if (toJis) {
    WriteJisText(options, bytes, segment->charClass,
                 emitter->BeginText(JisTextLength(bytes, segment->charClass)), changeCount,
                 counters);
  } else {
    emitter->Text(bytes);
  }
  segment->start = static_cast<std::int32_t>(start + length);
}

}  // namespace notora
