#include "run/inspection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"

namespace notora {
namespace {

struct SeenString {
  std::int32_t entry;
  std::int32_t number;
  std::int32_t count;
  NoteString fields;
  std::string text;
};

class RecordingObserver : public NoteObserver {
 public:
  void OnNoteString(const ParameterEntity& entity, std::int32_t stringNumber,
                    std::int32_t stringCount, const NoteString& asRead,
                    std::string_view text) override {
    seen.push_back({entity.entryIndex, stringNumber, stringCount, asRead, std::string(text)});
  }
  std::vector<SeenString> seen;
};

const std::string kTwoStrings =
    "212,2,5,-5.,2.,1,0.,0.,0,0,1.,2.,3.,5HAB\x8a\xbf" "C,"
    "2,4.,3.,2001,0.,0.,0,1,4.,5.,6.,8H34413b7a;";

class SourceInspectionTest : public ::testing::Test {
 protected:
  std::string Source(const std::string& bytes) {
    const std::string path = dir_.File("drawing.igs");
    testing::WriteFile(path, bytes);
    return path;
  }
  std::vector<std::string> FilesInFolder() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      names.push_back(entry.path().filename().string());
    }
    return names;
  }

  testing::TempDir dir_;
  testing::RecordingUi ui_;
  RecordingObserver observer_;
};

TEST_F(SourceInspectionTest, EveryStringIsSeenAsReadAndNothingIsWritten) {
  const std::string path = Source(testing::IgesFile()
                                      .Entity(110, "110,0.,0.,0.,1.,1.,1.;")
                                      .Entity(212, kTwoStrings)
                                      .Build());
  const InspectionResult result = InspectSource(path, RunOptions(), observer_, ui_);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(ui_.messages, std::vector<std::string>());
  ASSERT_EQ(observer_.seen.size(), 2u);
  EXPECT_EQ(observer_.seen[0].entry, 2);
  EXPECT_EQ(observer_.seen[0].number, 1);
  EXPECT_EQ(observer_.seen[0].count, 2);
  EXPECT_EQ(observer_.seen[0].fields.WT, -5.0);  // as read, not made positive
  EXPECT_EQ(observer_.seen[0].fields.ZS, 3.0);
  EXPECT_EQ(observer_.seen[0].text, "AB\x8a\xbf" "C");
  EXPECT_EQ(observer_.seen[1].number, 2);
  EXPECT_EQ(observer_.seen[1].fields.FC, 2001);
  EXPECT_EQ(observer_.seen[1].fields.VH, 1);
  EXPECT_EQ(observer_.seen[1].text, "34413b7a");
  EXPECT_EQ(result.counters.kanjiEntities, 1);
  EXPECT_EQ(result.counters.jisCodeElements, 1);
  EXPECT_EQ(result.counters.verticalElements, 1);
  EXPECT_EQ(result.counters.negativeWidthElements, 1);
  EXPECT_EQ(result.counters.convertedEntities, 0);
  EXPECT_EQ(FilesInFolder(), std::vector<std::string>{"drawing.igs"});
}

TEST_F(SourceInspectionTest, ConversionChoicesDoNotChangeTheReading) {
  // Negative widths refused, vertical values taken from the height field:
  // an inspection still reads the note, and shows its fields as written.
  RunOptions options;
  options.negativeWidthMode = NegativeWidthMode::kError;
  options.verticalValueInput = VerticalValue::kAfter;
  const std::string path = Source(testing::IgesFile().Entity(212, kTwoStrings).Build());
  EXPECT_TRUE(InspectSource(path, options, observer_, ui_).completed);
  ASSERT_EQ(observer_.seen.size(), 2u);
  EXPECT_EQ(observer_.seen[1].fields.WT, 4.0);
  EXPECT_EQ(observer_.seen[1].fields.HT, 3.0);
}

TEST_F(SourceInspectionTest, FaultsShowWhatAConversionShows) {
  const std::vector<std::string> faulty = {
      // A JIS-code text of six digits.
      testing::IgesFile().Entity(212, "212,1,6,1.,1.,2001,0.,0.,0,0,0.,0.,0.,6H34413b;").Build(),
      // A record of 79 columns.
      testing::IgesFile().Entity(212, kTwoStrings).Build().substr(1),
      // No strings at all.
      testing::IgesFile().Entity(212, "212,0;").Build(),
  };
  for (const std::string& bytes : faulty) {
    const std::string path = Source(bytes);
    testing::RecordingUi conversionUi;
    RunOptions options;
    options.outputName = "never";
    RunConversion(options, path, conversionUi);
    ASSERT_EQ(conversionUi.messages.size(), 1u);

    testing::RecordingUi inspectionUi;
    RecordingObserver observer;
    EXPECT_FALSE(InspectSource(path, RunOptions(), observer, inspectionUi).completed);
    EXPECT_EQ(inspectionUi.messages, conversionUi.messages);
    EXPECT_EQ(inspectionUi.events.back(), "cursor off");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("never.igs")));
  }
}

TEST_F(SourceInspectionTest, ZeroColumnsAreAcceptedWhenAsked) {
  const std::string path = Source(testing::IgesFile().Entity(212, "212,0;").Build());
  RunOptions options;
  options.zeroColumnsIsError = false;
  EXPECT_TRUE(InspectSource(path, options, observer_, ui_).completed);
  EXPECT_TRUE(observer_.seen.empty());
}

TEST_F(SourceInspectionTest, MissingAndUnnamedSourcesAreReportedAsAConversionDoes) {
  InspectSource(dir_.File("missing.igs"), RunOptions(), observer_, ui_);
  InspectSource("", RunOptions(), observer_, ui_);
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              "error: 元ﾌｧｲﾙ名で選択したﾌｧｲﾙが有りません。\n　変換は出来ません。",
                              "error: 元ﾌｧｲﾙが選択されていません。\n　変換は出来ません。"}));
}

TEST_F(SourceInspectionTest, ReadFaultsAndFailingClosesAreReported) {
  const std::string path = Source(testing::IgesFile().Entity(212, kTwoStrings).Build());
  testing::FaultPlan plan;
  plan.failSourceClose = true;
  testing::FaultyFiles files(plan);
  EXPECT_FALSE(InspectSource(path, RunOptions(), observer_, ui_, files).completed);
  EXPECT_EQ(ui_.messages, std::vector<std::string>{
                              "error: 元ﾌｧｲﾙ名で選択したﾌｧｲﾙを閉じるのに失敗しました。\n"
                              "　変換は出来ません。"});
}

}  // namespace
}  // namespace notora
