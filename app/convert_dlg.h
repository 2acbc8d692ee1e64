// CConvertDlg: the main dialog. It holds the options of a run, lets the user
// choose the source file (Browse, a file dropped on the dialog, or the file
// the program was started with), starts a run with Execute and asks before it
// closes.
//
// The controls are built from the dialog template (dialog/dialog_template.h);
// each control's object name is "ctl" + its id. Option values live in the
// controls while the dialog is open and are moved into RunOptions when a run
// starts (dialog/option_exchange.h); the source path is the text of the
// source-name display.
#pragma once

#include <QDialog>
#include <QString>

#include "base/run_options.h"

class QLabel;
class QMimeData;

namespace notora {

class HelpWindow;

class CConvertDlg : public QDialog {
  Q_OBJECT

 public:
  // `helpWindow` is the application's help; it must outlive the dialog.
  explicit CConvertDlg(HelpWindow& helpWindow, QWidget* parent = nullptr);
  // Closes the help window.
  ~CConvertDlg() override;

  // The options as the last run (or the dialog's start) took them.
  const RunOptions& options() const { return options_; }
  // The text of the source-name display: the source of the next run.
  QString sourcePath() const;
  // True while a run holds the dialog.
  bool isRunning() const { return running_; }

  // Makes `path` the source, as if it had been chosen with Browse: shown made
  // absolute (against the current folder) but otherwise as given. The file
  // need not exist; Execute then reports it missing.
  void OpenSource(const QString& path);

  // The local file a drag would drop: exactly one URL naming an existing
  // regular file, as an absolute path; empty for anything else.
  static QString DroppedFilePath(const QMimeData* mimeData);

 public slots:
  // Asks "notoraを終了します。" (Yes/No); closes unless the answer is No.
  // Reached from the exit button, the Escape key and the window's close box.
  void reject() override;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private slots:
  void OnExecute();
  void OnBrowse();
  void OnHelp();

 private:
  enum class Exchange { kLoad, kSave };

  void BuildControls();
  // Dialog data exchange: kLoad puts options_ into the controls, kSave reads
  // the controls into options_.
  void ExchangeOptions(Exchange direction);
  void SetSourcePath(const QString& path);

  HelpWindow& helpWindow_;
  RunOptions options_;
  bool running_ = false;

  QLabel* progressLabel_ = nullptr;
  QLabel* sourceNameDisplay_ = nullptr;
};

}  // namespace notora
