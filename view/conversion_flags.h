// The conversion options in the command line's words, shared by every
// subcommand that converts (or shows what a conversion would do) and by the
// browser page: the words, and the run options they stand for.
#pragma once

#include <string>
#include <vector>

#include "base/run_options.h"

namespace notora {

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
  bool keepPointers = false;

  // The run options these flags stand for (outputName left empty).
  RunOptions ToRunOptions() const;
  // The flags that stand for `options` (the outputName aside): ToRunOptions
  // of the result gives them back. A line end that is this system's own is
  // "platform".
  static ConversionFlags Of(const RunOptions& options);
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

}  // namespace notora
