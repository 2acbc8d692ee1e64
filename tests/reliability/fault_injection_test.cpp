// Faults a normal run never meets, put into the file layer: a read error at
// every point of either pass, a full disk at every point of the output,
// failing closes of the source and of the output, and Escape at every record.
#include <gtest/gtest.h>

#include "tests/support/conversion_check.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_fixtures.h"
#include "base/messages.h"

namespace notora {
namespace {

using testing::CheckConversion;
using testing::ConversionCheck;
using testing::ConversionRequest;
using testing::FaultPlan;

constexpr std::size_t kLine = 81;  // a record and its line feed

std::string Error(MessageId id, std::initializer_list<MessageArg> args = {}) {
  return "error: " + FormatMessage(id, args);
}

// A file of five entities with three notes to convert.
std::string Source() {
  for (const testing::NamedFile& file : testing::NoteFixtures()) {
    if (file.name == "kanji-notes.igs") return file.bytes;
  }
  return {};
}

ConversionRequest Request(const FaultPlan& faults) {
  ConversionRequest request;
  request.options.outputName = "out";
  request.source = Source();
  request.faults = faults;
  return request;
}

TEST(FaultInjectionTest, ReadErrorAtEveryPointOfEitherPass) {
  const std::string source = Source();
  ASSERT_EQ(source.size() % kLine, 0u);
  // Pass 1 stops at the first P record; a fault past it is met by pass 2.
  const std::size_t firstParameterRecord = source.find("P      1\n") / kLine + 1;
  ASSERT_GT(firstParameterRecord, 1u);
  for (std::size_t after = 0; after < source.size(); after += 11) {
    for (bool closeFails : {false, true}) {
      FaultPlan faults;
      faults.failReadAfter = static_cast<std::int64_t>(after);
      faults.readChunk = 64;
      faults.failSourceClose = closeFails;
      const ConversionCheck check = CheckConversion(Request(faults));
      SCOPED_TRACE("read fails after byte " + std::to_string(after));
      EXPECT_EQ(check.violation, "");
      EXPECT_EQ(check.result.outcome, RunOutcome::kFailed);
      // The record whose line feed could not be read.
      std::vector<std::string> expected = {
          Error(MessageId::ReadError, {static_cast<std::int64_t>(after / kLine + 1)})};
      if (closeFails) expected.push_back(Error(MessageId::SourceCloseFailedAfterError));
      EXPECT_EQ(check.messages, expected);
      EXPECT_FALSE(check.outputCreated);
    }
  }
}

TEST(FaultInjectionTest, FullDiskAtEveryPointOfTheOutput) {
  const ConversionCheck clean = CheckConversion(Request({}));
  ASSERT_EQ(clean.violation, "");
  ASSERT_EQ(clean.result.outcome, RunOutcome::kWritten);
  const std::string& output = clean.output;
  ASSERT_GT(output.size(), 10 * kLine);

  for (std::size_t room = 0; room < output.size(); room += 23) {
    for (bool closeFails : {false, true}) {
      FaultPlan faults;
      faults.failWriteAfter = static_cast<std::int64_t>(room);
      faults.failOutputClose = closeFails;
      const ConversionCheck check = CheckConversion(Request(faults));
      SCOPED_TRACE("the disk is full after byte " + std::to_string(room));
      EXPECT_EQ(check.violation, "");
      std::vector<std::string> expected = {Error(MessageId::OutputWriteError)};
      if (closeFails) expected.push_back(Error(MessageId::OutputCloseFailedAfterError));
      EXPECT_EQ(check.messages, expected);
      // The partly written file stays, as far as the disk took it ...
      EXPECT_TRUE(check.outputCreated);
      EXPECT_EQ(check.output, output.substr(0, room));
      // ... and the error was reported only once every record, the T record
      // last, had been handed to the disk.
      EXPECT_EQ(check.outputOffered, output.size());
    }
  }
  // Room for exactly the whole file is no fault.
  FaultPlan exact;
  exact.failWriteAfter = static_cast<std::int64_t>(output.size());
  const ConversionCheck fits = CheckConversion(Request(exact));
  EXPECT_EQ(fits.result.outcome, RunOutcome::kWritten);
  EXPECT_EQ(fits.output, output);
}

TEST(FaultInjectionTest, FailingCloses) {
  FaultPlan sourceClose;
  sourceClose.failSourceClose = true;
  ConversionCheck check = CheckConversion(Request(sourceClose));
  EXPECT_EQ(check.violation, "");
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::SourceCloseFailed)});
  EXPECT_FALSE(check.outputCreated);

  FaultPlan outputClose;
  outputClose.failOutputClose = true;
  check = CheckConversion(Request(outputClose));
  EXPECT_EQ(check.violation, "");
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::OutputCloseFailed)});
  // Everything was written; only the close failed.
  EXPECT_EQ(check.output, CheckConversion(Request({})).output);
}

// A file of many 4 KB spans: 150 lines and a note of Japanese text, in
// records of 80 characters and a line feed.
std::string LargeSource() {
  testing::IgesFile file;
  for (int i = 0; i < 150; ++i) file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  file.Entity(212, "212,1,2,2.,1.,1,0.,0.,0,0,0.,0.,0.,4H\x8A\xBF\x8E\x9A;");
  for (int i = 0; i < 150; ++i) file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  return file.Build();
}

// The output reads the D records and the unchanged P records back from the
// source. When they cannot be read back as they were checked (a read error,
// or a source that shrank or changed after it was read), the output stops at
// the record that needed them, with the read error that names it, and what
// was written stays.
TEST(FaultInjectionTest, ReadingBackASourceThatFailsShrankOrChangedStopsTheOutput) {
  ConversionRequest request = Request({});
  request.source = LargeSource();
  const ConversionCheck clean = CheckConversion(request);
  ASSERT_EQ(clean.result.outcome, RunOutcome::kWritten) << clean.violation;
  const std::size_t size = request.source.size();
  const std::size_t terminateRecord = size - kLine;  // never read back
  constexpr std::size_t kSpan = 4096;  // the bytes checked by one sum
  for (std::size_t at = 0; at < size; at += 97) {
    for (int fault = 0; fault < 3; ++fault) {
      ConversionRequest faulty = request;
      if (fault == 0) faulty.faults.failReadBackAfter = static_cast<std::int64_t>(at);
      if (fault == 1) faulty.faults.shrinkSourceTo = static_cast<std::int64_t>(at);
      if (fault == 2) faulty.faults.alterSourceAt = static_cast<std::int64_t>(at);
      const ConversionCheck check = CheckConversion(faulty);
      SCOPED_TRACE("fault " + std::to_string(fault) + " at byte " + std::to_string(at));
      EXPECT_EQ(check.violation, "");
      // Everything before the first 4 KB that differs is trusted.
      const std::size_t good = at / kSpan * kSpan;
      if (good >= terminateRecord) {
        EXPECT_EQ(check.result.outcome, RunOutcome::kWritten);
        continue;
      }
      // The record that holds the first byte not trusted; a P record needs
      // only its 80 characters, not its line feed.
      std::size_t record = good / kLine + 1;
      const bool parameterRecord = request.source[(record - 1) * kLine + 72] == 'P';
      if (parameterRecord && good % kLine == kLine - 1) ++record;
      EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::ReadError,
                                                               {static_cast<std::int64_t>(record)})});
      EXPECT_TRUE(check.outputCreated);
      EXPECT_EQ(check.output, clean.output.substr(0, check.output.size()));
      EXPECT_LT(check.output.size(), clean.output.size());
    }
  }
}

TEST(FaultInjectionTest, EscapeAtEveryRecordOfBothPasses) {
  const std::size_t records = Source().size() / kLine;
  const std::size_t firstParameterRecord = Source().find("P      1\n") / kLine + 1;
  // Pass 1 polls up to the first P record, pass 2 at every record and at
  // the empty end after the last line feed.
  const std::size_t polls = firstParameterRecord + records + 1;
  for (std::size_t poll = 1; poll <= polls; ++poll) {
    for (bool closeFails : {false, true}) {
      ConversionRequest request = Request({});
      request.cancelAtPoll = static_cast<int>(poll);
      request.faults.failSourceClose = closeFails;
      const ConversionCheck check = CheckConversion(request);
      SCOPED_TRACE("Escape at poll " + std::to_string(poll));
      EXPECT_EQ(check.violation, "");
      std::vector<std::string> expected = {Error(MessageId::Cancelled)};
      if (closeFails) expected.push_back(Error(MessageId::SourceCloseFailedAfterError));
      EXPECT_EQ(check.messages, expected);
      EXPECT_FALSE(check.outputCreated);
    }
  }
  // One poll more than the run makes: it is never asked, and the run writes.
  ConversionRequest late = Request({});
  late.cancelAtPoll = static_cast<int>(polls + 1);
  EXPECT_EQ(CheckConversion(late).result.outcome, RunOutcome::kWritten);
}

}  // namespace
}  // namespace notora
