#include "cli/shared/console.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "base/windows_text.h"

namespace notora {
namespace {

std::atomic<bool> interruptRequested{false};

// Console windows take at most this many characters in one call.
constexpr std::size_t kConsoleChunk = 8192;

BOOL WINAPI OnControlKey(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  interruptRequested = true;
  return TRUE;  // handled: the process goes on and the run cancels itself
}

HANDLE HandleOf(ConsoleStream stream) {
  return ::GetStdHandle(stream == ConsoleStream::kOut ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

bool IsConsoleWindow(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}

// Texts go out one at a time, so that those of several threads never mix.
std::mutex& WriteLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> arguments;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Utf8Text(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

void WriteToConsole(ConsoleStream stream, std::string_view text) {
  const HANDLE handle = HandleOf(stream);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE || text.empty()) return;
  std::lock_guard<std::mutex> lock(WriteLock());
  if (IsConsoleWindow(handle)) {
    const std::wstring wide = WideText(text);
    for (std::size_t at = 0; at < wide.size();) {
      const DWORD asked = static_cast<DWORD>(std::min(wide.size() - at, kConsoleChunk));
      DWORD written = 0;
      if (!::WriteConsoleW(handle, wide.data() + at, asked, &written, nullptr) || written == 0) return;
      at += written;
    }
    return;
  }
  // A file or a pipe: the bytes as they are, line feeds included (no text
  // mode puts carriage returns before them).
  while (!text.empty()) {
    DWORD written = 0;
    const DWORD asked = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 30));
    if (!::WriteFile(handle, text.data(), asked, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}

bool IsInteractive(ConsoleStream stream) { return IsConsoleWindow(HandleOf(stream)); }

// Console windows do not all know the escape sequence that erases a line:
// the line is written over with blanks.
std::string ErasedLine(std::size_t width) { return "\r" + std::string(width, ' ') + "\r"; }

void InstallInterruptHandler() { ::SetConsoleCtrlHandler(OnControlKey, TRUE); }

bool InterruptRequested() { return interruptRequested; }

}  // namespace notora
