// Every output notora writes from the note fixtures, in every conversion
// mode, loaded by OpenCASCADE's IGES reader: the load succeeds, notora's own
// entities carry no fail messages (each entity is checked on its own; the
// complete check list can attach one entity's messages to all of them), the
// entities it copied carry exactly the messages they carry in the source, and
// every rebuilt General Note holds exactly the strings notora meant to write
// (its rebuilt parameter text, read field by field here).
#include <IGESBasic_Name.hxx>
#include <IGESControl_Reader.hxx>
#include <IGESData_GlobalSection.hxx>
#include <Interface_EntityIterator.hxx>
#include <IGESData_IGESEntity.hxx>
#include <IGESData_IGESModel.hxx>
#include <IGESDimen_GeneralNote.hxx>
#include <Interface_Check.hxx>
#include <Interface_CheckTool.hxx>
#include <TCollection_HAsciiString.hxx>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/iges_reading.h"
#include "tests/support/note_fixtures.h"
#include "run/conversion_run.h"
#include "base/byte_classes.h"
#include "iges/record_format.h"
#include "tests/support/iges_builder.h"
#include "note/text_encoding.h"
#include "tests/support/note_encoding.h"
#include "tests/support/recording_ui.h"

// OpenCASCADE keeps some of its allocations for the life of the process;
// under LeakSanitizer they are not notora's leaks.
extern "C" const char* __lsan_default_suppressions() { return "leak:libTK\n"; }

namespace notora {
namespace {

// One text string of a note as it stands in the file.
struct WrittenString {
  std::int32_t NC = 0, FC = 0, M = 0, VH = 0;
  double WT = 0, HT = 0, SL = 0, A = 0, XS = 0, YS = 0, ZS = 0;
  std::string text;
};

// Reads the fields of a parameter text that notora wrote: each field runs
// from the first non-blank byte (blanks only pad up to record boundaries) to
// the delimiter; a Hollerith field is its count, "H" and that many bytes.
class WrittenFields {
 public:
  WrittenFields(std::string_view text, char delimiter) : text_(text), delimiter_(delimiter) {}

  std::string Next() {
    SkipBlanks();
    const std::size_t end = text_.find(delimiter_, at_);
    std::string field(text_.substr(at_, end == std::string_view::npos ? std::string_view::npos : end - at_));
    at_ = end == std::string_view::npos ? text_.size() : end + 1;
    return field;
  }
  std::int32_t Integer() { return static_cast<std::int32_t>(std::stol(Next())); }
  double Real() { return std::strtod(Next().c_str(), nullptr); }
  // A Hollerith field; the byte after it (a delimiter) is passed over.
  std::string Hollerith() {
    SkipBlanks();
    const std::size_t h = text_.find('H', at_);
    const std::size_t count = std::stoul(std::string(text_.substr(at_, h - at_)));
    std::string bytes(text_.substr(h + 1, count));
    at_ = h + 1 + count + 1;
    return bytes;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() && text_[at_] == ' ') ++at_;
  }
  std::string_view text_;
  char delimiter_;
  std::size_t at_ = 0;
};

// The strings of a rebuilt note, as its parameter text holds them.
std::vector<WrittenString> StringsOf(const std::string& parameterText, char parameterDelimiter) {
  WrittenFields fields(parameterText, parameterDelimiter);
  EXPECT_EQ(fields.Next(), "212");
  const std::int32_t count = fields.Integer();
  std::vector<WrittenString> strings;
  for (std::int32_t s = 0; s < count; ++s) {
    WrittenString string;
    string.NC = fields.Integer();
    string.WT = fields.Real();
    string.HT = fields.Real();
    string.FC = fields.Integer();
    string.SL = fields.Real();
    string.A = fields.Real();
    string.M = fields.Integer();
    string.VH = fields.Integer();
    string.XS = fields.Real();
    string.YS = fields.Real();
    string.ZS = fields.Real();
    string.text = fields.Hollerith();
    strings.push_back(std::move(string));
  }
  return strings;
}

std::vector<std::string> Fails(const Handle(Interface_Check) & check) {
  std::vector<std::string> fails;
  for (int i = 1; i <= check->NbFails(); ++i) fails.push_back(check->CFail(i));
  return fails;
}

// A loaded file and the fail messages of each of its entities.
struct OcctLoad {
  // The reader owns the session that holds the model: it must live as long.
  std::unique_ptr<IGESControl_Reader> reader = std::make_unique<IGESControl_Reader>();
  bool loaded = false;
  Handle(IGESData_IGESModel) model;
  std::vector<std::string> globalFails;
  std::vector<std::vector<std::string>> entityFails;  // load (syntactic) and own check, per entity
};

OcctLoad LoadWithOcct(const std::string& path) {
  OcctLoad load;
  load.loaded = load.reader->ReadFile(path.c_str()) == IFSelect_RetDone;
  if (!load.loaded) return load;
  load.model = load.reader->IGESModel();
  load.globalFails = Fails(load.model->GlobalCheck(true));
  Interface_CheckTool tool(load.model);
  for (int i = 1; i <= load.model->NbEntities(); ++i) {
    std::vector<std::string> fails = Fails(load.model->Check(i, true));
    for (std::string& fail : Fails(tool.Check(i))) fails.push_back(std::move(fail));
    load.entityFails.push_back(std::move(fails));
  }
  return load;
}

struct Mode {
  const char* name;
  RunOptions options;
};

void PrintTo(const Mode& mode, std::ostream* out) { *out << mode.name; }

std::vector<Mode> Modes() {
  std::vector<Mode> modes;
  RunOptions jis;
  modes.push_back({"jis", jis});
  RunOptions jisKeepNegative = jis;
  jisKeepNegative.negativeWidthMode = NegativeWidthMode::kMinus;
  jisKeepNegative.jisFallback = JisFallback::kFFFF;
  modes.push_back({"jis_negative_kept", jisKeepNegative});
  RunOptions fullWidth;
  fullWidth.conversionMode = ConversionMode::kToFullWidth;
  modes.push_back({"fullwidth", fullWidth});
  RunOptions fullWidthQuote = fullWidth;
  fullWidthQuote.fullWidthFallback = FullWidthFallback::kQuote;
  fullWidthQuote.verticalToHorizontal = true;
  modes.push_back({"fullwidth_vertical_to_horizontal", fullWidthQuote});
  RunOptions verticalToHorizontal;
  verticalToHorizontal.conversionMode = ConversionMode::kNone;
  verticalToHorizontal.verticalToHorizontal = true;
  verticalToHorizontal.negativeWidthMode = NegativeWidthMode::kMinus;
  modes.push_back({"none_vertical_to_horizontal", verticalToHorizontal});
  RunOptions positiveWidth;
  positiveWidth.conversionMode = ConversionMode::kNone;
  positiveWidth.negativeWidthMode = NegativeWidthMode::kPlus;
  modes.push_back({"none_negative_made_positive", positiveWidth});
  RunOptions valueAfter;
  valueAfter.conversionMode = ConversionMode::kNone;
  valueAfter.negativeWidthMode = NegativeWidthMode::kMinus;
  valueAfter.verticalValueOutput = VerticalValue::kAfter;
  modes.push_back({"none_vertical_value_after", valueAfter});
  RunOptions valueExchanged = jis;
  valueExchanged.verticalValueInput = VerticalValue::kAfter;
  valueExchanged.verticalToHorizontal = true;
  modes.push_back({"jis_vertical_value_before_after", valueExchanged});
  return modes;
}

std::vector<testing::NamedFile> Fixtures() {
  std::vector<testing::NamedFile> fixtures = testing::NoteFixtures();
  fixtures.push_back({"drawing-sjis.igs", testing::ReadFile(NOTORA_SAMPLES_DIR "/drawing-sjis.igs")});
  return fixtures;
}

// What every string of a rebuilt note must be in `mode`, whatever notora's
// parser reads: checked on OpenCASCADE's reading.
void ExpectModeHolds(const Mode& mode, const IGESDimen_GeneralNote& note) {
  const RunOptions& options = mode.options;
  for (int s = 1; s <= note.NbStrings(); ++s) {
    SCOPED_TRACE("string " + std::to_string(s));
    const std::string text = note.Text(s)->ToCString();
    EXPECT_EQ(note.NbCharacters(s), static_cast<int>(text.size()));
    if (options.conversionMode == ConversionMode::kToJisCode) {
      for (char c : text) {
        EXPECT_LT(static_cast<unsigned char>(c), 0x80) << "Japanese text left";
      }
      if (note.FontCode(s) == kJisCodeFont) {
        EXPECT_EQ(text.size() % 4, 0u);
        for (char c : text) {
          EXPECT_TRUE(IsHexDigit(c)) << text;
        }
      }
    }
    if (options.conversionMode == ConversionMode::kToFullWidth) {
      EXPECT_NE(note.FontCode(s), kJisCodeFont);
    }
    if (options.verticalToHorizontal) {
      EXPECT_EQ(note.RotateFlag(s), 0);
    }
    if (options.negativeWidthMode == NegativeWidthMode::kPlus) {
      EXPECT_GT(note.BoxWidth(s), 0.0);
      EXPECT_GT(note.BoxHeight(s), 0.0);
    }
  }
}

class OcctLoadTest : public ::testing::TestWithParam<Mode> {};

TEST_P(OcctLoadTest, OutputsLoadWithTheirNotesAsWritten) {
  const Mode& mode = GetParam();
  int written = 0;
  for (const testing::NamedFile& fixture : Fixtures()) {
    SCOPED_TRACE(fixture.name);
    testing::TempDir dir;
    const std::string sourcePath = dir.File(fixture.name);
    testing::WriteFile(sourcePath, fixture.bytes);
    RunOptions options = mode.options;
    options.outputName = "out";
    testing::RecordingUi ui;
    const RunResult result = RunConversion(options, sourcePath, ui);
    ASSERT_NE(result.outcome, RunOutcome::kFailed) << ui.messages.front();
    if (result.outcome != RunOutcome::kWritten) continue;
    ++written;

    // What notora meant to write: the source read as the run read it.
    const testing::IgesReading intended = testing::ReadIgesBytes(fixture.bytes, &options);
    ASSERT_TRUE(intended.status.ok());

    const OcctLoad source = LoadWithOcct(sourcePath);
    const OcctLoad output = LoadWithOcct(result.outputPath);
    ASSERT_TRUE(source.loaded);
    ASSERT_TRUE(output.loaded);
    ASSERT_EQ(output.model->NbEntities(), static_cast<int>(intended.entities.size()));
    ASSERT_EQ(output.model->NbEntities(), source.model->NbEntities());
    EXPECT_EQ(output.globalFails, source.globalFails);

    int notesChecked = 0;
    for (int i = 1; i <= output.model->NbEntities(); ++i) {
      SCOPED_TRACE("entity " + std::to_string(i));
      const testing::EntityReading& entity = intended.entities[static_cast<std::size_t>(i) - 1];
      const Handle(IGESData_IGESEntity) loaded = output.model->Entity(i);
      ASSERT_FALSE(loaded.IsNull());
      EXPECT_EQ(loaded->TypeNumber(), entity.entityType);
      const std::vector<std::string>& fails = output.entityFails[static_cast<std::size_t>(i) - 1];
      if (!entity.changed) {
        EXPECT_EQ(fails, source.entityFails[static_cast<std::size_t>(i) - 1]);
        continue;
      }
      EXPECT_TRUE(fails.empty()) << fails.front();

      const auto note = Handle(IGESDimen_GeneralNote)::DownCast(loaded);
      ASSERT_FALSE(note.IsNull());
      const std::vector<WrittenString> strings =
          StringsOf(entity.parameterText, intended.scan.parameterDelimiter);
      ASSERT_EQ(note->NbStrings(), static_cast<int>(strings.size()));
      for (int s = 1; s <= note->NbStrings(); ++s) {
        SCOPED_TRACE("string " + std::to_string(s));
        const WrittenString& string = strings[static_cast<std::size_t>(s) - 1];
        EXPECT_EQ(note->NbCharacters(s), string.NC);
        EXPECT_EQ(note->BoxWidth(s), string.WT);
        EXPECT_EQ(note->BoxHeight(s), string.HT);
        EXPECT_FALSE(note->IsFontEntity(s));
        EXPECT_EQ(note->FontCode(s), string.FC);
        EXPECT_EQ(note->SlantAngle(s), string.SL);
        EXPECT_EQ(note->RotationAngle(s), string.A);
        EXPECT_EQ(note->MirrorFlag(s), string.M);
        EXPECT_EQ(note->RotateFlag(s), string.VH);
        EXPECT_EQ(note->StartPoint(s).X(), string.XS);
        EXPECT_EQ(note->StartPoint(s).Y(), string.YS);
        EXPECT_EQ(note->StartPoint(s).Z(), string.ZS);
        const Handle(TCollection_HAsciiString) text = note->Text(s);
        EXPECT_EQ(std::string(text->ToCString(), static_cast<std::size_t>(text->Length())), string.text);
      }
      ExpectModeHolds(mode, *note);
      ++notesChecked;
    }
    EXPECT_GT(notesChecked, 0);
  }
  // Every mode converts some fixture.
  EXPECT_GT(written, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, OcctLoadTest, ::testing::ValuesIn(Modes()),
                         [](const ::testing::TestParamInfo<Mode>& info) { return info.param.name; });

// Every fixture is converted by some mode, so none goes unloaded.
TEST(OcctFixturesTest, EveryFixtureIsWrittenInSomeMode) {
  for (const testing::NamedFile& fixture : Fixtures()) {
    bool written = false;
    for (const Mode& mode : Modes()) {
      RunOptions options = mode.options;
      options.outputName = "out";
      written = written || testing::ReadIgesBytes(fixture.bytes, &options).counters.convertedEntities > 0;
    }
    EXPECT_TRUE(written) << fixture.name;
  }
}

// `bytes` converted under `options` in a folder of its own, and the output
// as OpenCASCADE loads it; not loaded when the run wrote nothing.
OcctLoad ConvertAndLoad(const std::string& bytes, RunOptions options) {
  testing::TempDir dir;
  const std::string sourcePath = dir.File("drawing.igs");
  testing::WriteFile(sourcePath, bytes);
  options.outputName = "out";
  testing::RecordingUi ui;
  const RunResult result = RunConversion(options, sourcePath, ui);
  EXPECT_EQ(result.outcome, RunOutcome::kWritten) << ui.messages.front();
  if (result.outcome != RunOutcome::kWritten) return OcctLoad();
  return LoadWithOcct(result.outputPath);
}

std::string TextOf(const Handle(TCollection_HAsciiString) & text) {
  return text.IsNull() ? std::string()
                       : std::string(text->ToCString(), static_cast<std::size_t>(text->Length()));
}

// A drawing with Japanese in every place a text stands, carried from one
// encoding into another: OpenCASCADE reads the output without a fail, and
// its Name property and Global strings hold the characters of the source in
// the output's bytes. (It reads labels with bytes past ASCII unreliably:
// those are checked by notora's own reading.)
TEST(OcctWholeDrawingTest, EveryTextReadsBackInTheOutputEncoding) {
  const TextEncoding pairs[][2] = {{TextEncoding::kUtf8, TextEncoding::kShiftJis},
                                   {TextEncoding::kShiftJis, TextEncoding::kEucJp},
                                   {TextEncoding::kEucJp, TextEncoding::kUtf8}};
  for (const auto& pair : pairs) {
    const TextEncoding to = pair[1];
    SCOPED_TRACE(std::string(EncodingDisplayName(pair[0])) + " to " +
                 std::string(EncodingDisplayName(to)));
    RunOptions options;
    options.conversionMode = ConversionMode::kNone;
    options.negativeWidthMode = NegativeWidthMode::kMinus;
    options.sourceEncoding = pair[0];
    options.outputEncoding = to;
    const OcctLoad output = ConvertAndLoad(testing::DrawingWithEveryText(pair[0]), options);
    ASSERT_TRUE(output.loaded);
    EXPECT_EQ(output.globalFails, std::vector<std::string>());
    const IGESData_GlobalSection& global = output.model->GlobalSection();
    EXPECT_EQ(TextOf(global.FileName()), testing::In(to, "図面-001.igs"));
    EXPECT_EQ(TextOf(global.AuthorName()), testing::In(to, "山田太郎"));
    EXPECT_EQ(TextOf(global.CompanyName()), testing::In(to, "株式会社ノトラ設計部第一設計課"));
    ASSERT_EQ(output.model->NbEntities(), 4);
    // The note's character count follows its bytes in the output (in the
    // source it counts characters, which OpenCASCADE reports).
    for (const std::vector<std::string>& fails : output.entityFails) {
      EXPECT_EQ(fails, std::vector<std::string>());
    }
    const auto name = Handle(IGESBasic_Name)::DownCast(output.model->Entity(2));
    ASSERT_FALSE(name.IsNull());
    EXPECT_EQ(TextOf(name->Value()), testing::In(to, "穴位置"));
  }
}

// A note built like a CADDS note, with a back pointer to a group and a
// Name property, converted in every mode keeping its pointers: OpenCASCADE
// reads the rebuilt note without a fail, and its associativity and property
// are the entities the source's were.
TEST(OcctPointersTest, ANoteKeepsItsBackPointerAndPropertyInEveryMode) {
  for (const char* mode : {"jis", "fullwidth", "none -v"}) {
    SCOPED_TRACE(mode);
    RunOptions options;
    options.keepPointers = true;
    if (std::string(mode) == "fullwidth") options.conversionMode = ConversionMode::kToFullWidth;
    if (std::string(mode) == "none -v") {
      options.conversionMode = ConversionMode::kNone;
      options.verticalToHorizontal = true;
    }
    const OcctLoad output = ConvertAndLoad(testing::DrawingWithPointers(",1,3,1,5;"), options);
    ASSERT_TRUE(output.loaded);
    EXPECT_EQ(output.entityFails[0], std::vector<std::string>());
    const Handle(IGESData_IGESEntity) note = output.model->Entity(1);
    const auto numbers = [&](Interface_EntityIterator entities) {
      std::vector<int> found;
      for (entities.Start(); entities.More(); entities.Next()) {
        found.push_back(output.model->Number(entities.Value()));
      }
      return found;
    };
    EXPECT_EQ(numbers(note->Associativities()), std::vector<int>{2});
    EXPECT_EQ(numbers(note->Properties()), std::vector<int>{3});
  }
}

}  // namespace
}  // namespace notora
