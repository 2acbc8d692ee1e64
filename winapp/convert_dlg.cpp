#include "winapp/convert_dlg.h"

#include <shellapi.h>

#include <string>
#include <string_view>
#include <vector>

#include "base/messages.h"
#include "dialog/dialog_template.h"
#include "dialog/option_exchange.h"
#include "run/conversion_run.h"
#include "winapp/dialog_template_image.h"
#include "winapp/help_page.h"
#include "winapp/resource.h"
#include "base/windows_text.h"
#include "winapp/win32_run_ui.h"

namespace notora {
namespace {

static_assert(NOTORA_ICON == kIconResource);

// Room for a long path (\\?\ paths reach 32767 characters).
constexpr std::size_t kPathCapacity = 32768;

std::wstring WindowText(HWND window) {
  const int length = ::GetWindowTextLengthW(window);
  if (length <= 0) return {};
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// The dialog's controls as the shared data exchange sees them.
class Win32DialogControls : public DialogControls {
 public:
  explicit Win32DialogControls(HWND dialog) : dialog_(dialog) {}

  bool IsChecked(int id) const override { return ::IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
  void SetChecked(int id, bool checked) override {
    ::SendDlgItemMessageW(dialog_, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  std::string Text(int id) const override { return Utf8Text(WindowText(::GetDlgItem(dialog_, id))); }
  void SetText(int id, std::string_view text) override {
    ::SetDlgItemTextW(dialog_, id, WideText(text).c_str());
  }

 private:
  HWND dialog_;
};

std::wstring MessageText16(MessageId id) { return WideText(MessageText(id)); }

// `path` made absolute against the current folder, as the system resolves a
// relative name; empty when it cannot be.
std::wstring FullPath(const std::wstring& path) {
  const DWORD length = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (length == 0) return {};
  std::wstring full(length, L'\0');
  const DWORD written = ::GetFullPathNameW(path.c_str(), length, full.data(), nullptr);
  if (written == 0 || written >= length) return {};
  full.resize(written);
  return full;
}

HICON LoadIconOfSize(HINSTANCE module, int widthMetric, int heightMetric) {
  return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(NOTORA_ICON), IMAGE_ICON,
                                         ::GetSystemMetrics(widthMetric),
                                         ::GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

}  // namespace

CConvertDlg::CConvertDlg(HINSTANCE resources, DialogServices& services)
    : resources_(resources), services_(services) {
  largeIcon_ = LoadIconOfSize(resources_, SM_CXICON, SM_CYICON);
  smallIcon_ = LoadIconOfSize(resources_, SM_CXSMICON, SM_CYSMICON);
}

CConvertDlg::~CConvertDlg() {
  if (hwnd_ != nullptr && !modal_) ::DestroyWindow(hwnd_);
  if (largeIcon_ != nullptr) ::DestroyIcon(largeIcon_);
  if (smallIcon_ != nullptr) ::DestroyIcon(smallIcon_);
}

INT_PTR CConvertDlg::DoModal(HWND owner) {
  const DialogTemplateImage image;
  modal_ = true;
  return ::DialogBoxIndirectParamW(resources_, image.get(), owner, &CConvertDlg::DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND CConvertDlg::CreateModeless(HWND owner) {
  const DialogTemplateImage image;
  modal_ = false;
  return ::CreateDialogIndirectParamW(resources_, image.get(), owner, &CConvertDlg::DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK CConvertDlg::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  CConvertDlg* dialog = nullptr;
  if (message == WM_INITDIALOG) {
    dialog = reinterpret_cast<CConvertDlg*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    dialog->hwnd_ = window;
  } else {
    dialog = reinterpret_cast<CConvertDlg*>(::GetWindowLongPtrW(window, DWLP_USER));
  }
  if (dialog == nullptr) return FALSE;
  const INT_PTR result = dialog->HandleMessage(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(window, DWLP_USER, 0);
    dialog->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR CConvertDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM /*lParam*/) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog();
    case WM_COMMAND:
      // Buttons report clicks; Enter and Escape arrive as IDOK and IDCANCEL
      // with the same code. The edit's notifications are not commands.
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return TRUE;
    case WM_HELP:
      OnHelp();
      return TRUE;
    case WM_PAINT:
      return OnPaintIconic() ? TRUE : FALSE;
    case WM_QUERYDRAGICON:
      // One of the messages whose answer a dialog procedure returns itself.
      return reinterpret_cast<INT_PTR>(largeIcon_);
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_SETCURSOR:
      if (!OnSetCursor()) return FALSE;
      ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_DESTROY:
      ::DragAcceptFiles(hwnd_, FALSE);
      return FALSE;
    default:
      return FALSE;
  }
}

BOOL CConvertDlg::OnInitDialog() {
  if (largeIcon_ != nullptr) ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon_));
  if (smallIcon_ != nullptr) {
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
  }
  ::DragAcceptFiles(hwnd_, TRUE);
  Win32DialogControls controls(hwnd_);
  LoadOptions(options_, controls);
  if (!initialSource_.empty()) SetSourcePath(initialSource_);
  // TRUE: the focus goes to the first tab stop (Browse), as for any dialog
  // made from a template.
  return TRUE;
}

void CConvertDlg::OnCommand(int id) {
  switch (id) {
    case kIdExecute:
      OnExecute();
      break;
    case kIdExit:
      OnCancel();
      break;
    case kIdBrowse:
      OnBrowse();
      break;
    case kIdHelp:
      OnHelp();
      break;
    default:
      break;
  }
}

void CConvertDlg::OnExecute() {
  if (running_) return;
  running_ = true;
  Win32DialogControls controls(hwnd_);
  SaveOptions(controls, options_);
  const std::string source = Utf8Text(sourcePath());
  {
    Win32RunUi ui(hwnd_, services_);
    runUi_ = &ui;
    RunConversion(options_, source, ui);
    runUi_ = nullptr;
  }
  running_ = false;
}

void CConvertDlg::OnBrowse() {
  if (running_) return;
  // The filter is pairs of description and pattern, each ended by a zero,
  // with one more zero at the end.
  std::wstring filter;
  for (const BrowseFilter& entry : BrowseFilters()) {
    filter += WideText(entry.description);
    filter.push_back(L'\0');
    filter += WideText(entry.pattern);
    filter.push_back(L'\0');
  }
  filter.push_back(L'\0');
  const std::wstring title = MessageText16(MessageId::BrowseTitle);
  const std::wstring defaultExtension = WideText(kBrowseDefaultExtension);
  std::vector<wchar_t> file(kPathCapacity, L'\0');
  const std::wstring initialName = WideText(kBrowseInitialName);
  initialName.copy(file.data(), initialName.size());

  OPENFILENAMEW request = {};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd_;
  request.lpstrFilter = filter.c_str();
  request.nFilterIndex = 1;
  request.lpstrFile = file.data();
  request.nMaxFile = static_cast<DWORD>(file.size());
  request.lpstrTitle = title.c_str();
  request.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
  request.lpstrDefExt = defaultExtension.c_str();
  // A cancelled choice (or one that failed) empties the source path.
  SetSourcePath(services_.GetOpenFileName(request) ? std::wstring(file.data()) : std::wstring());
}

void CConvertDlg::OnHelp() {
  const std::wstring page = WriteHelpPage(resources_);
  if (page.empty() || !services_.OpenDocument(hwnd_, page)) ::MessageBeep(MB_ICONWARNING);
}

void CConvertDlg::OnCancel() {
  if (running_) return;
  const std::wstring question = MessageText16(MessageId::ExitQuestion);
  const std::wstring caption = WideText(kDialogTitle);
  if (services_.ShowMessageBox(hwnd_, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) ==
      IDNO) {
    return;
  }
  Close();
}

void CConvertDlg::Close() {
  if (modal_) {
    ::EndDialog(hwnd_, IDCANCEL);
  } else {
    ::DestroyWindow(hwnd_);
  }
}

bool CConvertDlg::OnPaintIconic() {
  if (!::IsIconic(hwnd_)) return false;
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(hwnd_, &paint);
  ::SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int left = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  const int top = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  if (largeIcon_ != nullptr) ::DrawIcon(dc, left, top, largeIcon_);
  ::EndPaint(hwnd_, &paint);
  return true;
}

void CConvertDlg::OnDropFiles(HDROP drop) {
  if (!running_) {
    const std::wstring path = DroppedFilePath(drop);
    if (!path.empty()) SetSourcePath(path);
  }
  ::DragFinish(drop);
}

bool CConvertDlg::OnSetCursor() {
  if (runUi_ == nullptr || !runUi_->wantsWaitCursor()) return false;
  ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  return true;
}

void CConvertDlg::OpenSource(const std::wstring& path) {
  const std::wstring full = FullPath(path);
  // A name the system cannot make absolute is shown as it is.
  const std::wstring& shown = full.empty() ? path : full;
  if (hwnd_ != nullptr) {
    SetSourcePath(shown);
  } else {
    initialSource_ = shown;
  }
}

std::wstring CConvertDlg::sourcePath() const {
  return WindowText(::GetDlgItem(hwnd_, kIdSourceName));
}

void CConvertDlg::SetSourcePath(const std::wstring& path) {
  ::SetDlgItemTextW(hwnd_, kIdSourceName, path.c_str());
}

std::wstring CConvertDlg::DroppedFilePath(HDROP drop) {
  if (drop == nullptr || ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) != 1) return {};
  const UINT length = ::DragQueryFileW(drop, 0, nullptr, 0);
  std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
  name.resize(::DragQueryFileW(drop, 0, name.data(), length + 1));
  if (name.empty()) return {};
  const DWORD attributes = ::GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return {};
  return FullPath(name);
}

}  // namespace notora
