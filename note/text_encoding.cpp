#include "note/text_encoding.h"

#include "note/cp932.h"
#include "note/cp932_unicode.h"

namespace notora {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr unsigned char kSingleShift2 = 0x8E;  // EUC-JP: a half-width katakana follows
constexpr unsigned char kSingleShift3 = 0x8F;  // EUC-JP: a JIS X 0212 character follows
constexpr unsigned kNecRow = 13;
constexpr unsigned kLastJisX0208Row = 84;

// One character read from text in some encoding.
struct Character {
  enum Kind {
    kCode,     // a code page 932 code (in Shift-JIS possibly no character)
    kNoCode,   // well formed, but without a code page 932 character
    kInvalid,  // no valid sequence starts here
  };
  Kind kind = kInvalid;
  std::int32_t code = -1;     // the code page 932 code, for kCode
  std::int32_t unicode = -1;  // the Unicode character, where the encoding gives it
  std::size_t length = 1;     // bytes taken
};

unsigned ByteAt(std::string_view text, std::size_t index) {
  return static_cast<unsigned char>(text[index]);
}

constexpr bool IsEucByte(unsigned byte) { return byte >= 0xA1 && byte <= 0xFE; }

Character ReadShiftJis(std::string_view text, std::size_t index) {
  const unsigned first = ByteAt(text, index);
  if (first < 0x80 || cp932::IsHalfWidthKatakana(static_cast<unsigned char>(first))) {
    return {Character::kCode, static_cast<std::int32_t>(first), -1, 1};
  }
  if (cp932::IsLeadByte(static_cast<unsigned char>(first)) && index + 1 < text.size() &&
      cp932::IsTrailByte(static_cast<unsigned char>(ByteAt(text, index + 1)))) {
    return {Character::kCode, static_cast<std::int32_t>(first << 8 | ByteAt(text, index + 1)),
            -1, 2};
  }
  return {};
}

// The JIS X 0208 row (1 to 94) of a two-byte Shift-JIS code, or 0.
unsigned JisRowOf(std::int32_t code) {
  const std::uint16_t jis = cp932::ShiftJisToJis(static_cast<std::uint16_t>(code));
  return jis == 0 ? 0 : (jis >> 8) - 0x20;
}

// True when EUC-JP holds the JIS X 0208 row `row`: rows 1 to 84 but NEC's.
bool IsEucJpRow(unsigned row) { return row >= 1 && row <= kLastJisX0208Row && row != kNecRow; }

Character ReadEucJp(std::string_view text, std::size_t index) {
  const unsigned first = ByteAt(text, index);
  const std::size_t left = text.size() - index;
  if (first < 0x80) return {Character::kCode, static_cast<std::int32_t>(first), -1, 1};
  if (first == kSingleShift2) {
    if (left < 2 || !IsEucByte(ByteAt(text, index + 1))) return {};
    const unsigned kana = ByteAt(text, index + 1);
    if (!cp932::IsHalfWidthKatakana(static_cast<unsigned char>(kana))) {
      return {Character::kNoCode, -1, -1, 2};
    }
    return {Character::kCode, static_cast<std::int32_t>(kana), -1, 2};
  }
  if (first == kSingleShift3) {
    if (left < 3 || !IsEucByte(ByteAt(text, index + 1)) || !IsEucByte(ByteAt(text, index + 2))) {
      return {};
    }
    return {Character::kNoCode, -1, -1, 3};
  }
  if (!IsEucByte(first) || left < 2 || !IsEucByte(ByteAt(text, index + 1))) return {};
  const unsigned jis = (first & 0x7F) << 8 | (ByteAt(text, index + 1) & 0x7F);
  const std::uint16_t code = cp932::JisToShiftJis(static_cast<std::uint16_t>(jis));
  if (!IsEucJpRow((jis >> 8) - 0x20) || cp932::ToUnicode(code) < 0) {
    return {Character::kNoCode, -1, -1, 2};
  }
  return {Character::kCode, code, -1, 2};
}

Character ReadUtf8(std::string_view text, std::size_t index) {
  std::size_t next = index;
  const std::int32_t unicode = NextUtf8(text, &next);
  if (unicode < 0) return {};
  const std::int32_t code = cp932::FromUnicode(unicode);
  return {code < 0 ? Character::kNoCode : Character::kCode, code, unicode, next - index};
}

Character ReadCharacter(std::string_view text, std::size_t index, TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kEucJp:
      return ReadEucJp(text, index);
    case TextEncoding::kUtf8:
      return ReadUtf8(text, index);
    case TextEncoding::kShiftJis:
      break;
  }
  return ReadShiftJis(text, index);
}

void AppendCode(std::int32_t code, std::string* out) {
  if (code > 0xFF) out->push_back(static_cast<char>(code >> 8));
  out->push_back(static_cast<char>(code & 0xFF));
}

// Appends the EUC-JP form of code page 932 `code`; false when it has none.
bool AppendEucJp(std::int32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
    return true;
  }
  if (code <= 0xFF) {
    if (!cp932::IsHalfWidthKatakana(static_cast<unsigned char>(code))) return false;
    out->push_back(static_cast<char>(kSingleShift2));
    out->push_back(static_cast<char>(code));
    return true;
  }
  if (!IsEucJpRow(JisRowOf(code)) || cp932::ToUnicode(static_cast<std::uint16_t>(code)) < 0) {
    return false;
  }
  const std::uint16_t jis = cp932::ShiftJisToJis(static_cast<std::uint16_t>(code));
  out->push_back(static_cast<char>((jis >> 8) | 0x80));
  out->push_back(static_cast<char>((jis & 0xFF) | 0x80));
  return true;
}

// Appends `code` (code page 932) in `encoding`; false when it has no form.
bool AppendInEncoding(std::int32_t code, TextEncoding encoding, std::string* out) {
  switch (encoding) {
    case TextEncoding::kEucJp:
      return AppendEucJp(code, out);
    case TextEncoding::kUtf8: {
      const std::int32_t unicode = cp932::ToUnicode(static_cast<std::uint16_t>(code));
      if (unicode < 0) return false;
      AppendUtf8(unicode, out);
      return true;
    }
    case TextEncoding::kShiftJis:
      break;
  }
  AppendCode(code, out);
  return true;
}

}  // namespace

std::string_view EncodingDisplayName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kEucJp:
      return "EUC-JP";
    case TextEncoding::kUtf8:
      return "UTF-8";
    case TextEncoding::kShiftJis:
      break;
  }
  return "Shift-JIS";
}

std::uint16_t FallbackFor(TextEncoding encoding, std::uint16_t preferred) {
  if (encoding == TextEncoding::kShiftJis) return preferred;
  std::string scratch;
  return AppendInEncoding(preferred, encoding, &scratch) ? preferred : kIdeographicSpaceCode;
}

std::uint16_t FullWidthFallbackCode(const RunOptions& options) {
  return FallbackFor(options.outputEncoding,
                     options.fullWidthFallback == FullWidthFallback::kSpace
                         ? kIdeographicSpaceCode
                         : kFullWidthQuotationCode);
}

std::size_t ToCp932(std::string_view text, TextEncoding encoding, std::uint16_t fallback,
                    std::string* out, std::int64_t* unconvertible,
                    std::vector<std::int32_t>* sourceIndices) {
  if (encoding == TextEncoding::kShiftJis) {
    for (std::size_t index = 0; sourceIndices != nullptr && index < text.size(); ++index) {
      sourceIndices->push_back(static_cast<std::int32_t>(index));
    }
    out->append(text);
    return kTextValid;
  }
  std::size_t index = 0;
  while (index < text.size()) {
    const Character character = ReadCharacter(text, index, encoding);
    if (character.kind == Character::kInvalid) return index;
    const std::size_t before = out->size();
    if (character.kind == Character::kCode) {
      AppendCode(character.code, out);
    } else {
      AppendCode(fallback, out);
      ++*unconvertible;
    }
    for (std::size_t added = before; sourceIndices != nullptr && added < out->size(); ++added) {
      sourceIndices->push_back(static_cast<std::int32_t>(index));
    }
    index += character.length;
  }
  return kTextValid;
}

void FromCp932(std::string_view text, TextEncoding encoding, std::uint16_t fallback,
               std::string* out, std::int64_t* unconvertible) {
  if (encoding == TextEncoding::kShiftJis) {
    out->append(text);
    return;
  }
  std::size_t index = 0;
  while (index < text.size()) {
    const unsigned first = ByteAt(text, index);
    std::int32_t code = static_cast<std::int32_t>(first);
    std::size_t length = 1;
    if (cp932::IsLeadByte(static_cast<unsigned char>(first)) && index + 1 < text.size()) {
      code = static_cast<std::int32_t>(first << 8 | ByteAt(text, index + 1));
      length = 2;
    }
    if (!AppendInEncoding(code, encoding, out)) {
      AppendInEncoding(fallback, encoding, out);
      ++*unconvertible;
    }
    index += length;
  }
}

std::string ToUtf8(std::string_view text, TextEncoding encoding, bool* valid) {
  std::string out;
  out.reserve(text.size() * 2);
  bool allValid = true;
  std::size_t index = 0;
  while (index < text.size()) {
    const Character character = ReadCharacter(text, index, encoding);
    std::int32_t unicode = character.unicode;
    if (unicode < 0 && character.kind == Character::kCode) {
      unicode = cp932::ToUnicode(static_cast<std::uint16_t>(character.code));
    }
    if (character.kind == Character::kInvalid) allValid = false;
    if (unicode < 0) {
      out.append(kReplacement);
    } else {
      AppendUtf8(unicode, &out);
    }
    index += character.length;
  }
  if (valid != nullptr) *valid = allValid;
  return out;
}

bool IsValidText(std::string_view text, TextEncoding encoding) {
  return FirstInvalidAt(text, encoding) == kTextValid;
}

std::size_t FirstInvalidAt(std::string_view text, TextEncoding encoding) {
  std::size_t index = 0;
  while (index < text.size()) {
    const Character character = ReadCharacter(text, index, encoding);
    if (character.kind == Character::kInvalid) return index;
    index += character.length;
  }
  return kTextValid;
}

std::size_t CharacterLength(std::string_view text, std::size_t index, TextEncoding encoding) {
  return ReadCharacter(text, index, encoding).length;
}

std::size_t TranscodeText(std::string_view text, TextEncoding from, TextEncoding to,
                          std::uint16_t fallback, std::string* out,
                          std::int64_t* unconvertible) {
  // ToCp932 checks every encoding but Shift-JIS, which it copies as it
  // stands; the characters it cannot carry are counted only when the whole
  // text is valid.
  if (from == TextEncoding::kShiftJis) {
    const std::size_t invalidAt = FirstInvalidAt(text, from);
    if (invalidAt != kTextValid) return invalidAt;
  }
  std::string cp932Text;
  std::int64_t taken = 0;
  const std::size_t invalidAt = ToCp932(text, from, fallback, &cp932Text, &taken);
  if (invalidAt != kTextValid) return invalidAt;
  *unconvertible += taken;
  FromCp932(cp932Text, to, fallback, out, unconvertible);
  return kTextValid;
}

void AppendUtf8(std::int32_t character, std::string* out) {
  const auto code = static_cast<std::uint32_t>(character);
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | code >> 6));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | code >> 12));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | code >> 18));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

std::int32_t NextUtf8(std::string_view text, std::size_t* index) {
  const std::size_t start = *index;
  const unsigned first = ByteAt(text, start);
  *index = start + 1;
  if (first < 0x80) return static_cast<std::int32_t>(first);
  std::size_t length = 0;
  std::uint32_t code = 0;
  std::uint32_t smallest = 0;
  if ((first & 0xE0) == 0xC0) {
    length = 2, code = first & 0x1F, smallest = 0x80;
  } else if ((first & 0xF0) == 0xE0) {
    length = 3, code = first & 0x0F, smallest = 0x800;
  } else if ((first & 0xF8) == 0xF0) {
    length = 4, code = first & 0x07, smallest = 0x10000;
  } else {
    return -1;
  }
  if (length > text.size() - start) return -1;
  for (std::size_t at = start + 1; at < start + length; ++at) {
    if ((ByteAt(text, at) & 0xC0) != 0x80) return -1;
    code = code << 6 | (ByteAt(text, at) & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return -1;
  *index = start + length;
  return static_cast<std::int32_t>(code);
}

}  // namespace notora
