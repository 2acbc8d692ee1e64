// DialogFixture: a fresh Win32 main dialog for each test, made modeless from
// the same template as notora.exe's and shown, with FakeDialogServices in
// place of the system's message boxes, file-open dialog and browser.
#pragma once

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/winapp/fake_dialog_services.h"
#include "winapp/convert_dlg.h"
#include "base/windows_text.h"

namespace notora::testing {

// A dropped-files handle naming `paths`, as the shell hands one to a window
// (the window frees it with DragFinish).
inline HDROP MakeDrop(const std::vector<std::wstring>& paths) {
  std::size_t characters = 1;
  for (const std::wstring& path : paths) characters += path.size() + 1;
  const HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + characters * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->fWide = TRUE;
  auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(header) + sizeof(DROPFILES));
  for (const std::wstring& path : paths) {
    std::memcpy(names, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    names += path.size() + 1;
  }
  *names = L'\0';
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class DialogFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    dialog_ = std::make_unique<CConvertDlg>(::GetModuleHandleW(nullptr), services_);
    ASSERT_NE(dialog_->CreateModeless(), nullptr)
        << "the dialog could not be made (under Wine it needs an X display: DISPLAY, e.g. Xvfb)";
    ::ShowWindow(hwnd(), SW_SHOWNORMAL);
    ::SetForegroundWindow(hwnd());
    Pump();
  }

  void TearDown() override { dialog_.reset(); }

  HWND hwnd() const { return dialog_->hwnd(); }
  HWND Control(int id) const { return ::GetDlgItem(hwnd(), id); }

  // Delivers every pending message as a modeless dialog's loop does.
  void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (hwnd() != nullptr && ::IsDialogMessageW(hwnd(), &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }

  // Clicks a button as the user would (BM_CLICK), then delivers what follows.
  void Click(int id) {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump();
  }

  bool Checked(int id) const { return ::IsDlgButtonChecked(hwnd(), id) == BST_CHECKED; }

  std::wstring Text(int id) const {
    wchar_t text[4096] = L"";
    ::GetDlgItemTextW(hwnd(), id, text, 4096);
    return text;
  }

  // Chooses `path` (UTF-8) through Browse.
  void ChooseSource(std::string_view path) {
    services_.choices.push_back(WideText(path));
    Click(1000);
  }

  void SetOutputName(std::string_view name) {
    ::SetDlgItemTextW(hwnd(), 1001, WideText(name).c_str());
  }

  FakeDialogServices services_;
  std::unique_ptr<CConvertDlg> dialog_;
};

}  // namespace notora::testing
