// notora-cli batch: converts many sources with the same options, several
// at a time, each beside its source under a name made with a suffix.
#pragma once

#include <string>
#include <vector>

#include "view/conversion_flags.h"

namespace CLI {
class App;
}

namespace notora {

class BatchCommand {
 public:
  // Declares the subcommand on `app`, bound to this object.
  explicit BatchCommand(CLI::App* app);

  bool chosen() const;
  // Converts every source (RunBatch), then prints the summary table on
  // standard output. Returns the exit status: 0 when every file was written
  // or had nothing to convert, 2 when any failed.
  int Run() const;

 private:
  CLI::App* command_;
  ConversionFlags flags_;
  std::string suffix_;
  int jobs_ = 0;
  std::vector<std::string> sources_;
};

}  // namespace notora
