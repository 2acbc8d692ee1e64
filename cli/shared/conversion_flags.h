// The conversion options of the command line, shared by every subcommand
// that converts (or shows what a conversion would do).
#pragma once

#include <string>

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

  // Declares the options on `command`, bound to this object.
  void AddTo(CLI::App* command);
  // The run options these flags stand for (outputName left empty).
  RunOptions ToRunOptions() const;
  // True when the command line of `command` (on which AddTo declared the
  // flags) gave any of them.
  static bool AnyGiven(const CLI::App& command);
  // The flags in command-line form, the mode always and the others when they
  // differ from their defaults ("-m jis -v --negative-width minus").
  std::string Describe() const;
};

}  // namespace notora
