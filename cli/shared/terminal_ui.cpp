#include "cli/shared/terminal_ui.h"

#include "cli/shared/console.h"

namespace notora {

TerminalUi::TerminalUi(std::string prefix, bool showProgress)
    : prefix_(std::move(prefix)), showProgress_(showProgress && IsInteractive(ConsoleStream::kError)) {}

TerminalUi::~TerminalUi() { ClearProgress(); }

void TerminalUi::InstallInterruptHandler() { notora::InstallInterruptHandler(); }

void TerminalUi::ShowMessage(MessageKind kind, std::string_view text) {
  ClearProgress();
  // Every line of the text, the last one included, gets the prefix and a
  // line feed.
  std::string lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    lines += prefix_;
    lines.append(text.substr(start, end == std::string_view::npos ? end : end - start));
    lines.push_back('\n');
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  WriteToConsole(kind == MessageKind::kReport ? ConsoleStream::kOut : ConsoleStream::kError, lines);
}

void TerminalUi::EndWaitCursor() { ClearProgress(); }

void TerminalUi::ShowProgress(std::int32_t recordNumber) {
  if (!showProgress_) return;
  const std::string line = prefix_ + std::to_string(recordNumber);
  WriteToConsole(ConsoleStream::kError, "\r" + line);
  progressWidth_ = line.size();
}

bool TerminalUi::PollCancel() { return InterruptRequested(); }

void TerminalUi::ClearProgress() {
  if (progressWidth_ == 0) return;
  WriteToConsole(ConsoleStream::kError, ErasedLine(progressWidth_));
  progressWidth_ = 0;
}

}  // namespace notora
