// notora-cli inspect: every General Note, as a table and as
// JSON lines, and its faults.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/cli/cli_runner.h"
#include "tests/cli/json_reader.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_fixtures.h"

namespace notora {
namespace {

using testing::CliRun;

class InspectTest : public testing::CliTest {};

// Shift-JIS 図面ABC漢字, half-width ｶﾀｶﾅﾃｽ, JIS-code 漢字 and vertical 縦書き
// (turned a quarter), with a plain line among them, and the Name property
// 穴位置 after them.
std::string FourNotes() {
  return testing::IgesFile()
      .Start({"four notes"})
      .Global("1H,,1H;,4Hpart,8Hnote.igs;")
      .Entity(212, "212,1,7,35.,10.,1,0.,0.,0,0,10.,20.,0.,11H\x90\x7d\x96\xca" "ABC\x8a\xbf\x8e\x9a;")
      .Entity(110, "110,0.,0.,0.,100.,0.,0.;")
      .Entity(212, "212,1,6,30.,8.,1,0.,0.,0,0,10.,40.,0.,6H\xb6\xc0\xb6\xc5\xc3\xbd;")
      .Entity(212, "212,1,2,10.,5.,2001,0.,0.,0,0,10.,60.,0.,8H34413b7a;")
      .Entity(212, "212,2,3,30.,10.,1,0.,1.5707963267948966,0,1,80.,80.,0.,6H\x8f\x63\x8f\x91\x82\xab,"
                   "1,-2.5,1.,1,0.7,0.,2,0,-1.,-2.,0.,1HX;")
      .Entity(406, "406,1,6H\x8c\x8a\x88\xca\x92\x75;", 15)
      .Build();
}

TEST_F(InspectTest, ListsEveryStringInAnAlignedTableWithTheCounters) {
  Source("drawing.igs", FourNotes());
  const CliRun run = Cli({"inspect", "drawing.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "ENTRY  D  STRING  NC    WT  HT    FC   SL                   A  M  VH  XS  YS  ZS  TEXT\n"
            "    1  1     1/1   7    35  10     1    0                   0  0   0  10  20   0  図面ABC漢字\n"
            "    3  5     1/1   6    30   8     1    0                   0  0   0  10  40   0  ｶﾀｶﾅﾃｽ\n"
            "    4  7     1/1   2    10   5  2001    0                   0  0   0  10  60   0  漢字\n"
            "    5  9     1/2   3    30  10     1    0  1.5707963267948966  0   1  80  80   0  縦書き\n"
            "    5  9     2/2   1  -2.5   1     1  0.7                   0  2   0  -1  -2   0  X\n"
            "\n"
            "PLACE       TEXT\n"
            "S 1         four notes\n"
            "G 1         ,\n"
            "G 2         ;\n"
            "G 3         part\n"
            "G 4         note.igs\n"
            "D 11 406 2  穴位置\n"
            "\n"
            "4 General Notes, 5 strings\n"
            "漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 4\n"
            "変換前JISｺｰﾄﾞ要素数 1\n"
            "変換前縦書き要素数 1\n"
            "変換前文字幅ﾏｲﾅｽ要素数 1\n"
            "変換不可文字数 0\n");
  // Nothing is written beside the source.
  EXPECT_EQ(testing::ReadFile(dir_.File("drawing.igs")), FourNotes());
}

TEST_F(InspectTest, JsonGivesOneParsableObjectPerNoteAndTheCounters) {
  Source("drawing.igs", FourNotes());
  const CliRun run = Cli({"inspect", "--json", "drawing.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  std::vector<testing::JsonValue> lines;
  std::istringstream stream(run.out);
  for (std::string line; std::getline(stream, line);) {
    testing::JsonValue value;
    std::string error;
    ASSERT_TRUE(testing::ParseJson(line, &value, &error)) << error << ": " << line;
    lines.push_back(value);
  }
  ASSERT_EQ(lines.size(), 11u);

  const std::vector<std::string> texts = {"図面ABC漢字", "ｶﾀｶﾅﾃｽ", "漢字", "縦書き"};
  const std::vector<int> entries = {1, 3, 4, 5};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(lines[i]["entry"].number, entries[i]);
    EXPECT_EQ(lines[i]["d"].number, entries[i] * 2 - 1);
    EXPECT_EQ(lines[i]["strings"][0]["text"].string, texts[i]);
  }
  EXPECT_EQ(lines[0].keys, (std::vector<std::string>{"entry", "d", "NS", "strings"}));
  const testing::JsonValue& vertical = lines[3]["strings"][0];
  EXPECT_EQ(vertical.keys, (std::vector<std::string>{"string", "NC", "WT", "HT", "FC", "SL", "A",
                                                     "M", "VH", "XS", "YS", "ZS", "text"}));
  EXPECT_EQ(vertical["VH"].number, 1);
  EXPECT_EQ(vertical["A"].number, 1.5707963267948966);
  EXPECT_EQ(vertical["XS"].number, 80);
  EXPECT_EQ(lines[3]["NS"].number, 2);
  const testing::JsonValue& second = lines[3]["strings"][1];
  EXPECT_EQ(second["string"].number, 2);
  EXPECT_EQ(second["WT"].number, -2.5);
  EXPECT_EQ(second["SL"].number, 0.7);
  EXPECT_EQ(second["M"].number, 2);
  EXPECT_EQ(second["YS"].number, -2);
  EXPECT_EQ(lines[2]["strings"][0]["FC"].number, 2001);
  EXPECT_EQ(lines[1]["strings"][0]["HT"].number, 8);

  // The other texts, each with its place, after the notes.
  EXPECT_EQ(lines[4]["place"].string, "start");
  EXPECT_EQ(lines[4]["record"].number, 1);
  EXPECT_EQ(lines[8]["place"].string, "global");
  EXPECT_EQ(lines[8]["field"].number, 4);
  EXPECT_EQ(lines[8]["text"].string, "note.igs");
  const testing::JsonValue& name = lines[9];
  EXPECT_EQ(name.keys, (std::vector<std::string>{"place", "entry", "d", "type", "field", "text"}));
  EXPECT_EQ(name["d"].number, 11);
  EXPECT_EQ(name["type"].number, 406);
  EXPECT_EQ(name["text"].string, "穴位置");

  const testing::JsonValue& counters = lines[10]["counters"];
  EXPECT_EQ(counters["generalNotes"].number, 4);
  EXPECT_EQ(counters["strings"].number, 5);
  EXPECT_EQ(counters["kanjiEntities"].number, 4);
  EXPECT_EQ(counters["jisCodeElements"].number, 1);
  EXPECT_EQ(counters["verticalElements"].number, 1);
  EXPECT_EQ(counters["negativeWidthElements"].number, 1);
  EXPECT_EQ(counters["directoryRecords"].number, 12);
}

TEST_F(InspectTest, UndecodableTextShowsReplacementCharacters) {
  Source("odd.igs", testing::IgesFile()
                        .Entity(212, "212,1,3,3.,1.,1,0.,0.,0,0,0.,0.,0.,3HA\x85\x40;")
                        .Entity(212, "212,1,2,2.,1.,2001,0.,0.,0,0,0.,0.,0.,8HFFFF3441;")
                        .Build());
  const CliRun run = Cli({"inspect", "--json", "odd.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("\"text\":\"A\uFFFD\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\"text\":\"\uFFFD漢\""), std::string::npos) << run.out;
}

TEST_F(InspectTest, AFaultyFileStopsWithTheMessageOfAConversion) {
  Source("bad.igs",
         testing::IgesFile().Entity(212, "212,1,6,1.,1.,2001,0.,0.,0,0,0.,0.,0.,6H34413b;").Build());
  const CliRun convert = Cli({"convert", "bad.igs", "out"});
  const CliRun inspect = Cli({"inspect", "bad.igs"});
  EXPECT_EQ(convert.exitStatus, 2);
  EXPECT_EQ(inspect.exitStatus, 2);
  EXPECT_EQ(inspect.out, "");
  EXPECT_NE(inspect.err, "");
  EXPECT_EQ(inspect.err, convert.err);
  EXPECT_EQ(Cli({"inspect", "--json", "bad.igs"}).err, convert.err);

  const CliRun missing = Cli({"inspect", "missing.igs"});
  EXPECT_EQ(missing.exitStatus, 2);
  EXPECT_EQ(missing.err, Cli({"convert", "missing.igs", "out"}).err);
}

TEST_F(InspectTest, ZeroColumnsNeedTheFlagAndUsageErrorsExitSixtyFour) {
  Source("empty.igs", testing::IgesFile().Entity(212, "212,0;").Build());
  EXPECT_EQ(Cli({"inspect", "empty.igs"}).exitStatus, 2);
  // With the flag, a note without strings is listed as such.
  const CliRun allowed = Cli({"inspect", "--allow-zero-columns", "empty.igs"});
  EXPECT_EQ(allowed.exitStatus, 0);
  EXPECT_EQ(allowed.out.substr(0, allowed.out.find("\n\n") + 2),
            "ENTRY  D  STRING  NC  WT  HT  FC  SL  A  M  VH  XS  YS  ZS  TEXT\n"
            "    1  1     -/0\n\n");
  EXPECT_NE(allowed.out.find("1 General Notes, 0 strings\n"), std::string::npos);
  EXPECT_EQ(Cli({"inspect", "--json", "--allow-zero-columns", "empty.igs"}).out.substr(0, 38),
            "{\"entry\":1,\"d\":1,\"NS\":0,\"strings\":[]}\n");
  Source("plain.igs", testing::IgesFile().Entity(110, "110,0.,0.,0.,1.,1.,1.;").Build());
  EXPECT_EQ(Cli({"inspect", "--allow-zero-columns", "plain.igs"}).out.substr(0, 18),
            "No General Notes.\n");
  EXPECT_EQ(Cli({"inspect"}).exitStatus, 64);
  EXPECT_EQ(Cli({"inspect", "a.igs", "b.igs"}).exitStatus, 64);
}

TEST_F(InspectTest, ANotesPointersAreListedWithWhatTheyLeadTo) {
  Source("pointers.igs", testing::DrawingWithPointers(",1,3,2,5,7;"));
  const CliRun run = Cli({"inspect", "pointers.igs"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(run.out.find("ENTRY  D  BACK       PROPERTIES\n"
                         "    1  1  3 (402/7)  5 (406/15), 7 (406/34)\n"),
            std::string::npos)
      << run.out;
  const CliRun json = Cli({"inspect", "--json", "pointers.igs"});
  EXPECT_NE(json.out.find("\"backPointers\":[{\"d\":3,\"type\":402,\"form\":7}],"
                          "\"properties\":[{\"d\":5,\"type\":406,\"form\":15},"
                          "{\"d\":7,\"type\":406,\"form\":34}]}"),
            std::string::npos)
      << json.out;
  // Converting it needs --keep-pointers, and under -v the underscore stops it.
  EXPECT_EQ(Cli({"convert", "pointers.igs", "a"}).exitStatus, 2);
  EXPECT_EQ(Cli({"convert", "--keep-pointers", "pointers.igs", "b"}).exitStatus, 0);
  const CliRun vertical =
      Cli({"convert", "--keep-pointers", "-m", "none", "-v", "pointers.igs", "c"});
  EXPECT_EQ(vertical.exitStatus, 2);
  EXPECT_NE(vertical.err.find("ﾃﾞｨﾚｸﾄﾘ番号7のﾌﾟﾛﾊﾟﾃｨ"), std::string::npos) << vertical.err;
}

}  // namespace
}  // namespace notora
