#include "iges/output_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "iges/second_pass.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

using testing::DRecs;
using testing::Lines;
using testing::PRec;
using testing::Rec;

// Replaces every General Note by `replacement` (a multiple of 64 bytes).
class NoteReplacer : public EntityHandler {
 public:
  explicit NoteReplacer(std::string replacement) : replacement_(std::move(replacement)) {}
  Status HandleGeneralNote(const GeneralNoteEntity&, RebuiltNote* rebuilt) override {
    rebuilt->changed = true;
    rebuilt->parameterText = replacement_;
    rebuilt->lineCount = static_cast<std::int32_t>(replacement_.size() / 64);
    return Status::Ok();
  }

 private:
  std::string replacement_;
};

// What the output phase shows when it fails: its message, and the second one
// after a close that failed while the file was being given up.
struct OutputFailure {
  std::string message;
  std::string closeMessage;
};

OutputFailure Shown(const Status& status) {
  OutputFailure failure;
  failure.message = status.message();
  if (status.hasFollowUp()) failure.closeMessage = FormatMessage(status.followUp());
  return failure;
}

struct WriteOutcome {
  bool written = false;
  OutputFailure failure;
  RunCounters counters;
  std::string output;
  std::vector<std::int32_t> progress;
};

WriteOutcome Convert(const std::string& source, const std::string& replacement,
                     testing::FaultPlan plan = {}, LineEnd lineEnd = LineEnd::kLf) {
  testing::TempDir dir;
  WriteOutcome outcome;
  testing::StringInput file(source);
  BlockSums sums;
  SourceStream stream(&file, &sums);
  testing::RecordingUi ui;
  RecordReader reader(&stream, &ui);
  SectionScan scan;
  EXPECT_TRUE(ScanSections(&reader, &scan, &outcome.counters).ok());
  DirectoryTable table(outcome.counters.directoryRecords / 2);
  NoteReplacer notes(replacement);
  Status read = ReadEntities(&reader, scan, &table, &outcome.counters, &notes);
  EXPECT_TRUE(read.ok()) << read.message();
  testing::FaultyFiles files(plan);
  const std::string path = dir.File("out.igs");
  SourceStream again(&file, &sums);
  SourceReplay replay(&again, &table);
  const Status written = WriteOutput(path, scan, &table, &outcome.counters, lineEnd, &files, &ui, &replay);
  outcome.written = written.ok();
  outcome.failure = Shown(written);
  outcome.output = testing::ReadFile(path);
  outcome.progress = ui.progress;
  return outcome;
}

const std::string kNoteText = "212,1,1,1.,1.,1,0.,0.,0,0,0.,0.,0.,1HA;";

std::string Source() {
  return testing::IgesFile()
      .Entity(110, "110,0.,0.,0.,1.,1.,1.;")
      .Entity(212, kNoteText)
      .Entity(126, "126," + std::string(96, '7') + ";")
      .Build();
}

TEST(OutputWriterTest, RewritesPointersAndLineCountsAfterANoteGrows) {
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("A") + testing::PadTo64("B;");
  WriteOutcome outcome = Convert(Source(), grown);
  ASSERT_TRUE(outcome.written) << outcome.failure.message;
  std::vector<std::string> expected = {Rec("notora test file", 'S', 1)};
  const std::vector<std::string> source = testing::IgesFile().Records();
  expected.push_back(source[1]);
  expected.push_back(source[2]);
  std::string d1 = DRecs(110, 1, 1, 1), d2 = DRecs(212, 2, 3, 3), d3 = DRecs(126, 5, 2, 5);
  for (const std::string& pair : {d1, d2, d3}) {
    expected.push_back(pair.substr(0, 80));
    expected.push_back(pair.substr(81));
  }
  expected.push_back(PRec("110,0.,0.,0.,1.,1.,1.;", 1, 1));
  expected.push_back(PRec("212,2,", 3, 2));
  expected.push_back(PRec("A", 3, 3));
  expected.push_back(PRec("B;", 3, 4));
  expected.push_back(PRec("126," + std::string(60, '7'), 5, 5));
  expected.push_back(PRec(std::string(36, '7') + ";", 5, 6));
  expected.push_back(Rec("S      1G      2D      6P      6", 'T', 1));
  EXPECT_EQ(outcome.output, Lines(expected));
  EXPECT_EQ(outcome.counters.parameterRecords, 6);
}

TEST(OutputWriterTest, TerminateRecordLayout) {
  testing::IgesFile file;
  file.Start({"a", "b", "c", "d"});
  file.Global("1H,,1H;," + std::string(12 * 72 - 9, 'x') + ";");
  for (int i = 0; i < 9; ++i) file.Entity(116, "116,0.,0.,0.;");
  file.Entity(212, kNoteText);
  WriteOutcome outcome = Convert(file.Build(), testing::PadTo64("212,0;") + std::string(25 * 64, ' '));
  ASSERT_TRUE(outcome.written);
  const std::string last = outcome.output.substr(outcome.output.size() - 81);
  EXPECT_EQ(last, "S      4G     12D     20P     35" + std::string(40, ' ') + "T      1\n");
}

TEST(OutputWriterTest, EveryLineEndsAsAsked) {
  testing::IgesFile file;
  file.Start({"a", "b"});
  file.Global("1H,,1H;," + std::string(3 * 72, 'x') + ";");
  file.Entity(110, "110,0.,0.,0.,1.,1.,1.;").Entity(212, kNoteText);
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("A;");
  const WriteOutcome lf = Convert(file.Build(), grown, {}, LineEnd::kLf);
  const WriteOutcome crLf = Convert(file.Build(), grown, {}, LineEnd::kCrLf);
  ASSERT_TRUE(lf.written && crLf.written);
  // The same records, each with a carriage return before its line feed.
  EXPECT_EQ(crLf.output, testing::WithCrLf(lf.output));
  EXPECT_EQ(std::count(lf.output.begin(), lf.output.end(), '\r'), 0);
}

TEST(OutputWriterTest, SourceColumnsPastSixtyFourAreRewritten) {
  std::string source = Source();
  // Spoil columns 66-72 of a P record's pointer with leading zeros: the
  // record reads the same and comes out in the standard layout.
  const std::size_t at = source.find("110,0.,0.,0.");
  source.replace(at + 65, 7, "0000001");
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  ASSERT_TRUE(outcome.written);
  EXPECT_NE(outcome.output.find(PRec("110,0.,0.,0.,1.,1.,1.;", 1, 1)), std::string::npos);
}

TEST(OutputWriterTest, EveryRecordIsEightyColumns) {
  std::string source = Source();
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  ASSERT_TRUE(outcome.written);
  // Every record is exactly 80 columns when the numbers fit.
  std::size_t start = 0;
  while (start < outcome.output.size()) {
    const std::size_t end = outcome.output.find('\n', start);
    EXPECT_EQ(end - start, 80u);
    start = end + 1;
  }
}

TEST(OutputWriterTest, TextLengthMismatchLeavesThePartialFile) {
  // The last entity is missing its second P record: its text stays empty.
  std::string source = testing::IgesFile()
                           .Entity(212, kNoteText)
                           .EntityLines(110, {"110,0.,0.,0.,", "1.,1.,1.;"})
                           .Build();
  const std::size_t at = source.find("1.,1.,1.;");
  source.erase(at, 81);
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "作成したﾊﾟﾗﾒｰﾀｾｸｼｮﾝの文字数とﾊﾟﾗﾒｰﾀ使用行数が一致しません。\n"
            "　IGESﾌｧｲﾙは完成していません。");
  EXPECT_TRUE(outcome.failure.closeMessage.empty());
  // Start, Global, both D pairs and the first entity's record were written.
  EXPECT_EQ(outcome.output.size(), 81u * (1 + 2 + 4 + 1));
}

TEST(OutputWriterTest, WriteErrorIsReportedAfterTheLastRecordAndTheFileStays) {
  testing::FaultPlan plan;
  plan.failWriteAfter = 100;
  WriteOutcome outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_EQ(outcome.output.size(), 100u);

  plan.failOutputClose = true;
  outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_EQ(outcome.failure.closeMessage, "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙを閉じるのに失敗しました。");
}

TEST(OutputWriterTest, FailingCloseAtTheEnd) {
  testing::FaultPlan plan;
  plan.failOutputClose = true;
  WriteOutcome outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙを閉じるのに失敗しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_TRUE(outcome.failure.closeMessage.empty());
}

TEST(OutputWriterTest, NeverWritesOverOrThroughAnythingAtThePath) {
  testing::TempDir dir;
  testing::StringInput file(Source());
  BlockSums sums;
  SourceStream stream(&file, &sums);
  testing::RecordingUi ui;
  RecordReader reader(&stream, &ui);
  SectionScan scan;
  RunCounters counters;
  ASSERT_TRUE(ScanSections(&reader, &scan, &counters).ok());
  DirectoryTable table(counters.directoryRecords / 2);
  NoteReplacer notes(testing::PadTo64("212,0;"));
  ASSERT_TRUE(ReadEntities(&reader, scan, &table, &counters, &notes).ok());

  testing::WriteFile(dir.File("target"), "precious");
  testing::WriteFile(dir.File("existing.igs"), "precious");
  const bool linksMade = testing::MakeSymbolicLink(dir.File("target"), dir.File("link.igs")) &&
                         testing::MakeSymbolicLink(dir.File("nowhere"), dir.File("dangling.igs"));
  std::vector<const char*> names = {"existing.igs"};
  if (linksMade) names.insert(names.end(), {"link.igs", "dangling.igs"});
  for (const char* name : names) {
    SourceStream again(&file, &sums);
    SourceReplay replay(&again, &table);
    const Status written =
        WriteOutput(dir.File(name), scan, &table, &counters, LineEnd::kLf, &SystemFileSystem(), &ui,
                    &replay);
    EXPECT_FALSE(written.ok());
    EXPECT_EQ(written.message(),
              "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙを開くのに失敗しました。\n　変換は出来ません。");
  }
  EXPECT_EQ(testing::ReadFile(dir.File("target")), "precious");
  EXPECT_EQ(testing::ReadFile(dir.File("existing.igs")), "precious");
  EXPECT_FALSE(std::filesystem::exists(dir.File("nowhere")));
  if (!linksMade) GTEST_SKIP() << "a file checked; links not: " << testing::kNoSymbolicLinks;
}

}  // namespace
}  // namespace notora
