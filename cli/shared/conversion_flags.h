// The conversion options of the command line, shared by every subcommand
// that converts (or shows what a conversion would do).
#pragma once

#include <string>
#include <vector>

#include "base/run_options.h"

namespace CLI {
class App;
}

namespace notora {

// Declares --allow-zero-columns on `command`, bound to `*allowZeroColumns`:
// off by default; given, a General Note with no strings is accepted
// (zeroColumnsIsError false).
void AddAllowZeroColumnsFlag(CLI::App* command, bool* allowZeroColumns);

struct ConversionFlags {
  std::string mode = "jis";
  bool verticalToHorizontal = false;
  std::string verticalInput = "before";
  std::string verticalOutput = "before";
  std::string jisFallback = "2121";
  std::string fullWidthFallback = "space";
  std::string negativeWidth = "plus";
  bool allowZeroColumns = false;
  std::string sourceEncoding = "shift_jis";
  std::string outputEncoding = "shift_jis";
  std::string lineEnd = "platform";

  // Declares the options on `command`, bound to this object; --line-end only
  // with `withLineEnd` (for the commands that write IGES files).
  void AddTo(CLI::App* command, bool withLineEnd = true);
  // The run options these flags stand for (outputName left empty).
  RunOptions ToRunOptions() const;
  // The flags that stand for `options` (the outputName aside): ToRunOptions
  // of the result gives them back. A line end that is this system's own is
  // "platform".
  static ConversionFlags Of(const RunOptions& options);
  // True when the command line of `command` (on which AddTo declared the
  // flags) gave any of them that changes what a conversion writes (all but
  // --source-encoding, which says how the source is read).
  static bool AnyGiven(const CLI::App& command);
  // The flags in command-line form, the mode always and the others when they
  // differ from their defaults ("-m jis -v --negative-width minus").
  std::string Describe() const;
};

// The encoding named on the command line: "shift_jis", "euc-jp" or "utf-8".
TextEncoding EncodingNamed(const std::string& name);
// The command-line name of `encoding`.
std::string EncodingName(TextEncoding encoding);
// The command-line names of the encodings, in the order they are offered
// ("shift_jis" first, the default).
std::vector<std::string> EncodingNames();
// The command-line names of the line ends --line-end offers ("platform"
// first, the default).
std::vector<std::string> LineEndNames();
// Adds --source-encoding to `command`, bound to `name`.
void AddSourceEncodingOption(CLI::App* command, std::string* name);

}  // namespace notora
