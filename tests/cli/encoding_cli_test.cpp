// notora-cli with note text in EUC-JP and UTF-8 and with chosen line ends:
// convert, batch, inspect (and its encoding guess) and preview take the
// options to the run.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/platform.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_encoding.h"

namespace notora {
namespace {

using testing::CliRun;
using testing::IgesFile;
using testing::WithCrLf;

class EncodingCliTest : public testing::CliTest {
 protected:
  std::string Output(const std::string& name) { return testing::ReadFile(dir_.File(name)); }
};

// 図面ABC漢字 and half-width ｶﾀｶﾅ beside a JIS-code note and a line.
IgesFile Drawing() {
  IgesFile file;
  file.Entity(212, "212,1,11,35.,10.,1,0.,0.,0,0,10.,20.,0.,11H\x90\x7d\x96\xca" "ABC\x8a\xbf\x8e\x9a;")
      .Entity(110, "110,0.,0.,0.,100.,0.,0.;")
      .Entity(212, "212,1,4,30.,8.,1,0.,0.,0,0,10.,40.,0.,4H\xb6\xc0\xb6\xc5;")
      .Entity(212, "212,1,2,10.,5.,2001,0.,0.,0,0,10.,60.,0.,8H34413b7a;");
  return file;
}


TEST_F(EncodingCliTest, ConvertAndBatchReadAndWriteEveryEncoding) {
  Source("sjis.igs", Drawing().Build());
  Source("utf8.igs", testing::ReencodeNotes(Drawing(), TextEncoding::kUtf8).Build());
  Source("euc.igs", testing::ReencodeNotes(Drawing(), TextEncoding::kEucJp).Build());
  ASSERT_EQ(Cli({"convert", "sjis.igs", "jis"}).exitStatus, 0);
  const std::string jis = Output("jis.igs");

  // The twins converted to JIS code give the Shift-JIS drawing's file.
  CliRun run = Cli({"convert", "--source-encoding", "utf-8", "utf8.igs", "jis-from-utf8"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(Output("jis-from-utf8.igs"), jis);
  run = Cli({"batch", "--source-encoding", "euc-jp", "--suffix", "-jis", "euc.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(Output("euc-jis.igs"), jis);

  // Text alone moved from UTF-8 to Shift-JIS, then from Shift-JIS to EUC-JP
  // and back: the notes read the same all the way.
  run = Cli({"convert", "--source-encoding", "utf-8", "-m", "none", "--output-encoding",
             "shift_jis", "utf8.igs", "back"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  run = Cli({"convert", "-m", "none", "--output-encoding", "euc-jp", "back.igs", "euc-again"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string listing = Cli({"inspect", "--json", "sjis.igs"}).out;
  EXPECT_EQ(Cli({"inspect", "--json", "back.igs"}).out.substr(0, 200), listing.substr(0, 200));
  const CliRun euc = Cli({"inspect", "--json", "--source-encoding", "euc-jp", "euc-again.igs"});
  EXPECT_NE(euc.out.find("\"text\":\"図面ABC漢字\""), std::string::npos) << euc.out;
  EXPECT_NE(euc.out.find("\"text\":\"ｶﾀｶﾅ\""), std::string::npos) << euc.out;
  EXPECT_EQ(euc.out.find("invalid"), std::string::npos) << euc.out;
}

TEST_F(EncodingCliTest, LineEndsAsAsked) {
  Source("lf.igs", Drawing().Build());
  Source("crlf.igs", WithCrLf(Drawing().Build()));
  ASSERT_EQ(Cli({"convert", "--line-end", "lf", "lf.igs", "today"}).exitStatus, 0);
  const std::string today = Output("today.igs");
  ASSERT_EQ(Cli({"convert", "--line-end", "crlf", "lf.igs", "crlf-out"}).exitStatus, 0);
  EXPECT_EQ(Output("crlf-out.igs"), WithCrLf(today));
  ASSERT_EQ(Cli({"convert", "--line-end", "source", "crlf.igs", "as-source"}).exitStatus, 0);
  EXPECT_EQ(Output("as-source.igs"), WithCrLf(today));
  ASSERT_EQ(Cli({"convert", "crlf.igs", "platform"}).exitStatus, 0);
  EXPECT_EQ(Output("platform.igs"), PlatformLineEnd() == LineEnd::kCrLf ? WithCrLf(today) : today);
  ASSERT_EQ(Cli({"batch", "--line-end", "crlf", "--suffix", "-b", "lf.igs"}).exitStatus, 0);
  EXPECT_EQ(Output("lf-b.igs"), WithCrLf(today));
}

TEST_F(EncodingCliTest, InvalidSequencesAreFaultsOfAConversionAndMarksOfAnInspection) {
  const std::string bad =
      IgesFile().Entity(212, "212,1,3,3.,2.,1,0.,0.,0,0,0.,0.,0.,3HA\xC0\xAF;").Build();
  Source("bad.igs", bad);
  CliRun run = Cli({"convert", "--source-encoding", "utf-8", "bad.igs", "never"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の文字記述が文字ｺｰﾄﾞ UTF-8 として不良です。\n変換は出来ません。\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("never.igs")));

  run = Cli({"inspect", "--source-encoding", "utf-8", "bad.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("A\uFFFD\uFFFD  [invalid utf-8]\n"), std::string::npos) << run.out;
  run = Cli({"inspect", "--json", "--source-encoding", "utf-8", "bad.igs"});
  EXPECT_NE(run.out.find("\"text\":\"A\uFFFD\uFFFD\",\"invalid\":true"), std::string::npos)
      << run.out;
  // Read as Shift-JIS the same bytes are a character of their own.
  EXPECT_EQ(Cli({"inspect", "--json", "bad.igs"}).out.find("invalid"), std::string::npos);
}

TEST_F(EncodingCliTest, GuessNamesTheEncodingEveryNoteReadsIn) {
  const std::string note = "212,1,1,1.,1.,1,0.,0.,0,0,0.,0.,0.,";
  struct Case {
    std::string name;
    std::string bytes;
    std::string verdict;
  };
  const std::vector<Case> cases = {
      {"sjis.igs", Drawing().Build(), "shift_jis\n"},
      {"euc.igs", testing::ReencodeNotes(Drawing(), TextEncoding::kEucJp).Build(), "euc-jp\n"},
      {"utf8.igs", testing::ReencodeNotes(Drawing(), TextEncoding::kUtf8).Build(), "utf-8\n"},
      {"ascii.igs",
       IgesFile().Entity(212, note + "3HABC;").Entity(212, note + "4H3441;").Build(), "ascii\n"},
      // Two half-width bytes: ｱｲ in Shift-JIS, one kanji (渦) in EUC-JP.
      {"both.igs", IgesFile().Entity(212, note + "2H\xb1\xb2;").Build(),
       "ambiguous\ncandidates: shift_jis euc-jp\n"},
      // One note in UTF-8 (あ), one in Shift-JIS (漢A).
      {"mixed.igs",
       IgesFile().Entity(212, note + "3H\xe3\x81\x82;").Entity(212, note + "3H\x8a\xbf" "A;").Build(),
       "none\n"},
      // ASCII notes; the author in the Global section (あ) and a Name
      // property (漢) in UTF-8 decide.
      {"texts.igs",
       IgesFile()
           .Global("1H,,1H;,4Hpart,3H\xe3\x81\x82;")
           .Entity(212, note + "3HABC;")
           .Entity(406, "406,1,3H\xe6\xbc\xa2;", 15)
           .Build(),
       "utf-8\n"},
      // The same author, with a Start text in Shift-JIS (漢).
      {"texts-mixed.igs",
       IgesFile()
           .Start({"\x8a\xbf"})
           .Global("1H,,1H;,4Hpart,3H\xe3\x81\x82;")
           .Entity(212, note + "3HABC;")
           .Build(),
       "none\n"}};
  for (const Case& c : cases) {
    Source(c.name, c.bytes);
    const CliRun run = Cli({"inspect", "--guess-encoding", c.name});
    EXPECT_EQ(run.exitStatus, 0) << c.name << run.err;
    EXPECT_EQ(run.out, c.verdict) << c.name;
  }
  EXPECT_EQ(Cli({"inspect", "--guess-encoding", "--json", "both.igs"}).out,
            "{\"encoding\":\"ambiguous\",\"candidates\":[\"shift_jis\",\"euc-jp\"]}\n");
  // Guessing reads the fields with the checks of a conversion.
  Source("faulty.igs", IgesFile().Entity(212, "212,1,0,1.,1.,1,0.,0.,0,0,0.,0.,0.,1HA;").Build());
  const CliRun faulty = Cli({"inspect", "--guess-encoding", "faulty.igs"});
  EXPECT_EQ(faulty.exitStatus, 2);
  EXPECT_EQ(faulty.err, Cli({"convert", "faulty.igs", "x"}).err);
}

TEST_F(EncodingCliTest, PreviewReadsTheConvertedNotesInTheirEncoding) {
  Source("utf8.igs", testing::ReencodeNotes(Drawing(), TextEncoding::kUtf8).Build());
  const CliRun run = Cli({"preview", "--source-encoding", "utf-8", "--output-encoding", "euc-jp",
                          "-m", "none", "utf8.igs", "-o", "notes.svg"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  const std::string svg = Output("notes.svg");
  EXPECT_NE(svg.find("--output-encoding euc-jp"), std::string::npos);
  // Both the notes as read and as converted show their text.
  const std::size_t first = svg.find("図面ABC漢字");
  ASSERT_NE(first, std::string::npos);
  EXPECT_NE(svg.find("図面ABC漢字", first + 1), std::string::npos);
  EXPECT_EQ(svg.find("\uFFFD"), std::string::npos);
}

TEST_F(EncodingCliTest, UnknownEncodingsAndLineEndsAreUsageErrors) {
  Source("a.igs", Drawing().Build());
  EXPECT_EQ(Cli({"convert", "--source-encoding", "latin-1", "a.igs", "x"}).exitStatus, 64);
  EXPECT_EQ(Cli({"convert", "--output-encoding", "sjis", "a.igs", "x"}).exitStatus, 64);
  EXPECT_EQ(Cli({"batch", "--line-end", "cr", "--suffix", "x", "a.igs"}).exitStatus, 64);
  EXPECT_EQ(Cli({"inspect", "--source-encoding", "ascii", "a.igs"}).exitStatus, 64);
  // A picture has no records to end.
  EXPECT_EQ(Cli({"preview", "--line-end", "lf", "a.igs", "-o", "p.svg"}).exitStatus, 64);
}

}  // namespace
}  // namespace notora
