// The Windows file layer on a real disk, in a folder whose path is longer
// than MAX_PATH: a conversion written and published there, a name that is
// taken refused and kept, and the hidden file written aside, held by another
// program (as a virus scanner or a sync client holds one), waited for and
// never shown under its own name.
#include "iges/file_system.h"

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "base/messages.h"
#include "base/windows_text.h"
#include "iges/windows_long_path.h"
#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_fixtures.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {


std::wstring Long(const std::string& path) { return LongPath(WideText(path)).value_or(L""); }

// Each file in `folder` (links not followed), by name: "shown" or "hidden".
std::map<std::string, std::string> Listing(const std::string& folder) {
  std::map<std::string, std::string> entries;
  WIN32_FIND_DATAW found;
  const HANDLE search = ::FindFirstFileW(Long(folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return entries;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    entries[Utf8Text(name)] =
        (found.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0 ? "hidden" : "shown";
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  return entries;
}

// The name of the output's file written aside ("~out.igs.PID-N.part") in
// `folder`; empty when there is none.
std::string PartIn(const std::string& folder) {
  for (const auto& [name, shown] : Listing(folder)) {
    if (name.rfind("~out.igs.", 0) == 0 && name.size() > 5 &&
        name.substr(name.size() - 5) == ".part") {
      return name;
    }
  }
  return {};
}

bool WriteWhole(const std::string& path, std::string_view bytes, DWORD attributes) {
  const HANDLE file =
      ::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  return ::CloseHandle(file) && whole;
}

std::string ReadWhole(const std::string& path) {
  std::unique_ptr<InputFile> file = SystemFileSystem().OpenInput(path);
  if (file == nullptr) return "(cannot be opened)";
  std::string bytes;
  char buffer[4096];
  for (std::int64_t read; (read = file->Read(buffer, sizeof buffer)) > 0;) {
    bytes.append(buffer, static_cast<std::size_t>(read));
  }
  (void)file->Close();
  return bytes;
}

// Opens `path` as a scanner that reads it would: others may read and write
// it, but not rename or remove it while this handle is open.
HANDLE Hold(const std::string& path) {
  return ::CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Holds the output's file written aside in `folder`; INVALID_HANDLE_VALUE
// when there is none or it cannot be held.
HANDLE HoldPart(const std::string& folder) {
  const std::string part = PartIn(folder);
  return part.empty() ? INVALID_HANDLE_VALUE : Hold(folder + "\\" + part);
}

// An output at `path` written with `bytes` and brought to the disk; null
// when any step failed.
std::unique_ptr<OutputFile> WrittenOutput(const std::string& path, std::string_view bytes) {
  std::unique_ptr<OutputFile> output = SystemFileSystem().CreateOutput(path);
  if (output == nullptr) return nullptr;
  if (!output->WriteAt(0, bytes.data(), bytes.size()) || !output->Sync()) return nullptr;
  return output;
}

class WindowsFileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Five folders of 60 characters: the folder alone is longer than MAX_PATH.
    folder_ = root_.path();
    for (char part = 'a'; part < 'f'; ++part) {
      folder_ += "\\" + std::string(60, part);
      ASSERT_TRUE(::CreateDirectoryW(Long(folder_).c_str(), nullptr)) << ::GetLastError();
      folders_.push_back(folder_);
    }
    output_ = folder_ + "\\out.igs";
    ASSERT_GT(WideText(output_).size(), std::size_t{MAX_PATH});
  }

  void TearDown() override {
    for (const auto& [name, shown] : Listing(folder_)) {
      ::DeleteFileW(Long(folder_ + "\\" + name).c_str());
    }
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder) {
      ::RemoveDirectoryW(Long(*folder).c_str());
    }
  }

  // True when this system keeps a file's hidden attribute in `folder_`.
  bool KeepsHiddenFiles() {
    const std::string probe = folder_ + "\\probe";
    if (!WriteWhole(probe, "", FILE_ATTRIBUTE_HIDDEN)) return false;
    const DWORD attributes = ::GetFileAttributesW(Long(probe).c_str());
    ::DeleteFileW(Long(probe).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  }

  // True when this system refuses to remove a file that another handle holds
  // without sharing its removal.
  bool RefusesHeldFiles() {
    const std::string probe = folder_ + "\\probe";
    if (!WriteWhole(probe, "", FILE_ATTRIBUTE_NORMAL)) return false;
    const HANDLE held = Hold(probe);
    const bool refused =
        !::DeleteFileW(Long(probe).c_str()) && ::GetLastError() == ERROR_SHARING_VIOLATION;
    ::CloseHandle(held);
    ::DeleteFileW(Long(probe).c_str());
    return refused;
  }

  testing::TempDir root_;
  std::vector<std::string> folders_;
  std::string folder_;
  std::string output_;
};

TEST_F(WindowsFileSystemTest, ATakenNameIsRefusedAndKept) {
  ASSERT_TRUE(WriteWhole(output_, "precious", FILE_ATTRIBUTE_NORMAL));
  std::unique_ptr<OutputFile> output = WrittenOutput(output_, "new output");
  ASSERT_NE(output, nullptr);
  EXPECT_EQ(output->Publish(), PublishResult::kNameTaken);
  EXPECT_EQ(ReadWhole(output_), "precious");
  // The file written aside is gone.
  EXPECT_EQ(Listing(folder_), (std::map<std::string, std::string>{{"out.igs", "shown"}}));
}

TEST_F(WindowsFileSystemTest, AFileHeldForAMomentIsWaitedFor) {
  if (!RefusesHeldFiles()) GTEST_SKIP() << "this system removes a file that another handle holds";
  std::unique_ptr<OutputFile> output = WrittenOutput(output_, "whole output");
  ASSERT_NE(output, nullptr);
  const HANDLE held = HoldPart(folder_);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  // Let go of a moment after the publish began: a publish that did not
  // wait would have failed on the held file.
  std::thread scanner([held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::CloseHandle(held);
  });
  const PublishResult published = output->Publish();
  scanner.join();
  EXPECT_EQ(published, PublishResult::kPublished);
  EXPECT_EQ(ReadWhole(output_), "whole output");
  EXPECT_EQ(Listing(folder_), (std::map<std::string, std::string>{{"out.igs", "shown"}}));
}

TEST_F(WindowsFileSystemTest, AFileHeldForGoodStaysHiddenAndNeverTakesTheName) {
  if (!RefusesHeldFiles()) GTEST_SKIP() << "this system removes a file that another handle holds";
  std::unique_ptr<OutputFile> output = WrittenOutput(output_, "whole output");
  ASSERT_NE(output, nullptr);
  const std::string part = PartIn(folder_);
  const HANDLE held = HoldPart(folder_);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(output->Publish(), PublishResult::kFailed);
  const std::map<std::string, std::string> left = Listing(folder_);
  ::CloseHandle(held);
  EXPECT_FALSE(SystemFileSystem().Exists(output_, /*followLinks=*/false));
  if (!KeepsHiddenFiles()) {
    EXPECT_EQ(left.size(), 1u);
    GTEST_SKIP() << "the file written aside is left; this file system keeps no hidden attribute";
  }
  EXPECT_EQ(left, (std::map<std::string, std::string>{{part, "hidden"}}));
}

TEST_F(WindowsFileSystemTest, AConversionRunsAtAPathLongerThanMaxPath) {
  const std::string drawing = testing::NoteFixtures().front().bytes;
  ASSERT_TRUE(WriteWhole(folder_ + "\\drawing.igs", drawing, FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(WriteWhole(root_.path() + "\\drawing.igs", drawing, FILE_ATTRIBUTE_NORMAL));
  RunOptions options;
  options.outputName = "out";
  testing::RecordingUi ui;
  EXPECT_EQ(RunConversion(options, root_.path() + "\\drawing.igs", ui).outcome,
            RunOutcome::kWritten);
  EXPECT_EQ(RunConversion(options, folder_ + "\\drawing.igs", ui).outcome, RunOutcome::kWritten);
  // The same bytes as at a short path.
  const std::string converted = ReadWhole(root_.path() + "\\out.igs");
  EXPECT_GT(converted.size(), drawing.size() / 2);
  EXPECT_EQ(ReadWhole(output_), converted);
  EXPECT_EQ(Listing(folder_),
            (std::map<std::string, std::string>{{"drawing.igs", "shown"}, {"out.igs", "shown"}}));

  // Again: the name is taken, and nothing is left beside it.
  const RunResult again = RunConversion(options, folder_ + "\\drawing.igs", ui);
  EXPECT_EQ(again.outcome, RunOutcome::kFailed);
  EXPECT_EQ(again.status.id(), MessageId::OutputExists);
  EXPECT_EQ(Listing(folder_),
            (std::map<std::string, std::string>{{"drawing.igs", "shown"}, {"out.igs", "shown"}}));
}

}  // namespace
}  // namespace notora
