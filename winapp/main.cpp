// notora.exe: the desktop dialog that rewrites the text of IGES General Notes,
// on the Windows dialog manager.
#include <windows.h>

#include "winapp/convert_app.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  notora::CConvertApp app(instance);
  return app.Run();
}
