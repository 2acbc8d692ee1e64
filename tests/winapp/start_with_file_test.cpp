// Tests of notora.exe started with a file, as dropping a drawing on it or on
// a shortcut to it, and "Send to", start it: the argument taken from the
// command line, and the program itself run so, its windows driven from
// outside as a user would: the source shown, and what Execute says.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/utf8_path.h"
#include "base/windows_text.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/iges_builder.h"
#include "winapp/convert_app.h"

namespace notora::testing {
namespace {

// A General Note whose text holds 漢 between Latin letters.
const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";
const std::wstring kSourceMissing = L"元ﾌｧｲﾙ名で選択したﾌｧｲﾙが有りません。\n　変換は出来ません。";
const std::wstring kWritten = L"IGESﾌｧｲﾙを作成しました。";

std::wstring WindowsPath(const std::string& utf8) {
  return PathOf(utf8).make_preferred().wstring();
}

bool EndsWith(const std::wstring& text, const std::wstring& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// A test folder holding "図面\部品.igs", a drawing with one Japanese note.
class DrawingFolder {
 public:
  DrawingFolder() {
    std::filesystem::create_directory(PathOf(dir_.File("図面")));
    WriteFile(dir_.File("図面/部品.igs"), IgesFile().Entity(212, kNote).Build());
  }
  const std::string& path() const { return dir_.path(); }
  std::wstring Windows(const std::string& name) const { return WindowsPath(dir_.File(name)); }

 private:
  TempDir dir_;
};

TEST(SourceArgumentTest, TheOneArgumentIsTheSource) {
  EXPECT_EQ(CConvertApp::SourceArgument(
                LR"("C:\Program Files\notora\notora.exe" "C:\図面 置き場\部品 A.igs")"),
            LR"(C:\図面 置き場\部品 A.igs)");
  EXPECT_EQ(CConvertApp::SourceArgument(LR"(notora.exe 部品.igs)"), L"部品.igs");
  // No argument, or several (a drop of many drawings): no source.
  EXPECT_EQ(CConvertApp::SourceArgument(LR"("C:\notora\notora.exe")"), L"");
  EXPECT_EQ(CConvertApp::SourceArgument(LR"(notora.exe a.igs b.igs)"), L"");
  EXPECT_EQ(CConvertApp::SourceArgument(L""), L"");
}

// The visible dialog windows (class #32770) of a process, message boxes
// included.
std::vector<HWND> DialogWindowsOf(DWORD processId) {
  struct Search {
    DWORD processId;
    std::vector<HWND> found;
  } search{processId, {}};
  ::EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto* search = reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        wchar_t className[16] = L"";
        ::GetClassNameW(window, className, 16);
        if (owner == search->processId && ::IsWindowVisible(window) &&
            std::wstring(className) == L"#32770") {
          search->found.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// notora.exe as a user starts it, with its windows driven from this process.
class NotoraProgram {
 public:
  NotoraProgram(const std::string& folder, const std::vector<std::string>& args)
      : process_(reinterpret_cast<HANDLE>(
            StartProgram(NOTORA_EXE_PATH, folder, args, logs_.File("out"), logs_.File("err")))) {}
  ~NotoraProgram() {
    if (!started()) return;
    // A program left running by a failed test is ended before its log
    // folder goes.
    if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(process_, 99);
      ::WaitForSingleObject(process_, 10000);
    }
    ::CloseHandle(process_);
  }
  bool started() const { return process_ != reinterpret_cast<HANDLE>(-1); }

  // A dialog window of the program other than those in `known` once it
  // shows, or nullptr when none comes up within half a minute (or the
  // program ended).
  HWND AwaitWindow(const std::vector<HWND>& known = {}) const {
    for (int attempt = 0; attempt < 600; ++attempt) {
      for (HWND window : DialogWindowsOf(::GetProcessId(process_))) {
        if (std::find(known.begin(), known.end(), window) == known.end()) return window;
      }
      if (::WaitForSingleObject(process_, 50) != WAIT_TIMEOUT) return nullptr;
    }
    return nullptr;
  }
  // The program's exit code once it ends, or -1 when it does not within
  // half a minute.
  int AwaitExit() const {
    DWORD code = 0;
    if (::WaitForSingleObject(process_, 30000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process_, &code)) {
      return -1;
    }
    return static_cast<int>(code);
  }

 private:
  TempDir logs_;
  HANDLE process_;
};

std::wstring ControlText(HWND window, int id) {
  wchar_t text[4096] = L"";
  ::GetDlgItemTextW(window, id, text, 4096);
  return text;
}

// What the program's message box says (its text is the static 0xFFFF);
// answers it with `button`.
std::wstring AnswerBox(HWND box, int button) {
  const std::wstring text = ControlText(box, 0xFFFF);
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return text;
}

// Starts notora.exe in `folder` with `argument`, presses Execute with the
// output name "変換後" and leaves through the exit question. What the
// source-name display and the run's message box showed.
struct ProgramRun {
  std::wstring source;
  std::wstring box;
  int exitCode = -1;
};

void RunProgram(const std::string& folder, const std::string& argument, ProgramRun* run) {
  NotoraProgram program(folder, {argument});
  ASSERT_TRUE(program.started());
  const HWND dialog = program.AwaitWindow();
  ASSERT_NE(dialog, nullptr) << "notora.exe showed no dialog";
  run->source = ControlText(dialog, 1002);
  ::SetDlgItemTextW(dialog, 1001, L"変換後");
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(dialog, 1)));
  const HWND box = program.AwaitWindow({dialog});
  ASSERT_NE(box, nullptr) << "Execute showed no message";
  run->box = AnswerBox(box, IDOK);
  // Leaving: the exit question, answered yes.
  ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  const HWND question = program.AwaitWindow({dialog, box});
  ASSERT_NE(question, nullptr) << "no exit question";
  EXPECT_EQ(AnswerBox(question, IDYES), L"notoraを終了します。");
  run->exitCode = program.AwaitExit();
}

TEST(NotoraProgramTest, DrawingOnTheCommandLineIsTheSource) {
  DrawingFolder folder;
  ProgramRun run;
  RunProgram(folder.path(), "図面\\部品.igs", &run);
  EXPECT_EQ(run.source, folder.Windows("図面/部品.igs"));
  EXPECT_TRUE(EndsWith(run.box, kWritten)) << Utf8Text(run.box);
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(PathOf(folder.path() + "/図面/変換後.igs")));
}

TEST(NotoraProgramTest, MissingDrawingIsReportedOnExecute) {
  DrawingFolder folder;
  const std::string missing = Utf8Text(folder.Windows("図面/無い図面.igs"));
  ProgramRun run;
  RunProgram(folder.path(), missing, &run);
  EXPECT_EQ(run.source, WideText(missing));
  EXPECT_EQ(run.box, kSourceMissing);
  EXPECT_EQ(run.exitCode, 0);
}

}  // namespace
}  // namespace notora::testing
