#include "tests/support/iges_builder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "base/utf8_path.h"

namespace notora::testing {
namespace {

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text.substr(0, width));
  out.resize(width, ' ');
  return out;
}

std::string RightAligned(std::int64_t value, int width) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%*lld", width, static_cast<long long>(value));
  return buffer;
}

}  // namespace

std::string Rec(std::string_view data, char letter, std::int64_t sequence) {
  return Padded(data, 72) + letter + RightAligned(sequence, 7);
}

std::string PRec(std::string_view data, std::int64_t directoryPointer, std::int64_t sequence) {
  return Padded(data, 64) + " " + RightAligned(directoryPointer, 7) + "P" + RightAligned(sequence, 7);
}

std::string DRecs(std::int64_t type, std::int64_t pointer, std::int64_t lineCount,
                  std::int64_t firstSequence, std::int64_t form) {
  std::string first = RightAligned(type, 8) + RightAligned(pointer, 8) +
                      "       0       0       0       0       0        00000000";
  std::string second = RightAligned(type, 8) + "       0       0" + RightAligned(lineCount, 8) +
                       RightAligned(form, 8) + "                        0";
  return Rec(first, 'D', firstSequence) + "\n" + Rec(second, 'D', firstSequence + 1);
}

std::string WithCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 80);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string Lines(const std::vector<std::string>& records, LineEnd lineEnd) {
  std::string out;
  for (const std::string& record : records) out.append(record).append(LineEndText(lineEnd));
  return out;
}

std::string PadTo64(std::string_view text) {
  std::string out(text);
  std::size_t size = out.empty() ? 64 : (out.size() + 63) / 64 * 64;
  out.resize(size, ' ');
  return out;
}

namespace {

// `text` padded with blanks and cut into records of 64 columns.
std::vector<std::string> CutInto64(std::string_view text) {
  std::vector<std::string> lines;
  const std::string padded = PadTo64(text);
  for (std::size_t at = 0; at < padded.size(); at += 64) lines.push_back(padded.substr(at, 64));
  return lines;
}

}  // namespace

IgesFile::IgesFile()
    : start_({"notora test file"}),
      global_("1H,,1H;,4Htest,8Htest.igs,6Hnotora,6Hnotora,32,38,6,308,15,4Htest,1.,2,2HMM,1,"
              "0.01,15H20261208.120000,0.001,100.,6Hnotora,6Hnotora,11,0;") {}

IgesFile& IgesFile::Start(std::vector<std::string> records) {
  start_ = std::move(records);
  return *this;
}

IgesFile& IgesFile::Global(std::string text) {
  global_ = std::move(text);
  return *this;
}

IgesFile& IgesFile::Entity(std::int64_t type, std::string_view text, std::int64_t form) {
  EntityLines(type, CutInto64(text), form);
  entities_.back().text = text;
  return *this;
}

IgesFile IgesFile::WithEntityTexts(
    const std::function<std::string(std::int64_t type, std::string_view text)>& rewrite) const {
  IgesFile copy = *this;
  for (EntityData& entity : copy.entities_) {
    if (entity.text.empty()) continue;
    entity.text = rewrite(entity.type, entity.text);
    entity.lines = CutInto64(entity.text);
  }
  return copy;
}

IgesFile& IgesFile::EntityLines(std::int64_t type, std::vector<std::string> lines,
                                std::int64_t form) {
  entities_.push_back({type, form, std::move(lines), {}});
  return *this;
}

std::vector<std::string> IgesFile::Records() const {
  std::vector<std::string> records;
  for (std::size_t i = 0; i < start_.size(); ++i) records.push_back(Rec(start_[i], 'S', i + 1));
  std::int64_t globalCount = 0;
  for (std::size_t at = 0; at < global_.size(); at += 72) {
    records.push_back(Rec(global_.substr(at, 72), 'G', ++globalCount));
  }
  std::int64_t pointer = 1;
  std::int64_t sequence = 1;
  for (const EntityData& entity : entities_) {
    const auto count = static_cast<std::int64_t>(entity.lines.size());
    std::string pair = DRecs(entity.type, pointer, count, sequence, entity.form);
    records.push_back(pair.substr(0, 80));
    records.push_back(pair.substr(81));
    pointer += count;
    sequence += 2;
  }
  std::int64_t parameterCount = 0;
  for (std::size_t e = 0; e < entities_.size(); ++e) {
    for (const std::string& line : entities_[e].lines) {
      records.push_back(PRec(line, 2 * static_cast<std::int64_t>(e) + 1, ++parameterCount));
    }
  }
  char terminate[81];
  std::snprintf(terminate, sizeof terminate, "S%7zuG%7lldD%7lldP%7lld", start_.size(),
                static_cast<long long>(globalCount),
                static_cast<long long>(2 * entities_.size()),
                static_cast<long long>(parameterCount));
  records.push_back(Rec(terminate, 'T', 1));
  return records;
}

std::string IgesFile::Build(LineEnd lineEnd) const { return Lines(Records(), lineEnd); }

std::string ReadFile(const std::string& path) {
  std::ifstream in(PathOf(path), std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(PathOf(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

TempDir::TempDir() {
  // A name nobody holds yet, taken by creating it: create_directory is false
  // for a directory that already stands there.
  std::error_code error;
  const std::filesystem::path base = std::filesystem::temp_directory_path(error);
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "notora-test-%08x", static_cast<unsigned>(random()));
    const std::filesystem::path candidate = base / name;
    if (std::filesystem::create_directory(candidate, error)) path_ = Utf8Of(candidate);
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace notora::testing
