#include "app/run_input_filter.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>
#include <QWindow>

namespace notora {
namespace {

bool IsUserInput(QEvent::Type type) {
  switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    // Sent before a key press is matched against shortcuts: a mnemonic such
    // as Alt+Z would otherwise click its radio button before the key press
    // itself is filtered.
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
      return true;
    default:
      return false;
  }
}

}  // namespace

RunInputFilter::RunInputFilter(QWidget* dialog) : dialog_(dialog) {
  QCoreApplication::instance()->installEventFilter(this);
}

RunInputFilter::~RunInputFilter() { QCoreApplication::instance()->removeEventFilter(this); }

void RunInputFilter::Drain() {
  const bool wasPassing = passing_;
  passing_ = false;
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  passing_ = wasPassing;
}

bool RunInputFilter::IsDialogWindow(QObject* object) const {
  if (dialog_ == nullptr || object == nullptr) return false;
  return object == dialog_ || object == dialog_->windowHandle();
}

bool RunInputFilter::eventFilter(QObject* watched, QEvent* event) {
  if (passing_) return false;
  const QEvent::Type type = event->type();
  if (type == QEvent::Close && IsDialogWindow(watched)) {
    // Closing the window in the middle of a run cancels the run instead.
    cancelRequested_ = true;
    event->ignore();
    return true;
  }
  if (!IsUserInput(type)) return false;
  if (type == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
    cancelRequested_ = true;
  }
  if (type == QEvent::ShortcutOverride) {
    // Accepting the override tells the shortcut map not to try the key.
    event->accept();
  }
  return true;
}

}  // namespace notora
