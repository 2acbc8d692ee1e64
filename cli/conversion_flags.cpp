#include "cli/conversion_flags.h"

#include <CLI/CLI.hpp>

namespace notora {

void ConversionFlags::AddTo(CLI::App* command) {
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
}

bool ConversionFlags::AnyGiven(const CLI::App& command) {
  for (const char* name : {"--mode", "--vertical-to-horizontal", "--vertical-input",
                           "--vertical-output", "--jis-fallback", "--fullwidth-fallback",
                           "--negative-width", "--allow-zero-columns"}) {
    if (command.count(name) > 0) return true;
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
  return options;
}

}  // namespace notora
