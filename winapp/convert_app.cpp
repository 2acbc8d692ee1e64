#include "winapp/convert_app.h"

#include <commctrl.h>
#include <shellapi.h>

#include <utility>

#include "winapp/convert_dlg.h"
#include "winapp/dialog_services.h"

namespace notora {

CConvertApp::CConvertApp(HINSTANCE instance, std::wstring sourcePath)
    : instance_(instance), sourcePath_(std::move(sourcePath)) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);
}

int CConvertApp::Run() {
  SystemDialogServices services;
  CConvertDlg dialog(instance_, services);
  if (!sourcePath_.empty()) dialog.OpenSource(sourcePath_);
  return dialog.DoModal() == -1 ? 1 : 0;
}

std::wstring CConvertApp::SourceArgument(const wchar_t* commandLine) {
  // CommandLineToArgvW takes an empty line for the program's own path.
  if (commandLine == nullptr || *commandLine == L'\0') return {};
  int count = 0;
  LPWSTR* arguments = ::CommandLineToArgvW(commandLine, &count);
  if (arguments == nullptr) return {};
  std::wstring source = count == 2 ? std::wstring(arguments[1]) : std::wstring();
  ::LocalFree(arguments);
  return source;
}

}  // namespace notora
