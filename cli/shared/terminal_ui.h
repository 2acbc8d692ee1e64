// TerminalUi: the run's user interface on a terminal. The report goes to
// standard output, every other message to standard error, each followed by
// one line feed. Progress is one line on standard error, updated in place,
// when standard error is a terminal. Ctrl-C (and on Windows Ctrl-Break)
// acts as the Escape key.
//
// Each message is written with one call into its stream, so that the
// messages of runs on several threads never mix within a line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/run_ui.h"

namespace notora {

class TerminalUi : public RunUi {
 public:
  // `prefix` is put before every line of every message (the batch mode names
  // the source). With showProgress false no progress is ever shown.
  explicit TerminalUi(std::string prefix = "", bool showProgress = true);
  ~TerminalUi() override;

  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override {}
  void EndWaitCursor() override;
  void ShowProgress(std::int32_t recordNumber) override;
  bool PollCancel() override;

  // Makes the interrupt key request a cancel of the running conversion
  // instead of ending the process.
  static void InstallInterruptHandler();

 private:
  void ClearProgress();

  std::string prefix_;
  bool showProgress_;
  // The length of the progress line shown; 0 when none is.
  std::size_t progressWidth_ = 0;
};

}  // namespace notora
