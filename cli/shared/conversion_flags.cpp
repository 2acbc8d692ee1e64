#include "cli/shared/conversion_flags.h"

#include <CLI/CLI.hpp>

#include <string_view>
#include <vector>

namespace notora {
namespace {

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

// The words of `choices`, for CLI11's check.
template <typename Value, std::size_t N>
std::vector<std::string> Words(const Choice<Value> (&choices)[N]) {
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

}  // namespace

void AddAllowZeroColumnsFlag(CLI::App* command, bool* allowZeroColumns) {
  command->add_flag("--allow-zero-columns", *allowZeroColumns,
                    "accept General Notes with no strings (列数ｾﾞﾛをｴﾗｰ off)");
}

TextEncoding EncodingNamed(const std::string& name) { return ValueOf(kEncodings, name); }

std::string EncodingName(TextEncoding encoding) {
  for (const Choice<TextEncoding>& choice : kEncodings) {
    if (choice.value == encoding) return std::string(choice.word);
  }
  return std::string(kEncodings[0].word);
}

void AddSourceEncodingOption(CLI::App* command, std::string* name) {
  command->add_option("--source-encoding", *name,
                      "the encoding of note text (fonts other than 2001) in the source")
      ->check(CLI::IsMember(Words(kEncodings)))
      ->capture_default_str();
}

void ConversionFlags::AddTo(CLI::App* command, bool withLineEnd) {
  command->add_option("-m,--mode", mode,
                      "jis: full-width to JIS code (全角⇒JISｺｰﾄﾞ); fullwidth: JIS code to "
                      "full-width (JISｺｰﾄﾞ⇒全角); none: no text conversion (なし)")
      ->check(CLI::IsMember(Words(kModes)))
      ->capture_default_str();
  command->add_flag("-v,--vertical-to-horizontal", verticalToHorizontal,
                    "make every character of a vertical string a horizontal block (縦書き⇒横書き)");
  command->add_option("--vertical-input", verticalInput,
                      "where vertical strings hold their variable box value on input: "
                      "before (width field) or after (height field)")
      ->check(CLI::IsMember(Words(kVerticalValues)))
      ->capture_default_str();
  command->add_option("--vertical-output", verticalOutput,
                      "where to write the variable box value of vertical strings: before or after")
      ->check(CLI::IsMember(Words(kVerticalValues)))
      ->capture_default_str();
  command->add_option("--jis-fallback", jisFallback,
                      "JIS code written for a character without one: 2121 (space) or FFFF")
      ->check(CLI::IsMember(Words(kJisFallbacks)))
      ->capture_default_str();
  command->add_option("--fullwidth-fallback", fullWidthFallback,
                      "character written for a JIS code without one: space (　) or quote (＂)")
      ->check(CLI::IsMember(Words(kFullWidthFallbacks)))
      ->capture_default_str();
  command->add_option("--negative-width", negativeWidth,
                      "negative character widths: plus (made positive), minus (kept) or "
                      "error (refused)")
      ->check(CLI::IsMember(Words(kNegativeWidthModes)))
      ->capture_default_str();
  AddAllowZeroColumnsFlag(command, &allowZeroColumns);
  AddSourceEncodingOption(command, &sourceEncoding);
  command->add_option("--output-encoding", outputEncoding,
                      "the encoding note text (fonts other than 2001) is written in")
      ->check(CLI::IsMember(Words(kEncodings)))
      ->capture_default_str();
  if (withLineEnd) {
    command->add_option("--line-end", lineEnd,
                        "how the output's records end: platform (as text files here), lf, "
                        "crlf, or source (as the source's first record)")
        ->check(CLI::IsMember(Words(kLineEnds)))
        ->capture_default_str();
  }
}

bool ConversionFlags::AnyGiven(const CLI::App& command) {
  for (const char* name : {"--mode", "--vertical-to-horizontal", "--vertical-input",
                           "--vertical-output", "--jis-fallback", "--fullwidth-fallback",
                           "--negative-width", "--allow-zero-columns", "--output-encoding",
                           "--line-end"}) {
    if (command.get_option_no_throw(name) != nullptr && command.count(name) > 0) return true;
  }
  return false;
}

std::string ConversionFlags::Describe() const {
  const ConversionFlags defaults;
  std::string text = "-m " + mode;
  if (verticalToHorizontal) text += " -v";
  const auto add = [&](const char* name, const std::string& value, const std::string& standard) {
    if (value != standard) text += std::string(" ") + name + " " + value;
  };
  add("--vertical-input", verticalInput, defaults.verticalInput);
  add("--vertical-output", verticalOutput, defaults.verticalOutput);
  add("--jis-fallback", jisFallback, defaults.jisFallback);
  add("--fullwidth-fallback", fullWidthFallback, defaults.fullWidthFallback);
  add("--negative-width", negativeWidth, defaults.negativeWidth);
  if (allowZeroColumns) text += " --allow-zero-columns";
  add("--source-encoding", sourceEncoding, defaults.sourceEncoding);
  add("--output-encoding", outputEncoding, defaults.outputEncoding);
  add("--line-end", lineEnd, defaults.lineEnd);
  return text;
}

RunOptions ConversionFlags::ToRunOptions() const {
  RunOptions options;
  options.conversionMode = ValueOf(kModes, mode);
  options.verticalToHorizontal = verticalToHorizontal;
  options.verticalValueInput = ValueOf(kVerticalValues, verticalInput);
  options.verticalValueOutput = ValueOf(kVerticalValues, verticalOutput);
  options.jisFallback = ValueOf(kJisFallbacks, jisFallback);
  options.fullWidthFallback = ValueOf(kFullWidthFallbacks, fullWidthFallback);
  options.negativeWidthMode = ValueOf(kNegativeWidthModes, negativeWidth);
  options.zeroColumnsIsError = !allowZeroColumns;
  options.sourceEncoding = EncodingNamed(sourceEncoding);
  options.outputEncoding = EncodingNamed(outputEncoding);
  switch (ValueOf(kLineEnds, lineEnd)) {
    case LineEndChoice::kPlatform:
      options.outputLineEnd = PlatformLineEnd();
      break;
    case LineEndChoice::kLf:
      options.outputLineEnd = LineEnd::kLf;
      break;
    case LineEndChoice::kCrLf:
      options.outputLineEnd = LineEnd::kCrLf;
      break;
    case LineEndChoice::kSource:
      options.lineEndFromSource = true;
      break;
  }
  return options;
}

}  // namespace notora
