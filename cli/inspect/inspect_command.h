// notora-cli inspect: lists every General Note of a source, read with the
// checks of a conversion, and changes nothing.
#pragma once

#include <string>

namespace CLI {
class App;
}

namespace notora {

class InspectCommand {
 public:
  // Declares the subcommand on `app`, bound to this object.
  explicit InspectCommand(CLI::App* app);

  // True when the command line chose this subcommand.
  bool chosen() const;
  // Reads the source and prints its notes and the counters on standard
  // output (faults on standard error). Returns the exit status: 0, or 2
  // after a fault, which is shown as a conversion shows it.
  int Run() const;

 private:
  CLI::App* command_;
  std::string source_;
  bool json_ = false;
  bool allowZeroColumns_ = false;
};

}  // namespace notora
