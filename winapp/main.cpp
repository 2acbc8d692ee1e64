// notora.exe: the desktop dialog that rewrites the text of IGES General Notes,
// on the Windows dialog manager.
//
//   notora.exe          runs the dialog until the user leaves it (0)
//   notora.exe FILE     the same, with FILE as the source, as if it had been
//                       chosen with Browse: what dropping a drawing on
//                       notora.exe or a shortcut to it, and "Send to", run
// The command line is taken whole, in UTF-16, so that any file name arrives.
#include <windows.h>

#include "winapp/convert_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  notora::CConvertApp app(instance, notora::CConvertApp::SourceArgument(::GetCommandLineW()));
  return app.Run();
}
