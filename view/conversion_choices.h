// The choices of the conversion options: the command-line word of each value,
// in the order of the dialog's buttons, and the lookups between the two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_options.h"

namespace notora::conversion_choices {

// The command-line word of each value of an option, in the order of the
// dialog's buttons.
template <typename Value>
struct Choice {
  std::string_view word;
  Value value;
};

constexpr Choice<ConversionMode> kModes[] = {{"jis", ConversionMode::kToJisCode},
                                             {"fullwidth", ConversionMode::kToFullWidth},
                                             {"none", ConversionMode::kNone}};
constexpr Choice<VerticalValue> kVerticalValues[] = {{"before", VerticalValue::kBefore},
                                                     {"after", VerticalValue::kAfter}};
constexpr Choice<JisFallback> kJisFallbacks[] = {{"2121", JisFallback::k2121},
                                                 {"FFFF", JisFallback::kFFFF}};
constexpr Choice<FullWidthFallback> kFullWidthFallbacks[] = {
    {"space", FullWidthFallback::kSpace}, {"quote", FullWidthFallback::kQuote}};
constexpr Choice<NegativeWidthMode> kNegativeWidthModes[] = {
    {"plus", NegativeWidthMode::kPlus},
    {"minus", NegativeWidthMode::kMinus},
    {"error", NegativeWidthMode::kError}};
constexpr Choice<TextEncoding> kEncodings[] = {{"shift_jis", TextEncoding::kShiftJis},
                                               {"euc-jp", TextEncoding::kEucJp},
                                               {"utf-8", TextEncoding::kUtf8}};
// The line ends --line-end offers: this system's, either of the two, or the
// source's.
enum class LineEndChoice { kPlatform, kLf, kCrLf, kSource };
constexpr Choice<LineEndChoice> kLineEnds[] = {{"platform", LineEndChoice::kPlatform},
                                               {"lf", LineEndChoice::kLf},
                                               {"crlf", LineEndChoice::kCrLf},
                                               {"source", LineEndChoice::kSource}};

// The words of `choices`, in order.
template <typename Value, std::size_t N>
inline std::vector<std::string> Words(const Choice<Value> (&choices)[N]) {
  std::vector<std::string> words;
  for (const Choice<Value>& choice : choices) words.emplace_back(choice.word);
  return words;
}

// The value of `word`; the check at parsing lets no other word through, so
// the first value (the default) stands only for a word never given.
template <typename Value, std::size_t N>
Value ValueOf(const Choice<Value> (&choices)[N], std::string_view word) {
  for (const Choice<Value>& choice : choices) {
    if (choice.word == word) return choice.value;
  }
  return choices[0].value;
}

}  // namespace notora::conversion_choices
