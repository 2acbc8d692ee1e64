#include "view/json_writer.h"

#include <gtest/gtest.h>

#include <limits>

#include "tests/cli/json_reader.h"

namespace notora {
namespace {

TEST(JsonWriterTest, NestsAndSeparatesValues) {
  JsonWriter json;
  json.BeginObject();
  json.Key("a");
  json.Integer(-3);
  json.Key("list");
  json.BeginArray();
  json.Real(0.5);
  json.BeginObject();
  json.EndObject();
  json.String("x");
  json.Boolean(true);
  json.EndArray();
  json.Key("b");
  json.Real(35.0);
  json.Key("c");
  json.Boolean(false);
  json.EndObject();
  EXPECT_EQ(json.text(), R"({"a":-3,"list":[0.5,{},"x",true],"b":35,"c":false})");
}

TEST(JsonWriterTest, EscapesStringsAndKeepsOutputValid) {
  JsonWriter json;
  json.BeginArray();
  json.String("say \"漢\"\\\n\t\x01");
  json.String("bad \x8a byte");
  json.Real(std::numeric_limits<double>::infinity());
  json.EndArray();
  EXPECT_EQ(json.text(), R"(["say \"漢\"\\\n\t\u0001","bad )" "\uFFFD" R"( byte",null])");

  testing::JsonValue value;
  std::string error;
  ASSERT_TRUE(testing::ParseJson(json.text(), &value, &error)) << error;
  EXPECT_EQ(value[0].string, "say \"漢\"\\\n\t\x01");
}

TEST(JsonWriterTest, RealsReadBackExactly) {
  JsonWriter json;
  json.BeginArray();
  json.Real(1.5707963267948966);
  json.Real(-0.1);
  json.Real(1e300);
  json.EndArray();
  testing::JsonValue value;
  std::string error;
  ASSERT_TRUE(testing::ParseJson(json.text(), &value, &error)) << error;
  EXPECT_EQ(value[0].number, 1.5707963267948966);
  EXPECT_EQ(value[1].number, -0.1);
  EXPECT_EQ(value[2].number, 1e300);
}

}  // namespace
}  // namespace notora
