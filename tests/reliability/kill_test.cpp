// A run killed at any instant leaves either the whole output under its name
// or nothing there, and nothing beside it: killed at every record of the
// sweep, at every entry of the Directory Entry section written last, at
// every write of the output, at its flush and on either side of the step
// that gives it its name. Each run goes in a child process that kills
// itself (SIGKILL, which nothing can catch) at the chosen point.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "iges/file_system.h"
#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"

namespace notora {
namespace {

// Where a run is killed: at a cancel poll, or at an event of its output
// (each write, the flush, just before and just after the output is given
// its name), both counted from 1; 0 never.
struct KillPoint {
  int poll = 0;
  int outputEvent = 0;
};

class KillingUi : public RunUi {
 public:
  explicit KillingUi(int killAt) : killAt_(killAt) {}
  void ShowMessage(MessageKind, std::string_view) override {}
  void BeginWaitCursor() override {}
  void EndWaitCursor() override {}
  void ShowProgress(std::int32_t) override {}
  bool PollCancel() override {
    if (++polls == killAt_) std::raise(SIGKILL);
    return false;
  }
  int polls = 0;

 private:
  int killAt_;
};

class KillingOutput : public OutputFile {
 public:
  KillingOutput(std::unique_ptr<OutputFile> inner, int killAt, int* events)
      : inner_(std::move(inner)), killAt_(killAt), events_(events) {}
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    Event();
    return inner_->WriteAt(offset, data, size);
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return inner_->ReadAt(offset, buffer, size);
  }
  bool Sync() override {
    Event();
    return inner_->Sync();
  }
  PublishResult Publish() override {
    Event();
    const PublishResult result = inner_->Publish();
    Event();
    return result;
  }
  bool Discard() override { return inner_->Discard(); }

 private:
  void Event() {
    if (++*events_ == killAt_) std::raise(SIGKILL);
  }
  std::unique_ptr<OutputFile> inner_;
  int killAt_;
  int* events_;
};

class KillingFiles : public FileSystem {
 public:
  explicit KillingFiles(int killAt) : killAt_(killAt) {}
  bool Exists(const std::string& path, bool followLinks) override {
    return SystemFileSystem().Exists(path, followLinks);
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    return SystemFileSystem().OpenInput(path);
  }
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    std::unique_ptr<OutputFile> inner = SystemFileSystem().CreateOutput(path);
    if (inner == nullptr) return nullptr;
    return std::make_unique<KillingOutput>(std::move(inner), killAt_, &events);
  }
  int events = 0;

 private:
  int killAt_;
};

// A drawing of about 5 MB, read ahead on the stream's thread, with notes to
// convert spread over it.
std::string Drawing() {
  testing::IgesFile file;
  for (int i = 0; i < 20000; ++i) {
    file.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
    if (i % 50 == 0) file.Entity(212, "212,1,4,2.,1.,1,0.,0.,0,0,0.,0.,0.,4H\x8A\xBF\x8E\x9A;");
    if (i % 7 == 0) file.Entity(126, "126," + std::string(200, '7') + ";");
  }
  return file.Build();
}

RunOptions Options() {
  RunOptions options;
  options.outputName = "out";
  return options;
}

// Runs the conversion of `source` to "out" killed at `point`; never returns.
[[noreturn]] void RunKilled(const std::string& source, KillPoint point) {
  KillingUi ui(point.poll);
  KillingFiles files(point.outputEvent);
  RunConversion(Options(), source, ui, files);
  std::_Exit(0);
}

class KillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    source_ = dir_.File("drawing.igs");
    testing::WriteFile(source_, Drawing());
    KillingUi ui(0);
    KillingFiles files(0);
    ASSERT_EQ(RunConversion(Options(), source_, ui, files).outcome, RunOutcome::kWritten);
    expected_ = testing::ReadFile(dir_.File("out.igs"));
    polls_ = ui.polls;
    outputEvents_ = files.events;
    std::filesystem::remove(dir_.File("out.igs"));
  }

  // Kills a run at `point` and checks what it left.
  void KillAt(KillPoint point) {
    SCOPED_TRACE("killed at poll " + std::to_string(point.poll) + ", output event " +
                 std::to_string(point.outputEvent));
    EXPECT_EXIT(RunKilled(source_, point), ::testing::KilledBySignal(SIGKILL), "");
    const std::string output = dir_.File("out.igs");
    const bool whole = std::filesystem::exists(output);
    if (whole) {
      EXPECT_TRUE(testing::ReadFile(output) == expected_) << "a torn output";
    }
    // Nothing else beside the source: an output without a name vanishes
    // with the process.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      EXPECT_TRUE(name == "drawing.igs" || name == "out.igs") << name << " was left behind";
    }
    std::filesystem::remove(output);
  }

  testing::TempDir dir_;
  std::string source_;
  std::string expected_;
  int polls_ = 0;
  int outputEvents_ = 0;
};

TEST_F(KillTest, AtRecordsOfTheSweepAndEntriesOfTheLastSection) {
  ASSERT_GT(polls_, 1000);
  for (int poll = 1; poll <= polls_; poll += polls_ / 97) KillAt({poll, 0});
  KillAt({polls_, 0});
}

TEST_F(KillTest, AtEveryEventOfTheOutput) {
  ASSERT_GT(outputEvents_, 5);
  for (int event = 1; event <= outputEvents_; ++event) KillAt({0, event});
  // Killed after its name was given: the whole output stands.
  EXPECT_EXIT(RunKilled(source_, {0, outputEvents_}), ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(testing::ReadFile(dir_.File("out.igs")), expected_);
}

}  // namespace
}  // namespace notora
