// What a run promises the file system: nothing but the output path is ever
// created or changed; the output is created exclusively, so a file, a
// dangling link or a link to another file at its path is never written
// through, even when it appears after the run's own check; and a folder
// without write permission gets no output.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "tests/support/note_fixtures.h"
#include "run/conversion_run.h"
#include "base/messages.h"
#include "base/utf8_path.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

namespace fs = std::filesystem;

std::string Error(MessageId id) { return "error: " + FormatMessage(id); }

std::string Convertible() { return testing::NoteFixtures().front().bytes; }

// Everything under a folder, links not followed: for each path (relative to
// the folder, "/" between its parts) its kind and, for a file, its bytes and
// modification time, for a link its target.
std::map<std::string, std::string> Snapshot(const std::string& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(PathOf(root))) {
    const std::string path = Utf8Of(entry.path());
    const std::u8string relative = entry.path().lexically_relative(PathOf(root)).generic_u8string();
    const std::string name(relative.begin(), relative.end());
    if (const std::optional<std::string> target = testing::LinkAt(path)) {
      entries[name] = "link to " + *target;
    } else if (fs::is_directory(entry.path())) {
      entries[name] = "folder";
    } else {
      entries[name] = "file, modified " + testing::ModificationTime(path) + ": " + testing::ReadFile(path);
    }
  }
  return entries;
}

RunOptions Named(const std::string& name) {
  RunOptions options;
  options.outputName = name;
  return options;
}

// Each test runs with every way the system's file layer gives an output its
// name (on POSIX: as on a local disk, and as on file systems without
// unnamed files, without a rename that refuses to replace, and without
// links, where the name is reserved at the start).
class FilePromisesTest : public ::testing::TestWithParam<testing::PublishWay> {
 protected:
  void SetUp() override {
    fs::create_directories(dir_.File("work/sub"));
    fs::create_directories(dir_.File("other"));
    testing::WriteFile(dir_.File("work/drawing.igs"), Convertible());
    testing::WriteFile(dir_.File("work/plain.igs"),
                       testing::IgesFile().Entity(110, "110,0.,0.,0.,1.,1.,1.;").Build());
    std::string broken = Convertible();
    broken[broken.size() - 2 * 81 + 64] = 'X';  // column 65 of the last P record
    testing::WriteFile(dir_.File("work/broken.igs"), broken);
    testing::WriteFile(dir_.File("work/sub/kept.igs"), Convertible());
    testing::WriteFile(dir_.File("other/kept.igs"), Convertible());
    linksMade_ = testing::MakeSymbolicLink(dir_.File("work/drawing.igs"), dir_.File("work/alias.igs"));
  }

  static FileSystem& files() { return *GetParam().files; }

  testing::TempDir dir_;
  bool linksMade_ = false;
  testing::RecordingUi ui_;
};

TEST_P(FilePromisesTest, NothingButTheOutputPathIsCreatedOrChanged) {
  auto before = Snapshot(dir_.path());
  auto expectOnly = [&](const std::string& added) {
    auto after = Snapshot(dir_.path());
    if (!added.empty()) {
      EXPECT_EQ(after.count(added), 1u) << added;
      after.erase(added);
    }
    EXPECT_EQ(after, before);
    before = Snapshot(dir_.path());
  };

  EXPECT_EQ(RunConversion(Named("out"), dir_.File("work/drawing.igs"), ui_, files()).outcome,
            RunOutcome::kWritten);
  expectOnly("work/out.igs");
  EXPECT_EQ(RunConversion(Named("none"), dir_.File("work/plain.igs"), ui_, files()).outcome,
            RunOutcome::kNothingConverted);
  expectOnly("");
  EXPECT_EQ(RunConversion(Named("broken"), dir_.File("work/broken.igs"), ui_, files()).outcome,
            RunOutcome::kFailed);
  expectOnly("");
  // An output error leaves nothing: no partial file, nothing beside it.
  testing::FaultPlan fullDisk;
  fullDisk.failWriteAfter = 100;
  testing::FaultyFiles faulty(fullDisk, &files());
  EXPECT_EQ(RunConversion(Named("partial"), dir_.File("work/drawing.igs"), ui_, faulty).outcome,
            RunOutcome::kFailed);
  expectOnly("");
  // A second run to the same name changes nothing.
  EXPECT_EQ(RunConversion(Named("out"), dir_.File("work/drawing.igs"), ui_, files()).outcome,
            RunOutcome::kFailed);
  expectOnly("");
}

TEST_P(FilePromisesTest, ASourceReachedThroughALinkGetsItsOutputBesideTheLink) {
  if (!linksMade_) GTEST_SKIP() << testing::kNoSymbolicLinks;
  const auto before = Snapshot(dir_.path());
  EXPECT_EQ(RunConversion(Named("via-link"), dir_.File("work/alias.igs"), ui_, files()).outcome,
            RunOutcome::kWritten);
  auto after = Snapshot(dir_.path());
  EXPECT_EQ(after.erase("work/via-link.igs"), 1u);
  EXPECT_EQ(after, before);
}

// Something at the output path: a file, a dangling link, a link to a file.
// Each returns false when it could not place its occupant (links where the
// system makes none).
struct Occupant {
  const char* name;
  bool (*place)(const testing::TempDir& dir);
};

const Occupant kOccupants[] = {
    {"file",
     [](const testing::TempDir& dir) {
       testing::WriteFile(dir.File("work/out.igs"), "precious");
       return true;
     }},
    {"dangling link",
     [](const testing::TempDir& dir) {
       return testing::MakeSymbolicLink(dir.File("work/nowhere.igs"), dir.File("work/out.igs"));
     }},
    {"link to a file",
     [](const testing::TempDir& dir) {
       return testing::MakeSymbolicLink(dir.File("other/kept.igs"), dir.File("work/out.igs"));
     }},
};

TEST_P(FilePromisesTest, AnythingAtTheOutputPathIsNeverWrittenThrough) {
  bool linksMissing = false;
  for (const Occupant& occupant : kOccupants) {
    SCOPED_TRACE(occupant.name);
    fs::remove(PathOf(dir_.File("work/out.igs")));
    if (!occupant.place(dir_)) {
      linksMissing = true;
      continue;
    }
    const auto before = Snapshot(dir_.path());
    testing::RecordingUi ui;
    EXPECT_EQ(RunConversion(Named("out"), dir_.File("work/drawing.igs"), ui, files()).outcome,
              RunOutcome::kFailed);
    EXPECT_EQ(ui.messages, std::vector<std::string>{Error(MessageId::OutputExists)});
    EXPECT_EQ(Snapshot(dir_.path()), before);
  }
  if (linksMissing) GTEST_SKIP() << "files checked; links not: " << testing::kNoSymbolicLinks;
}

// The real file system, except that the output path looks free when the run
// first checks it: as if the occupant arrived between the check and the
// creation.
class LateOccupantFiles : public FileSystem {
 public:
  LateOccupantFiles(std::string outputPath, FileSystem* files)
      : outputPath_(std::move(outputPath)), files_(files) {}
  bool Exists(const std::string& path, bool followLinks) override {
    if (path == outputPath_ && !checked_) {
      checked_ = true;
      return false;
    }
    return files_->Exists(path, followLinks);
  }
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override {
    return files_->OpenInput(path);
  }
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    return files_->CreateOutput(path);
  }

 private:
  std::string outputPath_;
  FileSystem* files_;
  bool checked_ = false;
};

TEST_P(FilePromisesTest, AnOccupantThatArrivesAfterTheCheckIsNotWrittenThroughEither) {
  bool linksMissing = false;
  for (const Occupant& occupant : kOccupants) {
    SCOPED_TRACE(occupant.name);
    fs::remove(PathOf(dir_.File("work/out.igs")));
    if (!occupant.place(dir_)) {
      linksMissing = true;
      continue;
    }
    const auto before = Snapshot(dir_.path());
    testing::RecordingUi ui;
    LateOccupantFiles late(dir_.File("work/out.igs"), &files());
    EXPECT_EQ(RunConversion(Named("out"), dir_.File("work/drawing.igs"), ui, late).outcome,
              RunOutcome::kFailed);
    // Found when the whole output is to take its name, which it never
    // takes from anything standing there (or, where the name is reserved
    // at the start, when it is to be reserved).
    EXPECT_EQ(ui.messages, std::vector<std::string>{Error(MessageId::OutputExists)});
    EXPECT_EQ(Snapshot(dir_.path()), before);
  }
  if (linksMissing) GTEST_SKIP() << "files checked; links not: " << testing::kNoSymbolicLinks;
}

// Runs a conversion into `folder`, which the caller cannot write, and exits
// 0 when it ended with the open-failure message and created nothing.
void ConvertIntoReadOnlyFolder(const std::string& folder, FileSystem& files) {
  const auto before = Snapshot(folder);
  testing::RecordingUi ui;
  RunConversion(Named("out"), folder + "/drawing.igs", ui, files);
  const bool asPromised = ui.messages == std::vector<std::string>{Error(MessageId::OutputOpenFailed)} &&
                          Snapshot(folder) == before;
  if (!asPromised) {
    for (const std::string& message : ui.messages) std::fprintf(stderr, "%s\n", message.c_str());
  }
  std::_Exit(asPromised ? 0 : 1);
}

TEST_P(FilePromisesTest, FolderWithoutWritePermissionGetsNoOutput) {
  const std::string folder = dir_.File("work");
  switch (testing::HowToProtectFolders()) {
    case testing::FolderProtection::kPermissions:
      fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
      EXPECT_EXIT(ConvertIntoReadOnlyFolder(folder, files()), ::testing::ExitedWithCode(0), "");
      fs::permissions(folder, fs::perms::owner_all);
      break;
    case testing::FolderProtection::kNobodyInChild:
      // root may write anywhere: the run goes on as the unprivileged "nobody"
      // in a folder that only root may write to.
      fs::permissions(dir_.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                       fs::perms::others_read | fs::perms::others_exec);
      fs::permissions(folder, fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
      EXPECT_EXIT(
          {
            if (!testing::BecomeNobody()) std::_Exit(2);
            ConvertIntoReadOnlyFolder(folder, files());
          },
          ::testing::ExitedWithCode(0), "");
      break;
    case testing::FolderProtection::kNone:
      GTEST_SKIP() << testing::kNoFolderProtection;
  }
  EXPECT_FALSE(fs::exists(dir_.File("work/out.igs")));
}

// A file that comes to stand at the name while the output is written aside
// (on a file system that reserves the name: one that takes the place of
// the reserved empty file) is kept as it is, and nothing is left beside it.
TEST_P(FilePromisesTest, AFileThatTakesTheNameMeanwhileIsKept) {
  const std::string path = dir_.File("work/out.igs");
  const auto before = Snapshot(dir_.path());
  std::unique_ptr<OutputFile> output = files().CreateOutput(path);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(output->WriteAt(0, "whole output", 12));
  ASSERT_TRUE(output->Sync());
  // Only a reserved name stands before the end, and it is empty.
  if (fs::exists(PathOf(path))) {
    EXPECT_STREQ(GetParam().name, "reserved");
    EXPECT_EQ(testing::ReadFile(path), "");
  }
  fs::remove(PathOf(path));
  testing::WriteFile(path, "precious");
  EXPECT_EQ(output->Publish(), PublishResult::kNameTaken);
  EXPECT_EQ(testing::ReadFile(path), "precious");
  auto after = Snapshot(dir_.path());
  after.erase("work/out.igs");
  EXPECT_EQ(after, before);
}

TEST_P(FilePromisesTest, AnOutputGivenUpLeavesNothingAndAPublishedOneOnlyItself) {
  const std::string path = dir_.File("work/out.igs");
  const auto before = Snapshot(dir_.path());
  std::unique_ptr<OutputFile> output = files().CreateOutput(path);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(output->WriteAt(0, "given up", 8));
  EXPECT_TRUE(output->Discard());
  output.reset();
  EXPECT_EQ(Snapshot(dir_.path()), before);

  output = files().CreateOutput(path);
  ASSERT_NE(output, nullptr);
  ASSERT_TRUE(output->WriteAt(4, "tail", 4));
  ASSERT_TRUE(output->WriteAt(0, "head", 4));
  ASSERT_TRUE(output->Sync());
  EXPECT_EQ(output->Publish(), PublishResult::kPublished);
  output.reset();
  EXPECT_EQ(testing::ReadFile(path), "headtail");
  auto after = Snapshot(dir_.path());
  EXPECT_EQ(after.erase("work/out.igs"), 1u);
  EXPECT_EQ(after, before);
}

INSTANTIATE_TEST_SUITE_P(EveryPublishWay, FilePromisesTest,
                         ::testing::ValuesIn(testing::PublishWays()),
                         [](const ::testing::TestParamInfo<testing::PublishWay>& way) {
                           return std::string(way.param.name);
                         });

}  // namespace
}  // namespace notora
