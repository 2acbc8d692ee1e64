#include "note/parameter_emitter.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::PadTo64;

std::string Filled(std::size_t length) { return std::string(length, 'x'); }

std::string Real(double value) {
  std::string buffer;
  AppendRealField(&buffer, value, ',');
  return buffer;
}

TEST(FieldPackingTest, FieldThatWouldReachColumn64StartsTheNextRecord) {
  std::string buffer = Filled(60);
  AppendIntegerField(&buffer, 1234, ',');
  EXPECT_EQ(buffer, Filled(60) + "    " + "1234,");

  buffer = Filled(60);
  AppendIntegerField(&buffer, 123, ',');  // would end in column 64
  EXPECT_EQ(buffer, Filled(60) + "    " + "123,");

  buffer = Filled(60);
  AppendIntegerField(&buffer, -1, ',');  // ends in column 63
  EXPECT_EQ(buffer, Filled(60) + "-1,");
}

TEST(FieldPackingTest, LongHollerithFieldMayFollowBlankRecords) {
  std::string buffer = Filled(10);
  AppendHollerithField(&buffer, Filled(130));  // 134 bytes from 10: blanks up to 128
  EXPECT_EQ(buffer, Filled(10) + std::string(118, ' ') + "130H" + Filled(130));

  buffer.clear();
  AppendHollerithField(&buffer, Filled(61));  // exactly one record: moves past it
  EXPECT_EQ(buffer, std::string(64, ' ') + "61H" + Filled(61));

  buffer.clear();
  AppendHollerithField(&buffer, "ABC");  // no delimiter after it
  EXPECT_EQ(buffer, "3HABC");
}

TEST(RealFieldFormatTest, ShortestExactFormElseFifteenDigits) {
  EXPECT_EQ(Real(0.5), "0.5,");
  EXPECT_EQ(Real(100), "100,");
  EXPECT_EQ(Real(0.3), "0.3,");
  EXPECT_EQ(Real(-7), "-7,");
  EXPECT_EQ(Real(-0.0), "-0,");
  EXPECT_EQ(Real(999999999999999), "999999999999999,");
  EXPECT_EQ(Real(1e15), "1e+015,");
  EXPECT_EQ(Real(2.0 / 3.0), "0.666666666666667,");
  EXPECT_EQ(Real(0.1 + 0.2), "0.300000000000000,");
  EXPECT_EQ(Real(1e20), "1e+020,");
  EXPECT_EQ(Real(1e-5), "1e-005,");
  EXPECT_EQ(Real(1e300), "1e+300,");
  EXPECT_EQ(Real(123456.78901234567), "1.234567890123457e+005,");
  EXPECT_EQ(Real(5 * std::cos(-1.5707963267948966)), "3.061616997868383e-016,");
  EXPECT_EQ(Real(0.00012345678901234567), "1.234567890123457e-004,");
}

// Decimals of a few places (most box sizes and positions), written on a
// short path, and the doubles beside them, which are not such decimals: each
// text is the C library's 15-digit text where that reads back exactly, else
// its 15 places (between 0.001 and 1000; beyond, exponents are compared
// above).
TEST(RealFieldFormatTest, DecimalsOfFewPlacesAndTheirNeighboursMatchTheLibrarysFifteenDigits) {
  std::mt19937_64 random(12);
  std::vector<double> values = {1e-4, -1e-4, 9e-5, 0.0001000001, 99999999999.9999, 1e11 + 0.5,
                                12345678901.25, 0.1, 0.7, 1.05, 2.675, 1e10 + 0.1};
  for (int i = 0; i < 100000; ++i) {
    const int places = 1 + static_cast<int>(random() % 4);
    const auto digits = static_cast<double>(random() % (std::uint64_t{1} << (1 + random() % 50)));
    const double value = (random() % 2 ? -1 : 1) * digits / std::pow(10.0, places);
    values.push_back(value);
    values.push_back(std::nextafter(value, HUGE_VAL));
    values.push_back(std::nextafter(value, -HUGE_VAL));
  }
  int shortest = 0;
  int fifteenPlaces = 0;
  for (double value : values) {
    std::string text = Real(value);
    ASSERT_EQ(text.back(), ',');
    text.pop_back();
    char library[400];
    std::snprintf(library, sizeof library, "%.15g", value);
    if (std::strtod(library, nullptr) == value) {
      if (std::strchr(library, 'e') != nullptr) continue;
      ++shortest;
      EXPECT_EQ(text, library) << value;
    } else if (std::fabs(value) >= 0.001 && std::fabs(value) < 1000) {
      ++fifteenPlaces;
      std::snprintf(library, sizeof library, "%.15f", value);
      EXPECT_EQ(text, library) << value;
    }
  }
  EXPECT_GT(shortest, 90000);  // most of the decimals themselves
  EXPECT_GT(fifteenPlaces, 10000);
}

TEST(RealFieldFormatTest, NeverWritesInfinityOrNaN) {
  EXPECT_EQ(Real(std::numeric_limits<double>::infinity()), "1.797693134862316e+308,");
  EXPECT_EQ(Real(-std::numeric_limits<double>::infinity()), "-1.797693134862316e+308,");
  EXPECT_EQ(Real(DBL_MAX), "1.797693134862316e+308,");
  EXPECT_EQ(Real(std::nan("")), "0,");
}

// Texts of reals are kept for values met again: a value's text never depends
// on what was formatted before it.
TEST(RealFieldFormatTest, TheSameValueGivesTheSameTextWhateverCameBefore) {
  std::vector<double> values = {0.0, -0.0, 0.5, -0.5, 1e15, -1e-5};
  for (int i = 1; i <= 3000; ++i) values.push_back(std::ldexp(std::sin(i) * 1000, i % 40 - 20));
  std::vector<std::string> first;
  for (double value : values) first.push_back(Real(value));
  for (std::size_t i = values.size(); i-- > 0;) EXPECT_EQ(Real(values[i]), first[i]) << values[i];
  for (std::size_t i = 0; i < values.size(); i += 7) {
    EXPECT_EQ(Real(values[i]), first[i]) << values[i];
  }
  EXPECT_EQ(first[0], "0,");
  EXPECT_EQ(first[1], "-0,");
}

class CloseRebuiltNoteTest : public ::testing::Test {
 protected:
  // The note as read: a string whose TEXT "AB" is followed by `tail`.
  Status Close(std::string_view tail, std::string body) {
    input_ = PadTo64("212,1,2,1.,1.,1,0.,0.,0,0,0.,0.,0.,2HAB" + std::string(tail));
    const auto tailStart = static_cast<std::int32_t>(input_.find("AB") + 2);
    body_ = std::move(body);
    return CloseRebuiltNote(input_, tailStart, ParameterLines{1, 5}, 212, 3, ',', ';', &body_,
                            &rebuilt_);
  }

  std::string input_;
  std::string body_;
  std::string rebuilt_;
};

TEST_F(CloseRebuiltNoteTest, KeepsZeroCountsAndPutsHeaderRecordInFront) {
  ASSERT_TRUE(Close(";", "1HA;").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA;"));

  ASSERT_TRUE(Close(",0;", "1HA,").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA,0;"));

  ASSERT_TRUE(Close(" , 0 , 0 ;", "1HA,").ok());
  EXPECT_EQ(rebuilt_, PadTo64("212,3,") + PadTo64("1HA,0,0;"));
}

TEST_F(CloseRebuiltNoteTest, TailThatWouldEndInColumn64MovesToNextRecord) {
  ASSERT_TRUE(Close(",0;", Filled(61) + ",").ok());
  EXPECT_EQ(rebuilt_.size(), 3 * 64u);
  EXPECT_EQ(rebuilt_.substr(64), Filled(61) + ",  " + PadTo64("0;"));
}

TEST_F(CloseRebuiltNoteTest, RefusesOtherTails) {
  EXPECT_EQ(Close(",1;", "1HA,").message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_EQ(Close(",0,0,0;", "1HA,").message(),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_TRUE(Close(std::string(",0,0") + std::string(20, ' ') + ";", "1HA,").ok());
  EXPECT_EQ(Close(",0,0,0,0,0,0,0,0,0,0,0,0;", "1HA,").message(),  // 25 characters
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字がﾚｺｰﾄﾞ区切り ; 以外です。\n変換は出来ません。");
  EXPECT_EQ(Close(",0,0,0,0,0,0,0,0,0,0,0,0,;", "1HA,").message(),  // 26 characters
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ5行目の文字記述の以降の文字が26文字以上です。\n変換は出来ません。");
}

}  // namespace
}  // namespace notora
