// notora_dialog_picture PICTURE.bmp: draws notora.exe's dialog as a user
// first sees it, frame and title included, into a new BMP file. It is the
// documentation's picture of the dialog on Windows (scripts/screenshot-windows
// turns it into docs/notora-dialog-windows.png); no test runs it, so that a
// test run never rewrites a tracked file.
//
// Exit status: 0 written; 2 the dialog could not be made or the file exists
// or could not be written; 64 bad usage.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "tests/winapp/window_picture.h"
#include "winapp/convert_dlg.h"
#include "winapp/dialog_services.h"

namespace {

// Delivers every pending message as a modeless dialog's loop does.
void Pump(HWND dialog) {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (::IsDialogMessageW(dialog, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fputs("usage: notora_dialog_picture PICTURE.bmp\n", stderr);
    return 64;
  }
  std::error_code error;
  if (std::filesystem::exists(argv[1], error)) {
    std::fputs("notora_dialog_picture: the picture exists; it is never written over\n", stderr);
    return 2;
  }
  // As notora.exe starts: the common controls first.
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
  notora::SystemDialogServices services;
  notora::CConvertDlg dialog(::GetModuleHandleW(nullptr), services);
  const HWND window = dialog.CreateModeless();
  if (window == nullptr) {
    std::fputs("notora_dialog_picture: the dialog could not be made (no display?)\n", stderr);
    return 2;
  }
  ::ShowWindow(window, SW_SHOWNORMAL);
  ::SetForegroundWindow(window);
  Pump(window);
  // The pointer away from the dialog, so that no control is drawn highlighted
  // (the display may have started with the pointer over one).
  ::SetCursorPos(0, 0);
  ::RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump(window);
  const notora::testing::WindowPicture picture =
      notora::testing::CaptureWindow(window, /*frame=*/true);
  if (!notora::testing::WriteBmp(picture, argv[1])) {
    std::fputs("notora_dialog_picture: the picture could not be written\n", stderr);
    return 2;
  }
  return 0;
}
