// Running notora-cli as its callers do: in a directory, with standard output
// and standard error caught in files.
#pragma once

#include <gtest/gtest.h>

#include <sys/types.h>

#include <string>
#include <vector>

#include "tests/support/iges_builder.h"

namespace notora::testing {

struct CliRun {
  int exitStatus = -1;
  std::string out;
  std::string err;
};

// Starts `program` with `args` in `directory`; stdout and stderr go to the
// files named. Returns the process id (-1 when it could not be started).
pid_t StartProgram(const std::string& program, const std::string& directory,
                   const std::vector<std::string>& args, const std::string& outPath,
                   const std::string& errPath);

// Starts notora-cli (StartProgram).
pid_t StartCli(const std::string& directory, const std::vector<std::string>& args,
               const std::string& outPath, const std::string& errPath);

// Waits for `pid` and collects its exit status and output.
CliRun FinishProgram(pid_t pid, const std::string& outPath, const std::string& errPath);

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
