// General Notes with back pointers and properties after their strings:
// carried over under keepPointers, refused as before without it, and
// refused when making a note horizontal would move the ranges a property
// addresses.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/conversion_check.h"
#include "tests/support/iges_reading.h"
#include "tests/support/note_fixtures.h"

namespace notora {
namespace {

using testing::DrawingWithPointers;

RunOptions Mode(const std::string& mode, bool keepPointers) {
  RunOptions options;
  options.outputName = "out";
  options.outputLineEnd = LineEnd::kLf;
  options.keepPointers = keepPointers;
  if (mode == "fullwidth") options.conversionMode = ConversionMode::kToFullWidth;
  if (mode == "none -v") {
    options.conversionMode = ConversionMode::kNone;
    options.verticalToHorizontal = true;
  }
  return options;
}

testing::ConversionCheck Convert(const RunOptions& options, const std::string& source) {
  testing::ConversionCheck check = testing::CheckConversion(options, source);
  EXPECT_EQ(check.violation, "");
  return check;
}

std::string WithoutBlanks(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  return text;
}

// The message of a run over a note with `tail`.
std::string MessageFor(const std::string& tail, const RunOptions& options) {
  const testing::ConversionCheck check = Convert(options, DrawingWithPointers(tail));
  return check.messages.empty() ? std::string() : check.messages.front();
}

TEST(KeepPointersTest, ABackPointerSurvivesEveryModeAndNamesTheSameEntity) {
  for (const std::string mode : {"jis", "fullwidth", "none -v"}) {
    SCOPED_TRACE(mode);
    const testing::ConversionCheck check = Convert(Mode(mode, true), DrawingWithPointers(",1,3;"));
    ASSERT_EQ(check.result.outcome, RunOutcome::kWritten) << check.messages.front();
    const testing::IgesReading output = testing::ReadIgesBytes(check.output, nullptr);
    ASSERT_TRUE(output.status.ok());
    // The count and the pointer, each a field of its own, close the note;
    // D 3 is still the group that points to it.
    EXPECT_TRUE(WithoutBlanks(output.entities[0].parameterText).ends_with(",1,3;"));
    EXPECT_EQ(output.entities[1].entityType, 402);
  }
  // Without the option the same drawing stops as it always has.
  EXPECT_EQ(MessageFor(",1,3;", Mode("jis", false)),
            "error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n"
            "変換は出来ません。");
}

TEST(KeepPointersTest, RangesThatMakingANoteHorizontalWouldMoveStopTheRun) {
  // An underscore among the properties of a note with a vertical string.
  const std::string tail = ",0,2,5,7;";
  EXPECT_EQ(MessageFor(tail, Mode("none -v", true)),
            "error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目の注記を横書きにするとﾃﾞｨﾚｸﾄﾘ番号7のﾌﾟﾛﾊﾟﾃｨが示す"
            "文字の範囲がずれます。\n変換は出来ません。");
  // Left vertical, the note keeps both pointers.
  const testing::ConversionCheck kept = Convert(Mode("jis", true), DrawingWithPointers(tail));
  ASSERT_EQ(kept.result.outcome, RunOutcome::kWritten);
  EXPECT_TRUE(WithoutBlanks(testing::ReadIgesBytes(kept.output, nullptr).entities[0].parameterText)
                  .ends_with(",0,2,5,7;"));
  // A Name addresses no string: made horizontal, the note converts.
  EXPECT_EQ(Convert(Mode("none -v", true), DrawingWithPointers(",0,1,5;")).result.outcome,
            RunOutcome::kWritten);
}

TEST(KeepPointersTest, TailsOfAnotherFormStopWithTheMessageTheyAlwaysHad) {
  // A negative count, a count larger than what follows, text after the
  // pointers, pointers that name no entity, and a tail past 25 characters.
  const std::vector<std::string> tails = {",-1,3;",    ",2,3;",  ",1,3,X;",
                                         ",1,3;9",    ",1,3,0,0,0;", ",1,4;",
                                         ",1,99;",    ",1,3,1,5,",
                                         ",1,3," + std::string(30, '0') + ";"};
  for (const std::string& tail : tails) {
    SCOPED_TRACE(tail);
    const std::string message = MessageFor(tail, Mode("jis", true));
    EXPECT_TRUE(message.starts_with("error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ")) << message;
    EXPECT_EQ(message, MessageFor(tail, Mode("jis", false)));
  }
  // The zero counts are written as they always were.
  for (const std::string tail : {";", ",0;", ",0,0;"}) {
    const testing::ConversionCheck with = Convert(Mode("jis", true), DrawingWithPointers(tail));
    const testing::ConversionCheck without = Convert(Mode("jis", false), DrawingWithPointers(tail));
    ASSERT_EQ(with.result.outcome, RunOutcome::kWritten);
    EXPECT_EQ(with.output, without.output) << tail;
  }
}

}  // namespace
}  // namespace notora
