// IGES files with General Notes of every kind notora converts: Shift-JIS
// kanji and half-width katakana, JIS-code notation (font 2001), vertical
// strings, negative widths, long and many-string notes, other delimiters and
// CR LF line ends; and files whose numbers claim far more than they hold.
// The seed corpus of the fuzzers and the OpenCASCADE suite are made from them.
#pragma once

#include <string>
#include <vector>

namespace notora::testing {

struct NamedFile {
  std::string name;   // a file name, ".igs" included
  std::string bytes;
};

// Valid files, each with notes that at least one option set converts.
std::vector<NamedFile> NoteFixtures();

// Files whose counts claim millions of entries, line counts of 99999999,
// Hollerith counts of 2147483647 and 25-digit numbers in every field, and
// one whose notes grow the most that a conversion can make them grow.
std::vector<NamedFile> BoundsFiles();

// A drawing built like a CADDS note: entity 1 is a General Note of three
// strings (Shift-JIS 漢字, JIS-code 漢字 and vertical 縦書き, so that every
// mode rebuilds it) followed by `tail` (from the delimiter after the last
// string on); entity 2 (D 3) is a group associativity (402 form 7) that
// points to it, entity 3 (D 5) a Name property (406 form 15) and entity 4
// (D 7) an underscore property (406 form 34).
std::string DrawingWithPointers(const std::string& tail);

}  // namespace notora::testing
