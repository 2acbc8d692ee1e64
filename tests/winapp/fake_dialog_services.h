// FakeDialogServices: the Win32 dialog's system services as a test drives
// them. Message boxes are recorded and answered at once, the file-open
// dialog is answered with a chosen path or a cancel, documents are recorded
// instead of opened, and the clock advances on every reading so that every
// poll of a run looks at the message queue; a test may act at a given poll.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "winapp/dialog_services.h"

namespace notora::testing {

class FakeDialogServices : public DialogServices {
 public:
  struct Box {
    std::wstring text;
    std::wstring caption;
    UINT type = 0;
    HWND owner = nullptr;
    bool waitCursorShown = false;  // the cursor while the box was up was the wait cursor
  };
  // What the dialog asked the file-open dialog for.
  struct OpenRequest {
    HWND owner = nullptr;
    std::wstring filter;  // with its zero separators
    std::wstring title;
    std::wstring initialName;
    std::wstring defaultExtension;
    DWORD flags = 0;
  };

  int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
  bool GetOpenFileName(OPENFILENAMEW& request) override;
  bool OpenDocument(HWND owner, const std::wstring& path) override;
  std::uint64_t Milliseconds() override;

  // Answers for the next boxes, in order; a box without one gets IDOK (or
  // IDYES when it asks Yes or No).
  std::deque<int> answers;
  std::vector<Box> boxes;
  // The texts of the boxes shown, in order.
  std::vector<std::wstring> BoxTexts() const;

  // The next file-open dialogs: a path chooses it, nullopt cancels.
  std::deque<std::optional<std::wstring>> choices;
  std::vector<OpenRequest> openRequests;

  std::vector<std::wstring> openedDocuments;

  // Readings of the clock so far (one per poll of a run), and what to do at
  // a reading (counted from 1) before it returns.
  int polls = 0;
  std::function<void(int poll)> onPoll;

 private:
  std::uint64_t now_ = 0;
};

}  // namespace notora::testing
