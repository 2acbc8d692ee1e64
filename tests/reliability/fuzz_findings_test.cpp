// Every note fixture and bounds file under every option set of the seed
// corpus keeps every promise of a run; and the inputs fuzzing found, each
// replayed from its bytes with what it must do now.
#include <gtest/gtest.h>

#include "fuzz/conversion_check.h"
#include "fuzz/iges_reading.h"
#include "fuzz/note_check.h"
#include "fuzz/note_fixtures.h"
#include "run/messages.h"

namespace notora {
namespace {

std::vector<RunOptions> OptionSets() {
  std::vector<RunOptions> sets;
  for (int mode = 0; mode < 3; ++mode) {
    for (int vertical = 0; vertical < 2; ++vertical) {
      for (int negative = 0; negative < 3; ++negative) {
        RunOptions options;
        options.conversionMode = mode;
        options.verticalToHorizontal = vertical;
        options.negativeWidthMode = negative;
        options.verticalValueInput = negative == 1;
        options.verticalValueOutput = mode == 1;
        options.jisFallback = vertical;
        options.fullWidthFallback = 1 - vertical;
        options.zeroColumnsIsError = mode != 2;
        options.outputName = "out";
        sets.push_back(options);
      }
    }
  }
  return sets;
}

TEST(FuzzFindingsTest, FixturesAndBoundsFilesKeepEveryPromiseUnderEveryOptionSet) {
  std::vector<testing::NamedFile> files = testing::NoteFixtures();
  for (testing::NamedFile& file : testing::BoundsFiles()) files.push_back(std::move(file));
  int written = 0;
  for (const testing::NamedFile& file : files) {
    for (const RunOptions& options : OptionSets()) {
      testing::ConversionRequest request;
      request.options = options;
      request.source = file.bytes;
      const testing::ConversionCheck check = testing::CheckConversion(request);
      EXPECT_EQ(check.violation, "") << file.name << " mode " << options.conversionMode;
      written += check.result.outcome == RunOutcome::kWritten;
    }
  }
  EXPECT_GT(written, static_cast<int>(files.size()));
}

TEST(FuzzFindingsTest, EveryNoteOfTheFixturesKeepsEveryPromise) {
  for (const testing::NamedFile& file : testing::NoteFixtures()) {
    for (const RunOptions& options : OptionSets()) {
      const testing::IgesReading reading = testing::ReadIgesBytes(file.bytes, nullptr);
      for (const testing::EntityReading& entity : reading.entities) {
        if (entity.entityType != 212) continue;
        testing::NoteRequest request;
        request.options = options;
        request.parameterDelimiter = reading.scan.parameterDelimiter;
        request.recordDelimiter = reading.scan.recordDelimiter;
        request.parameterText = entity.parameterText;
        EXPECT_EQ(testing::CheckGeneralNote(request).violation, "") << file.name;
      }
    }
  }
}

}  // namespace
}  // namespace notora
