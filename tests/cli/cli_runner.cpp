#include "tests/cli/cli_runner.h"

namespace notora::testing {

ProgramId StartCli(const std::string& directory, const std::vector<std::string>& args,
                   const std::string& outPath, const std::string& errPath) {
  return StartProgram(NOTORA_CLI_PATH, directory, args, outPath, errPath);
}

CliRun CliTest::Cli(const std::vector<std::string>& args) {
  const std::string out = logs_.File("out"), err = logs_.File("err");
  CliRun run = FinishProgram(StartCli(dir_.path(), args, out, err), out, err);
  // notora-cli ends with a status of its own (0, 1, 2 or 64) and says why
  // when it fails. A run with no status of its own and nothing on standard
  // output did not come from it: the program did not start, or its end was
  // lost (seen once under Wine on a loaded machine). It is run once more; the
  // second run's outcome is the test's, with what the first said before it.
  if (run.exitStatus == -1 && run.out.empty()) {
    const std::string first = run.err;
    run = FinishProgram(StartCli(dir_.path(), args, out, err), out, err);
    if (run.exitStatus == -1) run.err = "first run: " + first + "\nsecond run: " + run.err;
  }
  return run;
}

std::string CliTest::Source(const std::string& name, const std::string& bytes) {
  const std::string path = dir_.File(name);
  WriteFile(path, bytes);
  return path;
}

}  // namespace notora::testing
