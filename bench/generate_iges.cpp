// notora-generate-iges: writes a large, valid IGES file for benchmarks.
//
//   notora-generate-iges [--seed N] [--size SIZE] [--profile mixed|note-dense|growth]
//                        [--notes SHARE] [--japanese SHARE] [--quiet] OUTPUT
//
// SIZE is a byte count with an optional decimal unit (10M, 1G). The profile
// sets the mix of entities (and, for note-dense and growth, the two shares; --notes and
// --japanese given after it override them). OUTPUT "-"
// writes to standard output. A summary of what the file holds goes to
// standard error as "name value" lines unless --quiet is given.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "bench/iges_generator.h"

namespace {

int Usage() {
  std::fputs(
      "usage: notora-generate-iges [--seed N] [--size SIZE] [--profile P] [--notes SHARE] [--japanese SHARE]\n"
      "                            [--reverse] [--quiet] OUTPUT\n"
      "  --seed N          seed of the deterministic sequence (default 1)\n"
      "  --size SIZE       target size, e.g. 10M, 100M, 1G (decimal units; default 10M)\n"
      "  --profile P       mixed (default: geometry with 7% notes), note-dense (short\n"
      "                    geometry, about 22,000 notes per 100 MB, most of them Japanese)\n"
      "                    or growth (a third of the entities vertical notes of 300 to\n"
      "                    1,000 characters, which -v makes about 30 times larger)\n"
      "  --notes SHARE     share of entities that are General Notes (default 0.07)\n"
      "  --japanese SHARE  share of General Notes with Japanese text (default 0.5)\n"
      "  --reverse         the Parameter Data section in the reverse of the entries' order\n"
      "  OUTPUT            file to write, or - for standard output\n",
      stderr);
  return 64;
}

bool ParseShare(const char* text, double* share) {
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  if (end == text || *end != '\0' || !(value >= 0.0 && value <= 1.0)) return false;
  *share = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  notora::bench::GeneratorOptions options;
  bool quiet = false;
  const char* output = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--seed" && hasValue) {
      char* end = nullptr;
      options.seed = std::strtoull(argv[++i], &end, 10);
      if (*end != '\0') return Usage();
    } else if (arg == "--size" && hasValue) {
      if (!notora::bench::ParseSize(argv[++i], &options.targetBytes)) return Usage();
    } else if (arg == "--profile" && hasValue) {
      const std::string profile = argv[++i];
      if (profile == "mixed") {
        notora::bench::ApplyProfile(notora::bench::GeneratorProfile::kMixed, &options);
      } else if (profile == "note-dense") {
        notora::bench::ApplyProfile(notora::bench::GeneratorProfile::kNoteDense, &options);
      } else if (profile == "growth") {
        notora::bench::ApplyProfile(notora::bench::GeneratorProfile::kGrowth, &options);
      } else {
        return Usage();
      }
    } else if (arg == "--notes" && hasValue) {
      if (!ParseShare(argv[++i], &options.noteShare)) return Usage();
    } else if (arg == "--japanese" && hasValue) {
      if (!ParseShare(argv[++i], &options.japaneseShare)) return Usage();
    } else if (arg == "--reverse") {
      options.reverseParameters = true;
    } else if (arg == "--quiet" || arg == "-q") {
      quiet = true;
    } else if (arg == "-h" || arg == "--help") {
      Usage();
      return 0;
    } else if (!output && (arg == "-" || arg[0] != '-')) {
      output = argv[i];
    } else {
      return Usage();
    }
  }
  if (!output) return Usage();

  std::FILE* file = std::strcmp(output, "-") == 0 ? stdout : std::fopen(output, "wb");
  if (!file) {
    std::fprintf(stderr, "notora-generate-iges: cannot open %s: %s\n", output, std::strerror(errno));
    return 2;
  }
  notora::bench::GeneratorSummary s;
  try {
    s = notora::bench::GenerateIges(options, [file](const char* data, std::size_t size) {
      return std::fwrite(data, 1, size, file) == size;
    });
  } catch (const std::exception& e) {
    std::fprintf(stderr, "notora-generate-iges: %s\n", e.what());
    if (file != stdout) std::fclose(file);
    return 2;
  }
  if ((file == stdout ? std::fflush(file) : std::fclose(file)) != 0) {
    std::fprintf(stderr, "notora-generate-iges: cannot write %s: %s\n", output, std::strerror(errno));
    return 2;
  }
  if (!quiet) {
    std::fprintf(stderr,
                 "bytes %llu\nrecords S %llu G %llu D %llu P %llu\nentities %llu\n"
                 "by_type 100:%llu 110:%llu 116:%llu 124:%llu 126:%llu 212:%llu\n"
                 "notes %llu\njapanese_notes %llu\nnote_strings %llu\nshift_jis_strings %llu\n"
                 "half_width_strings %llu\njis_code_strings %llu\nvertical_strings %llu\n"
                 "negative_width_strings %llu\n",
                 static_cast<unsigned long long>(s.bytes), static_cast<unsigned long long>(s.startRecords),
                 static_cast<unsigned long long>(s.globalRecords), static_cast<unsigned long long>(s.directoryRecords),
                 static_cast<unsigned long long>(s.parameterRecords), static_cast<unsigned long long>(s.entities),
                 static_cast<unsigned long long>(s.entitiesByType[0]),
                 static_cast<unsigned long long>(s.entitiesByType[1]),
                 static_cast<unsigned long long>(s.entitiesByType[2]),
                 static_cast<unsigned long long>(s.entitiesByType[3]),
                 static_cast<unsigned long long>(s.entitiesByType[4]), static_cast<unsigned long long>(s.notes),
                 static_cast<unsigned long long>(s.notes), static_cast<unsigned long long>(s.japaneseNotes),
                 static_cast<unsigned long long>(s.noteStrings), static_cast<unsigned long long>(s.shiftJisStrings),
                 static_cast<unsigned long long>(s.halfWidthStrings),
                 static_cast<unsigned long long>(s.jisCodeStrings),
                 static_cast<unsigned long long>(s.verticalStrings),
                 static_cast<unsigned long long>(s.negativeWidthStrings));
  }
  return 0;
}
