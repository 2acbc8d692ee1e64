// Whole files in, whole files out: small drawings converted by a real run and
// compared byte for byte with the file notora must write.
#include <gtest/gtest.h>

#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_encoding.h"
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

Converted ConvertBytes(const std::string& bytes, RunOptions options) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("in.igs"), bytes);
  options.outputName = "out";
  testing::RecordingUi ui;
  Converted converted;
  converted.result = RunConversion(options, dir.File("in.igs"), ui);
  converted.output = testing::ReadFile(dir.File("out.igs"));
  converted.messages = ui.messages;
  return converted;
}

// Every case runs on the Shift-JIS drawing and on its twins whose notes are
// written in EUC-JP and in UTF-8, each read in its own encoding: the output,
// in Shift-JIS, is the same file for all three.
class GoldenTest : public ::testing::TestWithParam<TextEncoding> {
 protected:
  Converted Convert(const IgesFile& source, RunOptions options) {
    options.sourceEncoding = GetParam();
    return ConvertBytes(testing::ReencodeNotes(source, GetParam()).Build(), options);
  }
};

INSTANTIATE_TEST_SUITE_P(SourceEncodings, GoldenTest,
                         ::testing::Values(TextEncoding::kShiftJis, TextEncoding::kEucJp,
                                           TextEncoding::kUtf8),
                         [](const ::testing::TestParamInfo<TextEncoding>& info) {
                           switch (info.param) {
                             case TextEncoding::kEucJp:
                               return "EucJp";
                             case TextEncoding::kUtf8:
                               return "Utf8";
                             case TextEncoding::kShiftJis:
                               break;
                           }
                           return "ShiftJis";
                         });

std::string Line64(std::string text) {
  EXPECT_LE(text.size(), 64u) << text;
  text.resize(64, ' ');
  return text;
}

TEST_P(GoldenTest, MixedTextSplitsIntoPlainAndJisBlocks) {
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

TEST_P(GoldenTest, VerticalStringBecomesOneBlockPerCharacterAlongItsDirection) {
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

TEST_P(GoldenTest, JisCodeBackToFullWidthWithBothFallbacks) {
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

TEST_P(GoldenTest, GrowingNoteMovesEveryLaterPointer) {
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

TEST_P(GoldenTest, NegativeWidthKeptUnderMinusStillMovesForward) {
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

TEST_P(GoldenTest, UnchangedEntitiesKeepTheirColumnsByteForByte) {
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

TEST(EncodingGoldenTest, TwinsHoldTheirTextInTheirEncoding) {
  const std::string note =
      "212,3,4,4.,2.,1,0.,0.,0,0,0.,0.,0.,4H\x8a\xbf\x8e\x9a,2,2.,2.,1,0.,0.,0,0,0.,0.,0.,"
      "2H\xb1" "A,2,2.,2.,2001,0.,0.,0,0,0.,0.,0.,4H3441;";
  EXPECT_EQ(testing::ReencodeNoteTexts(note, TextEncoding::kUtf8),
            "212,3,4,4.,2.,1,0.,0.,0,0,0.,0.,0.,6H漢字,2,2.,2.,1,0.,0.,0,0,0.,0.,0.,"
            "4HｱA,2,2.,2.,2001,0.,0.,0,0,0.,0.,0.,4H3441;");
  EXPECT_EQ(testing::ReencodeNoteTexts(note, TextEncoding::kEucJp),
            "212,3,4,4.,2.,1,0.,0.,0,0,0.,0.,0.,4H\xB4\xC1\xBB\xFA,2,2.,2.,1,0.,0.,0,0,0.,0.,0.,"
            "3H\x8E\xB1" "A,2,2.,2.,2001,0.,0.,0,0,0.,0.,0.,4H3441;");
}

// Text read in one encoding and written in another, with nothing else to
// do: every note with such text is rebuilt, NC and the Hollerith count
// following the bytes, and reading the result back gives the Shift-JIS note.
TEST(EncodingGoldenTest, NotesMoveBetweenEncodingsAndBack) {
  const std::string kanji = "\x8a\xbf\x8e\x9a";  // 漢字
  IgesFile source;
  source.Entity(212, "212,1,4,4.,2.,1,0.,0.,0,0,0.,0.,0.,4H" + kanji + ";").Entity(110, kLine);
  RunOptions none;
  none.conversionMode = ConversionMode::kNone;
  for (auto [encoding, text] : {std::pair<TextEncoding, std::string>{TextEncoding::kUtf8, "漢字"},
                                {TextEncoding::kEucJp, "\xB4\xC1\xBB\xFA"}}) {
    RunOptions out = none;
    out.outputEncoding = encoding;
    Converted there = ConvertBytes(source.Build(), out);
    ASSERT_EQ(there.result.outcome, RunOutcome::kWritten) << there.messages[0];
    IgesFile expected;
    expected
        .EntityLines(212, {Line64("212,1,"), Line64(std::to_string(text.size()) +
                                                    ",4,2,1,0,0,0,0,0,0,0," +
                                                    std::to_string(text.size()) + "H" + text + ";")})
        .Entity(110, kLine);
    EXPECT_EQ(there.output, expected.Build(kOutputLineEnd));
    EXPECT_EQ(there.result.counters.convertedEntities, 1);
    EXPECT_EQ(there.result.counters.unconvertibleChars, 0);

    RunOptions back = none;
    back.sourceEncoding = encoding;
    Converted home = ConvertBytes(there.output, back);
    ASSERT_EQ(home.result.outcome, RunOutcome::kWritten) << home.messages[0];
    IgesFile shiftJis;
    shiftJis.EntityLines(212, {Line64("212,1,"), Line64("4,4,2,1,0,0,0,0,0,0,0,4H" + kanji + ";")})
        .Entity(110, kLine);
    EXPECT_EQ(home.output, shiftJis.Build(kOutputLineEnd));

    // Read in the encoding it is written in, it is left as it is.
    RunOptions same = back;
    same.outputEncoding = encoding;
    same.negativeWidthMode = NegativeWidthMode::kPlus;
    EXPECT_EQ(ConvertBytes(there.output, same).result.outcome, RunOutcome::kNothingConverted);
  }
}

TEST(EncodingGoldenTest, CharactersWithoutCounterpartBecomeTheFallbackAndAreCounted) {
  // € (UTF-8) has no code page 932 character; ① (NEC row 13) has no EUC-JP
  // form. Each is counted once, whatever the conversion does next.
  const std::string euro = "212,1,4,4.,2.,1,0.,0.,0,0,0.,0.,0.,4HA\xE2\x82\xAC;";
  const std::string circled = "212,1,3,3.,2.,1,0.,0.,0,0,0.,0.,0.,3H\x87\x40" "A;";
  struct Case {
    std::string note;
    TextEncoding from, to;
    FullWidthFallback fullWidthFallback;
    std::string block;
  };
  constexpr FullWidthFallback kSpace = FullWidthFallback::kSpace;
  constexpr FullWidthFallback kQuote = FullWidthFallback::kQuote;
  for (const Case& c : {Case{euro, TextEncoding::kUtf8, TextEncoding::kShiftJis, kSpace,
                             "3,4,2,1,0,0,0,0,0,0,0,3HA\x81\x40;"},
                        Case{euro, TextEncoding::kUtf8, TextEncoding::kShiftJis, kQuote,
                             "3,4,2,1,0,0,0,0,0,0,0,3HA\xFA\x57;"},
                        Case{euro, TextEncoding::kUtf8, TextEncoding::kUtf8, kQuote,
                             "4,4,2,1,0,0,0,0,0,0,0,4HA＂;"},
                        Case{circled, TextEncoding::kShiftJis, TextEncoding::kEucJp, kQuote,
                             "3,3,2,1,0,0,0,0,0,0,0,3H\xA1\xA1" "A;"}}) {
    RunOptions options;
    options.conversionMode = ConversionMode::kNone;
    options.fullWidthFallback = c.fullWidthFallback;
    options.sourceEncoding = c.from;
    options.outputEncoding = c.to;
    Converted converted = ConvertBytes(IgesFile().Entity(212, c.note).Build(), options);
    ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];
    EXPECT_EQ(converted.output,
              IgesFile().EntityLines(212, {Line64("212,1,"), Line64(c.block)}).Build(kOutputLineEnd))
        << c.block;
    EXPECT_EQ(converted.result.counters.unconvertibleChars, 1) << c.block;
  }
  // Converted to JIS code, € becomes the JIS fallback, counted once.
  for (JisFallback jisFallback : {JisFallback::k2121, JisFallback::kFFFF}) {
    RunOptions options;
    options.jisFallback = jisFallback;
    options.sourceEncoding = TextEncoding::kUtf8;
    Converted converted = ConvertBytes(IgesFile().Entity(212, euro).Build(), options);
    ASSERT_EQ(converted.result.outcome, RunOutcome::kWritten) << converted.messages[0];
    EXPECT_EQ(converted.output,
              IgesFile()
                  .EntityLines(212, {Line64("212,2,"),
                                     Line64("1,1.333333333333333,2,1,0,0,0,0,0,0,0,1HA,4,"
                                            "2.666666666666667,"),
                                     Line64(std::string("2,2001,0,0,0,0,1.333333333333333,0,0,4H") +
                                            (jisFallback == JisFallback::k2121 ? "2121" : "FFFF") + ";")})
                  .Build(kOutputLineEnd));
    EXPECT_EQ(converted.result.counters.unconvertibleChars, 1);
  }
}

TEST(EncodingGoldenTest, AnInvalidSequenceIsAFaultNamingItsRecord) {
  // The text runs into the note's second P record; its invalid byte stands
  // there.
  const std::string head = "212,1,70,70.,2.,1,0.,0.,0,0,0.,0.,0.,70H";
  const std::string plain(64 - head.size() + 10, 'A');
  for (auto [encoding, invalid, name] :
       {std::tuple<TextEncoding, std::string, std::string>{TextEncoding::kUtf8, "\xC0\xAF",
                                                           "UTF-8"},
        {TextEncoding::kEucJp, "\xB4\x41", "EUC-JP"}}) {
    std::string text = plain + invalid;
    text += std::string(70 - text.size(), 'B');
    RunOptions options;
    options.sourceEncoding = encoding;
    Converted converted = ConvertBytes(IgesFile().Entity(110, kLine).Entity(212, head + text + ";").Build(),
                                       options);
    EXPECT_EQ(converted.result.outcome, RunOutcome::kFailed);
    EXPECT_EQ(converted.messages,
              std::vector<std::string>{"error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目の文字記述が文字ｺｰﾄﾞ " + name +
                                       " として不良です。\n変換は出来ません。"});
    EXPECT_EQ(converted.output, "");
  }
}

// Line ends of the output: LF or CR LF as asked, or the source's first
// record's when asked.
TEST(LineEndGoldenTest, RecordsEndAsAsked) {
  IgesFile source;
  source.Entity(110, kLine).Entity(212, "212,1,2,2.,2.,1,0.,0.,0,0,0.,0.,0.,2H\x8a\xbf;");
  const std::string lf = source.Build();
  const std::string crlf = testing::WithCrLf(lf);
  RunOptions options;
  options.outputLineEnd = LineEnd::kLf;
  const std::string today = ConvertBytes(lf, options).output;
  ASSERT_NE(today, "");
  const std::string todayCrLf = testing::WithCrLf(today);
  struct Case {
    LineEnd lineEnd;
    bool fromSource;
    const std::string& source;
    const std::string& expected;
  };
  for (const Case& c : {Case{LineEnd::kLf, false, crlf, today}, Case{LineEnd::kCrLf, false, lf, todayCrLf},
                        Case{LineEnd::kCrLf, true, lf, today}, Case{LineEnd::kLf, true, crlf, todayCrLf}}) {
    options.outputLineEnd = c.lineEnd;
    options.lineEndFromSource = c.fromSource;
    EXPECT_EQ(ConvertBytes(c.source, options).output, c.expected)
        << static_cast<int>(c.lineEnd) << (c.fromSource ? " or the source's" : "")
        << (&c.source == &crlf ? " from CR LF" : " from LF");
  }
}

}  // namespace
}  // namespace notora
