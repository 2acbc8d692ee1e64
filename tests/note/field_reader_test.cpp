#include "note/field_reader.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <charconv>
#include <cstring>
#include <random>
#include <string>

#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::PadTo64;

// A one-record entity that is P record 1.
constexpr ParameterLines kOneLine{1, 1};

RunOptions ZeroColumnsAllowed() {
  RunOptions options;
  options.zeroColumnsIsError = false;
  return options;
}

FieldCursor At(std::int32_t next) { return FieldCursor{next, next - 1, -7}; }

Status ReadInt(std::string_view text, FieldCursor* cursor, const RunOptions& options = {},
               ParameterLines lines = kOneLine, char delimiter = ',') {
  return ReadIntegerField(text, delimiter, MessageId::FieldNameNC, ';', lines, options,
                          cursor);
}

Status ReadReal(std::string_view text, FieldCursor* cursor, double* value,
                ParameterLines lines = kOneLine) {
  return ReadRealField(text, ',', MessageId::FieldNameWT, lines, cursor, value);
}

TEST(IntegerFieldTest, ReadsDigitsSkippingBlanksAndLeavesCursorAfterTerminator) {
  const std::string text = PadTo64("212, 1 2 ,34,");
  FieldCursor cursor;
  ASSERT_TRUE(ReadInt(text, &cursor).ok());
  EXPECT_EQ(cursor.value, 12);
  EXPECT_EQ(cursor.last, 9);
  EXPECT_EQ(cursor.next, 10);
  ASSERT_TRUE(ReadInt(text, &cursor).ok());
  EXPECT_EQ(cursor.value, 34);
  EXPECT_EQ(cursor.last, cursor.next - 1);
}

TEST(IntegerFieldTest, FirstFieldMayEndAtRecordDelimiterOnlyWhenZeroColumnsAllowed) {
  const std::string text = PadTo64("212,0;");
  FieldCursor cursor;
  ASSERT_TRUE(ReadInt(text, &cursor, ZeroColumnsAllowed()).ok());
  EXPECT_EQ(cursor.value, 0);
  EXPECT_EQ(cursor.last, 5);

  cursor = FieldCursor{};
  Status status = ReadInt(text, &cursor);
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の5文字目以降に区切り文字 , が有りません。\n変換は出来ません。");

  // Neither delimiter: the record delimiter is named.
  cursor = FieldCursor{};
  status = ReadInt(PadTo64("212,0"), &cursor, ZeroColumnsAllowed());
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の5文字目以降に区切り文字 ; が有りません。\n変換は出来ません。");

  // Past the first field the record delimiter never ends an integer.
  cursor = At(6);
  status = ReadInt(PadTo64("212,1,5;"), &cursor, ZeroColumnsAllowed());
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の7文字目以降に区切り文字 , が有りません。\n変換は出来ません。");
}

TEST(IntegerFieldTest, EmptyOrBlankFieldHasNoValue) {
  FieldCursor cursor;
  Status status = ReadIntegerField(PadTo64("212,;"), ',', MessageId::FieldNameNS, ';',
                                   kOneLine, ZeroColumnsAllowed(), &cursor);
  EXPECT_EQ(status.message(), "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の列数の値が有りません。\n変換は出来ません。");
  for (const char* text : {"212,1,,", "212,1,   ,"}) {
    cursor = At(6);
    EXPECT_EQ(ReadInt(PadTo64(text), &cursor).message(),
              "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字数の値が有りません。\n変換は出来ません。")
        << text;
  }
}

TEST(IntegerFieldTest, TwentyFiveDigitsAtMostLeadingZerosIncluded) {
  FieldCursor cursor;
  ASSERT_TRUE(ReadInt(PadTo64("212,0000000000000000000000012,"), &cursor).ok());
  EXPECT_EQ(cursor.value, 12);
  cursor = FieldCursor{};
  EXPECT_EQ(ReadInt(PadTo64("212,00000000000000000000000012,"), &cursor).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字数が26文字以上です。\n変換は出来ません。");
}

TEST(IntegerFieldTest, ValuesBeyondInt32ReadAsItsLargest) {
  for (const char* text : {"212,2147483647,", "212,2147483648,", "212,9999999999999999999999999,"}) {
    FieldCursor cursor;
    ASSERT_TRUE(ReadInt(PadTo64(text), &cursor).ok()) << text;
    EXPECT_EQ(cursor.value, 2147483647) << text;
  }
}

TEST(IntegerFieldTest, SignsAndLettersAreNotNumeric) {
  for (const char* text : {"212,-1,", "212,+1,", "212,1A,", "212,\x8a\xbf,"}) {
    FieldCursor cursor;
    EXPECT_EQ(ReadInt(PadTo64(text), &cursor).message(),
              "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字数を数値として取得出来ません。\n変換は出来ません。")
        << text;
  }
}

TEST(IntegerFieldTest, MessagesNameTheRecordOfTheFault) {
  // Two records, the second being P record 8: index 70 lies in record 8.
  std::string text = PadTo64("212,");
  text += PadTo64("1,1234X,");  // X at index 70
  const ParameterLines lines{2, 8};
  FieldCursor cursor = At(66);
  Status status = ReadIntegerField(text, ',', MessageId::FieldNameNC, ';', lines, RunOptions{},
                                   &cursor);
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ8行目の文字数を数値として取得出来ません。\n変換は出来ません。");
  // A search that starts at index 70 reports record 8, column 7.
  cursor = At(70);
  status = ReadIntegerField(text.substr(0, 72), ';', MessageId::FieldNameNC, ';', lines,
                            RunOptions{}, &cursor);
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ8行目の7文字目以降に区切り文字 ; が有りません。\n変換は出来ません。");
  // Index 10 of the same entity is in record 7.
  cursor = At(4);
  status = ReadIntegerField(PadTo64("212,12x,"), ',', MessageId::FieldNameNC, ';', lines,
                            RunOptions{}, &cursor);
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ7行目の文字数を数値として取得出来ません。\n変換は出来ません。");
}

TEST(IntegerFieldTest, TrailByteIsNeverTakenForTerminator) {
  // ソ is 83 5C: with "\" as delimiter its trail byte must not end the field.
  FieldCursor cursor;
  Status status = ReadInt("212\\\x83\x5c", &cursor, RunOptions{}, kOneLine, '\\');
  EXPECT_EQ(status.message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の5文字目以降に区切り文字 \\ が有りません。\n変換は出来ません。");
  // Hollerith counts end at "H" (not "h"); ォ is 83 48, whose trail byte is "H".
  cursor = At(6);
  ASSERT_TRUE(ReadIntegerField("212,1,12Habc", 'H', MessageId::FieldNameTextCount, 'H',
                               kOneLine, RunOptions{}, &cursor)
                  .ok());
  EXPECT_EQ(cursor.value, 12);
  EXPECT_EQ(cursor.next, 9);  // the "a"
  EXPECT_EQ(cursor.last, 8);  // the "H"
  cursor = At(6);
  EXPECT_FALSE(ReadIntegerField("212,1,12habc", 'H', MessageId::FieldNameTextCount, 'H',
                                kOneLine, RunOptions{}, &cursor)
                   .ok());
  cursor = At(4);
  EXPECT_EQ(ReadIntegerField("212,\x83\x48", 'H', MessageId::FieldNameTextCount, 'H', kOneLine,
                             RunOptions{}, &cursor)
                .message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の5文字目以降に区切り文字 H が有りません。\n変換は出来ません。");
}

TEST(RealFieldTest, ReadsTheLongestLeadingNumber) {
  struct Case {
    const char* field;
    double value;
  };
  for (Case c : {Case{"1.5", 1.5}, Case{"-1", -1.0}, Case{"+1", 1.0}, Case{"1.5D2", 150.0},
                 Case{"1.5d-1", 0.15}, Case{"2E3", 2000.0}, Case{" 1 . 5 e 1 ", 15.0},
                 Case{"1.2.3", 1.2}, Case{"1-2", 1.0}, Case{".", 0.0}, Case{"-", 0.0},
                 Case{".5", 0.5}, Case{"5.", 5.0}, Case{"1E", 1.0}, Case{"1e+", 1.0},
                 Case{"--1", 0.0}, Case{"E5", 0.0}, Case{"1e400", DBL_MAX},
                 Case{"-1e400", -DBL_MAX}, Case{"0.0000001e-400", 0.0},
                 Case{"1e-400", 0.0}, Case{"99999999999999999999e300", DBL_MAX}}) {
    FieldCursor cursor;
    double value = 42.0;
    ASSERT_TRUE(ReadReal("212," + std::string(c.field) + ",", &cursor, &value).ok()) << c.field;
    EXPECT_EQ(value, c.value) << c.field;
    EXPECT_EQ(cursor.value, 0) << "a real read leaves the value alone";
    EXPECT_EQ(cursor.last, cursor.next - 1);
  }
}

TEST(RealFieldTest, AgreesWithAFullReadingOfTheTextToTheLastBit) {
  // Digits, a point and exponents around the edges of the exact short cut:
  // whole numbers near 2^53, scales near 10^22 and beyond, up to 19 digits.
  std::mt19937_64 random(11);
  for (int i = 0; i < 300000; ++i) {
    std::string digits;
    const int count = 1 + static_cast<int>(random() % 20);
    for (int d = 0; d < count; ++d) digits += static_cast<char>('0' + random() % 10);
    if (random() % 3 == 0) digits = "90071992547409" + digits.substr(0, random() % 4);
    std::string field = digits;
    if (random() % 4 != 0) field.insert(random() % (field.size() + 1), ".");
    if (random() % 2 == 0) {
      const int exponent = static_cast<int>(random() % 61) - 30;
      field += (random() % 2 ? "D" : "E") + std::to_string(exponent);
    }
    if (random() % 4 == 0) field.insert(0, "-");
    if (field.size() > 25) continue;  // longer fields are refused
    std::string plain = field;
    for (char& c : plain) c = c == 'D' ? 'e' : c;
    double expected = 0.0;
    const char* first = plain.data() + (plain[0] == '-' ? 1 : 0);
    ASSERT_EQ(std::from_chars(first, plain.data() + plain.size(), expected).ec, std::errc())
        << field;
    if (plain[0] == '-') expected = -expected;
    FieldCursor cursor;
    double value = 42.0;
    ASSERT_TRUE(ReadReal("212," + field + ",", &cursor, &value).ok()) << field;
    ASSERT_EQ(std::memcmp(&value, &expected, sizeof value), 0)
        << field << " " << value << " " << expected;
  }
}

TEST(RealFieldTest, FailuresLeaveTheResultAlone) {
  double value = 42.0;
  FieldCursor cursor;
  // A record delimiter never ends a real, even as the first field.
  EXPECT_EQ(ReadReal(PadTo64("212,1.5;"), &cursor, &value).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の5文字目以降に区切り文字 , が有りません。\n変換は出来ません。");
  cursor = FieldCursor{};
  EXPECT_EQ(ReadReal("212,1.5x,", &cursor, &value).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字幅を数値として取得出来ません。\n変換は出来ません。");
  cursor = FieldCursor{};
  EXPECT_EQ(ReadReal("212,  ,", &cursor, &value).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字幅の値が有りません。\n変換は出来ません。");
  cursor = FieldCursor{};
  EXPECT_TRUE(ReadReal("212,1.00000000000000000000000,", &cursor, &value).ok());  // 25
  cursor = FieldCursor{};
  value = 42.0;
  EXPECT_EQ(ReadReal("212,1.000000000000000000000000,", &cursor, &value).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字幅が26文字以上です。\n変換は出来ません。");
  EXPECT_EQ(value, 42.0);
}

}  // namespace
}  // namespace notora
