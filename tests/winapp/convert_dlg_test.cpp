// Tests of the Win32 main dialog as it first appears and between runs: the
// controls made from the template, the font, the option defaults, the radio
// groups and tab order, Browse, the exit question, help, icons and drops.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "dialog/dialog_template.h"
#include "tests/support/iges_builder.h"
#include "tests/winapp/dialog_fixture.h"
#include "base/windows_text.h"

namespace notora::testing {
namespace {

using namespace std::literals;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = L"";
  ::GetClassNameW(window, name, 64);
  return name;
}

std::wstring TextOf(HWND window) {
  wchar_t text[512] = L"";
  ::GetWindowTextW(window, text, 512);
  return text;
}

std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

SIZE IconSize(HICON icon) {
  ICONINFO info = {};
  if (!::GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap = {};
  ::GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
  if (info.hbmColor != nullptr) ::DeleteObject(info.hbmColor);
  if (info.hbmMask != nullptr) ::DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, bitmap.bmHeight};
}

using ConvertDlgTest = DialogFixture;

// Every control in tab order, with its id, class, style and caption as the
// template gives them; the window's title and font. (Where the controls and
// the dialog stand, and what they draw: dialog_screenshot_test.cpp.)
TEST_F(ConvertDlgTest, ControlsFollowTheTemplate) {
  EXPECT_EQ(TextOf(hwnd()), L"notora");

  const std::vector<HWND> children = Children(hwnd());
  const auto controls = ConvertDialogTemplate();
  ASSERT_EQ(children.size(), controls.size());
  for (std::size_t index = 0; index < controls.size(); ++index) {
    const ControlTemplate& control = controls[index];
    const HWND child = children[index];
    SCOPED_TRACE(control.caption);
    EXPECT_EQ(::GetDlgCtrlID(child), control.id == kNoId ? -1 : control.id);
    EXPECT_EQ(TextOf(child), WideText(control.caption));
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    const std::wstring className = ClassOf(child);
    switch (control.kind) {
      case ControlKind::kStatic:
      case ControlKind::kSunkenStatic:
        EXPECT_EQ(className, L"Static");
        EXPECT_EQ(style & SS_TYPEMASK, SS_RIGHT);
        EXPECT_EQ((style & SS_SUNKEN) != 0, control.kind == ControlKind::kSunkenStatic);
        break;
      case ControlKind::kPushButton:
      case ControlKind::kDefaultButton:
        EXPECT_EQ(className, L"Button");
        break;
      case ControlKind::kEdit:
        EXPECT_EQ(className, L"Edit");
        EXPECT_NE(style & ES_RIGHT, 0);
        EXPECT_NE(style & ES_AUTOHSCROLL, 0);
        // The border, drawn sunken in a three-dimensional dialog.
        EXPECT_TRUE((style & WS_BORDER) != 0 ||
                    (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0);
        break;
      case ControlKind::kGroupBox:
        EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX);
        break;
      case ControlKind::kRadio:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTORADIOBUTTON);
        break;
      case ControlKind::kCheckBox:
        EXPECT_EQ(style & BS_TYPEMASK, BS_AUTOCHECKBOX);
        break;
    }
  }
  EXPECT_EQ(TextOf(Control(1008)), L"全角⇒JISｺｰﾄﾞ(&J)");
  EXPECT_EQ(TextOf(Control(1015)), L"＂(&D)");
  EXPECT_EQ(TextOf(Control(57670)), L"ﾍﾙﾌﾟ(&H)");
  // Enter presses Execute.
  EXPECT_EQ(LOWORD(::SendMessageW(hwnd(), DM_GETDEFID, 0, 0)), 1);

  // The font of the template, with a glyph of its own for every character of
  // every caption (under Wine: the replacement font set in the prefix).
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd(), WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTW logFont = {};
  ::GetObjectW(font, sizeof logFont, &logFont);
  EXPECT_STREQ(logFont.lfFaceName, L"ＭＳ ゴシック");
  const HDC dc = ::GetDC(hwnd());
  EXPECT_EQ(logFont.lfHeight, -::MulDiv(11, ::GetDeviceCaps(dc, LOGPIXELSY), 72));
  const HGDIOBJ previous = ::SelectObject(dc, font);
  for (const ControlTemplate& control : controls) {
    const std::wstring caption = WideText(control.caption);
    if (caption.empty()) continue;
    std::vector<WORD> glyphs(caption.size());
    ::GetGlyphIndicesW(dc, caption.c_str(), static_cast<int>(caption.size()), glyphs.data(),
                       GGI_MARK_NONEXISTING_GLYPHS);
    for (std::size_t at = 0; at < caption.size(); ++at) {
      EXPECT_NE(glyphs[at], 0xFFFF) << control.caption << " character " << at;
    }
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(hwnd(), dc);
}

TEST_F(ConvertDlgTest, FreshDialogSelectsTheDefaults) {
  std::set<int> checked;
  for (const ControlTemplate& control : ConvertDialogTemplate()) {
    if (control.kind == ControlKind::kRadio || control.kind == ControlKind::kCheckBox) {
      if (Checked(control.id)) checked.insert(control.id);
    }
  }
  EXPECT_EQ(checked, (std::set<int>{1008, 1012, 1014, 1018, 1004, 1006, 1019}));
  EXPECT_EQ(Text(1001), L"");
  EXPECT_EQ(dialog_->sourcePath(), L"");
  EXPECT_EQ(Text(1003), L"");
  EXPECT_EQ(dialog_->options().conversionMode, ConversionMode::kToJisCode);
  EXPECT_TRUE(dialog_->options().zeroColumnsIsError);
  EXPECT_EQ(::GetFocus(), Control(1000));
}

// Each radio group is its buttons and nothing else; clicking a button checks
// it alone in its group, and Execute takes its position as the option.
TEST_F(ConvertDlgTest, EachRadioGroupHoldsItsOption) {
  // Each option as the number of its enumerator: the button's position.
  struct Group {
    std::vector<int> ids;
    int (*option)(const RunOptions& options);
  };
  const std::vector<Group> groups = {
      {{1008, 1011, 1010}, [](const RunOptions& o) { return static_cast<int>(o.conversionMode); }},
      {{1012, 1013}, [](const RunOptions& o) { return static_cast<int>(o.jisFallback); }},
      {{1014, 1015}, [](const RunOptions& o) { return static_cast<int>(o.fullWidthFallback); }},
      {{1018, 1016, 1017}, [](const RunOptions& o) { return static_cast<int>(o.negativeWidthMode); }},
      {{1004, 1005}, [](const RunOptions& o) { return static_cast<int>(o.verticalValueInput); }},
      {{1006, 1007}, [](const RunOptions& o) { return static_cast<int>(o.verticalValueOutput); }},
  };
  for (const Group& group : groups) {
    // The arrow keys walk the group round and never leave it.
    HWND walk = Control(group.ids.front());
    for (std::size_t step = 1; step <= group.ids.size(); ++step) {
      walk = ::GetNextDlgGroupItem(hwnd(), walk, FALSE);
      EXPECT_EQ(walk, Control(group.ids[step % group.ids.size()])) << group.ids.front();
    }
    for (int position = static_cast<int>(group.ids.size()) - 1; position >= 0; --position) {
      Click(group.ids[position]);
      for (int other = 0; other < static_cast<int>(group.ids.size()); ++other) {
        EXPECT_EQ(Checked(group.ids[other]), other == position) << group.ids[other];
      }
      Click(1);  // a run with no source: the options are taken all the same
      EXPECT_EQ(group.option(dialog_->options()), position) << group.ids.front();
    }
  }
  Click(1009);
  Click(1019);
  Click(1);
  EXPECT_TRUE(dialog_->options().verticalToHorizontal);
  EXPECT_FALSE(dialog_->options().zeroColumnsIsError);
  EXPECT_FALSE(dialog_->isRunning());
}

TEST_F(ConvertDlgTest, TabVisitsTheControlsInTemplateOrder) {
  Click(1011);  // the tab stop of a group is its checked button
  const std::vector<int> expected = {1001, 1011, 1009, 1019, 1012, 1014, 1018, 1004, 1006, 1, 2, 57670, 1000};
  HWND at = Control(1000);
  for (int id : expected) {
    at = ::GetNextDlgTabItem(hwnd(), at, FALSE);
    EXPECT_EQ(::GetDlgCtrlID(at), id);
  }
}

TEST_F(ConvertDlgTest, BrowseAsksForAnIgesFileAndCancelEmptiesTheSource) {
  services_.choices = {L"C:\\drawings\\図面.igs", std::nullopt};
  Click(1000);
  EXPECT_EQ(dialog_->sourcePath(), L"C:\\drawings\\図面.igs");
  Click(1000);
  EXPECT_EQ(dialog_->sourcePath(), L"");

  ASSERT_EQ(services_.openRequests.size(), 2u);
  const FakeDialogServices::OpenRequest& request = services_.openRequests.front();
  EXPECT_EQ(request.owner, hwnd());
  EXPECT_EQ(request.filter, std::wstring(L"IGESﾌｧｲﾙ(.igs)\0*.igs\0すべてのﾌｧｲﾙ(*.*)\0*.*\0\0"sv));
  EXPECT_EQ(request.title, L"IGES元ﾌｧｲﾙ名を指定");
  EXPECT_EQ(request.initialName, L"*.igs");
  EXPECT_EQ(request.defaultExtension, L"igs");
  EXPECT_EQ(request.flags & (OFN_FILEMUSTEXIST | OFN_HIDEREADONLY), DWORD{OFN_FILEMUSTEXIST | OFN_HIDEREADONLY});
  EXPECT_TRUE(services_.boxes.empty());
}

// No keeps the dialog with everything as it was; Yes closes it. The exit
// button, Escape and the close box all ask.
TEST_F(ConvertDlgTest, ExitQuestionNoKeepsTheDialogYesClosesIt) {
  services_.choices = {L"C:\\a.igs"};
  Click(1000);
  Click(1013);
  SetOutputName("out");
  services_.answers = {IDNO, IDNO, IDNO};
  Click(2);
  ::SendMessageW(hwnd(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);  // Escape
  ::SendMessageW(hwnd(), WM_CLOSE, 0, 0);
  Pump();
  ASSERT_EQ(services_.boxes.size(), 3u);
  for (const FakeDialogServices::Box& box : services_.boxes) {
    EXPECT_EQ(box.text, L"notoraを終了します。");
    EXPECT_EQ(box.caption, L"notora");
    EXPECT_EQ(box.type, UINT{MB_YESNO | MB_ICONQUESTION});
    EXPECT_EQ(box.owner, hwnd());
  }
  ASSERT_TRUE(::IsWindow(hwnd()));
  EXPECT_EQ(dialog_->sourcePath(), L"C:\\a.igs");
  EXPECT_TRUE(Checked(1013));
  EXPECT_EQ(Text(1001), L"out");

  const HWND window = hwnd();
  services_.answers = {IDYES};
  Click(2);
  EXPECT_FALSE(::IsWindow(window));
  EXPECT_EQ(dialog_->hwnd(), nullptr);
}

TEST_F(ConvertDlgTest, HelpOpensTheHelpPage) {
  Click(57670);
  ::SendMessageW(hwnd(), WM_HELP, 0, 0);  // F1
  ASSERT_EQ(services_.openedDocuments.size(), 2u);
  std::ifstream written(std::filesystem::path(services_.openedDocuments.front()), std::ios::binary);
  std::ifstream page(NOTORA_HELP_PAGE_PATH, std::ios::binary);
  ASSERT_TRUE(written && page);
  const std::string writtenBytes{std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()};
  const std::string pageBytes{std::istreambuf_iterator<char>(page), std::istreambuf_iterator<char>()};
  EXPECT_EQ(writtenBytes, pageBytes);
  EXPECT_NE(writtenBytes.find("notora の使い方"), std::string::npos);
}

TEST_F(ConvertDlgTest, WindowShowsTheIconLargeAndSmall) {
  const auto large = reinterpret_cast<HICON>(::SendMessageW(hwnd(), WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(::SendMessageW(hwnd(), WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(large, nullptr);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(IconSize(large).cx, ::GetSystemMetrics(SM_CXICON));
  EXPECT_EQ(IconSize(small).cx, ::GetSystemMetrics(SM_CXSMICON));
  // Dragging the minimised window shows the same icon.
  EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(hwnd(), WM_QUERYDRAGICON, 0, 0)), large);
  // Minimised, the dialog paints its icon instead of its controls.
  ::ShowWindow(hwnd(), SW_MINIMIZE);
  EXPECT_TRUE(::IsIconic(hwnd()));
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ::ShowWindow(hwnd(), SW_RESTORE);
  Pump();
  EXPECT_FALSE(::IsIconic(hwnd()));
}

TEST_F(ConvertDlgTest, DroppingOneFileChoosesItAsTheSource) {
  TempDir dir;
  const std::string file = dir.File("dropped.igs");
  WriteFile(file, "anything");
  wchar_t full[MAX_PATH];
  ::GetFullPathNameW(WideText(file).c_str(), MAX_PATH, full, nullptr);

  EXPECT_NE(::GetWindowLongW(hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES, 0);
  ::SendMessageW(hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WideText(file)})), 0);
  EXPECT_EQ(dialog_->sourcePath(), full);

  // Two files, a folder or a missing file leave the source as it was.
  ::SendMessageW(hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({WideText(file), WideText(file)})), 0);
  ::SendMessageW(hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({WideText(dir.path())})), 0);
  ::SendMessageW(hwnd(), WM_DROPFILES,
                 reinterpret_cast<WPARAM>(MakeDrop({WideText(dir.File("missing.igs"))})), 0);
  EXPECT_EQ(dialog_->sourcePath(), full);
}

}  // namespace
}  // namespace notora::testing
