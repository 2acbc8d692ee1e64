// DialogServices: what the Win32 dialog asks of the system beyond its own
// window: message boxes, the file-open dialog, opening a document in its
// program, and the clock its run polls by.
//
// The program uses the system's (SystemDialogServices); tests put in their
// own, so that no modal window of the system blocks them.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <string>

namespace notora {

class DialogServices {
 public:
  virtual ~DialogServices() = default;

  // MessageBoxW: shows `text` and returns the button pressed (IDOK, IDYES...).
  virtual int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) = 0;
  // GetOpenFileNameW: true when the user chose a file, whose path is then
  // in request.lpstrFile.
  virtual bool GetOpenFileName(OPENFILENAMEW& request) = 0;
  // Opens `path` with the program the system associates with it; false when
  // that fails.
  virtual bool OpenDocument(HWND owner, const std::wstring& path) = 0;
  // Milliseconds on a clock that never goes back.
  virtual std::uint64_t Milliseconds() = 0;
};

// The system's own services.
class SystemDialogServices : public DialogServices {
 public:
  int ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) override;
  bool GetOpenFileName(OPENFILENAMEW& request) override;
  bool OpenDocument(HWND owner, const std::wstring& path) override;
  std::uint64_t Milliseconds() override;
};

}  // namespace notora
