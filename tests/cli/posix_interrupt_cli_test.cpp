// notora-cli reading a pipe: read once like a file, and under an interrupt,
// Ctrl-C (SIGINT) acting as the Escape key.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <thread>

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

// A drawing larger than the blocks the source is read through comes out of
// a pipe as it comes out of the file.
TEST_F(CliTest, APipeIsConvertedAsTheFileIs) {
  testing::IgesFile file;
  for (int i = 0; i < 30000; ++i) {
    file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
    if (i % 100 == 0) file.Entity(212, kNote);
  }
  const std::string bytes = file.Build();
  ASSERT_GT(bytes.size(), 5u << 20);
  testing::WriteFile(dir_.File("file.igs"), bytes);
  EXPECT_EQ(Cli({"convert", "file.igs", "from-file"}).exitStatus, 0);

  const std::string fifo = dir_.File("pipe.igs");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string out = logs_.File("out"), err = logs_.File("err");
  const testing::ProgramId pid =
      testing::StartCli(dir_.path(), {"convert", "pipe.igs", "from-pipe"}, out, err);
  std::thread feeder([&] {
    const int writer = ::open(fifo.c_str(), O_WRONLY);
    if (writer < 0) return;
    for (std::size_t at = 0; at < bytes.size();) {
      const ssize_t n = ::write(writer, bytes.data() + at, std::min<std::size_t>(65536, bytes.size() - at));
      if (n <= 0) break;
      at += static_cast<std::size_t>(n);
    }
    ::close(writer);
  });
  CliRun run = testing::FinishProgram(pid, out, err);
  feeder.join();
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_EQ(testing::ReadFile(dir_.File("from-pipe.igs")), testing::ReadFile(dir_.File("from-file.igs")));
}

}  // namespace
}  // namespace notora
