// Generator of large, valid IGES files for benchmarking notora.
//
// The output is deterministic from the seed and the target size: the same
// options give the same bytes on every machine (the random numbers come
// from our own generator, never from <random> distributions, whose results
// differ between standard libraries).
//
// What a file holds: a Start section, a Global section with the default
// delimiters "," and ";", one Directory Entry pair per entity, the entities'
// Parameter Data and a Terminate record; every record is 80 columns and a
// line feed. Most entities are geometry (110 line, 100 arc, 116 point,
// 124 transformation matrix, 126 B-spline curve); a share of them are
// General Notes (212), about half of those with Japanese text: Shift-JIS
// kanji and kana, half-width katakana, JIS-code notation (font 2001), some
// written vertically and some with a negative box width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace notora::bench {

// The mix of entities a file holds.
enum class GeneratorProfile {
  // Geometry of every kind, B-spline curves of many records among it; 7% of
  // the entities are General Notes, half of them Japanese.
  kMixed,
  // A drawing dense in notes: short geometry (lines, arcs, points), so that
  // the Directory Entry section is close to half the file, and about 22,000
  // General Notes per 100 MB, most of them Japanese (about 60% of the notes
  // are changed by a conversion to JIS code). The note and Japanese shares
  // below are taken from the profile.
  kNoteDense,
  // A drawing whose notes grow most when converted: a third of the
  // entities are General Notes of one vertical string of 300 to 1,000
  // Shift-JIS characters each, which `-v` makes one block per character
  // (about 30 times the note's bytes). Short geometry between them.
  kGrowth,
};

struct GeneratorOptions {
  std::uint64_t seed = 1;
  GeneratorProfile profile = GeneratorProfile::kMixed;
  // The file grows entity by entity until it holds at least this many bytes.
  std::uint64_t targetBytes = 10'000'000;
  // Share of the entities that are General Notes.
  double noteShare = 0.07;
  // Share of the General Notes that hold Japanese text.
  double japaneseShare = 0.5;
  // The Parameter Data section in the reverse of the entries' order: the
  // last entity's records first. (A reader that writes the entities in the
  // entries' order holds every one of them until the first comes, at the
  // end.)
  bool reverseParameters = false;
};

struct GeneratorSummary {
  std::uint64_t bytes = 0;
  std::uint64_t startRecords = 0;
  std::uint64_t globalRecords = 0;
  std::uint64_t directoryRecords = 0;
  std::uint64_t parameterRecords = 0;
  std::uint64_t entities = 0;
  std::uint64_t entitiesByType[5] = {};  // 100, 110, 116, 124, 126
  std::uint64_t notes = 0;
  std::uint64_t japaneseNotes = 0;
  std::uint64_t noteStrings = 0;
  std::uint64_t shiftJisStrings = 0;    // holding two-byte characters
  std::uint64_t halfWidthStrings = 0;   // holding half-width katakana
  std::uint64_t jisCodeStrings = 0;     // font 2001
  std::uint64_t verticalStrings = 0;    // VH 1
  std::uint64_t negativeWidthStrings = 0;
};

// Receives the file in chunks, in order; returns false to stop with an error.
using ChunkSink = std::function<bool(const char* data, std::size_t size)>;

// Writes one complete file through `sink`. Throws std::runtime_error when
// the sink fails or when the target needs more records than the 7-column
// sequence numbers can count.
GeneratorSummary GenerateIges(const GeneratorOptions& options, const ChunkSink& sink);

// The whole file in memory (for small targets and microbenchmarks).
std::string GenerateIgesString(const GeneratorOptions& options, GeneratorSummary* summary = nullptr);

// Applies the shares of `profile` to `*options` (kNoteDense and kGrowth set
// the note and Japanese shares; kMixed leaves them).
void ApplyProfile(GeneratorProfile profile, GeneratorOptions* options);

// "10M", "1G", "512K", "12345" (decimal units: K = 1e3, M = 1e6, G = 1e9).
// Returns false when the text is not such a size.
bool ParseSize(const std::string& text, std::uint64_t* bytes);

}  // namespace notora::bench
