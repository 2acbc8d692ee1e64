// Programs started and waited for with CreateProcessW. The arguments are
// written into one command line that CommandLineToArgvW (and the C runtime)
// splits back into the same arguments.
#include "tests/cli/cli_runner.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>

#include "base/utf8_path.h"

namespace notora::testing {
namespace {

// `argument` quoted for a Windows command line: backslashes are literal
// except before a quotation mark, where they and the mark are escaped.
std::wstring Quoted(const std::wstring& argument) {
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, L'\\');
  return quoted + L"\"";
}

// An inheritable handle to `path`: the null device for reading, or a file
// made anew for writing.
HANDLE InheritableFile(const std::wstring& path, bool forWriting) {
  SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
  return ::CreateFileW(path.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       forWriting ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Why the last start on this thread failed, for the run that reports it.
thread_local std::string startFailure;

// `step` and the error it left; called straight after the step, before
// anything else can set another.
std::string Failure(const char* step) {
  const DWORD error = ::GetLastError();
  return std::string(step) + " failed, Windows error " + std::to_string(error);
}

// InheritableFile, noting in startFailure why it failed.
HANDLE StandardHandle(const std::wstring& path, bool forWriting, const char* step) {
  const HANDLE handle = InheritableFile(path, forWriting);
  if (handle == INVALID_HANDLE_VALUE) startFailure = Failure(step);
  return handle;
}

}  // namespace

ProgramId StartProgram(const std::string& program, const std::string& directory,
                       const std::vector<std::string>& args, const std::string& outPath,
                       const std::string& errPath) {
  const std::wstring application = PathOf(program).wstring();
  std::wstring commandLine = Quoted(application);
  for (const std::string& arg : args) commandLine += L" " + Quoted(PathOf(arg).wstring());

  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = StandardHandle(L"NUL", false, "opening NUL for standard input");
  startup.hStdOutput =
      StandardHandle(PathOf(outPath).wstring(), true, "making the standard output's file");
  startup.hStdError =
      StandardHandle(PathOf(errPath).wstring(), true, "making the standard error's file");
  PROCESS_INFORMATION process = {};
  const bool handlesOpen = startup.hStdInput != INVALID_HANDLE_VALUE &&
                           startup.hStdOutput != INVALID_HANDLE_VALUE &&
                           startup.hStdError != INVALID_HANDLE_VALUE;
  const bool started =
      handlesOpen && ::CreateProcessW(application.c_str(), commandLine.data(), nullptr, nullptr,
                                      TRUE, CREATE_NEW_PROCESS_GROUP, nullptr,
                                      PathOf(directory).wstring().c_str(), &startup, &process);
  if (handlesOpen && !started) startFailure = Failure("CreateProcessW");
  for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError}) {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
  if (!started) return -1;
  ::CloseHandle(process.hThread);
  return reinterpret_cast<ProgramId>(process.hProcess);
}

CliRun FinishProgram(ProgramId program, const std::string& outPath, const std::string& errPath) {
  CliRun run;
  if (program == -1) {
    run.err = "the program could not be started: " + startFailure;
    return run;
  }
  const HANDLE process = reinterpret_cast<HANDLE>(program);
  DWORD exitCode = 0;
  std::string waitFailure;
  if (::WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0) {
    waitFailure = Failure("WaitForSingleObject");
  } else if (!::GetExitCodeProcess(process, &exitCode)) {
    waitFailure = Failure("GetExitCodeProcess");
  } else {
    run.exitStatus = static_cast<int>(exitCode);
  }
  ::CloseHandle(process);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath) + waitFailure;
  return run;
}

}  // namespace notora::testing
