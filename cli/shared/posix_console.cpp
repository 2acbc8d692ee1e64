#include "cli/shared/console.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace notora {
namespace {

volatile std::sig_atomic_t interruptRequested = 0;

extern "C" void OnInterrupt(int) { interruptRequested = 1; }

std::FILE* StreamOf(ConsoleStream stream) { return stream == ConsoleStream::kOut ? stdout : stderr; }

}  // namespace

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

void WriteToConsole(ConsoleStream stream, std::string_view text) {
  // One write per text: the stream's lock keeps it whole.
  std::FILE* file = StreamOf(stream);
  std::fwrite(text.data(), 1, text.size(), file);
  std::fflush(file);
}

bool IsInteractive(ConsoleStream stream) {
  return ::isatty(stream == ConsoleStream::kOut ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

std::string ErasedLine(std::size_t) { return "\r\033[K"; }

void InstallInterruptHandler() {
  struct sigaction action = {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
}

bool InterruptRequested() { return interruptRequested != 0; }

}  // namespace notora
