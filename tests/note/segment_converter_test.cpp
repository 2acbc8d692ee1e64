#include "note/segment_converter.h"

#include <gtest/gtest.h>

#include <string>

#include "iges/record_format.h"

namespace notora {
namespace {

using cp932::CharClass;

constexpr char kKanji[] = "\x8a\xbf\x8e\x9a";  // 漢字

// A horizontal string box: NC 7, WT 7, HT 5, font 1, start point (10, 20, 0).
NoteString Horizontal() {
  NoteString string;
  string.NC = 7;
  string.WT = 7;
  string.HT = 5;
  string.FC = 1;
  string.XS = 10;
  string.YS = 20;
  return string;
}

// Converts the bytes [start, start + length) of `text` as one segment.
class SegmentConverterTest : public ::testing::Test {
 protected:
  std::string Convert(std::string_view text, std::int32_t start, std::int32_t length,
                      CharClass charClass, std::int32_t stringChars = 0) {
    NoteSegment segment;
    segment.start = start;
    segment.length = length;
    segment.charClass = charClass;
    segment.stringChars = stringChars;
    ParameterEmitter emitter;
    emitter.Open(0);
    ConvertNoteSegment(options_, text, &emitter, ',', &string_, &segment, &changeCount_,
                       &counters_);
    EXPECT_EQ(segment.start, start + length);
    return std::string(emitter.text().substr(kParameterDataWidth));  // after the header record
  }

  RunOptions options_;
  NoteString string_ = Horizontal();
  std::int32_t changeCount_ = 0;
  RunCounters counters_;
};

TEST_F(SegmentConverterTest, HalfWidthBytesWidenOneByOne) {
  string_.NC = 2;
  // ｶﾞ: KA and the voiced-sound mark, two characters.
  EXPECT_EQ(Convert("\xb6\xde", 0, 2, CharClass::kHalfWidth),
            "8,7,5,2001,0,0,0,0,10,20,0,8H252b212b");
  EXPECT_EQ(changeCount_, 2);
}

TEST_F(SegmentConverterTest, CharacterWithoutJisCodeGetsTheChosenFallback) {
  string_.NC = 2;
  EXPECT_EQ(Convert("\xf0\x40", 0, 2, CharClass::kDoubleByte),
            "4,7,5,2001,0,0,0,0,10,20,0,4H2121");
  options_.jisFallback = JisFallback::kFFFF;
  EXPECT_EQ(Convert("\xf0\x40", 0, 2, CharClass::kDoubleByte),
            "4,7,5,2001,0,0,0,0,17,20,0,4HFFFF");
  EXPECT_EQ(counters_.unconvertibleChars, 2);
  EXPECT_EQ(changeCount_, 2);
}

TEST_F(SegmentConverterTest, JisCodeBecomesFullWidth) {
  options_.conversionMode = ConversionMode::kToFullWidth;
  string_.FC = 2001;
  string_.NC = 8;
  EXPECT_EQ(Convert("34413B7a", 0, 8, CharClass::kPlain),
            std::string("4,7,5,1,0,0,0,0,10,20,0,4H") + kKanji);
  EXPECT_EQ(changeCount_, 2);

  string_.NC = 4;
  EXPECT_EQ(Convert("FFFF", 0, 4, CharClass::kPlain), "2,7,5,1,0,0,0,0,17,20,0,2H\x81\x40");
  options_.fullWidthFallback = FullWidthFallback::kQuote;
  EXPECT_EQ(Convert("ffff", 0, 4, CharClass::kPlain), "2,7,5,1,0,0,0,0,24,20,0,2H\xfa\x57");
  EXPECT_EQ(counters_.unconvertibleChars, 2);
}

TEST_F(SegmentConverterTest, OtherTextIsCopied) {
  options_.conversionMode = ConversionMode::kToFullWidth;  // font 1 is not JIS-code text
  const std::string text = std::string("AB") + kKanji;
  string_.NC = 6;
  EXPECT_EQ(Convert(text, 0, 6, CharClass::kDoubleByte),
            "6,7,5,1,0,0,0,0,10,20,0,6HAB" + std::string(kKanji));
  options_.conversionMode = ConversionMode::kNone;
  EXPECT_EQ(Convert(text, 0, 6, CharClass::kDoubleByte),
            "6,7,5,1,0,0,0,0,17,20,0,6HAB" + std::string(kKanji));
  EXPECT_EQ(changeCount_, 0);
}

TEST_F(SegmentConverterTest, VariableValueWrittenAfterTheHeightWhenAsked) {
  options_.conversionMode = ConversionMode::kNone;
  options_.verticalValueOutput = VerticalValue::kAfter;
  string_.NC = 2;
  string_.VH = 1;
  string_.WT = 10;
  // Read before, written after: the exchange is a change.
  EXPECT_EQ(Convert(kKanji, 0, 2, CharClass::kDoubleByte, 2),
            "2,5,5,1,0,0,0,1,10,20,0,2H\x8a\xbf");
  EXPECT_EQ(changeCount_, 1);
  // Read after and written after: nothing changed.
  options_.verticalValueInput = VerticalValue::kAfter;
  Convert(kKanji, 2, 2, CharClass::kDoubleByte, 2);
  EXPECT_EQ(changeCount_, 1);
}

}  // namespace
}  // namespace notora
