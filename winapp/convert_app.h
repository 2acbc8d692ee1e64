// CConvertApp: the application object of notora.exe. It turns on the
// system's visual styles for the common controls, runs the main dialog
// modally, on the file the program was started with if any, and ends when
// the dialog closes.
#pragma once

#include <windows.h>

#include <string>

namespace notora {

class CConvertApp {
 public:
  // `sourcePath`, when not empty, is the dialog's source as it opens
  // (CConvertDlg::OpenSource).
  CConvertApp(HINSTANCE instance, std::wstring sourcePath);

  // The source a command line names: its one argument after the program's
  // name, as CommandLineToArgvW splits it. A drawing dropped on notora.exe
  // or on a shortcut to it, and "Send to", start the program so. Empty
  // when there is no argument or more than one (as a drop of several files
  // on the dialog chooses none).
  static std::wstring SourceArgument(const wchar_t* commandLine);

  // Runs the main dialog until the user leaves it; the program's exit code.
  int Run();

 private:
  HINSTANCE instance_;
  std::wstring sourcePath_;
};

}  // namespace notora
