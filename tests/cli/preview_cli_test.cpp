// notora-cli preview: the SVG picture read back as XML, its text elements
// where the notes' fields put them.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>

#include "tests/cli/cli_runner.h"
#include "tests/cli/xml_reader.h"
#include "tests/support/iges_builder.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

using testing::CliRun;
using testing::XmlElement;

constexpr double kPi = 3.14159265358979323846;

// ABC at (10,20); DEF turned a quarter at (50,20); 縦書き written down from
// (80,60), a column 30 long and 10 wide; GHI mirrored across at (40,70).
std::string SmallDrawing() {
  return testing::IgesFile()
      .Entity(212, "212,1,3,30.,10.,1,0.,0.,0,0,10.,20.,0.,3HABC;")
      .Entity(212, "212,1,3,30.,10.,1,0.,1.5707963267948966,0,0,50.,20.,0.,3HDEF;")
      .Entity(212, "212,1,3,30.,10.,1,0.,0.,0,1,80.,60.,0.,6H\x8f\x63\x8f\x91\x82\xab;")
      .Entity(212, "212,1,3,30.,10.,1,0.,0.,1,0,40.,70.,0.,3HGHI;")
      .Build();
}

struct Matrix {
  std::array<double, 6> m{};  // a b c d e f
  double a() const { return m[0]; }
  double b() const { return m[1]; }
  double e() const { return m[4]; }
  double f() const { return m[5]; }
  // The turn of the text on the picture, in degrees (y down: clockwise).
  double degrees() const { return std::atan2(m[1], m[0]) * 180.0 / kPi; }
};

Matrix ParseMatrix(const std::string& transform) {
  Matrix matrix;
  EXPECT_EQ(std::sscanf(transform.c_str(), "matrix(%lf %lf %lf %lf %lf %lf)", &matrix.m[0],
                        &matrix.m[1], &matrix.m[2], &matrix.m[3], &matrix.m[4], &matrix.m[5]),
            6)
      << transform;
  return matrix;
}

double Number(const XmlElement& element, const std::string& name) {
  return std::stod(element.Attribute(name));
}

class PreviewTest : public testing::CliTest {
 protected:
  // Runs preview with `args` and parses the picture it wrote.
  void Draw(const std::vector<std::string>& args, XmlElement* svg) {
    std::vector<std::string> all = {"preview", "drawing.igs", "-o", "picture.svg"};
    all.insert(all.end(), args.begin(), args.end());
    const CliRun run = Cli(all);
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    std::string error;
    ASSERT_TRUE(testing::ParseXml(testing::ReadFile(dir_.File("picture.svg")), svg, &error))
        << error;
    std::filesystem::remove(dir_.File("picture.svg"));
  }

  static std::vector<const XmlElement*> Notes(const XmlElement& svg, const std::string& kind) {
    std::vector<const XmlElement*> notes;
    for (const XmlElement* text : svg.FindAll("text")) {
      if (text->Attribute("class") == "note " + kind) notes.push_back(text);
    }
    return notes;
  }
};

TEST_F(PreviewTest, EveryStringIsATextElementAtItsStartPoint) {
  Source("drawing.igs", SmallDrawing());
  XmlElement svg;
  Draw({}, &svg);
  EXPECT_EQ(svg.name, "svg");
  EXPECT_EQ(svg.Attribute("xmlns"), "http://www.w3.org/2000/svg");
  EXPECT_NE(svg.Attribute("font-family").find("IPAGothic"), std::string::npos);

  const std::vector<const XmlElement*> notes = Notes(svg, "original");
  ASSERT_EQ(notes.size(), 4u);
  EXPECT_TRUE(Notes(svg, "converted").empty());
  EXPECT_EQ(svg.FindAll("polygon").size(), 4u);  // one box each
  EXPECT_EQ(svg.FindAll("circle").size(), 4u);   // one start point each

  const Matrix abc = ParseMatrix(notes[0]->Attribute("transform"));
  const Matrix def = ParseMatrix(notes[1]->Attribute("transform"));
  const Matrix column = ParseMatrix(notes[2]->Attribute("transform"));
  const Matrix ghi = ParseMatrix(notes[3]->Attribute("transform"));
  EXPECT_EQ(notes[0]->AllText(), "ABC");
  EXPECT_EQ(notes[0]->Attribute("data-d"), "1");
  EXPECT_EQ(notes[3]->Attribute("data-entry"), "4");

  // The scale from ABC and DEF (40 units apart on one base line); every
  // other start point must agree with it, y running down the picture.
  const double scale = (def.e() - abc.e()) / 40.0;
  ASSERT_GT(scale, 0.0);
  EXPECT_NEAR(def.f(), abc.f(), 1e-3);
  EXPECT_NEAR(column.e() - abc.e(), 70.0 * scale, 2e-3);
  EXPECT_NEAR(column.f() - abc.f(), -40.0 * scale, 2e-3);
  EXPECT_NEAR(ghi.e() - abc.e(), 30.0 * scale, 2e-3);
  EXPECT_NEAR(ghi.f() - abc.f(), -50.0 * scale, 2e-3);
  EXPECT_GT(std::stod(svg.Attribute("width")), column.e());

  // Turns: none, a quarter counter-clockwise (on a y-down picture -90
  // degrees), none; the mirrored string runs backwards.
  EXPECT_NEAR(abc.degrees(), 0.0, 1e-6);
  EXPECT_NEAR(def.degrees(), -90.0, 1e-6);
  EXPECT_NEAR(column.degrees(), 0.0, 1e-6);
  EXPECT_NEAR(ghi.a(), -1.0, 1e-6);

  // The box: the text is HT high and stretched to WT.
  EXPECT_NEAR(Number(*notes[0], "font-size"), 10.0 * scale, 2e-3);
  EXPECT_NEAR(Number(*notes[0], "textLength"), 30.0 * scale, 2e-3);

  // The vertical string: one character a cell, top to bottom.
  ASSERT_EQ(notes[2]->children.size(), 3u);
  const std::vector<std::string> characters = {"縦", "書", "き"};
  for (std::size_t i = 0; i < 3; ++i) {
    const XmlElement& tspan = notes[2]->children[i];
    EXPECT_EQ(tspan.name, "tspan");
    EXPECT_EQ(tspan.text, characters[i]);
    EXPECT_NEAR(Number(tspan, "x"), 5.0 * scale, 2e-3);
    if (i > 0) {
      EXPECT_NEAR(Number(tspan, "y") - Number(notes[2]->children[i - 1], "y"), 10.0 * scale, 2e-3);
    }
  }
}

TEST_F(PreviewTest, ConversionOptionsAddTheConvertedNotesBesideOrOver) {
  Source("drawing.igs", SmallDrawing());
  XmlElement beside;
  Draw({"-m", "none", "-v"}, &beside);
  const std::vector<const XmlElement*> original = Notes(beside, "original");
  const std::vector<const XmlElement*> converted = Notes(beside, "converted");
  ASSERT_EQ(original.size(), 4u);
  // The vertical string became one horizontal block per character.
  ASSERT_EQ(converted.size(), 6u);
  EXPECT_EQ(converted[2]->AllText(), "縦");
  EXPECT_EQ(converted[4]->AllText(), "き");
  EXPECT_EQ(converted[2]->Attribute("data-d"), "5");
  // Beside: the same picture of the notes, shifted right by one panel.
  const Matrix readAbc = ParseMatrix(original[0]->Attribute("transform"));
  const Matrix convertedAbc = ParseMatrix(converted[0]->Attribute("transform"));
  EXPECT_GT(convertedAbc.e(), readAbc.e());
  EXPECT_NEAR(convertedAbc.f(), readAbc.f(), 1e-3);
  const double shift = convertedAbc.e() - readAbc.e();
  const double scale = (ParseMatrix(original[1]->Attribute("transform")).e() - readAbc.e()) / 40.0;
  // Block i of the column starts i cells (10 units) below the start point.
  const Matrix firstBlock = ParseMatrix(converted[2]->Attribute("transform"));
  const Matrix thirdBlock = ParseMatrix(converted[4]->Attribute("transform"));
  const Matrix column = ParseMatrix(original[2]->Attribute("transform"));
  EXPECT_NEAR(firstBlock.e() - shift, column.e(), 2e-3);
  EXPECT_NEAR(firstBlock.f(), column.f(), 2e-3);
  EXPECT_NEAR(thirdBlock.f() - firstBlock.f(), 20.0 * scale, 2e-3);

  XmlElement overlay;
  Draw({"-m", "none", "-v", "--overlay"}, &overlay);
  const std::vector<const XmlElement*> over = Notes(overlay, "converted");
  ASSERT_EQ(over.size(), 6u);
  EXPECT_EQ(over[0]->Attribute("transform"), Notes(overlay, "original")[0]->Attribute("transform"));
}

TEST_F(PreviewTest, MarkupInNotesAndNamesIsEscaped) {
  Source("drawing.igs",
         testing::IgesFile().Entity(212, "212,1,7,7.,1.,1,0.,0.,0,0,0.,0.,0.,7H<&>\"']];").Build());
  XmlElement svg;
  Draw({}, &svg);
  const std::vector<const XmlElement*> notes = Notes(svg, "original");
  ASSERT_EQ(notes.size(), 1u);
  EXPECT_EQ(notes[0]->AllText(), "<&>\"']]");
}

TEST_F(PreviewTest, NeverWritesOverAFile) {
  Source("drawing.igs", SmallDrawing());
  testing::WriteFile(dir_.File("picture.svg"), "mine");
  CliRun run = Cli({"preview", "drawing.igs", "-o", "picture.svg"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_NE(run.err.find("picture.svg"), std::string::npos);
  EXPECT_EQ(testing::ReadFile(dir_.File("picture.svg")), "mine");

  // Nor through a link, dangling or not.
  if (!testing::MakeSymbolicLink("nowhere.svg", dir_.File("link.svg"))) {
    GTEST_SKIP() << "a file checked; links not: " << testing::kNoSymbolicLinks;
  }
  run = Cli({"preview", "drawing.igs", "-o", "link.svg"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("nowhere.svg")));
}

// The conversion a preview runs in memory needs an output name of its own:
// it must differ from a source's that happens to be that name, and a file
// on the disk with that name does not stop it.
TEST_F(PreviewTest, ConvertsWhateverTheSourceAndItsNeighboursAreCalled) {
  for (const std::string name : {"notora-preview.igs", "drawing.igs"}) {
    Source(name, SmallDrawing());
    testing::WriteFile(dir_.File("notora-preview-2.igs"), "not IGES");
    const CliRun run = Cli({"preview", name, "-o", "picture.svg", "-m", "none", "-v"});
    ASSERT_EQ(run.exitStatus, 0) << name << ": " << run.err;
    std::filesystem::remove(dir_.File("picture.svg"));
  }
}

TEST_F(PreviewTest, FaultsStopWithTheMessageOfAConversionAndNoPicture) {
  Source("drawing.igs",
         testing::IgesFile().Entity(212, "212,1,6,1.,1.,2001,0.,0.,0,0,0.,0.,0.,6H34413b;").Build());
  const CliRun convert = Cli({"convert", "drawing.igs", "out"});
  CliRun run = Cli({"preview", "drawing.igs", "-o", "picture.svg"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, convert.err);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("picture.svg")));

  // Options that ask for nothing are refused as convert refuses them.
  Source("drawing.igs", SmallDrawing());
  run = Cli({"preview", "drawing.igs", "-o", "picture.svg", "-m", "none", "--negative-width",
             "minus"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, Cli({"convert", "-m", "none", "--negative-width", "minus", "drawing.igs",
                          "out"}).err);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("picture.svg")));
  EXPECT_EQ(Cli({"preview", "drawing.igs"}).exitStatus, 64);
}

}  // namespace
}  // namespace notora
