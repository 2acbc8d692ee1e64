#include "note/parameter_reader.h"

#include "base/byte_classes.h"

namespace notora {
namespace {

// A count of more digits is no count any text could fill.
constexpr std::size_t kMaxCountDigits = 9;

}  // namespace

ParameterReader::ParameterReader(std::string_view text, std::size_t start,
                                 char parameterDelimiter, char recordDelimiter)
    : text_(text),
      position_(start),
      parameterDelimiter_(parameterDelimiter),
      recordDelimiter_(recordDelimiter) {}

bool ParameterReader::Fail(Fault fault, std::size_t at) {
  fault_ = fault;
  faultAt_ = at;
  ended_ = true;
  return false;
}

bool ParameterReader::Next(Parameter* parameter) {
  if (ended_ || position_ >= text_.size()) return false;
  std::size_t at = position_;
  while (at < text_.size() && text_[at] == ' ') ++at;

  // "<count>H": a Hollerith string.
  std::size_t digitsEnd = at;
  std::size_t count = 0;
  while (digitsEnd < text_.size() && IsDigit(text_[digitsEnd]) &&
         digitsEnd - at < kMaxCountDigits + 1) {
    count = count * 10 + static_cast<std::size_t>(text_[digitsEnd] - '0');
    ++digitsEnd;
  }
  const bool isString = digitsEnd > at && digitsEnd < text_.size() && text_[digitsEnd] == 'H';
  std::size_t end;
  if (isString) {
    if (digitsEnd - at > kMaxCountDigits || count > text_.size() - digitsEnd - 1) {
      return Fail(Fault::kCountBeyondEnd, at);
    }
    parameter->text = text_.substr(digitsEnd + 1, count);
    parameter->at = digitsEnd + 1;
    end = digitsEnd + 1 + count;
    while (end < text_.size() && text_[end] == ' ') ++end;
    if (end < text_.size() && text_[end] != parameterDelimiter_ &&
        text_[end] != recordDelimiter_) {
      return Fail(Fault::kNoDelimiterAfterText, digitsEnd + 1 + count);
    }
  } else {
    end = at;
    while (end < text_.size() && text_[end] != parameterDelimiter_ &&
           text_[end] != recordDelimiter_) {
      ++end;
    }
    parameter->text = text_.substr(at, end - at);
    parameter->at = at;
  }
  parameter->isString = isString;
  parameter->delimiter = end < text_.size() ? text_[end] : 0;
  position_ = end + 1;
  ended_ = parameter->delimiter != parameterDelimiter_;
  return true;
}

}  // namespace notora
