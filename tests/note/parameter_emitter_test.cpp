#include "note/parameter_emitter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::PadTo64;

std::string Filled(std::size_t length) { return std::string(length, 'x'); }

TEST(FieldPackingTest, FieldThatWouldReachColumn64StartsTheNextRecord) {
  std::string buffer = Filled(60);
  AppendIntegerField(&buffer, 1234, ',');
  EXPECT_EQ(buffer, Filled(60) + "    " + "1234,");

  buffer = Filled(60);
  AppendIntegerField(&buffer, 123, ',');  // would end in column 64
  EXPECT_EQ(buffer, Filled(60) + "    " + "123,");

  buffer = Filled(60);
  AppendIntegerField(&buffer, -1, ',');  // ends in column 63
  EXPECT_EQ(buffer, Filled(60) + "-1,");
}

TEST(FieldPackingTest, LongHollerithFieldMayFollowBlankRecords) {
  std::string buffer = Filled(10);
  AppendHollerithField(&buffer, Filled(130));  // 134 bytes from 10: blanks up to 128
  EXPECT_EQ(buffer, Filled(10) + std::string(118, ' ') + "130H" + Filled(130));

  buffer.clear();
  AppendHollerithField(&buffer, Filled(61));  // exactly one record: moves past it
  EXPECT_EQ(buffer, std::string(64, ' ') + "61H" + Filled(61));

  buffer.clear();
  AppendHollerithField(&buffer, "ABC");  // no delimiter after it
  EXPECT_EQ(buffer, "3HABC");
}

// The same fields appended one by one to a plain buffer.
void AppendBlockFields(std::string* buffer, const BlockFields& block, char delimiter) {
  AppendIntegerField(buffer, block.NC, delimiter);
  AppendRealField(buffer, block.WT, delimiter);
  AppendRealField(buffer, block.HT, delimiter);
  AppendIntegerField(buffer, block.FC, delimiter);
  AppendRealField(buffer, block.SL, delimiter);
  AppendRealField(buffer, block.A, delimiter);
  AppendIntegerField(buffer, block.M, delimiter);
  AppendIntegerField(buffer, block.VH, delimiter);
  AppendRealField(buffer, block.XS, delimiter);
  AppendRealField(buffer, block.YS, delimiter);
  AppendRealField(buffer, block.ZS, delimiter);
}

// From every column, blocks repeating most values of the one before (their
// texts are kept) and changing all of them, with either delimiter; then
// texts, one so long that the emitter makes room beyond its usual step.
TEST(ParameterEmitterTest, PlacesFieldsAsSingleFieldsAreAppended) {
  const BlockFields blocks[] = {
      {2, 0.010570824524313, 2365, 1, 0, 0, 0, 0, 220.8, 86.5, 0},
      {2, 0.010570824524313, 2365, 1, 0, 0, 0, 0, 220.8, 86.489429175475692, 0},
      {-123456, -1e300, 1.5, 2001, 0.25, -3.0625, 2, 1, -0.0, 1e-5, 12345678.9},
      {0, 0.0, 0.0, 0, 0, 0, 0, 0, 0, 0, 0}};
  const std::string longText(10000, 'y');
  for (std::size_t start = 0; start < 64; ++start) {
    ParameterEmitter emitter;
    emitter.Open(0);
    std::string expected(64, ' ');  // the header record
    for (std::size_t i = 0; i < start; ++i) emitter.Byte('x');
    expected += Filled(start);
    for (char delimiter : {',', '/'}) {
      for (const BlockFields& block : blocks) {
        emitter.PlaceBlockFields(block, delimiter);
        AppendBlockFields(&expected, block, delimiter);
        emitter.Text("AB");
        AppendHollerithField(&expected, "AB");
      }
    }
    std::memset(emitter.BeginText(61), 'z', 61);
    AppendHollerithField(&expected, std::string(61, 'z'));
    emitter.Text(longText);
    AppendHollerithField(&expected, longText);
    ASSERT_EQ(emitter.text(), expected) << "from column " << start + 1;
  }
}

// A text handed over leaves the emitter ready for the next note.
TEST(ParameterEmitterTest, HandsOverItsTextAndStartsAnew) {
  ParameterEmitter emitter;
  emitter.Open(1000);
  emitter.Text("ABC");
  emitter.FinishRecords("212,1,");
  std::string first;
  emitter.HandOver(&first);
  EXPECT_EQ(first, PadTo64("212,1,") + PadTo64("3HABC"));

  emitter.Open(0);
  emitter.Byte(';');
  emitter.FinishRecords("212,2,");
  std::string second;
  emitter.HandOver(&second);
  EXPECT_EQ(second, PadTo64("212,2,") + PadTo64(";"));
}

class CloseRebuiltNoteTest : public ::testing::Test {
 protected:
  // The note as read: a string whose TEXT "AB" is followed by `tail`; the
  // rebuilt text holds `body` after its header record.
  Status Close(std::string_view tail, std::string_view body) {
    input_ = PadTo64("212,1,2,1.,1.,1,0.,0.,0,0,0.,0.,0.,2HAB" + std::string(tail));
    const auto tailStart = static_cast<std::int32_t>(input_.find("AB") + 2);
    ParameterEmitter emitter;
    emitter.Open(0);
    for (char byte : body) emitter.Byte(byte);
    const Status status = CloseRebuiltNote(input_, tailStart, ParameterLines{1, 5}, 212, 3,
                                           ',', ';', &emitter);
    emitter.HandOver(&rebuilt_);
    return status;
  }

  std::string input_;
  std::string rebuilt_;
};

TEST_F(CloseRebuiltNoteTest, KeepsZeroCountsAndPutsHeaderRecordInFront) {
  ASSERT_TRUE(Close(";", "1HA;").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA;"));

  ASSERT_TRUE(Close(",0;", "1HA,").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA,0;"));

  ASSERT_TRUE(Close(" , 0 , 0 ;", "1HA,").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA,0,0;"));
}

TEST_F(CloseRebuiltNoteTest, TailThatWouldEndInColumn64MovesToNextRecord) {
  ASSERT_TRUE(Close(",0;", Filled(61) + ",").ok());
  EXPECT_EQ(rebuilt_.size(), 3 * 64u);
  EXPECT_EQ(rebuilt_.substr(64), Filled(61) + ",  " + PadTo64("0;"));
}

TEST_F(CloseRebuiltNoteTest, RefusesOtherTails) {
  EXPECT_EQ(Close(",1;", "1HA,").message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_EQ(Close(",0,0,0;", "1HA,").message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_TRUE(Close(std::string(",0,0") + std::string(20, ' ') + ";", "1HA,").ok());
  EXPECT_EQ(Close(",0,0,0,0,0,0,0,0,0,0,0,0;", "1HA,").message(),  // 25 characters
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_EQ(Close(",0,0,0,0,0,0,0,0,0,0,0,0,;", "1HA,").message(),  // 26 characters
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字が26文字以上です。\n変換は出来ません。");
}

}  // namespace
}  // namespace notora
