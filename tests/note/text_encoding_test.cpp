#include "note/text_encoding.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "note/cp932_unicode.h"

namespace notora {
namespace {

std::string Bytes(std::int32_t code) {
  std::string bytes;
  if (code > 0xFF) bytes.push_back(static_cast<char>(code >> 8));
  bytes.push_back(static_cast<char>(code & 0xFF));
  return bytes;
}

struct Converted {
  std::string text;
  std::int64_t unconvertible = 0;
  std::size_t invalidAt = kTextValid;
};

Converted In(std::string_view text, TextEncoding encoding,
             std::uint16_t fallback = kIdeographicSpaceCode) {
  Converted result;
  result.invalidAt = ToCp932(text, encoding, fallback, &result.text, &result.unconvertible);
  return result;
}

Converted Out(std::string_view text, TextEncoding encoding,
              std::uint16_t fallback = kIdeographicSpaceCode) {
  Converted result;
  FromCp932(text, encoding, fallback, &result.text, &result.unconvertible);
  return result;
}

// The codes of code page 932 that are characters.
std::vector<std::int32_t> CharacterCodes() {
  std::vector<std::int32_t> codes;
  for (std::int32_t code = 0; code <= 0xFCFF; ++code) {
    if (cp932::ToUnicode(static_cast<std::uint16_t>(code)) >= 0) codes.push_back(code);
  }
  return codes;
}

// True for the two-byte characters that lie in the extensions of code page
// 932: NEC row 13, the NEC-selected IBM and IBM extensions, the user area.
bool IsExtension(std::int32_t code) {
  const std::int32_t lead = code >> 8;
  return lead == 0x87 || lead == 0xED || lead == 0xEE || lead >= 0xF0;
}

TEST(TextEncodingTest, ShiftJisToUtf8AndBackKeepsEveryCharacter) {
  int secondCodes = 0;
  for (std::int32_t code : CharacterCodes()) {
    const Converted utf8 = Out(Bytes(code), TextEncoding::kUtf8);
    ASSERT_EQ(utf8.unconvertible, 0) << std::hex << code;
    const Converted back = In(utf8.text, TextEncoding::kUtf8);
    ASSERT_EQ(back.invalidAt, kTextValid) << std::hex << code;
    ASSERT_EQ(back.unconvertible, 0) << std::hex << code;
    // A character with several codes comes back with the one Windows picks.
    const std::int32_t preferred =
        cp932::FromUnicode(cp932::ToUnicode(static_cast<std::uint16_t>(code)));
    ASSERT_EQ(back.text, Bytes(preferred)) << std::hex << code;
    if (preferred != code) ++secondCodes;
  }
  EXPECT_EQ(secondCodes, 398);
  EXPECT_EQ(Out("\x8a\xbf" "A\xb1", TextEncoding::kUtf8).text, "漢Aｱ");
}

TEST(TextEncodingTest, ShiftJisToEucJpAndBackKeepsEveryJisX0208Character) {
  int held = 0;
  for (std::int32_t code : CharacterCodes()) {
    const Converted euc = Out(Bytes(code), TextEncoding::kEucJp);
    if (code > 0xFF && IsExtension(code)) {
      // No EUC-JP form: the fallback, counted.
      ASSERT_EQ(euc.unconvertible, 1) << std::hex << code;
      ASSERT_EQ(euc.text, "\xA1\xA1") << std::hex << code;
      continue;
    }
    ++held;
    ASSERT_EQ(euc.unconvertible, 0) << std::hex << code;
    const Converted back = In(euc.text, TextEncoding::kEucJp);
    ASSERT_EQ(back.invalidAt, kTextValid) << std::hex << code;
    ASSERT_EQ(back.unconvertible, 0) << std::hex << code;
    ASSERT_EQ(back.text, Bytes(code)) << std::hex << code;
  }
  // ASCII, the half-width katakana and the 6879 characters of JIS X 0208.
  EXPECT_EQ(held, 128 + 63 + 6879);
  EXPECT_EQ(Out("\x8a\xbf" "A\xb1", TextEncoding::kEucJp).text, "\xB4\xC1" "A\x8E\xB1");
  EXPECT_EQ(Out("\x81\x40\xEA\xA4", TextEncoding::kEucJp).text, "\xA1\xA1\xF4\xA6");
}

TEST(TextEncodingTest, ShiftJisIsCopiedBothWays) {
  // Even bytes that are no character: Shift-JIS text is taken as it stands.
  const std::string text = "A\x85\x40\x80\x8a";
  EXPECT_EQ(In(text, TextEncoding::kShiftJis).text, text);
  EXPECT_EQ(In(text, TextEncoding::kShiftJis).invalidAt, kTextValid);
  EXPECT_EQ(Out(text, TextEncoding::kShiftJis).text, text);
  EXPECT_EQ(Out(text, TextEncoding::kShiftJis).unconvertible, 0);
}

TEST(TextEncodingTest, InvalidUtf8IsFoundWhereItStarts) {
  struct Case {
    const char* text;
    std::size_t invalidAt;
  };
  for (Case invalid : {Case{"AB\xC0\xAF", 2},           // overlong "/"
                       Case{"\xE0\x80\xAF", 0},         // overlong in three bytes
                       Case{"\xF0\x82\x82\xAC", 0},     // overlong in four bytes
                       Case{"A\xED\xA0\x80", 1},        // surrogate
                       Case{"\xF4\x90\x80\x80", 0},     // above U+10FFFF
                       Case{"\xF5\x80\x80\x80", 0},
                       Case{"\xE6\xBC\xA2\x80", 3},     // stray continuation byte
                       Case{"\xE6\xBC", 0},             // cut short
                       Case{"\xE6\x41\xA2", 0},
                       Case{"\xFF", 0}}) {
    EXPECT_EQ(In(invalid.text, TextEncoding::kUtf8).invalidAt, invalid.invalidAt)
        << invalid.text;
    bool valid = true;
    EXPECT_NE(ToUtf8(invalid.text, TextEncoding::kUtf8, &valid).find("\uFFFD"),
              std::string::npos);
    EXPECT_FALSE(valid);
    EXPECT_FALSE(IsValidText(invalid.text, TextEncoding::kUtf8));
  }
  // The longest valid forms at the edges.
  EXPECT_EQ(In("\xC2\x80\xEF\xBF\xBF\xF4\x8F\xBF\xBF", TextEncoding::kUtf8).invalidAt,
            kTextValid);
}

TEST(TextEncodingTest, InvalidEucJpIsFoundWhereItStarts) {
  struct Case {
    const char* text;
    std::size_t invalidAt;
  };
  for (Case invalid : {Case{"AB\xB4", 2},             // cut short
                       Case{"\xB4\x41", 0},           // second byte below 0xA1
                       Case{"\x8E\x41", 0},           // SS2 without a katakana byte
                       Case{"\x8E", 0},
                       Case{"\x8F\xA2", 0},           // SS3 cut short
                       Case{"\xB4\xC1\x80", 2},       // bytes that start nothing
                       Case{"\xA0\xA1", 0},
                       Case{"\xFF\xA1", 0}}) {
    EXPECT_EQ(In(invalid.text, TextEncoding::kEucJp).invalidAt, invalid.invalidAt)
        << invalid.text;
    bool valid = true;
    ToUtf8(invalid.text, TextEncoding::kEucJp, &valid);
    EXPECT_FALSE(valid);
    EXPECT_FALSE(IsValidText(invalid.text, TextEncoding::kEucJp));
  }
}

TEST(TextEncodingTest, CharactersWithoutCodePage932CodeBecomeTheFallback) {
  // € and an emoji in UTF-8; the JIS X 0212 character ～ (SS3), NEC row 13
  // (①), row 89 (a NEC-selected IBM kanji) and an empty JIS X 0208 cell in
  // EUC-JP; a half-width byte beyond the katakana behind SS2.
  const Converted utf8 = In("A\xE2\x82\xAC" "B\xF0\x9F\x98\x80", TextEncoding::kUtf8,
                            kFullWidthQuotationCode);
  EXPECT_EQ(utf8.text, "A\xFA\x57" "B\xFA\x57");
  EXPECT_EQ(utf8.unconvertible, 2);
  const Converted eucIn =
      In("\x8F\xA2\xB7\xAD\xA1\xF9\xA1\xA2\xAF\x8E\xE0" "A", TextEncoding::kEucJp);
  EXPECT_EQ(eucIn.invalidAt, kTextValid);
  EXPECT_EQ(eucIn.text, "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40" "A");
  EXPECT_EQ(eucIn.unconvertible, 5);
  // Well formed all the same.
  EXPECT_TRUE(IsValidText("\xAD\xA1\x8F\xA2\xB7", TextEncoding::kEucJp));
  EXPECT_TRUE(IsValidText("\xE2\x82\xAC", TextEncoding::kUtf8));
  EXPECT_TRUE(IsValidText("\x85\x40", TextEncoding::kShiftJis));
  EXPECT_FALSE(IsValidText("\x85\x20", TextEncoding::kShiftJis));
  // On the way out: what the encoding cannot hold, and bytes that are no
  // character of code page 932.
  const Converted out = Out("\x87\x40\x85\x40\x80\x8a", TextEncoding::kUtf8);
  EXPECT_EQ(out.text, "\u2460\u3000\u3000\u3000");
  EXPECT_EQ(out.unconvertible, 3);
  const Converted euc = Out("\x87\x40\x85\x40\x80\x8a", TextEncoding::kEucJp);
  EXPECT_EQ(euc.text, "\xA1\xA1\xA1\xA1\xA1\xA1\xA1\xA1");
  EXPECT_EQ(euc.unconvertible, 4);
}

TEST(TextEncodingTest, EucJpHasNoFullWidthQuotationMark) {
  EXPECT_EQ(FallbackFor(TextEncoding::kEucJp, kFullWidthQuotationCode), kIdeographicSpaceCode);
  EXPECT_EQ(FallbackFor(TextEncoding::kEucJp, kIdeographicSpaceCode), kIdeographicSpaceCode);
  EXPECT_EQ(FallbackFor(TextEncoding::kUtf8, kFullWidthQuotationCode), kFullWidthQuotationCode);
  EXPECT_EQ(FallbackFor(TextEncoding::kShiftJis, kFullWidthQuotationCode),
            kFullWidthQuotationCode);
}

TEST(TextEncodingTest, EveryByteKnowsTheCharacterItCameFrom) {
  std::string out;
  std::int64_t unconvertible = 0;
  std::vector<std::int32_t> sources;
  // A, 漢 (three bytes), ｱ (three bytes), € (no code: the two-byte fallback).
  ASSERT_EQ(ToCp932("A\xE6\xBC\xA2\xEF\xBD\xB1\xE2\x82\xAC", TextEncoding::kUtf8,
                    kIdeographicSpaceCode, &out, &unconvertible, &sources),
            kTextValid);
  EXPECT_EQ(out, "A\x8a\xbf\xb1\x81\x40");
  EXPECT_EQ(sources, (std::vector<std::int32_t>{0, 1, 1, 4, 7, 7}));
}

TEST(TextEncodingTest, TextReadsForAPerson) {
  bool valid = false;
  EXPECT_EQ(ToUtf8("\xB4\xC1\xBB\xFA" "AB\x8E\xB1", TextEncoding::kEucJp, &valid), "漢字ABｱ");
  EXPECT_TRUE(valid);
  EXPECT_EQ(ToUtf8("\x8a\xbf\x8e\x9a", TextEncoding::kShiftJis, &valid), "漢字");
  EXPECT_TRUE(valid);
  // A lead byte whose trail is no trail byte: the next byte is read anew.
  EXPECT_EQ(ToUtf8("\x8a ", TextEncoding::kShiftJis, &valid), "\uFFFD ");
  EXPECT_FALSE(valid);
  // A valid code that is no character is no fault of the encoding.
  EXPECT_EQ(ToUtf8("\x85\x40", TextEncoding::kShiftJis, &valid), "\uFFFD");
  EXPECT_TRUE(valid);
  EXPECT_EQ(ToUtf8("\xF0\x9F\x98\x80", TextEncoding::kUtf8, &valid), "\U0001F600");
  EXPECT_TRUE(valid);
}

}  // namespace
}  // namespace notora
