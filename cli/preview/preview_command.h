// notora-cli preview: draws the General Notes of a source as an SVG
// picture, and with conversion options also the notes as the conversion
// would write them.
#pragma once

#include <string>

#include "view/conversion_flags.h"

namespace CLI {
class App;
}

namespace notora {

class PreviewCommand {
 public:
  // Declares the subcommand on `app`, bound to this object.
  explicit PreviewCommand(CLI::App* app);

  bool chosen() const;
  // Reads the source (and converts it in memory when conversion options were
  // given), then writes the picture, never over an existing file. Returns
  // the exit status: 0 written; 2 after a fault, a refusal or a failed
  // write, each shown on standard error.
  int Run() const;

 private:
  CLI::App* command_;
  ConversionFlags flags_;
  std::string source_;
  std::string picture_;
  bool overlay_ = false;
};

}  // namespace notora
