// RunInputFilter: keeps the user's input away from the application while a
// run holds the dialog's thread.
//
// A run does not return to the event loop; it lets events through only when
// it polls. While this filter is installed on the application, every mouse,
// keyboard, wheel, touch, drag and shortcut event that arrives is discarded
// instead of reaching a widget, so clicks and Alt mnemonics cannot change the
// options or start a second run. An Escape key press and a request to close
// the dialog are remembered as the user's wish to cancel.
#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace notora {

class RunInputFilter : public QObject {
  Q_OBJECT

 public:
  // Installs itself on the application; `dialog` is the window whose close
  // request counts as a cancel. Removes itself when destroyed.
  explicit RunInputFilter(QWidget* dialog);
  ~RunInputFilter() override;

  // Delivers every pending event now, discarding input.
  void Drain();

  // While passing, events go through untouched (a message box of the run is
  // up and needs its own keys and clicks).
  void SetPassing(bool passing) { passing_ = passing; }

  // True once an Escape key press or a close request has been seen.
  bool cancelRequested() const { return cancelRequested_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool IsDialogWindow(QObject* object) const;

  QPointer<QWidget> dialog_;
  bool passing_ = false;
  bool cancelRequested_ = false;
};

}  // namespace notora
