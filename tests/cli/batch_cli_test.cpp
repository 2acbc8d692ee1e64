// notora-cli batch: many sources, each converted as `convert` converts it,
// never over a file, with a summary and one exit status for all.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "base/utf8_path.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::CliRun;

class BatchTest : public testing::CliTest {
 protected:
  void Write(const std::string& name, const std::string& bytes) { Source(name, bytes); }
  bool Exists(const std::string& name) const {
    return std::filesystem::exists(dir_.File(name));
  }
};

std::string NoteFile(const std::string& text) {
  return testing::IgesFile()
      .Entity(212, "212,1,1,1.,1.,1,0.,0.,0,0,0.,0.,0.,2H" + text + ";")
      .Build();
}
const std::string kKan = "\x8a\xbf";  // 漢
const std::string kJi = "\x8e\x9a";   // 字

std::string PlainFile() { return testing::IgesFile().Entity(110, "110,0.,0.,0.,1.,1.,1.;").Build(); }
std::string FaultyFile() {
  return testing::IgesFile().Entity(212, "212,1,6,1.,1.,2001,0.,0.,0,0,0.,0.,0.,6H34413b;").Build();
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

// "<prefix>" before every line of `text`.
std::string Prefixed(const std::string& prefix, const std::string& text) {
  std::string out;
  for (const std::string& line : LinesOf(text)) out += prefix + line + "\n";
  return out;
}

// The summary rows by file: the cells of each row, split where two or more
// blanks stand.
std::map<std::string, std::vector<std::string>> SummaryRows(const std::string& out) {
  std::map<std::string, std::vector<std::string>> rows;
  bool inTable = false;
  for (const std::string& line : LinesOf(out)) {
    if (line.rfind("FILE", 0) == 0) {
      inTable = true;
      continue;
    }
    if (!inTable) continue;
    std::vector<std::string> cells;
    std::size_t at = 0;
    while (at < line.size()) {
      std::size_t end = line.find("  ", at);
      if (end == std::string::npos) end = line.size();
      cells.push_back(line.substr(at, end - at));
      at = line.find_first_not_of(' ', end);
      if (at == std::string::npos) break;
    }
    if (cells.size() == 5) rows[cells[0]] = cells;
  }
  return rows;
}

TEST_F(BatchTest, EachFileAsASingleConversionAndNothingOverwritten) {
  Write("good.igs", NoteFile(kKan));
  Write("plain.igs", PlainFile());
  Write("bad.igs", FaultyFile());
  Write("taken.igs", NoteFile(kKan));
  Write("taken-jis.igs", "mine");
  Write("twin.igs", NoteFile(kKan));
  Write("twin.iges", NoteFile(kJi));
  const CliRun expectedBad = Cli({"convert", "bad.igs", "x"});
  const CliRun expectedTaken = Cli({"convert", "taken.igs", "taken-jis"});
  const CliRun expectedGood = Cli({"convert", "good.igs", "single"});
  ASSERT_EQ(expectedGood.exitStatus, 0);

  const CliRun run = Cli({"batch", "--suffix", "-jis", "-j", "2", "good.igs", "plain.igs",
                          "bad.igs", "taken.igs", "twin.igs", "twin.iges"});
  EXPECT_EQ(run.exitStatus, 2);

  // Written beside the source, as the single conversion writes it.
  EXPECT_EQ(testing::ReadFile(dir_.File("good-jis.igs")), testing::ReadFile(dir_.File("single.igs")));
  EXPECT_FALSE(Exists("plain-jis.igs"));
  EXPECT_FALSE(Exists("bad-jis.igs"));
  EXPECT_EQ(testing::ReadFile(dir_.File("taken-jis.igs")), "mine");
  // Of two sources with one output name, the first on the line is converted.
  EXPECT_NE(testing::ReadFile(dir_.File("twin-jis.igs")).find("4H3441"), std::string::npos);

  // The messages of each run, every line named after its source.
  EXPECT_NE(run.err.find(Prefixed("bad.igs: ", expectedBad.err)), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(Prefixed("taken.igs: ", expectedTaken.err)), std::string::npos);
  EXPECT_NE(run.err.find("twin.iges: not converted: twin.igs has the same output"),
            std::string::npos);
  EXPECT_NE(run.out.find(Prefixed("good.igs: ", expectedGood.out)), std::string::npos) << run.out;
  for (const std::string& line : LinesOf(run.err)) {
    EXPECT_TRUE(line.rfind("bad.igs: ", 0) == 0 || line.rfind("taken.igs: ", 0) == 0 ||
                line.rfind("twin.iges: ", 0) == 0)
        << line;
  }

  const auto rows = SummaryRows(run.out);
  ASSERT_EQ(rows.size(), 6u) << run.out;
  EXPECT_EQ(rows.at("good.igs")[1], "written");
  EXPECT_EQ(rows.at("good.igs")[2], "1");
  // The whole path, written with the system's separators.
  EXPECT_EQ(PathOf(rows.at("good.igs")[4]), PathOf(dir_.File("good-jis.igs")).lexically_normal());
  EXPECT_EQ(rows.at("plain.igs")[1], "nothing to convert");
  EXPECT_EQ(rows.at("plain.igs")[2], "0");
  EXPECT_EQ(rows.at("bad.igs")[1], "failed");
  EXPECT_EQ(rows.at("bad.igs")[2], "-");
  EXPECT_EQ(rows.at("taken.igs")[1], "failed");
  EXPECT_EQ(rows.at("twin.igs")[1], "written");
  EXPECT_EQ(rows.at("twin.iges")[1], "failed");
  EXPECT_NE(run.out.find("6 files: 2 written, 1 nothing to convert, 3 failed\n"),
            std::string::npos);
}

TEST_F(BatchTest, SucceedsWhenEveryFileWasWrittenOrHadNothingToConvert) {
  Write("a.igs", NoteFile(kKan));
  Write("b.igs", NoteFile(kJi));
  Write("plain.igs", PlainFile());
  std::filesystem::create_directory(dir_.File("sub"));
  Write("sub/c.IGES", NoteFile(kJi));
  CliRun run = Cli({"batch", "-m", "jis", "--suffix", "_j", "a.igs", "b.igs", "plain.igs",
                    "sub/c.IGES"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_TRUE(Exists("a_j.igs"));
  EXPECT_NE(testing::ReadFile(dir_.File("b_j.igs")).find("4H3b7a"), std::string::npos);
  EXPECT_TRUE(Exists("sub/c_j.igs"));
  EXPECT_FALSE(Exists("plain_j.igs"));

  // Again: every output stands now, so every conversion is refused and no
  // file changes.
  const std::string before = testing::ReadFile(dir_.File("a_j.igs"));
  run = Cli({"batch", "--suffix", "_j", "-j", "1", "a.igs", "b.igs", "sub/c.IGES"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(testing::ReadFile(dir_.File("a_j.igs")), before);
  EXPECT_NE(run.out.find("3 files: 0 written, 0 nothing to convert, 3 failed"), std::string::npos);
}

TEST_F(BatchTest, UsageErrorsExitSixtyFour) {
  EXPECT_EQ(Cli({"batch", "a.igs"}).exitStatus, 64);                       // no suffix
  EXPECT_EQ(Cli({"batch", "--suffix", "-x"}).exitStatus, 64);              // no source
  EXPECT_EQ(Cli({"batch", "--suffix", "-x", "-j", "0", "a.igs"}).exitStatus, 64);
}

}  // namespace
}  // namespace notora
