// CConvertDlg: the main dialog on Win32. It holds the options of a run, lets
// the user choose the source file (Browse, a file dropped on the dialog, or
// the file the program was started with), starts a run with Execute and asks
// before it closes.
//
// The window comes from the shared template (DialogTemplateImage). Option
// values live in the controls while the dialog is open and are moved into
// RunOptions when a run starts (dialog/option_exchange.h); the source path is
// the text of the source-name display. Message boxes, the file-open dialog
// and the help page's browser go through DialogServices.
#pragma once

#include <windows.h>

#include <string>

#include "base/run_options.h"
#include "winapp/dialog_services.h"

namespace notora {

class Win32RunUi;

class CConvertDlg {
 public:
  // `resources` is the module holding the icon and the help page; `services`
  // must outlive the dialog.
  CConvertDlg(HINSTANCE resources, DialogServices& services);
  ~CConvertDlg();

  CConvertDlg(const CConvertDlg&) = delete;
  CConvertDlg& operator=(const CConvertDlg&) = delete;

  // Shows the dialog modally until the user leaves it through the exit
  // question; -1 when the dialog could not be made.
  INT_PTR DoModal(HWND owner = nullptr);
  // Makes the dialog modeless and hidden, for a caller that runs its own
  // message loop (tests); the exit question's yes destroys the window.
  // nullptr when the dialog could not be made.
  HWND CreateModeless(HWND owner = nullptr);

  // The dialog's window while it exists, else nullptr.
  HWND hwnd() const { return hwnd_; }
  // The options as the last run (or the dialog's start) took them.
  const RunOptions& options() const { return options_; }
  // The text of the source-name display: the source of the next run.
  std::wstring sourcePath() const;
  // True while a run holds the dialog.
  bool isRunning() const { return running_; }

  // Makes `path` the source, as if it had been chosen with Browse: shown made
  // absolute (against the current folder) but otherwise as given. The file
  // need not exist; Execute then reports it missing. Before the window is
  // made, the path waits for it.
  void OpenSource(const std::wstring& path);
  // The icons the window shows (large 32 x 32, small 16 x 16 at 96 dpi).
  HICON largeIcon() const { return largeIcon_; }
  HICON smallIcon() const { return smallIcon_; }

  // The local file a drop names: exactly one existing regular file; empty
  // for anything else.
  static std::wstring DroppedFilePath(HDROP drop);

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

  BOOL OnInitDialog();
  void OnCommand(int id);
  void OnExecute();
  void OnBrowse();
  void OnHelp();
  // Asks "notoraを終了します。" (Yes/No); closes unless the answer is No.
  void OnCancel();
  bool OnPaintIconic();
  void OnDropFiles(HDROP drop);
  bool OnSetCursor();
  void SetSourcePath(const std::wstring& path);
  void Close();

  HINSTANCE resources_;
  DialogServices& services_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  RunOptions options_;
  bool running_ = false;
  Win32RunUi* runUi_ = nullptr;  // the current run's, while one runs
  std::wstring initialSource_;   // shown when the window is made
  HICON largeIcon_ = nullptr;
  HICON smallIcon_ = nullptr;
};

}  // namespace notora
