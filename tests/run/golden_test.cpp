// Whole files in, whole files out: small drawings converted by a real run and
// compared byte for byte with the file notora must write.
#include <gtest/gtest.h>

#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {

using testing::IgesFile;

const std::string kLine = "110,0.,0.,0.,10.,0.,0.;";

// A run ends the output's lines as the system's text files end them.
const LineEnd kOutputLineEnd = PlatformLineEnd();

struct Converted {
  RunResult result;
  std::string output;
  std::vector<std::string> messages;
};

Converted Convert(const IgesFile& source, RunOptions options) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("in.igs"), source.Build());
  options.outputName = "out";
  testing::RecordingUi ui;
  Converted converted;
  converted.result = RunConversion(options, dir.File("in.igs"), ui);
  converted.output = testing::ReadFile(dir.File("out.igs"));
  converted.messages = ui.messages;
  return converted;
}

std::string Line64(std::string text) {
  EXPECT_LE(text.size(), 64u) << text;
  text.resize(64, ' ');
  return text;
}

TEST(GoldenTest, MixedTextSplitsIntoPlainAndJisBlocks) {
  IgesFile source;
  source.Entity(110, kLine).Entity(212, "212,1,7,7.,2.,1,0.,0.,0,0,0.,0.,0.,7HABC\x8a\xbf\x8e\x9a;");
  Converted converted = Convert(source, RunOptions());
  ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];

  // The second block's hex text ends in column 63 and the closing delimiter
  // fills column 64.
  IgesFile expected;
  expected.Entity(110, kLine)
      .EntityLines(212, {Line64("212,2,"),
                         "3,3,2,1,0,0,0,0,0,0,0,3HABC,8,4,2,2001,0,0,0,0,3,0,0,8H34413b7a;"});
  EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd));
  EXPECT_EQ(converted.result.counters.convertedEntities, 1);
  EXPECT_EQ(converted.result.counters.kanjiEntities, 1);

  // Either line end may be asked for on any system: the same records.
  for (LineEnd lineEnd : {LineEnd::kLf, LineEnd::kCrLf}) {
    RunOptions options;
    options.outputLineEnd = lineEnd;
    EXPECT_EQ(Convert(source, options).output, expected.Build(lineEnd));
  }
}

TEST(GoldenTest, VerticalStringBecomesOneBlockPerCharacterAlongItsDirection) {
  IgesFile source;
  source.Entity(212, "212,1,4,10.,3.,1,0.,0.,0,1,0.,0.,0.,4H\x8a\xbf\x8e\x9a;").Entity(110, kLine);
  RunOptions options;
  options.conversionMode = ConversionMode::kNone;
  options.verticalToHorizontal = true;
  Converted converted = Convert(source, options);
  ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];

  // cos(-pi/2) is not quite 0: the second block starts 3.06e-16 to the right.
  IgesFile expected;
  expected
      .EntityLines(212, {Line64("212,2,"),
                         Line64("2,5,3,1,0,0,0,0,0,0,0,2H\x8a\xbf,2,5,3,1,0,0,0,0,"),
                         Line64("3.061616997868383e-016,-5,0,2H\x8e\x9a;")})
      .Entity(110, kLine);
  EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd));
  EXPECT_EQ(converted.result.counters.verticalElements, 1);
}

TEST(GoldenTest, JisCodeBackToFullWidthWithBothFallbacks) {
  IgesFile source;
  source.Entity(212, "212,2,4,2.,2.,2001,0.,0.,0,0,1.,2.,0.,4H3441,4,2.,2.,2001,0.,0.,0,0,"
                     "1.,5.,0.,4HFFFF,0,0;");
  RunOptions options;
  options.conversionMode = ConversionMode::kToFullWidth;
  for (FullWidthFallback fallback : {FullWidthFallback::kSpace, FullWidthFallback::kQuote}) {
    options.fullWidthFallback = fallback;
    Converted converted = Convert(source, options);
    ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];
    const std::string replacement =
        fallback == FullWidthFallback::kSpace ? "\x81\x40" : "\xfa\x57";
    IgesFile expected;
    expected.EntityLines(212, {Line64("212,2,"),
                               Line64("2,2,2,1,0,0,0,0,1,2,0,2H\x8a\xbf,2,2,2,1,0,0,0,0,1,5,0,2H" +
                                      replacement + ",0,0;")});
    EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd)) << static_cast<int>(fallback);
    EXPECT_EQ(converted.result.counters.unconvertibleChars, 1);
    EXPECT_EQ(converted.result.counters.jisCodeElements, 2);
  }
}

TEST(GoldenTest, GrowingNoteMovesEveryLaterPointer) {
  // Twelve kanji become 48 hex digits: one record of text grows to three.
  std::string kanji;
  for (int i = 0; i < 12; ++i) kanji += "\x8a\xbf";
  IgesFile source;
  source.Entity(110, kLine)
      .Entity(212, "212,1,24,24.,2.,1,0.,0.,0,0,0.,0.,0.,24H" + kanji + ";")
      .Entity(110, kLine);
  Converted converted = Convert(source, RunOptions());
  ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten);
  std::string hex;
  for (int i = 0; i < 12; ++i) hex += "3441";
  IgesFile expected;
  expected.Entity(110, kLine)
      .EntityLines(212, {Line64("212,1,"), Line64("48,24,2,2001,0,0,0,0,0,0,0,"),
                         Line64("48H" + hex + ";")})
      .Entity(110, kLine);
  EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd));
}

TEST(GoldenTest, NegativeWidthKeptUnderMinusStillMovesForward) {
  IgesFile source;
  source.Entity(212, "212,1,7,-7.,2.,1,0.,0.,0,0,0.,0.,0.,7HABC\x8a\xbf\x8e\x9a;");
  RunOptions options;
  options.negativeWidthMode = NegativeWidthMode::kMinus;
  Converted converted = Convert(source, options);
  ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten);
  IgesFile expected;
  expected.EntityLines(212, {Line64("212,2,"),
                             Line64("3,-3,2,1,0,0,0,0,0,0,0,3HABC,8,-4,2,2001,0,0,0,0,3,0,0,"),
                             Line64("8H34413b7a;")});
  EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd));
  EXPECT_EQ(converted.result.counters.negativeWidthElements, 1);
}

TEST(GoldenTest, UnchangedEntitiesKeepTheirColumnsByteForByte) {
  // A plain note beside a converted one, with its own odd spacing and a
  // comment after the record delimiter, comes out exactly as it went in.
  IgesFile source;
  source.Entity(212, "212,1, 3 ,3.0D0,2.,1,0.,0.,0,0,0.,0.,0.,3HA;B;  comment \x8a\xbf")
      .Entity(212, "212,1,2,2.,2.,1,0.,0.,0,0,0.,0.,0.,2H\x8a\xbf;");
  Converted converted = Convert(source, RunOptions());
  ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];
  IgesFile expected;
  expected.Entity(212, "212,1, 3 ,3.0D0,2.,1,0.,0.,0,0,0.,0.,0.,3HA;B;  comment \x8a\xbf")
      .EntityLines(212, {Line64("212,1,"), Line64("4,2,2,2001,0,0,0,0,0,0,0,4H3441;")});
  EXPECT_EQ(converted.output, expected.Build(kOutputLineEnd));
  EXPECT_EQ(converted.result.counters.kanjiEntities, 2);
}

}  // namespace
}  // namespace notora
