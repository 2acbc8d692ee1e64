#include "tests/cli/cli_runner.h"

namespace notora::testing {

ProgramId StartCli(const std::string& directory, const std::vector<std::string>& args,
                   const std::string& outPath, const std::string& errPath) {
  return StartProgram(NOTORA_CLI_PATH, directory, args, outPath, errPath);
}

CliRun CliTest::Cli(const std::vector<std::string>& args) {
  const std::string out = logs_.File("out"), err = logs_.File("err");
  return FinishProgram(StartCli(dir_.path(), args, out, err), out, err);
}

std::string CliTest::Source(const std::string& name, const std::string& bytes) {
  const std::string path = dir_.File(name);
  WriteFile(path, bytes);
  return path;
}

}  // namespace notora::testing
