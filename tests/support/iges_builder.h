// Builders that lay out exact 80-column IGES records, so that test files can
// be read in the test source.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform.h"

namespace notora::testing {

// One record: `data` padded with blanks (or cut) to 72 columns, the section
// letter in column 73 and `sequence` right-aligned in columns 74-80. No line
// end.
std::string Rec(std::string_view data, char letter, std::int64_t sequence);

// A P record: 64 columns of `data` (padded), a blank, `directoryPointer` in
// columns 66-72, "P" and `sequence`.
std::string PRec(std::string_view data, std::int64_t directoryPointer, std::int64_t sequence);

// The two D records of one entity, joined by a line feed (none at the end).
std::string DRecs(std::int64_t type, std::int64_t pointer, std::int64_t lineCount,
                  std::int64_t firstSequence, std::int64_t form = 0);

// Records joined with a line end (a line feed unless told) after each.
std::string Lines(const std::vector<std::string>& records, LineEnd lineEnd = LineEnd::kLf);

// `text` with a carriage return before every line feed.
std::string WithCrLf(std::string_view text);

// A whole IGES file made of entities; pointers, line counts and the
// Terminate record are worked out.
class IgesFile {
 public:
  IgesFile();
  // Replaces the Start section (one record per string).
  IgesFile& Start(std::vector<std::string> records);
  // Replaces the Global section's text; it is cut into records of 72 columns.
  IgesFile& Global(std::string text);
  // Adds an entity whose parameter text is `text`, cut into 64-column P
  // records (the last one padded with blanks).
  IgesFile& Entity(std::int64_t type, std::string_view text, std::int64_t form = 0);
  // Adds an entity whose P records hold `lines` (each padded to 64 columns).
  IgesFile& EntityLines(std::int64_t type, std::vector<std::string> lines, std::int64_t form = 0);
  // A copy in which the text of every entity added with Entity is
  // rewrite(type, text), cut into records anew.
  IgesFile WithEntityTexts(
      const std::function<std::string(std::int64_t type, std::string_view text)>& rewrite) const;

  // The file's records, each without its line end.
  std::vector<std::string> Records() const;
  // The file with a line end (a line feed unless told) after every record.
  std::string Build(LineEnd lineEnd = LineEnd::kLf) const;

 private:
  struct EntityData {
    std::int64_t type;
    std::int64_t form;
    std::vector<std::string> lines;
    std::string text;  // as given to Entity (empty for EntityLines)
  };
  std::vector<std::string> start_;
  std::string global_;
  std::vector<EntityData> entities_;
};

// Pads `text` with blanks to a multiple of 64 bytes (at least 64).
std::string PadTo64(std::string_view text);

// Reads a whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes `bytes` to `path`, replacing it.
void WriteFile(const std::string& path, std::string_view bytes);

// A fresh empty directory for one test, removed with the object.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

}  // namespace notora::testing
