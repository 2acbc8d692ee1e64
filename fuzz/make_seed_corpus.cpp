// Writes the seed corpora of both fuzzers from the note fixtures and the
// bounds files: every file under several option sets for the conversion
// fuzzer, every General Note's parameter text for the note fuzzer.
//   make_seed_corpus CONVERSION_DIR NOTE_DIR
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/conversion_check.h"
#include "tests/support/iges_reading.h"
#include "tests/support/note_encoding.h"
#include "tests/support/note_fixtures.h"

namespace {

using namespace notora;
using namespace notora::testing;

std::vector<std::pair<std::string, RunOptions>> OptionSets() {
  std::vector<std::pair<std::string, RunOptions>> sets;
  RunOptions jis;
  sets.push_back({"jis", jis});
  RunOptions fullWidth;
  fullWidth.conversionMode = ConversionMode::kToFullWidth;
  fullWidth.fullWidthFallback = FullWidthFallback::kQuote;
  sets.push_back({"fullwidth", fullWidth});
  RunOptions vertical;
  vertical.conversionMode = ConversionMode::kNone;
  vertical.verticalToHorizontal = true;
  vertical.negativeWidthMode = NegativeWidthMode::kMinus;
  sets.push_back({"vertical", vertical});
  RunOptions exchange;
  exchange.verticalValueInput = VerticalValue::kAfter;
  exchange.verticalToHorizontal = true;
  exchange.jisFallback = JisFallback::kFFFF;
  exchange.zeroColumnsIsError = false;
  sets.push_back({"exchange", exchange});
  RunOptions negative;
  negative.conversionMode = ConversionMode::kNone;
  negative.verticalValueOutput = VerticalValue::kAfter;
  negative.negativeWidthMode = NegativeWidthMode::kPlus;
  sets.push_back({"negative", negative});
  // The files' twins in EUC-JP and UTF-8, and text moved between encodings.
  RunOptions utf8;
  utf8.sourceEncoding = notora::TextEncoding::kUtf8;
  utf8.outputLineEnd = notora::LineEnd::kCrLf;
  sets.push_back({"utf8", utf8});
  RunOptions eucJp;
  eucJp.conversionMode = notora::ConversionMode::kToFullWidth;
  eucJp.sourceEncoding = notora::TextEncoding::kEucJp;
  eucJp.outputEncoding = notora::TextEncoding::kUtf8;
  eucJp.fullWidthFallback = notora::FullWidthFallback::kQuote;
  sets.push_back({"eucjp", eucJp});
  RunOptions toEucJp;
  toEucJp.conversionMode = notora::ConversionMode::kNone;
  toEucJp.verticalToHorizontal = true;
  toEucJp.outputEncoding = notora::TextEncoding::kEucJp;
  toEucJp.lineEndFromSource = true;
  sets.push_back({"to-eucjp", toEucJp});
  RunOptions pointers;
  pointers.keepPointers = true;
  pointers.verticalToHorizontal = true;
  sets.push_back({"pointers", pointers});
  return sets;
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s CONVERSION_DIR NOTE_DIR\n", argv[0]);
    return 64;
  }
  const std::string conversionDir = argv[1];
  const std::string noteDir = argv[2];
  std::vector<NamedFile> files = NoteFixtures();
  for (NamedFile& file : BoundsFiles()) files.push_back(std::move(file));

  // A drawing with Japanese in every place a text stands (its twins, as
  // every file's, carry all of it into their encoding).
  files.push_back({"every-text.igs", DrawingWithEveryText(TextEncoding::kShiftJis)});
  // Notes with back pointers and properties after their strings.
  files.push_back({"pointers.igs", DrawingWithPointers(",1,3,1,5;")});
  files.push_back({"ranges.igs", DrawingWithPointers(",0,2,5,7;")});

  int written = 0;
  const auto sets = OptionSets();
  for (const NamedFile& file : files) {
    for (const auto& [name, options] : sets) {
      const std::string header = EncodeRequestHeader(options);
      const std::string source = ReencodeDrawing(file.bytes, options.sourceEncoding);
      if (!Write(conversionDir + "/" + file.name + "." + name, header + source)) return 1;
      ++written;
    }
    // Every note's parameter text: those of the Shift-JIS file under the
    // first five sets in turn, those of each twin under its own set.
    int note = 0;
    const auto writeNotes = [&](const std::string& bytes, auto pickSet) {
      const IgesReading reading = ReadIgesBytes(bytes, nullptr);
      for (const EntityReading& entity : reading.entities) {
        if (entity.entityType != 212) continue;
        std::string header = EncodeRequestHeader(pickSet());
        header[2] = reading.scan.parameterDelimiter;
        header[3] = reading.scan.recordDelimiter;
        const std::string path = noteDir + "/" + file.name + ".note" + std::to_string(++note);
        if (!Write(path, header + entity.parameterText)) return false;
        ++written;
      }
      return true;
    };
    if (!writeNotes(file.bytes, [&] { return sets[note % 5].second; })) return 1;
    for (std::size_t set = 5; set < sets.size(); ++set) {
      const RunOptions& options = sets[set].second;
      if (options.sourceEncoding == notora::TextEncoding::kShiftJis) continue;
      if (!writeNotes(ReencodeDrawing(file.bytes, options.sourceEncoding),
                      [&] { return options; })) {
        return 1;
      }
    }
  }
  std::printf("%d seed files written\n", written);
  return 0;
}
