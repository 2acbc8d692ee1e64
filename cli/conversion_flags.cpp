#include "cli/conversion_flags.h"

#include <CLI/CLI.hpp>

namespace notora {

TextEncoding EncodingNamed(const std::string& name) {
  if (name == "euc-jp") return TextEncoding::kEucJp;
  if (name == "utf-8") return TextEncoding::kUtf8;
  return TextEncoding::kShiftJis;
}

std::string EncodingName(TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::kEucJp:
      return "euc-jp";
    case TextEncoding::kUtf8:
      return "utf-8";
    case TextEncoding::kShiftJis:
      break;
  }
  return "shift_jis";
}

void AddSourceEncodingOption(CLI::App* command, std::string* name) {
  command->add_option("--source-encoding", *name,
                      "the encoding of note text (fonts other than 2001) in the source")
      ->check(CLI::IsMember({"shift_jis", "euc-jp", "utf-8"}))
      ->capture_default_str();
}

void ConversionFlags::AddTo(CLI::App* command, bool withLineEnd) {
  command->add_option("-m,--mode", mode,
                      "jis: full-width to JIS code (全角⇒JISｺｰﾄﾞ); fullwidth: JIS code to "
                      "full-width (JISｺｰﾄﾞ⇒全角); none: no text conversion (なし)")
      ->check(CLI::IsMember({"jis", "fullwidth", "none"}))
      ->capture_default_str();
  command->add_flag("-v,--vertical-to-horizontal", verticalToHorizontal,
                    "make every character of a vertical string a horizontal block (縦書き⇒横書き)");
  command->add_option("--vertical-input", verticalInput,
                      "where vertical strings hold their variable box value on input: "
                      "before (width field) or after (height field)")
      ->check(CLI::IsMember({"before", "after"}))
      ->capture_default_str();
  command->add_option("--vertical-output", verticalOutput,
                      "where to write the variable box value of vertical strings: before or after")
      ->check(CLI::IsMember({"before", "after"}))
      ->capture_default_str();
  command->add_option("--jis-fallback", jisFallback,
                      "JIS code written for a character without one: 2121 (space) or FFFF")
      ->check(CLI::IsMember({"2121", "FFFF"}))
      ->capture_default_str();
  command->add_option("--fullwidth-fallback", fullWidthFallback,
                      "character written for a JIS code without one: space (　) or quote (＂)")
      ->check(CLI::IsMember({"space", "quote"}))
      ->capture_default_str();
  command->add_option("--negative-width", negativeWidth,
                      "negative character widths: plus (made positive), minus (kept) or "
                      "error (refused)")
      ->check(CLI::IsMember({"plus", "minus", "error"}))
      ->capture_default_str();
  command->add_flag("--allow-zero-columns", allowZeroColumns,
                    "accept General Notes with no strings (列数ｾﾞﾛをｴﾗｰ off)");
  AddSourceEncodingOption(command, &sourceEncoding);
  command->add_option("--output-encoding", outputEncoding,
                      "the encoding note text (fonts other than 2001) is written in")
      ->check(CLI::IsMember({"shift_jis", "euc-jp", "utf-8"}))
      ->capture_default_str();
  if (withLineEnd) {
    command->add_option("--line-end", lineEnd,
                        "how the output's records end: platform (as text files here), lf, "
                        "crlf, or source (as the source's first record)")
        ->check(CLI::IsMember({"platform", "lf", "crlf", "source"}))
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
  options.conversionMode = mode == "jis" ? 0 : mode == "fullwidth" ? 1 : 2;
  options.verticalToHorizontal = verticalToHorizontal ? 1 : 0;
  options.verticalValueInput = verticalInput == "after" ? 1 : 0;
  options.verticalValueOutput = verticalOutput == "after" ? 1 : 0;
  options.jisFallback = jisFallback == "FFFF" ? 1 : 0;
  options.fullWidthFallback = fullWidthFallback == "quote" ? 1 : 0;
  options.negativeWidthMode = negativeWidth == "minus" ? 1 : negativeWidth == "error" ? 2 : 0;
  options.zeroColumnsIsError = allowZeroColumns ? 0 : 1;
  options.sourceEncoding = EncodingNamed(sourceEncoding);
  options.outputEncoding = EncodingNamed(outputEncoding);
  options.lineEnd = lineEnd == "lf"       ? LineEnd::kLf
                    : lineEnd == "crlf"   ? LineEnd::kCrLf
                    : lineEnd == "source" ? LineEnd::kSource
                                          : LineEnd::kPlatform;
  return options;
}

}  // namespace notora
