#include "view/xml_writer.h"

#include <gtest/gtest.h>

#include "tests/cli/xml_reader.h"

namespace notora {
namespace {

TEST(XmlWriterTest, WritesElementsAttributesAndText) {
  XmlWriter xml;
  xml.Open("svg");
  xml.Attribute("width", 12.5);
  xml.Open("g");
  xml.Close();
  xml.Open("text");
  xml.Text("漢字");
  EXPECT_EQ(xml.Finish(),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<svg width=\"12.5\"><g/><text>漢字</text></svg>\n");
}

TEST(XmlWriterTest, EscapesEveryUserByte) {
  const std::string hostile = "</text><script>&amp;\"'\x01\x8a";
  XmlWriter xml;
  xml.Open("text");
  xml.Attribute("data-name", hostile + "\n");
  xml.Text(hostile);
  const std::string document = xml.Finish();
  EXPECT_EQ(document.find("<script>"), std::string::npos);

  testing::XmlElement root;
  std::string error;
  ASSERT_TRUE(testing::ParseXml(document, &root, &error)) << error << "\n" << document;
  // Markup characters come back as they were; a control character and an
  // invalid byte come back as U+FFFD.
  const std::string expected = "</text><script>&amp;\"'\uFFFD\uFFFD";
  EXPECT_EQ(root.text, expected);
  EXPECT_EQ(root.Attribute("data-name"), expected + "\n");
  EXPECT_TRUE(root.children.empty());
}

TEST(XmlWriterTest, NumbersKeepAtMostThreeDecimals) {
  XmlWriter xml;
  xml.Open("a");
  xml.Attribute("x", 1.0 / 3.0);
  xml.Attribute("y", -2.0);
  xml.Attribute("z", -0.0001);
  EXPECT_EQ(xml.Finish(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a x=\"0.333\" y=\"-2\" z=\"0\"/>\n");
}

}  // namespace
}  // namespace notora
