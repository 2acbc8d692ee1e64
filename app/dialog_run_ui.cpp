#include "app/dialog_run_ui.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QString>

#include "app/dialog_units.h"

namespace notora {

DialogRunUi::DialogRunUi(QWidget* dialog, QLabel* progressLabel)
    : dialog_(dialog), progressLabel_(progressLabel), inputFilter_(dialog) {}

DialogRunUi::~DialogRunUi() {
  if (waitCursorShown_) EndWaitCursor();
  inputFilter_.Drain();
}

void DialogRunUi::ShowMessage(MessageKind kind, std::string_view text) {
  // Input typed while the run worked must not answer the box: discard it
  // before the box takes the keyboard.
  inputFilter_.Drain();
  QMessageBox box(kind == MessageKind::kReport ? QMessageBox::Information : QMessageBox::Warning,
                  DialogTitle(), QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                  QMessageBox::Ok, dialog_);
  box.setTextFormat(Qt::PlainText);
  // The wait cursor stays raised for the run; the box gets an arrow on top.
  QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  inputFilter_.SetPassing(true);
  box.exec();
  inputFilter_.SetPassing(false);
  QGuiApplication::restoreOverrideCursor();
  // Give the keyboard back to the dialog, as the owner of a message box gets
  // it back on Windows; not every window manager (or none) does this.
  dialog_->activateWindow();
}

void DialogRunUi::BeginWaitCursor() {
  if (waitCursorShown_) return;
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  waitCursorShown_ = true;
}

void DialogRunUi::EndWaitCursor() {
  if (!waitCursorShown_) return;
  QGuiApplication::restoreOverrideCursor();
  waitCursorShown_ = false;
}

void DialogRunUi::ShowProgress(std::int32_t recordNumber) {
  progressLabel_->setText(QString::number(recordNumber));
}

bool DialogRunUi::PollCancel() {
  if (!sinceLastPoll_.isValid() || sinceLastPoll_.elapsed() >= kPollIntervalMs) {
    inputFilter_.Drain();
    sinceLastPoll_.start();
  }
  return inputFilter_.cancelRequested();
}

}  // namespace notora
