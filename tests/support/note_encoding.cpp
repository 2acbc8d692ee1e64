#include "tests/support/note_encoding.h"

#include <cstdint>
#include <vector>

#include "iges/record_format.h"
#include "note/general_note.h"
#include "note/text_encoding.h"
#include "run/conversion_run.h"
#include "iges/memory_file_system.h"
#include "tests/support/recording_ui.h"

namespace notora::testing {
namespace {

// Where the TEXT of every string of a note lies in its parameter text.
class TextPlaces : public NoteObserver {
 public:
  struct Place {
    std::size_t start = 0;
    std::size_t length = 0;
  };

  void OnNoteString(const ParameterEntity& entity, std::int32_t, std::int32_t,
                    const NoteString& asRead, std::string_view text) override {
    if (asRead.FC == kJisCodeFont) return;
    places.push_back({static_cast<std::size_t>(text.data() - entity.parameterText.data()),
                      text.size()});
  }

  std::vector<Place> places;
};

}  // namespace

std::string ReencodeNoteTexts(std::string_view parameterText, TextEncoding encoding) {
  RunOptions options;
  options.zeroColumnsIsError = false;
  RunCounters counters;
  GeneralNoteConverter parser(options, counters, ',', ';');
  TextPlaces places;
  parser.SetObserver(&places);
  parser.SetTextHandling(TextHandling::kFieldsOnly);
  ParameterEntity entity;
  const std::string padded = PadTo64(parameterText);
  entity.parameterText = padded;
  entity.parameterLineCount = static_cast<std::int32_t>(padded.size() / 64);
  entity.lastRecordNumber = entity.parameterLineCount;
  RebuiltNote unused;
  static_cast<void>(parser.HandleGeneralNote(entity, &unused));

  std::string out;
  std::size_t copied = 0;
  for (const TextPlaces::Place& place : places.places) {
    // The Hollerith count: the digits before the "H" in front of TEXT.
    std::size_t countStart = place.start - 1;
    while (countStart > copied && parameterText[countStart - 1] >= '0' &&
           parameterText[countStart - 1] <= '9') {
      --countStart;
    }
    std::string text;
    std::int64_t unconvertible = 0;
    FromCp932(parameterText.substr(place.start, place.length), encoding,
              kIdeographicSpaceCode, &text, &unconvertible);
    out.append(parameterText.substr(copied, countStart - copied));
    out += std::to_string(text.size()) + "H" + text;
    copied = place.start + place.length;
  }
  out.append(parameterText.substr(copied));
  return out;
}

IgesFile ReencodeNotes(const IgesFile& file, TextEncoding encoding) {
  return file.WithEntityTexts([encoding](std::int64_t type, std::string_view text) {
    return type == 212 ? ReencodeNoteTexts(text, encoding) : std::string(text);
  });
}

std::string ReencodeDrawing(const std::string& bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::kShiftJis) return bytes;
  MemoryFileSystem files;
  files.AddFile("/in/drawing.igs", bytes);
  RunOptions options;
  options.conversionMode = ConversionMode::kNone;
  options.negativeWidthMode = NegativeWidthMode::kMinus;
  options.zeroColumnsIsError = false;
  options.outputEncoding = encoding;
  options.outputName = "twin";
  RecordingUi ui;
  if (RunConversion(options, "/in/drawing.igs", ui, files).outcome != RunOutcome::kWritten) {
    return bytes;
  }
  return files.Find("/in/twin.igs")->bytes;
}

std::string In(TextEncoding encoding, std::string_view utf8) {
  std::string out;
  std::int64_t unconvertible = 0;
  TranscodeText(utf8, TextEncoding::kUtf8, encoding, kIdeographicSpaceCode, &out, &unconvertible);
  return out;
}

std::string Hollerith(std::string_view bytes) {
  return std::to_string(bytes.size()) + "H" + std::string(bytes);
}

std::string WithLabel(std::vector<std::string> records, std::size_t k, std::string_view label) {
  std::size_t at = 0;
  while (records[at][72] != 'D') ++at;
  std::string& second = records[at + 2 * k - 1];
  second.replace(56, 8, std::string(8 - label.size(), ' ') + std::string(label));
  std::string bytes;
  for (const std::string& record : records) bytes += record + "\n";
  return bytes;
}

std::string DrawingWithEveryText(TextEncoding e) {
  const std::string global =
      "1H,,1H;," + Hollerith(In(e, "製品")) + "," + Hollerith(In(e, "図面-001.igs")) +
      ",4Hsys1,3H1.0,32,38,6,308,15,4Hpart,1.0,2,2HMM,1,0.5,15H20261210.120000,1.0E-6,"
      "1000.0," +
      Hollerith(In(e, "山田太郎")) + "," + Hollerith(In(e, "株式会社ノトラ設計部第一設計課")) +
      ",11,0,15H20261210.120000;";
  IgesFile file;
  file.Start({In(e, "日本語の図面 テスト"), "plain start text"})
      .Global(global)
      .Entity(212, "212,1,3,10.,5.,1,0.,0.,0,0,0.,0.,0.," + Hollerith(In(e, "注記ア")) + ";")
      .Entity(406, "406,1," + Hollerith(In(e, "穴位置")) + ";", 15)
      .Entity(406, "406,2,1," + Hollerith(In(e, "外形線")) + ";", 3)
      .Entity(110, "110,0.,0.,0.,10.,10.,0.;");
  std::string labelled = WithLabel(file.Records(), 1, In(e, "注記"));
  std::vector<std::string> records;
  for (std::size_t at = 0; at < labelled.size(); at += 81) records.push_back(labelled.substr(at, 80));
  return WithLabel(records, 4, In(e, "線分"));
}

}  // namespace notora::testing
