// Every note fixture and bounds file under every option set of the seed
// corpus keeps every promise of a run; and the inputs fuzzing found, each
// replayed from its bytes with what it must do now.
#include <gtest/gtest.h>

#include "tests/support/conversion_check.h"
#include "tests/support/iges_reading.h"
#include "tests/support/note_check.h"
#include "tests/support/note_encoding.h"
#include "tests/support/note_fixtures.h"
#include "note/field_reader.h"
#include "base/messages.h"

#include <algorithm>
#include <cfloat>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace notora {
namespace {

constexpr TextEncoding kEncodings[3] = {TextEncoding::kShiftJis, TextEncoding::kEucJp,
                                        TextEncoding::kUtf8};
constexpr LineEnd kLineEnds[2] = {LineEnd::kLf, LineEnd::kCrLf};

// Every mode, vertical and negative-width choice, with the encodings and line
// ends going round among them.
std::vector<RunOptions> OptionSets() {
  std::vector<RunOptions> sets;
  for (ConversionMode mode :
       {ConversionMode::kToJisCode, ConversionMode::kToFullWidth, ConversionMode::kNone}) {
    for (bool vertical : {false, true}) {
      for (NegativeWidthMode negative :
           {NegativeWidthMode::kPlus, NegativeWidthMode::kMinus, NegativeWidthMode::kError}) {
        RunOptions options;
        const int m = static_cast<int>(mode);
        const int v = vertical ? 1 : 0;
        const int n = static_cast<int>(negative);
        options.sourceEncoding = kEncodings[(m + n) % 3];
        options.outputEncoding = kEncodings[(v + 2 * n) % 3];
        options.outputLineEnd = kLineEnds[(m + v + n) % 2];
        options.lineEndFromSource = (m + v + n) % 4 >= 2;
        options.conversionMode = mode;
        options.verticalToHorizontal = vertical;
        options.negativeWidthMode = negative;
        options.verticalValueInput =
            negative == NegativeWidthMode::kMinus ? VerticalValue::kAfter : VerticalValue::kBefore;
        options.verticalValueOutput =
            mode == ConversionMode::kToFullWidth ? VerticalValue::kAfter : VerticalValue::kBefore;
        options.jisFallback = vertical ? JisFallback::kFFFF : JisFallback::k2121;
        options.fullWidthFallback = vertical ? FullWidthFallback::kSpace : FullWidthFallback::kQuote;
        options.zeroColumnsIsError = mode != ConversionMode::kNone;
        options.outputName = "out";
        sets.push_back(options);
      }
    }
  }
  return sets;
}

// Each file in the encoding that `options` read (its notes rewritten by a
// conversion when that is not Shift-JIS).
std::string InSourceEncoding(const testing::NamedFile& file, const RunOptions& options) {
  return testing::ReencodeDrawing(file.bytes, options.sourceEncoding);
}

TEST(FuzzFindingsTest, FixturesAndBoundsFilesKeepEveryPromiseUnderEveryOptionSet) {
  std::vector<testing::NamedFile> files = testing::NoteFixtures();
  for (testing::NamedFile& file : testing::BoundsFiles()) files.push_back(std::move(file));
  int written = 0;
  for (const testing::NamedFile& file : files) {
    for (const RunOptions& options : OptionSets()) {
      testing::ConversionRequest request;
      request.options = options;
      request.source = InSourceEncoding(file, options);
      const testing::ConversionCheck check = testing::CheckConversion(request);
      EXPECT_EQ(check.violation, "")
          << file.name << " mode " << static_cast<int>(options.conversionMode);
      written += check.result.outcome == RunOutcome::kWritten;
    }
  }
  EXPECT_GT(written, static_cast<int>(files.size()));
}

TEST(FuzzFindingsTest, EveryNoteOfTheFixturesKeepsEveryPromise) {
  for (const testing::NamedFile& file : testing::NoteFixtures()) {
    for (const RunOptions& options : OptionSets()) {
      const testing::IgesReading reading =
          testing::ReadIgesBytes(InSourceEncoding(file, options), nullptr);
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

// General Note fuzzing: a real whose exponent has 20 digits, beyond the
// range of a double, had its exponent summed in 64 bits without a stop; the
// sum overflowed (undefined behaviour) and wrapped negative, so 1E+<huge>
// read as 0 instead of the largest double.
TEST(FuzzFindingsTest, RealWithAnExponentOfTwentyDigits) {
  const std::string input =
      std::string("\x06\x01,;", 4) + '\0' +
      "212,1,3,-10.0,30.0,1,0.0,1E+70796326794867948966,0,1,60.0,60.0,0.0,6H\x8f,0,0;"
      "             .0,1,0.0,1E+70790,     ";
  EXPECT_EQ(testing::CheckGeneralNote(testing::DecodeNoteRequest(input)).violation, "");

  for (auto [field, expected] : {std::pair<std::string, double>{"1E+70796326794867948966,", DBL_MAX},
                                 {"-1E+70796326794867948966,", -DBL_MAX},
                                 {"1E-70796326794867948966,", 0.0},
                                 {"1D999999999999999999999,", DBL_MAX},
                                 {"0.1E+99999999999999999999,", DBL_MAX}}) {
    FieldCursor cursor;
    cursor.next = 0;
    double value = 1.0;
    const Status status = ReadRealField(field, ',', MessageId::FieldNameA, ParameterLines{1, 1}, &cursor, &value);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(value, expected) << field;
  }
}

// General Note fuzzing: JIS code 6422 written in Shift-JIS is E2 A0, whose
// trail byte 0xA0 is no byte a note may hold on its own; the check of the
// rebuilt note took it for one the conversion made up.
TEST(FuzzFindingsTest, JisCodeCharacterWhoseTrailByteIsA0) {
  const std::string input =
      std::string("A\0,;\0", 5) +
      "212,2,12,15.0,5.0,2001,0.0,0.0,0,0,10.0,70.0,0.0,12H6422171E7f7f,3,6.0,5.0,1,0.0,0.0,0,0,"
      "40.0,70.0,0.0,3HXYZ,0,0;               ";
  const testing::NoteCheck check = testing::CheckGeneralNote(testing::DecodeNoteRequest(input));
  EXPECT_EQ(check.violation, "");
  EXPECT_NE(check.rebuilt.parameterText.find("6H\xe2\xa0"), std::string::npos);
}

// Every input a fuzzer found, kept in fuzz/findings/<target>/ as the fuzzer
// wrote it (the option header first), replayed through the same check the
// fuzzer runs: each must now keep every promise.
std::vector<std::filesystem::path> FindingsOf(const std::string& target) {
  std::vector<std::filesystem::path> files;
  const std::filesystem::path folder = std::filesystem::path(NOTORA_FINDINGS_DIR) / target;
  if (!std::filesystem::is_directory(folder)) return files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.is_regular_file()) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::string BytesOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

TEST(FuzzFindingsTest, EveryKeptConversionFindingKeepsEveryPromise) {
  const std::vector<std::filesystem::path> files = FindingsOf("conversion_fuzzer");
  ASSERT_FALSE(files.empty()) << "no findings under " << NOTORA_FINDINGS_DIR;
  for (const std::filesystem::path& path : files) {
    const testing::ConversionCheck check =
        testing::CheckConversion(testing::DecodeConversionRequest(BytesOf(path)));
    EXPECT_EQ(check.violation, "") << path.filename();
  }
}

TEST(FuzzFindingsTest, EveryKeptGeneralNoteFindingKeepsEveryPromise) {
  for (const std::filesystem::path& path : FindingsOf("general_note_fuzzer")) {
    const testing::NoteCheck check =
        testing::CheckGeneralNote(testing::DecodeNoteRequest(BytesOf(path)));
    EXPECT_EQ(check.violation, "") << path.filename();
  }
}

}  // namespace
}  // namespace notora
