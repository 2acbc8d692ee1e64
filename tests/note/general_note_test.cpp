#include "note/general_note.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::PadTo64;

const std::string kKanji = "\x8a\xbf\x8e\x9a";  // 漢字

// The fields of one string as written in a note; NC defaults to the length
// of the text and the Hollerith count to its byte count.
struct StringFields {
  std::string NC, WT = "7.", HT = "5.", FC = "1", SL = "0.", A = "0.", M = "0", VH = "0",
                  XS = "10.", YS = "20.", ZS = "0.";
  std::string text = "ABC";
  std::string count;

  std::string Render() const {
    const std::string length = std::to_string(text.size());
    return (NC.empty() ? length : NC) + "," + WT + "," + HT + "," + FC + "," + SL + "," + A +
           "," + M + "," + VH + "," + XS + "," + YS + "," + ZS + "," +
           (count.empty() ? length : count) + "H" + text;
  }
};

// The parameter text of a note holding `strings`, each followed by ",", the
// last one by `tail`.
std::string Note(const std::vector<StringFields>& strings, const std::string& tail = ";") {
  std::string text = "212," + std::to_string(strings.size()) + ",";
  for (std::size_t i = 0; i < strings.size(); ++i) {
    text += strings[i].Render() + (i + 1 < strings.size() ? "," : tail);
  }
  return PadTo64(text);
}

struct Observed {
  std::int32_t number;
  NoteString fields;
  std::string text;
};

class RecordingObserver : public NoteObserver {
 public:
  void OnNoteString(const ParameterEntity&, std::int32_t stringNumber, std::int32_t,
                    const NoteString& asRead, std::string_view text) override {
    seen.push_back({stringNumber, asRead, std::string(text)});
  }
  std::vector<Observed> seen;
};

class GeneralNoteTest : public ::testing::Test {
 protected:
  // Handles `text` as an entity whose last P record is `lastRecord` (by
  // default its own record count, as if it were the section's first entity).
  Status Handle(std::string text, std::int32_t lastRecord = 0) {
    text_ = std::move(text);
    ParameterEntity entity;
    entity.entryIndex = 1;
    entity.parameterText = text_;
    entity.parameterLineCount = static_cast<std::int32_t>(text_.size() / 64);
    entity.lastRecordNumber = lastRecord != 0 ? lastRecord : entity.parameterLineCount;
    GeneralNoteConverter converter(options_, counters_, ',', ';');
    converter.SetObserver(&observer_);
    return converter.HandleGeneralNote(entity, &rebuilt_);
  }

  // The rebuilt note's records after its header record.
  std::string Body() const { return rebuilt_.parameterText.substr(64); }

  RunOptions options_;
  RunCounters counters_;
  RecordingObserver observer_;
  std::string text_;
  RebuiltNote rebuilt_;
};

TEST_F(GeneralNoteTest, MixedTextIsCutWhereTheClassChanges) {
  StringFields string;
  string.text = "ABC" + kKanji;
  string.NC = "7";
  ASSERT_TRUE(Handle(Note({string})).ok());
  ASSERT_TRUE(rebuilt_.changed);
  EXPECT_EQ(rebuilt_.parameterText,
            PadTo64("212,2,") +                                                    //
                "3,3,5,1,0,0,0,0,10,20,0,3HABC,8,4,5,2001,0,0,0,0,13,20,0," +    //
                "       " +  // the next field would end in column 64 or beyond
                PadTo64("8H34413b7a;"));
  EXPECT_EQ(rebuilt_.lineCount, 3);
  EXPECT_EQ(counters_.convertedEntities, 1);
}

TEST_F(GeneralNoteTest, EveryClassChangeStartsABlock) {
  StringFields string;
  string.text = "A\xb1" "B" + kKanji + "C";  // Aｱ B 漢字 C
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_EQ(rebuilt_.parameterText.substr(0, 64), PadTo64("212,5,"));
  EXPECT_NE(Body().find("1HA,"), std::string::npos);
  EXPECT_NE(Body().find("4H2522,"), std::string::npos);
  EXPECT_NE(Body().find("1HB,"), std::string::npos);
  EXPECT_NE(Body().find("8H34413b7a,"), std::string::npos);
  EXPECT_NE(Body().find("1HC;"), std::string::npos);
}

TEST_F(GeneralNoteTest, NoteWithNothingToChangeKeepsItsText) {
  ASSERT_TRUE(Handle(Note({StringFields{}, StringFields{}}, ",0,0;")).ok());
  EXPECT_FALSE(rebuilt_.changed);
  EXPECT_TRUE(rebuilt_.parameterText.empty());
  EXPECT_EQ(counters_.convertedEntities, 0);
  ASSERT_EQ(observer_.seen.size(), 2u);
  EXPECT_EQ(observer_.seen[1].number, 2);
}

TEST_F(GeneralNoteTest, VerticalStringBecomesOneBlockPerCharacter) {
  options_.conversionMode = ConversionMode::kNone;
  options_.verticalToHorizontal = true;
  StringFields string;
  string.text = kKanji;
  string.NC = "4";
  string.VH = "1";
  string.WT = "10.";
  string.XS = "0.";
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_EQ(rebuilt_.parameterText,
            PadTo64("212,2,") + "2,5,5,1,0,0,0,0,0,20,0,2H\x8a\xbf,2,5,5,1,0,0,0,0," +
                std::string(20, ' ') + PadTo64("3.061616997868383e-016,15,0,2H\x8e\x9a;"));
  EXPECT_EQ(counters_.verticalElements, 1);
}

TEST_F(GeneralNoteTest, JisCodeVerticalStringSplitsEveryFourDigits) {
  options_.conversionMode = ConversionMode::kToFullWidth;
  options_.verticalToHorizontal = true;
  StringFields string;
  string.text = "34413441344a";
  string.FC = "2001";
  string.VH = "1";
  string.WT = "12.";
  string.XS = "0.";
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_EQ(rebuilt_.parameterText.substr(0, 64), PadTo64("212,3,"));
  EXPECT_NE(Body().find("2,4,5,1,0,0,0,0,0,20,0,2H\x8a\xbf,"), std::string::npos);
  EXPECT_NE(Body().find(",16,0,2H\x8a\xbf,"), std::string::npos);
  EXPECT_NE(Body().find(",12,0,2H\x8a\xc8;"), std::string::npos);  // 344a is 8A C8
  EXPECT_EQ(counters_.jisCodeElements, 1);
  EXPECT_EQ(counters_.verticalElements, 1);
}

TEST_F(GeneralNoteTest, NegativeWidthFollowsItsOption) {
  StringFields string;
  string.text = "ABC" + kKanji;
  string.NC = "7";
  string.WT = "-7.";

  options_.negativeWidthMode = NegativeWidthMode::kMinus;  // kept
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_NE(Body().find("3,-3,5,1,0,0,0,0,10,20,0,3HABC,8,-4,5,2001,0,0,0,0,13,"),
            std::string::npos);
  EXPECT_EQ(counters_.negativeWidthElements, 1);

  // Made positive: a change even without conversion.
  options_.negativeWidthMode = NegativeWidthMode::kPlus;
  options_.conversionMode = ConversionMode::kNone;
  ASSERT_TRUE(Handle(Note({string})).ok());
  ASSERT_TRUE(rebuilt_.changed);
  EXPECT_EQ(Body(), PadTo64("7,7,5,1,0,0,0,0,10,20,0,7HABC" + kKanji + ";"));
  EXPECT_EQ(observer_.seen.back().fields.WT, -7.0) << "the observer sees the field as read";

  options_.negativeWidthMode = NegativeWidthMode::kMinus;  // kept, nothing else to do: unchanged
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_FALSE(rebuilt_.changed);
  EXPECT_EQ(counters_.negativeWidthElements, 3);

  options_.negativeWidthMode = NegativeWidthMode::kError;
  EXPECT_EQ(Handle(Note({string})).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字幅がｾﾞﾛ以下です。\n変換は出来ません。");
}

TEST_F(GeneralNoteTest, VerticalValueExchangeOnlyCountsWhenPositionsDiffer) {
  options_.conversionMode = ConversionMode::kNone;
  StringFields string;
  string.text = kKanji;
  string.VH = "1";
  string.WT = "3.";
  string.HT = "10.";

  options_.verticalValueInput = VerticalValue::kAfter;
  options_.verticalValueOutput = VerticalValue::kAfter;
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_FALSE(rebuilt_.changed);

  options_.verticalValueOutput = VerticalValue::kBefore;
  ASSERT_TRUE(Handle(Note({string})).ok());
  ASSERT_TRUE(rebuilt_.changed);
  EXPECT_EQ(Body(), PadTo64("4,10,3,1,0,0,0,1,10,20,0,4H" + kKanji + ";"));
  EXPECT_EQ(observer_.seen.back().fields.WT, 3.0);
}

TEST_F(GeneralNoteTest, ZeroCountsAfterTheStringsAreKept) {
  StringFields string;
  string.text = kKanji;
  ASSERT_TRUE(Handle(Note({string}, ",0,0;")).ok());
  EXPECT_EQ(Body(), PadTo64("8,7,5,2001,0,0,0,0,10,20,0,8H34413b7a,0,0;"));
  EXPECT_EQ(Handle(Note({string}, ",1;"), 9).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ9行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
}

TEST_F(GeneralNoteTest, StringCountZeroOnlyWhenAllowed) {
  EXPECT_EQ(Handle(PadTo64("212,0,")).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の列数がｾﾞﾛ以下です。\n変換は出来ません。");
  options_.zeroColumnsIsError = false;
  ASSERT_TRUE(Handle(PadTo64("212,0;")).ok());
  EXPECT_FALSE(rebuilt_.changed);
}

struct CheckCase {
  const char* name;
  StringFields string;
  const char* reason;
};

StringFields With(std::string StringFields::*field, std::string value) {
  StringFields string;
  string.*field = std::move(value);
  return string;
}

TEST_F(GeneralNoteTest, EveryCheckNamesItsRecord) {
  const std::vector<CheckCase> cases = {
      {"NC", With(&StringFields::NC, "0"), "文字数がｾﾞﾛ以下です。"},
      {"WT", With(&StringFields::WT, "0."), "文字幅がｾﾞﾛです。"},
      {"HT", With(&StringFields::HT, "-1."), "文字高さがｾﾞﾛ以下です。"},
      {"FC", With(&StringFields::FC, "0"), "ﾌｫﾝﾄ番号がｾﾞﾛ以下です。"},
      {"M", With(&StringFields::M, "3"), "鏡像がｾﾞﾛから2以外です。"},
      {"VH", With(&StringFields::VH, "2"), "横縦書きがｾﾞﾛから1以外です。"},
      {"count", With(&StringFields::count, "0"), "文字記述の文字数がｾﾞﾛ以下です。"},
      {"beyond", With(&StringFields::count, "9999"),
       "文字記述の文字数が以降の文字数を超過しています。"},
      {"after", With(&StringFields::count, "2"), "文字記述の後に区切りが有りません。"},
      {"bad byte", With(&StringFields::text, "A\x7f"), "文字記述が不良です。"},
      {"lead byte last", With(&StringFields::text, "AB\x8a"), "文字記述が不良です。"},
      {"real", With(&StringFields::SL, "x"), "傾斜角を数値として取得出来ません。"},
      {"empty", With(&StringFields::ZS, ""), "位置Zの値が有りません。"},
  };
  for (const CheckCase& c : cases) {
    EXPECT_EQ(Handle(Note({c.string}), 30).message(),
              std::string("ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ30行目の") + c.reason + "\n変換は出来ません。")
        << c.name;
  }
  StringFields jis;
  jis.FC = "2001";
  jis.text = "344134";
  EXPECT_EQ(Handle(Note({jis}), 30).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ30行目はﾌｫﾝﾄ番号が2001に対して文字記述の文字数が4で割り切れません。\n"
            "変換は出来ません。");
  jis.text = "344G";
  EXPECT_EQ(Handle(Note({jis}), 30).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ30行目の文字記述が16進数値以外でﾌｫﾝﾄ番号が2001です。\n変換は出来ません。");
}

TEST_F(GeneralNoteTest, FaultInALaterRecordNamesThatRecord) {
  // A bad byte at index 70, in the second of two records ending at record 9.
  StringFields string;
  string.text = std::string(29, 'A') + "\x7f";
  const std::string text = Note({string});
  ASSERT_EQ(text.find('\x7f'), 70u);
  EXPECT_EQ(Handle(text, 9).message(), "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ9行目の文字記述が不良です。\n変換は出来ません。");
  // The same note one record earlier in the text: record 8.
  string.text = "\x7f";
  EXPECT_EQ(Handle(Note({string}) + std::string(64, ' '), 9).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ8行目の文字記述が不良です。\n変換は出来ません。");
}

TEST_F(GeneralNoteTest, TextEndingTheParameterTextHasNoDelimiterAfterIt) {
  StringFields string;
  std::string text;
  for (std::size_t length = 1; text.size() < 64; ++length) {
    string.text = std::string(length, 'A');
    text = "212,1," + string.Render();
  }
  ASSERT_EQ(text.size(), 64u);
  EXPECT_EQ(Handle(text).message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字記述の後に区切りが有りません。\n変換は出来ません。");
}

TEST_F(GeneralNoteTest, HugeValuesNeverReachTheOutputAsInfinity) {
  StringFields string;
  string.text = "ABC" + kKanji;
  string.NC = "99999999999";  // reads as 2147483647
  string.WT = "1e400";        // reads as the largest double
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_EQ(observer_.seen.back().fields.NC, 2147483647);
  EXPECT_EQ(Body().find("inf"), std::string::npos);
  EXPECT_EQ(Body().find("nan"), std::string::npos);
  string.NC = "7";
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_NE(Body().find("1.797693134862316e+308"), std::string::npos);
  EXPECT_EQ(Body().find("inf"), std::string::npos);
}

TEST_F(GeneralNoteTest, EveryJisCharacterSurvivesTheRoundTrip) {
  std::string original;
  for (unsigned row = 0x21; row <= 0x7E; ++row) {
    for (unsigned cell = 0x21; cell <= 0x7E; ++cell) {
      const std::uint16_t code = cp932::JisToShiftJis(static_cast<std::uint16_t>(row << 8 | cell));
      original.push_back(static_cast<char>(code >> 8));
      original.push_back(static_cast<char>(code & 0xFF));
    }
  }
  StringFields string;
  string.text = original;
  ASSERT_TRUE(Handle(Note({string})).ok());
  EXPECT_EQ(counters_.unconvertibleChars, 0);

  options_.conversionMode = ConversionMode::kToFullWidth;
  const std::string jisNote = rebuilt_.parameterText;
  ASSERT_TRUE(Handle(jisNote).ok());
  const std::string header = std::to_string(original.size()) + "H";
  const std::size_t at = Body().find(header);
  ASSERT_NE(at, std::string::npos);
  EXPECT_EQ(Body().substr(at + header.size(), original.size()), original);
  EXPECT_EQ(Body()[at + header.size() + original.size()], ';');
  EXPECT_EQ(counters_.unconvertibleChars, 0);
  EXPECT_EQ(counters_.jisCodeElements, 1);
}

}  // namespace
}  // namespace notora
