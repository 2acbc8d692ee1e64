#include "cli/terminal_ui.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace notora {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) { interruptRequested = 1; }

}  // namespace

TerminalUi::TerminalUi(std::string prefix)
    : prefix_(std::move(prefix)), showProgress_(::isatty(STDERR_FILENO) == 1) {}

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
  std::string line = prefix_;
  line.append(text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stream);
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
