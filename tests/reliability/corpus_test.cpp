// Every real IGES file of the shared corpus (../shared/corpus/real beside
// the repository, never copied into it) read by inspect from the disk and
// converted in every mode over memory files, with the promises every run
// keeps. Skipped where the corpus is not there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <vector>

#include "run/inspection.h"
#include "tests/support/conversion_check.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {

// The IGES files of `folder` (.igs or .iges in any case), by name.
std::vector<std::filesystem::path> IgesFilesIn(const std::filesystem::path& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    std::string extension = entry.path().extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (entry.is_regular_file() && (extension == ".igs" || extension == ".iges")) {
      files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<RunOptions> Modes() {
  RunOptions jis;
  RunOptions fullWidth;
  fullWidth.conversionMode = ConversionMode::kToFullWidth;
  RunOptions vertical;
  vertical.conversionMode = ConversionMode::kNone;
  vertical.verticalToHorizontal = true;
  RunOptions exchange;
  exchange.verticalValueInput = VerticalValue::kAfter;
  exchange.negativeWidthMode = NegativeWidthMode::kMinus;
  exchange.zeroColumnsIsError = false;
  for (RunOptions* options : {&jis, &fullWidth, &vertical, &exchange}) options->outputName = "out";
  return {jis, fullWidth, vertical, exchange};
}

TEST(CorpusTest, EveryRealFileKeepsThePromisesOfInspectAndConvert) {
  const std::filesystem::path folder = NOTORA_CORPUS_DIR;
  if (!std::filesystem::is_directory(folder)) GTEST_SKIP() << folder << " is not there";
  const std::vector<std::filesystem::path> files = IgesFilesIn(folder);
  if (files.empty()) GTEST_SKIP() << "no IGES files in " << folder;

  int inspectedWhole = 0;
  for (const std::filesystem::path& path : files) {
    SCOPED_TRACE(path.filename().string());
    // Inspect, from the disk: it reads the whole file or ends with the one
    // message a conversion would show, and writes nothing beside it.
    const auto before = std::distance(std::filesystem::directory_iterator(folder),
                                      std::filesystem::directory_iterator());
    testing::RecordingUi ui;
    InspectedNotes notes;
    const InspectionResult inspection = InspectSource(path.string(), RunOptions(), notes, ui);
    if (inspection.completed) {
      ++inspectedWhole;
      EXPECT_TRUE(ui.messages.empty()) << ui.messages[0];
      EXPECT_EQ(inspection.counters.convertedEntities, 0);
    } else {
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].rfind("error: ", 0), 0u);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder),
                            std::filesystem::directory_iterator()),
              before);

    // Convert, over memory files, in each mode.
    const std::string bytes = testing::ReadFile(path.string());
    for (const RunOptions& options : Modes()) {
      testing::ConversionRequest request;
      request.options = options;
      request.source = bytes;
      const testing::ConversionCheck check = testing::CheckConversion(request);
      EXPECT_EQ(check.violation, "") << "mode " << static_cast<int>(options.conversionMode);
      // A file the inspection refuses is never converted: the reading is
      // the same.
      if (!inspection.completed && options.zeroColumnsIsError) {
        EXPECT_EQ(check.result.outcome, RunOutcome::kFailed);
      }
    }
  }
  RecordProperty("files", static_cast<int>(files.size()));
  RecordProperty("inspectedWhole", inspectedWhole);
}

}  // namespace
}  // namespace notora
