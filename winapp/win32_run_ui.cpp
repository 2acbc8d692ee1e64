#include "winapp/win32_run_ui.h"

#include <shellapi.h>

#include <string>

#include "dialog/dialog_template.h"
#include "base/windows_text.h"

namespace notora {
namespace {

// Enough for every window of the dialog to repaint once; a window that never
// validates its area must not hold the run.
constexpr int kMaxPaintsPerPoll = 64;

void ShowCursorShape(const wchar_t* shape) { ::SetCursor(::LoadCursorW(nullptr, shape)); }

}  // namespace

Win32RunUi::Win32RunUi(HWND dialog, DialogServices& services) : dialog_(dialog), services_(services) {}

Win32RunUi::~Win32RunUi() {
  if (waitCursorShown_) EndWaitCursor();
  DrainQueue();
}

void Win32RunUi::ShowMessage(MessageKind kind, std::string_view text) {
  // Input typed while the run worked must not answer the box.
  DrainQueue();
  const std::wstring wideText = WideText(text);
  const std::wstring caption = WideText(kDialogTitle);
  const UINT icon = kind == MessageKind::kReport ? MB_ICONINFORMATION : MB_ICONWARNING;
  messageShown_ = true;
  ShowCursorShape(IDC_ARROW);
  services_.ShowMessageBox(dialog_, wideText.c_str(), caption.c_str(), MB_OK | icon);
  messageShown_ = false;
  if (waitCursorShown_) ShowCursorShape(IDC_WAIT);
}

void Win32RunUi::BeginWaitCursor() {
  waitCursorShown_ = true;
  ShowCursorShape(IDC_WAIT);
}

void Win32RunUi::EndWaitCursor() {
  if (!waitCursorShown_) return;
  waitCursorShown_ = false;
  ShowCursorShape(IDC_ARROW);
}

void Win32RunUi::ShowProgress(std::int32_t recordNumber) {
  ::SetDlgItemTextW(dialog_, kIdProgress, std::to_wstring(recordNumber).c_str());
}

bool Win32RunUi::PollCancel() {
  const std::uint64_t now = services_.Milliseconds();
  if (!polled_ || now - lastPollMs_ >= kPollIntervalMs) {
    polled_ = true;
    lastPollMs_ = now;
    DrainQueue();
  }
  // Whatever the system did with the cursor meanwhile, the run shows it
  // waiting.
  if (waitCursorShown_) ShowCursorShape(IDC_WAIT);
  return cancelRequested_;
}

void Win32RunUi::DrainQueue() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) cancelRequested_ = true;
    // Alt+F4 asks to close the dialog: during a run that cancels the run.
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) cancelRequested_ = true;
  }
  while (::PeekMessageW(&message, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE)) {
  }
  // Clicks on the title bar, the frame and its buttons.
  while (::PeekMessageW(&message, nullptr, WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, PM_REMOVE)) {
    if (message.message == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE) cancelRequested_ = true;
  }
  while (::PeekMessageW(&message, nullptr, WM_DROPFILES, WM_DROPFILES, PM_REMOVE)) {
    ::DragFinish(reinterpret_cast<HDROP>(message.wParam));
  }
  for (int paints = 0; paints < kMaxPaintsPerPoll; ++paints) {
    if (!::PeekMessageW(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) break;
    ::DispatchMessageW(&message);
  }
}

}  // namespace notora
