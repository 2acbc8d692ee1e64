#include "iges/numeric_field.h"
#include "iges/sequence_columns.h"

#include <gtest/gtest.h>

#include <cstdio>
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

// The columns a sequence number is written in, as the output writes them.
std::string Formatted(std::int64_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%7lld", static_cast<long long>(value));
  return value == 0 ? std::string(7, ' ') : std::string(text);
}

TEST(SequenceColumnsTest, CountsThroughEveryCarryAndAgreesWithItsText) {
  SequenceColumns sequence;
  char out[8];
  for (std::int64_t value = 1; value < SequenceColumns::kLimit; ++value) {
    sequence.Set(value);
    sequence.Put(out);
    const std::string expected = Formatted(value);
    ASSERT_EQ(std::string(out, 7), expected) << value;
    ASSERT_TRUE(sequence.Matches(expected.data()));
  }
  sequence.Set(SequenceColumns::kLimit);
  EXPECT_FALSE(sequence.fits());
}

TEST(SequenceColumnsTest, JumpsAreWrittenAnewAndOnlyTheExactTextMatches) {
  SequenceColumns sequence;
  char out[8];
  for (std::int64_t value : {5, 3, 1234567, 10, 11, 9999999, 0, 1}) {
    sequence.Set(value);
    sequence.Put(out);
    EXPECT_EQ(std::string(out, 7), Formatted(value)) << value;
  }
  sequence.Set(42);
  EXPECT_TRUE(sequence.Matches("     42"));
  EXPECT_FALSE(sequence.Matches("0000042"));  // the same number, read as a number instead
  EXPECT_FALSE(sequence.Matches("42     "));
  EXPECT_FALSE(sequence.Matches("     43"));
}

}  // namespace
}  // namespace notora
