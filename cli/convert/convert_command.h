// notora-cli convert: one conversion of a source into a new IGES file beside
// it, exactly as the dialog's Execute button runs it.
#pragma once

#include <string>

#include "view/conversion_flags.h"

namespace CLI {
class App;
}

namespace notora {

class ConvertCommand {
 public:
  // Declares the subcommand on `app`, bound to this object.
  explicit ConvertCommand(CLI::App* app);

  bool chosen() const;
  // Runs the conversion on the terminal (the report on standard output,
  // every other message on standard error; Ctrl-C cancels). Returns the exit
  // status: 0 written, 1 nothing to convert (no file made), 2 after an
  // error, a refusal or a cancel.
  int Run() const;

 private:
  CLI::App* command_;
  ConversionFlags flags_;
  std::string source_;
  std::string outputName_;
};

}  // namespace notora
