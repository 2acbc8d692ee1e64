// A run killed at any instant leaves either the whole output under its name
// or nothing there, and nothing beside it: killed at every record of the
// sweep, at every entry of the Directory Entry section written last, at
// every write of the output, at its flush and on either side of the step
// that gives it its name. Each run goes in a child process that kills
// itself (SIGKILL, which nothing can catch) at the chosen point. Every way
// the file layer publishes is killed alike; where the name is reserved at
// the start, a kill may leave it holding an empty file, with the hidden
// file written aside beside it, and nothing else.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "iges/file_system.h"
#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/test_platform.h"

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
  KillingFiles(int killAt, FileSystem* files) : killAt_(killAt), files_(files) {}
  bool Exists(const std::string& path, bool followLinks) override {
    return files_->Exists(path, followLinks);
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    return files_->OpenInput(path);
  }
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    std::unique_ptr<OutputFile> inner = files_->CreateOutput(path);
    if (inner == nullptr) return nullptr;
    return std::make_unique<KillingOutput>(std::move(inner), killAt_, &events);
  }
  int events = 0;

 private:
  int killAt_;
  FileSystem* files_;
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
// The flush polls every 50 ms while it waits, so a run may poll a few times
// fewer than the one that counted the polls: one that ends before its point
// is killed just after it ended.
[[noreturn]] void RunKilled(const std::string& source, KillPoint point, FileSystem* system) {
  KillingUi ui(point.poll);
  KillingFiles files(point.outputEvent, system);
  RunConversion(Options(), source, ui, files);
  std::raise(SIGKILL);
  std::_Exit(0);
}

class KillTest : public ::testing::TestWithParam<testing::PublishWay> {
 protected:
  void SetUp() override {
    source_ = dir_.File("drawing.igs");
    testing::WriteFile(source_, Drawing());
    KillingUi ui(0);
    KillingFiles files(0, GetParam().files);
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
    EXPECT_EXIT(RunKilled(source_, point, GetParam().files), ::testing::KilledBySignal(SIGKILL),
                "");
    const std::string output = dir_.File("out.igs");
    const bool reserves = std::string(GetParam().name) == "reserved";
    if (std::filesystem::exists(output)) {
      const std::string left = testing::ReadFile(output);
      EXPECT_TRUE(left == expected_ || (reserves && left.empty())) << "a torn output";
    }
    // Nothing else beside the source: an output without a name vanishes
    // with the process, and only an unnamed one on every file system.
    for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
      const std::string name = entry.path().filename().string();
      const bool aside = name.starts_with(".out.igs.") && name.ends_with(".part");
      const bool unnamed = std::string(GetParam().name) == "unnamed";
      EXPECT_TRUE(name == "drawing.igs" || name == "out.igs" || (aside && !unnamed))
          << name << " was left behind";
      if (aside) std::filesystem::remove(entry.path());
    }
    std::filesystem::remove(output);
  }

  testing::TempDir dir_;
  std::string source_;
  std::string expected_;
  int polls_ = 0;
  int outputEvents_ = 0;
};

TEST_P(KillTest, AtRecordsOfTheSweepAndEntriesOfTheLastSection) {
  ASSERT_GT(polls_, 1000);
  for (int poll = 1; poll <= polls_; poll += polls_ / 97) KillAt({poll, 0});
  KillAt({polls_, 0});
}

TEST_P(KillTest, AtEveryEventOfTheOutput) {
  ASSERT_GT(outputEvents_, 5);
  for (int event = 1; event <= outputEvents_; ++event) KillAt({0, event});
  // Killed after its name was given: the whole output stands.
  EXPECT_EXIT(RunKilled(source_, {0, outputEvents_}, GetParam().files),
              ::testing::KilledBySignal(SIGKILL), "");
  EXPECT_EQ(testing::ReadFile(dir_.File("out.igs")), expected_);
}

INSTANTIATE_TEST_SUITE_P(EveryPublishWay, KillTest, ::testing::ValuesIn(testing::PublishWays()),
                         [](const ::testing::TestParamInfo<testing::PublishWay>& way) {
                           return std::string(way.param.name);
                         });

}  // namespace
}  // namespace notora
