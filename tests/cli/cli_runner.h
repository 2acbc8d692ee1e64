// Running notora-cli as its callers do: in a directory, with standard output
// and standard error caught in files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/iges_builder.h"

namespace notora::testing {

struct CliRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// A started program: its process id on POSIX, its process handle on
// Windows; -1 for none.
using ProgramId = std::intptr_t;

// Starts `program` with `args` in `directory`; standard input reads nothing,
// stdout and stderr go to the files named. Returns -1 when it could not be
// started. (posix_program.cpp, windows_program.cpp.)
ProgramId StartProgram(const std::string& program, const std::string& directory,
                       const std::vector<std::string>& args, const std::string& outPath,
                       const std::string& errPath);

// Starts notora-cli (StartProgram).
ProgramId StartCli(const std::string& directory, const std::vector<std::string>& args,
                   const std::string& outPath, const std::string& errPath);

// Waits for `program` and collects its exit status and output.
CliRun FinishProgram(ProgramId program, const std::string& outPath, const std::string& errPath);

// A test with a working directory for notora-cli and one for its output.
class CliTest : public ::testing::Test {
 protected:
  // Runs notora-cli with `args` in dir_ and waits for it.
  CliRun Cli(const std::vector<std::string>& args);
  // Writes `bytes` to dir_/name and returns the path.
  std::string Source(const std::string& name, const std::string& bytes);

  TempDir dir_;
  TempDir logs_;
};

}  // namespace notora::testing
