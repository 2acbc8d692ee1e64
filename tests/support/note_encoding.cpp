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

}  // namespace notora::testing
