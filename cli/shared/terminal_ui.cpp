#include "cli/shared/terminal_ui.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace notora {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) { interruptRequested = 1; }

}  // namespace

TerminalUi::TerminalUi(std::string prefix, bool showProgress)
    : prefix_(std::move(prefix)), showProgress_(showProgress && ::isatty(STDERR_FILENO) == 1) {}

TerminalUi::~TerminalUi() { ClearProgress(); }

void TerminalUi::InstallInterruptHandler() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

void TerminalUi::ShowMessage(MessageKind kind, std::string_view text) {
  ClearProgress();
  std::FILE* stream = kind == MessageKind::kReport ? stdout : stderr;
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
  // One write per message: the stream's lock keeps it whole.
  std::fwrite(lines.data(), 1, lines.size(), stream);
  std::fflush(stream);
}

void TerminalUi::EndWaitCursor() { ClearProgress(); }

void TerminalUi::ShowProgress(std::int32_t recordNumber) {
  if (!showProgress_) return;
  std::fprintf(stderr, "\r%s%d", prefix_.c_str(), static_cast<int>(recordNumber));
  std::fflush(stderr);
  progressShown_ = true;
}

bool TerminalUi::PollCancel() { return interruptRequested != 0; }

void TerminalUi::ClearProgress() {
  if (!progressShown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  progressShown_ = false;
}

}  // namespace notora
