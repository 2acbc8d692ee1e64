#include "winapp/dialog_services.h"

#include <shellapi.h>

namespace notora {

int SystemDialogServices::ShowMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption,
                                         UINT type) {
  return ::MessageBoxW(owner, text, caption, type);
}

bool SystemDialogServices::GetOpenFileName(OPENFILENAMEW& request) {
  return ::GetOpenFileNameW(&request) != FALSE;
}

bool SystemDialogServices::OpenDocument(HWND owner, const std::wstring& path) {
  // ShellExecute reports success as a value above 32.
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(owner, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

std::uint64_t SystemDialogServices::Milliseconds() { return ::GetTickCount64(); }

}  // namespace notora
