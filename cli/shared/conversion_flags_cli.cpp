// The conversion options declared on a CLI11 command.
#include "cli/shared/conversion_flags_cli.h"

#include <CLI/CLI.hpp>

#include "view/conversion_choices.h"

namespace notora {

using namespace conversion_choices;

void AddAllowZeroColumnsFlag(CLI::App* command, bool* allowZeroColumns) {
  command->add_flag("--allow-zero-columns", *allowZeroColumns,
                    "accept General Notes with no strings (列数ｾﾞﾛをｴﾗｰ off)");
}

void AddSourceEncodingOption(CLI::App* command, std::string* name) {
  command->add_option("--source-encoding", *name,
                      "the encoding of note text (fonts other than 2001) in the source")
      ->check(CLI::IsMember(Words(kEncodings)))
      ->capture_default_str();
}

void AddConversionFlags(CLI::App* command, ConversionFlags* flags, bool withLineEnd) {
  command->add_option("-m,--mode", flags->mode,
                      "jis: full-width to JIS code (全角⇒JISｺｰﾄﾞ); fullwidth: JIS code to "
                      "full-width (JISｺｰﾄﾞ⇒全角); none: no text conversion (なし)")
      ->check(CLI::IsMember(Words(kModes)))
      ->capture_default_str();
  command->add_flag("-v,--vertical-to-horizontal", flags->verticalToHorizontal,
                    "make every character of a vertical string a horizontal block (縦書き⇒横書き)");
  command->add_option("--vertical-input", flags->verticalInput,
                      "where vertical strings hold their variable box value on input: "
                      "before (width field) or after (height field)")
      ->check(CLI::IsMember(Words(kVerticalValues)))
      ->capture_default_str();
  command->add_option("--vertical-output", flags->verticalOutput,
                      "where to write the variable box value of vertical strings: before or after")
      ->check(CLI::IsMember(Words(kVerticalValues)))
      ->capture_default_str();
  command->add_option("--jis-fallback", flags->jisFallback,
                      "JIS code written for a character without one: 2121 (space) or FFFF")
      ->check(CLI::IsMember(Words(kJisFallbacks)))
      ->capture_default_str();
  command->add_option("--fullwidth-fallback", flags->fullWidthFallback,
                      "character written for a JIS code without one: space (　) or quote (＂)")
      ->check(CLI::IsMember(Words(kFullWidthFallbacks)))
      ->capture_default_str();
  command->add_option("--negative-width", flags->negativeWidth,
                      "negative character widths: plus (made positive), minus (kept) or "
                      "error (refused)")
      ->check(CLI::IsMember(Words(kNegativeWidthModes)))
      ->capture_default_str();
  AddAllowZeroColumnsFlag(command, &flags->allowZeroColumns);
  AddSourceEncodingOption(command, &flags->sourceEncoding);
  command->add_option("--output-encoding", flags->outputEncoding,
                      "the encoding note text (fonts other than 2001) is written in")
      ->check(CLI::IsMember(Words(kEncodings)))
      ->capture_default_str();
  command->add_flag("--keep-pointers", flags->keepPointers,
                    "a rebuilt note keeps the back pointers and properties after its last "
                    "string (without it only zero counts are accepted there); under -v a note "
                    "whose underscore, overscore or dimension display ranges would move stops "
                    "the run");
  if (withLineEnd) {
    command->add_option("--line-end", flags->lineEnd,
                        "how the output's records end: platform (as text files here), lf, "
                        "crlf, or source (as the source's first record)")
        ->check(CLI::IsMember(Words(kLineEnds)))
        ->capture_default_str();
  }
}

bool AnyConversionFlagGiven(const CLI::App& command) {
  for (const char* name : {"--mode", "--vertical-to-horizontal", "--vertical-input",
                           "--vertical-output", "--jis-fallback", "--fullwidth-fallback",
                           "--negative-width", "--allow-zero-columns", "--output-encoding",
                           "--line-end", "--keep-pointers"}) {
    if (command.get_option_no_throw(name) != nullptr && command.count(name) > 0) return true;
  }
  return false;
}

}  // namespace notora
