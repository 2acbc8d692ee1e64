#include "winapp/convert_app.h"

#include <commctrl.h>

#include "winapp/convert_dlg.h"
#include "winapp/dialog_services.h"

namespace notora {

CConvertApp::CConvertApp(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

int CConvertApp::Run() {
  SystemDialogServices services;
  CConvertDlg dialog(instance_, services);
  return dialog.DoModal() == -1 ? 1 : 0;
}

}  // namespace notora
