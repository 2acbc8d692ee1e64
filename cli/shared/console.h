// The console of notora-cli: its arguments, its two output streams and its
// interrupt key, as each system has them (posix_console.cpp,
// windows_console.cpp). notora holds text in UTF-8 throughout.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace notora {

enum class ConsoleStream {
  kOut,    // standard output
  kError,  // standard error
};

// The command line's arguments in UTF-8, the program's name first. On
// Windows they are taken from the command line as Windows holds it, in
// UTF-16, so that any file name arrives whatever the code page; `argv` is
// not used there.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes `text` (UTF-8) to `stream` at once, in one piece, so that texts
// written from several threads never mix. A Windows console window is
// given the text in UTF-16 and shows it whatever its code page; a file or
// a pipe receives the UTF-8 bytes as they are, on every system.
void WriteToConsole(ConsoleStream stream, std::string_view text);

// True when `stream` is a terminal or a console window (a person watches
// it), false when it goes to a file or a pipe.
bool IsInteractive(ConsoleStream stream);

// The text that takes back a line of `width` bytes that was written after a
// carriage return, leaving the cursor at the line's start.
std::string ErasedLine(std::size_t width);

// From here on the interrupt key does not end the process but is remembered
// for InterruptRequested: Ctrl-C, and on Windows Ctrl-Break too.
void InstallInterruptHandler();
// True once the interrupt key was pressed.
bool InterruptRequested();

}  // namespace notora
