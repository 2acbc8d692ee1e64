// Win32RunUi: the run's user interface as the Win32 dialog provides it.
//
// The run executes on the dialog's thread and does not return to the message
// loop. Messages appear as message boxes with an OK button; the wait cursor
// covers the run from the first record to the end; progress goes to the
// dialog's progress display. Each poll takes the pending input out of the
// thread's message queue (PeekMessage with PM_REMOVE): keys, clicks and
// dropped files are discarded, an Escape key-down (or a click on the close
// box, or Alt+F4) cancels the run, and paint messages are dispatched so the
// windows keep repainting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>

#include "base/run_ui.h"
#include "winapp/dialog_services.h"

namespace notora {

class Win32RunUi : public RunUi {
 public:
  // `dialog` owns the message boxes and holds the progress display; it must
  // outlive this object.
  Win32RunUi(HWND dialog, DialogServices& services);
  // Lowers a wait cursor still raised and discards the input that arrived
  // during the run, so that a late Escape cannot close the dialog.
  ~Win32RunUi() override;

  Win32RunUi(const Win32RunUi&) = delete;
  Win32RunUi& operator=(const Win32RunUi&) = delete;

  void ShowMessage(MessageKind kind, std::string_view text) override;
  void BeginWaitCursor() override;
  void EndWaitCursor() override;
  void ShowProgress(std::int32_t recordNumber) override;
  // Empties the queue of input on the first call and then at most every
  // kPollIntervalMs; true once a cancel was seen.
  bool PollCancel() override;

  // True while the wait cursor is up and no message box is shown: the
  // cursor the dialog should show over its windows.
  bool wantsWaitCursor() const { return waitCursorShown_ && !messageShown_; }

  // How often a poll looks at the queue: short enough that the window
  // repaints and Escape is noticed without delay, long enough that a run
  // over many small records is not slowed by the calls into the system.
  static constexpr std::uint64_t kPollIntervalMs = 10;

 private:
  // Removes every pending input message of the thread, remembering a cancel,
  // then dispatches the pending paint messages.
  void DrainQueue();

  HWND dialog_;
  DialogServices& services_;
  bool polled_ = false;
  std::uint64_t lastPollMs_ = 0;
  bool waitCursorShown_ = false;
  bool messageShown_ = false;
  bool cancelRequested_ = false;
};

}  // namespace notora
