// A preview as a browser shows it: headless Chromium renders the picture to
// PNG, and the notes' areas must hold ink where the SVG puts the text.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "tests/cli/cli_runner.h"
#include "tests/cli/png_image.h"
#include "tests/cli/xml_reader.h"
#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::CliRun;
using testing::XmlElement;

// The browser's program on PATH, or "" when there is none.
std::string FindChromium() {
  const char* path = std::getenv("PATH");
  std::istringstream directories(path != nullptr ? path : "");
  for (std::string directory; std::getline(directories, directory, ':');) {
    for (const char* name : {"chromium", "chromium-browser"}) {
      const std::string candidate = directory + "/" + name;
      if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
  }
  return "";
}

// An area of the picture, in pixels.
struct Area {
  int left, top, right, bottom;
};

// Pixels of `image` inside `area` that are dark and grey (the notes' ink,
// not the red start points or the faint boxes).
int InkIn(const testing::PngImage& image, const Area& area) {
  int ink = 0;
  for (int y = std::max(area.top, 0); y < std::min(area.bottom, image.height()); ++y) {
    for (int x = std::max(area.left, 0); x < std::min(area.right, image.width()); ++x) {
      const testing::Rgb p = image.At(x, y);
      const bool dark = p.r + p.g + p.b < 3 * 110;
      const bool grey = std::abs(p.r - p.g) < 40 && std::abs(p.g - p.b) < 40;
      if (dark && grey) ++ink;
    }
  }
  return ink;
}

// The area a horizontal, unturned note's text takes: from its start point
// along its stretched length, and one character height up.
Area TextArea(const XmlElement& text) {
  double a, b, c, d, e, f;
  EXPECT_EQ(std::sscanf(text.Attribute("transform").c_str(), "matrix(%lf %lf %lf %lf %lf %lf)",
                        &a, &b, &c, &d, &e, &f),
            6);
  const double size = std::stod(text.Attribute("font-size"));
  const double length = std::stod(text.Attribute("textLength"));
  return {static_cast<int>(e), static_cast<int>(f - size), static_cast<int>(e + length),
          static_cast<int>(f)};
}

class PreviewBrowserTest : public testing::CliTest {};

TEST_F(PreviewBrowserTest, ChromiumRendersTheNotesWhereThePictureSaysTheyAre) {
  const std::string chromium = FindChromium();
  if (chromium.empty()) GTEST_SKIP() << "chromium is not installed";

  Source("drawing.igs",
         testing::IgesFile()
             .Entity(212, "212,1,7,70.,10.,1,0.,0.,0,0,10.,20.,0.,11H\x90\x7d\x96\xca" "ABC\x8a\xbf\x8e\x9a;")
             .Entity(212, "212,1,6,60.,10.,1,0.,0.,0,0,10.,60.,0.,6H\xb6\xc0\xb6\xc5\xc3\xbd;")
             .Build());
  const CliRun preview = Cli({"preview", "drawing.igs", "-o", "picture.svg"});
  ASSERT_EQ(preview.exitStatus, 0) << preview.err;
  XmlElement svg;
  std::string error;
  ASSERT_TRUE(testing::ParseXml(testing::ReadFile(dir_.File("picture.svg")), &svg, &error)) << error;
  const int width = std::stoi(svg.Attribute("width"));
  const int height = std::stoi(svg.Attribute("height"));
  std::vector<Area> noteAreas;
  for (const XmlElement* text : svg.FindAll("text")) {
    if (text->Attribute("class") == "note original") noteAreas.push_back(TextArea(*text));
  }
  ASSERT_EQ(noteAreas.size(), 2u);

  const std::string png = dir_.File("picture.png");
  const std::string out = logs_.File("chromium.out"), err = logs_.File("chromium.err");
  const CliRun browser = testing::FinishProgram(
      testing::StartProgram(
          "timeout", dir_.path(),
          {"--kill-after=10", "300", chromium, "--headless", "--no-sandbox", "--disable-gpu",
           "--no-first-run", "--disable-background-networking", "--disable-component-update",
           "--disable-sync", "--hide-scrollbars", "--force-device-scale-factor=1",
           "--user-data-dir=" + dir_.File("profile"), "--screenshot=" + png,
           "--window-size=" + std::to_string(width) + "," + std::to_string(height),
           "file://" + dir_.File("picture.svg")},
          out, err),
      out, err);
  ASSERT_EQ(browser.exitStatus, 0) << browser.err;

  testing::PngImage image;
  ASSERT_TRUE(image.Decode(testing::ReadFile(png), &error)) << error;
  ASSERT_EQ(image.width(), width);
  ASSERT_EQ(image.height(), height);
  for (const Area& area : noteAreas) {
    const int pixels = (area.right - area.left) * (area.bottom - area.top);
    ASSERT_GT(pixels, 100);
    // Japanese Gothic strokes cover well over a tenth of a text's box.
    EXPECT_GT(InkIn(image, area), pixels / 10)
        << "area " << area.left << "," << area.top << " " << area.right << "," << area.bottom;
  }
  // Between the two notes, and right of them, the picture is blank.
  const Area between{noteAreas[0].left, noteAreas[1].bottom + 8, noteAreas[0].right,
                     noteAreas[0].top - 8};
  ASSERT_LT(between.top, between.bottom);
  EXPECT_EQ(InkIn(image, between), 0);
}

}  // namespace
}  // namespace notora
