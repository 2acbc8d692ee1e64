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

  int written = 0;
  for (const NamedFile& file : files) {
    for (const auto& [name, options] : OptionSets()) {
      const std::string header = EncodeRequestHeader(options);
      if (!Write(conversionDir + "/" + file.name + "." + name, header + file.bytes)) return 1;
      ++written;
    }
    const IgesReading reading = ReadIgesBytes(file.bytes, nullptr);
    int note = 0;
    for (const EntityReading& entity : reading.entities) {
      if (entity.entityType != 212) continue;
      std::string header = EncodeRequestHeader(OptionSets()[note % 5].second);
      header[2] = reading.scan.parameterDelimiter;
      header[3] = reading.scan.recordDelimiter;
      const std::string path = noteDir + "/" + file.name + ".note" + std::to_string(++note);
      if (!Write(path, header + entity.parameterText)) return 1;
      ++written;
    }
  }
  std::printf("%d seed files written\n", written);
  return 0;
}
