// CConvertApp: the application object of notora.exe. It turns on the
// system's visual styles for the common controls, runs the main dialog
// modally and ends when the dialog closes.
#pragma once

#include <windows.h>

namespace notora {

class CConvertApp {
 public:
  explicit CConvertApp(HINSTANCE instance);

  // Runs the main dialog until the user leaves it; the program's exit code.
  int Run();

 private:
  HINSTANCE instance_;
};

}  // namespace notora
