#include "note/parameter_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace notora {
namespace {

// Every parameter read: a string as "H:<text>", a field as its bytes; then
// "fault@<index>" when a fault stopped the reading.
std::vector<std::string> ReadAll(std::string_view text, char delimiter = ',',
                                 char recordDelimiter = ';') {
  ParameterReader reader(text, 0, delimiter, recordDelimiter);
  std::vector<std::string> read;
  Parameter parameter;
  while (reader.Next(&parameter)) {
    read.push_back((parameter.isString ? "H:" : "") + std::string(parameter.text));
  }
  if (reader.fault() != ParameterReader::Fault::kNone) {
    read.push_back("fault" + std::to_string(static_cast<int>(reader.fault())) + "@" +
                   std::to_string(reader.faultAt()));
  }
  return read;
}

TEST(ParameterReaderTest, StringsAreCountedInBytesWhateverTheyHold) {
  // A string may hold the delimiters themselves, and stand after blanks
  // that pad a record; the blanks after its text and the text after the
  // record delimiter are not parameters.
  EXPECT_EQ(ReadAll("406,2,   3H,;a ,5.0E+1 ,-7;  tail"),
            (std::vector<std::string>{"406", "2", "H:,;a", "5.0E+1 ", "-7"}));
  EXPECT_EQ(ReadAll("1H//1H|/4Hab/|/5|", '/', '|'),
            (std::vector<std::string>{"H:/", "H:|", "H:ab/|", "5"}));
  // A field with digits but no H is a field; so is an empty one.
  EXPECT_EQ(ReadAll("12,,3X;"), (std::vector<std::string>{"12", "", "3X"}));
  // Bytes that end without a record delimiter end the last parameter.
  EXPECT_EQ(ReadAll("1,2HAB"), (std::vector<std::string>{"1", "H:AB"}));
}

TEST(ParameterReaderTest, ACountPastTheTextOrAnotherByteAfterItIsAFault) {
  EXPECT_EQ(ReadAll("406,9HAB;"), (std::vector<std::string>{"406", "fault1@4"}));
  EXPECT_EQ(ReadAll("406,9999999999HAB;"), (std::vector<std::string>{"406", "fault1@4"}));
  EXPECT_EQ(ReadAll("406,2HABC;"), (std::vector<std::string>{"406", "fault2@8"}));
}

}  // namespace
}  // namespace notora
