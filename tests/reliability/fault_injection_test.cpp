// Faults a normal run never meets, put into the file layer: a read error at
// every point of the sweep, a full disk at every point of the output, an
// output that cannot be created, flushes and closes that fail, a name taken
// while the output is written, and Escape at every record and at every
// entry of the last section written. Each leaves either the whole output
// under its name or nothing, and nothing written aside.
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

TEST(FaultInjectionTest, ReadErrorAtEveryPointOfTheSweep) {
  const std::string source = Source();
  ASSERT_EQ(source.size() % kLine, 0u);
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
    FaultPlan faults;
    faults.failWriteAfter = static_cast<std::int64_t>(room);
    const ConversionCheck check = CheckConversion(Request(faults));
    SCOPED_TRACE("the disk is full after byte " + std::to_string(room));
    EXPECT_EQ(check.violation, "");
    EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::OutputWriteError)});
    EXPECT_FALSE(check.outputCreated);
  }
  // Room for exactly the whole file is no fault.
  FaultPlan exact;
  exact.failWriteAfter = static_cast<std::int64_t>(output.size());
  const ConversionCheck fits = CheckConversion(Request(exact));
  EXPECT_EQ(fits.result.outcome, RunOutcome::kWritten);
  EXPECT_EQ(fits.output, output);
}

TEST(FaultInjectionTest, FailingFlushesAndCloses) {
  FaultPlan sourceClose;
  sourceClose.failSourceClose = true;
  ConversionCheck check = CheckConversion(Request(sourceClose));
  EXPECT_EQ(check.violation, "");
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::SourceCloseFailed)});
  EXPECT_FALSE(check.outputCreated);

  FaultPlan sync;
  sync.failSync = true;
  check = CheckConversion(Request(sync));
  EXPECT_EQ(check.violation, "");
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::OutputWriteError)});
  EXPECT_FALSE(check.outputCreated);

  FaultPlan outputClose;
  outputClose.failOutputClose = true;
  check = CheckConversion(Request(outputClose));
  EXPECT_EQ(check.violation, "");
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::OutputCloseFailed)});
  EXPECT_FALSE(check.outputCreated);
}

// A file of many records: 150 lines, a note of Japanese text, 150 lines.
std::string LargeSource() {
  testing::IgesFile file;
  for (int i = 0; i < 150; ++i) file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  file.Entity(212, "212,1,2,2.,1.,1,0.,0.,0,0,0.,0.,0.,4H\x8A\xBF\x8E\x9A;");
  for (int i = 0; i < 150; ++i) file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  return file.Build();
}

// A fault of the output (it cannot be created, the disk is full) is kept
// while the source is read: a fault of the source found later wins, as it
// would if the output were written only after the source had been read.
TEST(FaultInjectionTest, ASourceFaultAfterAnOutputFaultWins) {
  ConversionRequest request = Request({});
  request.source = LargeSource();
  // The last P record but one loses its column 65.
  const std::size_t lastParameter = request.source.size() - 3 * kLine;
  request.source[lastParameter + 64] = 'X';
  const std::int64_t parameterRecord = 300;
  for (int fault = 0; fault < 3; ++fault) {
    ConversionRequest faulty = request;
    if (fault == 0) faulty.faults.failCreate = true;
    if (fault == 1) faulty.faults.failWriteAfter = 0;
    if (fault == 2) faulty.faults.failWriteAfter = 5000;
    const ConversionCheck check = CheckConversion(faulty);
    SCOPED_TRACE("fault " + std::to_string(fault));
    EXPECT_EQ(check.violation, "");
    EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::ParameterColumn65NotBlank,
                                                             {parameterRecord})});
  }
  // Without the source's fault, the output's own shows.
  ConversionRequest sound = Request({});
  sound.source = LargeSource();
  sound.faults.failCreate = true;
  EXPECT_EQ(CheckConversion(sound).messages,
            std::vector<std::string>{Error(MessageId::OutputOpenFailed)});
}

// Something that comes to stand at the output's name while the output is
// written is never replaced: the run ends as if it had stood there from
// the start.
TEST(FaultInjectionTest, ANameTakenMeanwhileIsLeftAsItIs) {
  FaultPlan taken;
  taken.takeOutputName = true;
  const ConversionCheck check = CheckConversion(Request(taken));
  EXPECT_EQ(check.messages, std::vector<std::string>{Error(MessageId::OutputExists)});
  EXPECT_EQ(check.output, "taken meanwhile");
}

TEST(FaultInjectionTest, EscapeAtEveryRecordAndWhileTheLastSectionIsWritten) {
  const std::size_t records = Source().size() / kLine;
  const std::size_t entities = (Source().find("P      1\n") / kLine + 1 - 4) / 2;
  // The sweep polls at every record and at the empty end after the last
  // line feed; the Directory Entry section, written last, at every entry.
  const std::size_t polls = records + 1 + entities;
  for (std::size_t poll = 1; poll <= polls; ++poll) {
    for (bool closeFails : {false, true}) {
      ConversionRequest request = Request({});
      request.cancelAtPoll = static_cast<int>(poll);
      request.faults.failSourceClose = closeFails;
      const ConversionCheck check = CheckConversion(request);
      SCOPED_TRACE("Escape at poll " + std::to_string(poll));
      EXPECT_EQ(check.violation, "");
      std::vector<std::string> expected = {Error(MessageId::Cancelled)};
      // The source is closed before the last section is written.
      if (closeFails && poll <= records + 1) {
        expected.push_back(Error(MessageId::SourceCloseFailedAfterError));
      }
      if (closeFails && poll > records + 1) expected = {Error(MessageId::SourceCloseFailed)};
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
