// ParameterReader: the parameters of a free-format parameter text, of any
// entity or of the Global section, one by one, knowing no entity type.
//
// A parameter is a Hollerith string, "<count>H" followed by exactly count
// bytes (blanks before the count are skipped), or any other field: the bytes
// up to the next parameter or record delimiter. Either is ended by a
// delimiter; blanks may stand between a string's text and its delimiter.
// The text ends at the record delimiter, or where the bytes end.
#pragma once

#include <cstddef>
#include <string_view>

namespace notora {

struct Parameter {
  // A Hollerith string, else a field.
  bool isString = false;
  // A field: its bytes from the first that is not a blank up to its
  // delimiter. A string: its text (count bytes).
  std::string_view text;
  // Where `text` starts in the parameter text.
  std::size_t at = 0;
  // The delimiter that ends it, or 0 when the bytes ended first.
  char delimiter = 0;
};

class ParameterReader {
 public:
  enum class Fault {
    kNone,
    kCountBeyondEnd,        // a string's count runs past the end of the text
    kNoDelimiterAfterText,  // a string's text is followed by another byte
  };

  // Reads `text` from index `start`, with the file's delimiters.
  ParameterReader(std::string_view text, std::size_t start, char parameterDelimiter,
                  char recordDelimiter);

  // The next parameter; false after the last one (the one the record
  // delimiter ends, or the bytes) and on a fault.
  bool Next(Parameter* parameter);

  Fault fault() const { return fault_; }
  // The byte the fault stands at: the count's first byte, or the byte after
  // the text.
  std::size_t faultAt() const { return faultAt_; }
  // Where reading stopped: past the record delimiter after the last
  // parameter.
  std::size_t position() const { return position_; }

 private:
  bool Fail(Fault fault, std::size_t at);

  std::string_view text_;
  std::size_t position_;
  const char parameterDelimiter_;
  const char recordDelimiter_;
  bool ended_ = false;
  Fault fault_ = Fault::kNone;
  std::size_t faultAt_ = 0;
};

}  // namespace notora
