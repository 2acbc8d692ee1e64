// Programs started and waited for with posix_spawn and waitpid.
#include "tests/cli/cli_runner.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace notora::testing {

ProgramId StartProgram(const std::string& program, const std::string& directory,
                       const std::vector<std::string>& args, const std::string& outPath,
                       const std::string& errPath) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addchdir_np(&actions, directory.c_str());
  std::vector<std::string> copies = args;
  std::string name = program;
  std::vector<char*> argv;
  argv.push_back(name.data());
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

CliRun FinishProgram(ProgramId program, const std::string& outPath, const std::string& errPath) {
  CliRun run;
  if (program < 0) {
    run.err = "the program could not be started";
    return run;
  }
  int status = 0;
  waitpid(static_cast<pid_t>(program), &status, 0);
  run.exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  run.out = ReadFile(outPath);
  run.err = ReadFile(errPath);
  return run;
}

}  // namespace notora::testing
