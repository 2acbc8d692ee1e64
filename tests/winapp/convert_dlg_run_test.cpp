// Tests of a run started from the Win32 dialog: the message boxes it shows
// (the same texts, in the same order, as notora-cli prints), progress, the
// wait cursor, and the message queue while the run holds the dialog's thread
// (Escape cancels; keys, clicks and drops are discarded; windows repaint).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "run/conversion_run.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/winapp/dialog_fixture.h"
#include "base/windows_text.h"

namespace notora::testing {
namespace {

// A General Note whose text holds 漢 between Latin letters.
const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";
const std::wstring kCancelled = L"ESCｷｰにより処理を中止します。　変換は出来ません。";

// A box as RecordingUi writes a message: "report: " or "error: " + text.
std::string Marked(const FakeDialogServices::Box& box) {
  const bool report = (box.type & MB_ICONMASK) == MB_ICONINFORMATION;
  return (report ? "report: " : "error: ") + Utf8Text(box.text);
}

class ConvertDlgRunTest : public DialogFixture {
 protected:
  // The messages of the same run done by the driver alone, on a copy of
  // `bytes` elsewhere, as notora-cli shows them.
  std::vector<std::string> Recorded(const std::string& bytes, const std::string& outputName,
                                    std::vector<std::int32_t>* progress = nullptr) {
    TempDir elsewhere;
    const std::string source = elsewhere.File("source.igs");
    WriteFile(source, bytes);
    RunOptions options;
    options.outputName = outputName;
    RecordingUi recording;
    RunConversion(options, source, recording);
    if (progress != nullptr) *progress = recording.progress;
    return recording.messages;
  }

  std::vector<std::string> Shown() const {
    std::vector<std::string> shown;
    for (const FakeDialogServices::Box& box : services_.boxes) shown.push_back(Marked(box));
    return shown;
  }

  void Prepare(const std::string& bytes, const std::string& outputName) {
    const std::string source = dir_.File("drawing.igs");
    WriteFile(source, bytes);
    ChooseSource(source);
    SetOutputName(outputName);
  }

  static std::string ManyNotes(int count) {
    IgesFile file;
    for (int note = 0; note < count; ++note) file.Entity(212, kNote);
    return file.Build();
  }

  bool Exists(const std::string& name) const { return std::filesystem::exists(dir_.File(name)); }

  TempDir dir_;
};

TEST_F(ConvertDlgRunTest, GoodFileEndsWithTheReport) {
  const std::string bytes = IgesFile().Entity(212, kNote).Build();
  const std::vector<std::string> expected = Recorded(bytes, "converted");
  ASSERT_EQ(expected, std::vector<std::string>{
                          "report: 漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\n変換前JISｺｰﾄﾞ要素数 0\n変換前縦書き要素数 0\n"
                          "変換前文字幅ﾏｲﾅｽ要素数 0\n変換不可文字数 0\n"
                          "変換したﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\nIGESﾌｧｲﾙを作成しました。"});
  Prepare(bytes, "converted");
  Click(1);
  EXPECT_EQ(Shown(), expected);
  ASSERT_EQ(services_.boxes.size(), 1u);
  EXPECT_EQ(services_.boxes.front().caption, L"notora");
  EXPECT_EQ(services_.boxes.front().type, UINT{MB_OK | MB_ICONINFORMATION});
  EXPECT_EQ(services_.boxes.front().owner, hwnd());
  EXPECT_FALSE(services_.boxes.front().waitCursorShown);
  EXPECT_TRUE(Exists("converted.igs"));
  EXPECT_TRUE(::IsWindowVisible(hwnd()));
  EXPECT_FALSE(dialog_->isRunning());
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));

  // The output exists now: the next run refuses to overwrite it.
  services_.boxes.clear();
  Click(1);
  EXPECT_EQ(services_.BoxTexts(),
            std::vector<std::wstring>{L"変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。"});
}

TEST_F(ConvertDlgRunTest, FaultyFileEndsWithItsRecordError) {
  const std::string bytes = "too short a record\n";
  const std::vector<std::string> expected = Recorded(bytes, "out");
  ASSERT_EQ(expected, std::vector<std::string>{"error: 1行目の文字数が80未満です。\n　変換は出来ません。"});
  Prepare(bytes, "out");
  Click(1);
  EXPECT_EQ(Shown(), expected);
  ASSERT_EQ(services_.boxes.size(), 1u);
  EXPECT_EQ(services_.boxes.front().type, UINT{MB_OK | MB_ICONWARNING});
  EXPECT_FALSE(Exists("out.igs"));
}

TEST_F(ConvertDlgRunTest, ChecksBeforeTheRunShowTheirMessages) {
  Click(1);
  Click(1010);  // なし
  Click(1016);  // ﾏｲﾅｽ
  Click(1);
  EXPECT_EQ(services_.BoxTexts(),
            (std::vector<std::wstring>{L"元ﾌｧｲﾙが選択されていません。\n　変換は出来ません。",
                                       L"変換する様に指示されていません。\n変換または文字幅ﾏｲﾅｽ時または縦書きを見直して下さい。"}));
}

// The progress display counts every 100 records, the wait cursor is up from
// the first record to the end, and windows repaint between records.
TEST_F(ConvertDlgRunTest, ProgressAndWaitCursorDuringTheRun) {
  const std::string bytes = ManyNotes(150);
  std::vector<std::int32_t> progress;
  Recorded(bytes, "converted", &progress);
  Prepare(bytes, "converted");
  std::vector<std::wstring> progressSeen;
  bool waitCursorAtEveryPoll = true;
  bool repaintedByAPoll = false;
  std::wstring lastProgress;
  services_.onPoll = [&](int poll) {
    waitCursorAtEveryPoll = waitCursorAtEveryPoll && ::GetCursor() == ::LoadCursorW(nullptr, IDC_WAIT);
    const std::wstring shown = Text(1003);
    if (shown != lastProgress) {
      progressSeen.push_back(shown);
      lastProgress = shown;
    }
    // A window that needs painting is painted by the next poll, without a
    // message loop.
    if (poll == 5) ::InvalidateRect(Control(1000), nullptr, TRUE);
    if (poll == 6) repaintedByAPoll = !::GetUpdateRect(Control(1000), nullptr, FALSE);
  };
  Click(1);
  ASSERT_EQ(services_.boxes.size(), 1u);
  EXPECT_EQ(Marked(services_.boxes.front()).rfind("report: ", 0), 0u);
  // While reading, the display showed the driver's numbers in order (the
  // output phase, which does not poll, goes on counting after the last poll).
  ASSERT_GE(progressSeen.size(), 4u);
  ASSERT_LE(progressSeen.size(), progress.size());
  for (std::size_t at = 0; at < progressSeen.size(); ++at) {
    EXPECT_EQ(progressSeen[at], std::to_wstring(progress[at]));
  }
  EXPECT_EQ(Text(1003), std::to_wstring(progress.back()));
  EXPECT_GT(services_.polls, 600);
  EXPECT_TRUE(waitCursorAtEveryPoll);
  EXPECT_TRUE(repaintedByAPoll);
  EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_ARROW));
}

// An Escape key-down in the queue during the run cancels it; it does not ask
// to exit, neither then nor afterwards.
TEST_F(ConvertDlgRunTest, EscapeDuringTheRunCancelsIt) {
  Prepare(ManyNotes(150), "converted");
  services_.onPoll = [&](int poll) {
    if (poll == 150) ::PostMessageW(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  };
  Click(1);
  EXPECT_EQ(services_.BoxTexts(), std::vector<std::wstring>{kCancelled});
  EXPECT_EQ(services_.polls, 150);
  EXPECT_EQ(services_.boxes.front().type, UINT{MB_OK | MB_ICONWARNING});
  EXPECT_EQ(Text(1003), L"100");
  Pump();
  EXPECT_EQ(services_.boxes.size(), 1u);
  EXPECT_TRUE(::IsWindow(hwnd()));
  EXPECT_FALSE(Exists("converted.igs"));
}

// An Escape already queued when Execute is pressed cancels at the first record.
TEST_F(ConvertDlgRunTest, EscapeQueuedBeforeExecuteCancelsAtTheFirstRecord) {
  Prepare(IgesFile().Entity(212, kNote).Build(), "converted");
  ::PostMessageW(hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
  ::SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), reinterpret_cast<LPARAM>(Control(1)));
  EXPECT_EQ(services_.BoxTexts(), std::vector<std::wstring>{kCancelled});
  EXPECT_EQ(services_.polls, 1);
  Pump();
  EXPECT_EQ(services_.boxes.size(), 1u);
  EXPECT_FALSE(Exists("converted.igs"));
}

// Clicks, Alt mnemonics, the close box and dropped files during a run change
// nothing; the run goes on to its report.
TEST_F(ConvertDlgRunTest, InputDuringTheRunIsDiscarded) {
  Prepare(IgesFile().Entity(212, kNote).Build(), "converted");
  TempDir other;
  const std::string otherFile = other.File("other.igs");
  WriteFile(otherFile, "x");
  const std::wstring source = dialog_->sourcePath();
  services_.onPoll = [&](int poll) {
    if (poll != 2) return;
    ::PostMessageW(hwnd(), WM_SYSKEYDOWN, 'Z', 1 << 29);  // Alt+Z: ｴﾗｰ(&Z)
    ::PostMessageW(hwnd(), WM_SYSKEYUP, 'Z', 1 << 29);
    ::PostMessageW(Control(1011), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(Control(1011), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ::PostMessageW(hwnd(), WM_KEYDOWN, 'B', 0);
    ::PostMessageW(hwnd(), WM_KEYDOWN, VK_RETURN, 0);  // would press Execute again
    ::PostMessageW(hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WideText(otherFile)})), 0);
  };
  Click(1);
  Pump();
  ASSERT_EQ(services_.boxes.size(), 1u);
  EXPECT_EQ(Marked(services_.boxes.front()).rfind("report: ", 0), 0u);
  for (int id : {1008, 1018, 1006}) EXPECT_TRUE(Checked(id)) << id;
  EXPECT_FALSE(Checked(1011));
  EXPECT_FALSE(Checked(1017));
  EXPECT_EQ(dialog_->sourcePath(), source);
  // After the run the same mnemonic works again.
  ::PostMessageW(hwnd(), WM_SYSKEYDOWN, 'Z', 1 << 29);
  ::PostMessageW(hwnd(), WM_SYSKEYUP, 'Z', 1 << 29);
  Pump();
  EXPECT_TRUE(Checked(1017));
}

}  // namespace
}  // namespace notora::testing
