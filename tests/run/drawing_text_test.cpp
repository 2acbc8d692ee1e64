// Whole drawings converted from one encoding into another: every text, not
// only the notes' strings, comes out in the output encoding, records stay 80
// columns, and a drawing with nothing to carry over keeps its bytes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iges/memory_file_system.h"
#include "note/text_encoding.h"
#include "run/inspection.h"
#include "tests/support/conversion_check.h"
#include "tests/support/iges_builder.h"
#include "tests/support/iges_reading.h"
#include "tests/support/note_encoding.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {

using testing::CheckConversion;
using testing::DrawingWithEveryText;
using testing::Hollerith;
using testing::IgesFile;
using testing::In;
using testing::WithLabel;

RunOptions Transcoding(TextEncoding from, TextEncoding to) {
  RunOptions options;
  options.outputName = "out";
  options.conversionMode = ConversionMode::kNone;
  options.negativeWidthMode = NegativeWidthMode::kMinus;
  options.sourceEncoding = from;
  options.outputEncoding = to;
  options.outputLineEnd = LineEnd::kLf;
  return options;
}

// Every text of `bytes` read in `encoding`, each with its place, as UTF-8.
std::vector<std::string> TextsOf(const std::string& bytes, TextEncoding encoding) {
  MemoryFileSystem files;
  files.AddFile("/in/x.igs", bytes);
  RunOptions parsing;
  parsing.sourceEncoding = encoding;
  InspectedNotes inspected(encoding, /*drawingTexts=*/true);
  testing::RecordingUi ui;
  EXPECT_TRUE(InspectSource("/in/x.igs", parsing, inspected, ui, files).completed);
  std::vector<std::string> texts;
  for (const InspectedNote& note : inspected.notes()) {
    for (const InspectedString& string : note.strings) texts.push_back("note " + string.text);
  }
  for (const InspectedText& text : inspected.texts()) {
    EXPECT_TRUE(text.validText) << text.text;
    texts.push_back(std::to_string(static_cast<int>(text.place.section)) + " " +
                    std::to_string(text.place.entry) + " " + std::to_string(text.place.field) +
                    " " + text.text);
  }
  return texts;
}

TEST(DrawingTextTest, EveryTextComesOutInTheOutputEncoding) {
  const TextEncoding pairs[][2] = {{TextEncoding::kUtf8, TextEncoding::kShiftJis},
                                   {TextEncoding::kShiftJis, TextEncoding::kEucJp},
                                   {TextEncoding::kEucJp, TextEncoding::kUtf8},
                                   {TextEncoding::kShiftJis, TextEncoding::kUtf8}};
  for (const auto& pair : pairs) {
    SCOPED_TRACE(std::string(EncodingDisplayName(pair[0])) + " to " +
                 std::string(EncodingDisplayName(pair[1])));
    const std::string source = DrawingWithEveryText(pair[0]);
    const testing::ConversionCheck check = CheckConversion(Transcoding(pair[0], pair[1]), source);
    ASSERT_EQ(check.violation, "");
    ASSERT_EQ(check.result.outcome, RunOutcome::kWritten) << check.messages.front();
    // Read in the output encoding, the output holds the texts the source
    // holds, each Hollerith count covering its string's bytes exactly (or
    // the fields after it would read otherwise); the Start records keep
    // their number, whatever the Global section needed.
    EXPECT_EQ(TextsOf(check.output, pair[1]), TextsOf(source, pair[0]));
    EXPECT_EQ(check.result.counters.convertedEntities, 3);  // the note and both properties
    EXPECT_EQ(check.result.counters.keptLabels, 0);
  }
}

TEST(DrawingTextTest, GrowingTextsTakeMoreRecordsAndNeverCutAStartCharacter) {
  // 36 full-width characters fill an S record in Shift-JIS: in UTF-8 they
  // take 108 bytes, 24 characters to a record.
  std::string start;
  for (int i = 0; i < 36; ++i) start += "図";
  IgesFile file;
  file.Start({In(TextEncoding::kShiftJis, start)})
      .Global("1H,,1H;," + Hollerith(In(TextEncoding::kShiftJis, start)) + ";")
      .Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  const testing::ConversionCheck check =
      CheckConversion(Transcoding(TextEncoding::kShiftJis, TextEncoding::kUtf8), file.Build());
  ASSERT_EQ(check.violation, "");
  ASSERT_EQ(check.result.outcome, RunOutcome::kWritten);
  std::vector<std::string> records;
  for (std::size_t at = 0; at + 80 <= check.output.size(); at += 81) {
    records.push_back(check.output.substr(at, 80));
  }
  std::string row;
  for (int i = 0; i < 24; ++i) row += "図";
  ASSERT_GE(records.size(), 5u);
  EXPECT_EQ(records[0], row + "S      1");
  EXPECT_EQ(records[1], row.substr(0, 36) + std::string(36, ' ') + "S      2");
  // "108H" and its text start the second G record by the packing rule.
  EXPECT_EQ(records[2], "1H,,1H;," + std::string(64, ' ') + "G      1");
  EXPECT_EQ(records[3], "108H" + row.substr(0, 68) + "G      2");
  EXPECT_EQ(records[4].substr(0, 41), (row + row.substr(0, 36)).substr(68) + ";");
  EXPECT_NE(check.output.find("S      2G      3D      2P      1"), std::string::npos);
}

TEST(DrawingTextTest, ALabelThatNoLongerFitsStaysAndIsCountedAfterTheReport) {
  const std::string label = In(TextEncoding::kShiftJis, "注記線分");  // 8 bytes, 12 in UTF-8
  IgesFile file;
  file.Entity(406, "406,1," + Hollerith(In(TextEncoding::kShiftJis, "名前")) + ";", 15);
  const std::string source = WithLabel(file.Records(), 1, label);
  const testing::ConversionCheck check =
      CheckConversion(Transcoding(TextEncoding::kShiftJis, TextEncoding::kUtf8), source);
  ASSERT_EQ(check.violation, "");
  EXPECT_EQ(check.result.counters.keptLabels, 1);
  EXPECT_NE(check.output.find("       0       0       1      15" + std::string(16, ' ') + label),
            std::string::npos);
  EXPECT_TRUE(check.messages.front().ends_with(
      "IGESﾌｧｲﾙを作成しました。\n8桁に収まらず変換しなかったﾗﾍﾞﾙ数 1"));
}

TEST(DrawingTextTest, AnInvalidSequenceAnywhereNamesItsSectionAndRecord) {
  const std::string bad = "\xE6\x97";  // a UTF-8 character cut short
  const auto messageOf = [](const std::string& source) {
    const testing::ConversionCheck check =
        CheckConversion(Transcoding(TextEncoding::kUtf8, TextEncoding::kShiftJis), source);
    EXPECT_EQ(check.violation, "");
    return check.messages.empty() ? std::string() : check.messages.front();
  };
  const std::string line = "110,0.,0.,0.,1.,1.,1.;";
  EXPECT_EQ(messageOf(IgesFile().Start({"ok", "text " + bad}).Entity(110, line).Build()),
            "error: ｽﾀｰﾄｾｸｼｮﾝ2行目の文字記述が文字ｺｰﾄﾞ UTF-8 として不良です。\n変換は出来ません。");
  EXPECT_EQ(messageOf(IgesFile()
                          .Global("1H,,1H;,4Hpart," + std::string(60, ' ') + "3Hx" + bad + ";")
                          .Entity(110, line)
                          .Build()),
            "error: ｸﾞﾛｰﾊﾞﾙｾｸｼｮﾝ2行目の文字記述が文字ｺｰﾄﾞ UTF-8 として不良です。\n変換は出来ません。");
  EXPECT_EQ(messageOf(IgesFile()
                          .Entity(110, line)
                          .Entity(406, "406,1," + std::string(70, ' ') + "2H" + bad + ";", 15)
                          .Build()),
            "error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目の文字記述が文字ｺｰﾄﾞ UTF-8 として不良です。\n変換は出来ません。");
  EXPECT_EQ(messageOf(WithLabel(IgesFile().Entity(110, line).Entity(110, line).Records(), 2, bad)),
            "error: ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ4行目のﾗﾍﾞﾙが文字ｺｰﾄﾞ UTF-8 として不良です。\n変換は出来ません。");
  // A count that runs past its entity's text.
  EXPECT_EQ(messageOf(IgesFile().Entity(406, "406,1,99H" + In(TextEncoding::kUtf8, "名") + ";", 15).Build()),
            "error: ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字記述の文字数が以降の文字数を超過しています。\n変換は出来ません。");
}

TEST(DrawingTextTest, ADrawingWithNothingToCarryOverKeepsItsBytes) {
  // Only the note's text is Japanese: the Start, Global and every other
  // entity come out as they went in, and so does the whole file when the
  // note is ASCII too (then nothing is converted and nothing is written).
  const std::string note =
      "212,1,2,10.,5.,1,0.,0.,0,0,0.,0.,0.," + Hollerith(In(TextEncoding::kShiftJis, "注記")) + ";";
  const IgesFile file = IgesFile()
                            .Start({"ascii start"})
                            .Global("1H,,1H;,4Hpart,8Hfile.igs;")
                            .Entity(406, "406,1,4Hname;", 15)
                            .Entity(212, note)
                            .Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  const std::string source = WithLabel(file.Records(), 3, "LINE");
  const testing::ConversionCheck check =
      CheckConversion(Transcoding(TextEncoding::kShiftJis, TextEncoding::kUtf8), source);
  ASSERT_EQ(check.violation, "");
  ASSERT_EQ(check.result.outcome, RunOutcome::kWritten);
  EXPECT_EQ(check.result.counters.convertedEntities, 1);
  const testing::IgesReading in = testing::ReadIgesBytes(source, nullptr);
  const testing::IgesReading out = testing::ReadIgesBytes(check.output, nullptr);
  EXPECT_EQ(out.scan.startText, in.scan.startText);
  EXPECT_EQ(out.scan.globalText, in.scan.globalText);
  for (std::size_t entity : {0u, 2u}) {
    EXPECT_EQ(out.entities[entity].parameterText, in.entities[entity].parameterText);
    EXPECT_EQ(out.entities[entity].copiedDirectoryFields, in.entities[entity].copiedDirectoryFields);
  }
}

}  // namespace
}  // namespace notora
