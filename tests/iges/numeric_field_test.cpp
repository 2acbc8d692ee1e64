#include "iges/numeric_field.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace notora {
namespace {

std::optional<std::int32_t> Reference(std::string_view columns) {
  std::int32_t value = 0;
  for (char c : columns) {
    if (c == ' ') continue;
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// Reads `field` as the last columns of a record whose other columns hold
// `filler`, as the fields of D and P records stand.
std::optional<std::int32_t> Read(std::string_view field, char filler = 'D') {
  std::string line(80 - field.size(), filler);
  line += field;
  std::int32_t value = -1;
  if (!ReadNumericColumns(line, 80 - field.size() + 1, 80, &value)) return std::nullopt;
  return value;
}

TEST(NumericFieldTest, DigitsAmongBlanks) {
  EXPECT_EQ(Read("     212"), 212);
  EXPECT_EQ(Read("0000001"), 1);
  EXPECT_EQ(Read(" 1 2 3  "), 123);
  EXPECT_EQ(Read("1       "), 1);
  EXPECT_EQ(Read("        "), 0);
  EXPECT_EQ(Read("99999999"), 99999999);
  EXPECT_EQ(Read("      -1"), std::nullopt);
  EXPECT_EQ(Read("      +1"), std::nullopt);
  EXPECT_EQ(Read("     !12"), std::nullopt);  // a byte just above the blank
  EXPECT_EQ(Read(std::string_view("    1\0" "2", 7)), std::nullopt);
  EXPECT_EQ(Read("   \xb1" "123"), std::nullopt);
}

TEST(NumericFieldTest, AgreesWithTheByteByByteRuleOnEveryKindOfByte) {
  std::mt19937 random(7);
  const std::string alphabet = std::string(" 0123456789/:!\x1f\x20\x2f\x3a\xff\xb0\xc6\x80\x06", 22);
  for (int i = 0; i < 200000; ++i) {
    std::string field(1 + random() % 8, ' ');
    for (char& c : field) {
      const unsigned pick = random() % 4;
      c = pick == 0 ? ' ' : pick == 1 ? static_cast<char>('0' + random() % 10)
                                      : alphabet[random() % alphabet.size()];
    }
    ASSERT_EQ(Read(field, alphabet[random() % alphabet.size()]), Reference(field)) << field;
  }
}

}  // namespace
}  // namespace notora
