// notora-cli under an interrupt: Ctrl-C (SIGINT) acts as the Escape key.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "tests/cli/cli_runner.h"
#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::CliRun;
using testing::CliTest;

const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";

TEST_F(CliTest, InterruptActsAsEscapeAndLeavesNoOutput) {
  // The source is a pipe, so that the run is surely under way (waiting for
  // records) when the interrupt arrives.
  const std::string fifo = dir_.File("slow.igs");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string bytes = testing::IgesFile().Entity(212, kNote).Build();
  const std::string out = logs_.File("out"), err = logs_.File("err");
  const testing::ProgramId pid =
      testing::StartCli(dir_.path(), {"convert", "slow.igs", "never"}, out, err);
  // Opening the pipe for writing waits until notora-cli has opened it, after
  // it has set up its interrupt handling.
  int writer = ::open(fifo.c_str(), O_WRONLY);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, bytes.data(), 81), 81);
  ::kill(static_cast<pid_t>(pid), SIGINT);
  ASSERT_EQ(::write(writer, bytes.data() + 81, bytes.size() - 81), ssize_t(bytes.size() - 81));
  ::close(writer);
  CliRun run = testing::FinishProgram(pid, out, err);
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "ESCｷｰにより処理を中止します。　変換は出来ません。\n");
  EXPECT_FALSE(std::filesystem::exists(dir_.File("never.igs")));
}

}  // namespace
}  // namespace notora
