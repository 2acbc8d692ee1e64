#include "iges/section_scan.h"

#include "iges/source_sweep.h"

#include <gtest/gtest.h>

#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"

namespace notora {
namespace {

using testing::Lines;
using testing::Rec;

struct ScanOutcome {
  Status status = Status::Ok();
  SectionScan scan;
  RunCounters counters;
  std::int32_t recordsRead = 0;
};

// The records before the first P record, as the sweep reads them.
ScanOutcome Scan(const std::string& bytes) {
  testing::StringInput sourceFile(bytes);
  SourceStream source(&sourceFile);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui);
  ScanOutcome outcome;
  SourceSweep sweep(&reader, &outcome.counters);
  outcome.status = sweep.ReadHead();
  outcome.scan = sweep.scan();
  // Every record read without a fault polls for a cancel once.
  outcome.recordsRead = ui.polls;
  return outcome;
}

std::string Delimiters(const std::string& firstGlobal) {
  ScanOutcome outcome = Scan(Lines({Rec("s", 'S', 1), Rec(firstGlobal, 'G', 1)}));
  EXPECT_TRUE(outcome.status.ok());
  return {outcome.scan.parameterDelimiter, outcome.scan.recordDelimiter};
}

TEST(SectionScanTest, DelimitersComeFromFixedColumnsOfTheFirstGlobalRecord) {
  EXPECT_EQ(Delimiters("1H,,1H;,4Hname"), ",;");
  EXPECT_EQ(Delimiters("1H/,1H!/4Hname"), "/!");
  EXPECT_EQ(Delimiters("1H|,2Habc"), "|;");      // no 1H in columns 5-6
  EXPECT_EQ(Delimiters(",,4Hname"), ",;");         // two commas: the defaults
  EXPECT_EQ(Delimiters("1H;,1H;,"), ";;");         // the record delimiter as parameter delimiter
  EXPECT_EQ(Delimiters(" 1H,,1H;"), " ;");         // column 1 is taken as it stands
}

TEST(SectionScanTest, NoGlobalRecordKeepsTheDefaults) {
  ScanOutcome outcome = Scan(Lines({Rec("s", 'S', 1), Rec("", 'T', 1)}));
  ASSERT_TRUE(outcome.status.ok());
  EXPECT_EQ(outcome.scan.parameterDelimiter, ',');
  EXPECT_EQ(outcome.scan.recordDelimiter, ';');
}

TEST(SectionScanTest, KeepsStartAndGlobalTextAndCountsUpToTheFirstParameterRecord) {
  const std::string s1 = Rec("first start", 'S', 1);
  const std::string g1 = Rec("1H/,1H!/", 'G', 1);
  const std::string g2 = Rec("late global", 'G', 2);
  ScanOutcome outcome = Scan(Lines({s1, g1, testing::DRecs(110, 1, 1, 1), g2,
                                    Rec("110/", 'P', 1), Rec("XX", 'Q', 2)}));
  ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
  EXPECT_EQ(outcome.scan.startText, s1 + "\n");
  // A G record after D records still joins the Global text; only the first
  // gives the delimiters.
  EXPECT_EQ(outcome.scan.globalText, g1 + "\n" + g2 + "\n");
  EXPECT_EQ(outcome.scan.parameterDelimiter, '/');
  EXPECT_EQ(outcome.counters.startRecords, 1);
  EXPECT_EQ(outcome.counters.globalRecords, 2);
  EXPECT_EQ(outcome.counters.directoryRecords, 2);
  // The head ends at the first P record: the record with the bad letter
  // after it is not yet read.
  EXPECT_EQ(outcome.recordsRead, 6);
}

TEST(SectionScanTest, SectionLetterOtherThanSGDPT) {
  EXPECT_EQ(Scan(Lines({Rec("s", 'S', 1), Rec("x", 's', 2)})).status.message(),
            "2行目の73文字目が S,G,D,P,T 以外です。\n　変換は出来ません。");
  // An empty first record has no letter at all.
  EXPECT_EQ(Scan("\n" + Lines({Rec("s", 'S', 1)})).status.message(),
            "1行目の73文字目が S,G,D,P,T 以外です。\n　変換は出来ません。");
}

TEST(SectionScanTest, OddDirectoryCountFailsBeforeAnyDirectoryRecordIsParsed) {
  std::vector<std::string> records = {Rec("s", 'S', 1)};
  for (int i = 1; i <= 7; ++i) records.push_back(Rec("not even numeric", 'D', i));
  records.push_back(Rec("", 'P', 1));
  EXPECT_EQ(Scan(Lines(records)).status.message(),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝの行数が偶数では有りません。　変換は出来ません。");
}

TEST(SectionScanTest, FileWithoutParameterRecordsIsScannedToItsEnd) {
  ScanOutcome outcome = Scan(Lines({Rec("s", 'S', 1), Rec(",,", 'G', 1), Rec("", 'T', 1)}));
  ASSERT_TRUE(outcome.status.ok());
  EXPECT_EQ(outcome.recordsRead, 4);  // the empty record after the last line feed too
}

}  // namespace
}  // namespace notora
