// ModalResponder: answers the modal windows a dialog opens while a test drives
// it, as a user would, and remembers what they showed.
//
// It watches for a new active modal widget every few milliseconds (also from
// inside a run, whose polls let timers fire) and hands each one to the next
// queued handler, or records and closes message boxes when asked to.
#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <deque>
#include <functional>

namespace notora::testing {

// What one message box showed.
struct ShownBox {
  QString text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QStringList buttonTexts;  // in the order of the box's buttons
  QString title;
};

class ModalResponder : public QObject {
  Q_OBJECT

 public:
  using Handler = std::function<void(QWidget*)>;

  ModalResponder();

  // The next modal widget goes to `handler`, which must close it.
  void Expect(Handler handler);
  // Every message box for which no handler is queued is recorded in boxes()
  // and answered with `button`.
  void AnswerAllBoxesWith(QMessageBox::StandardButton button) { defaultAnswer_ = button; }

  const std::vector<ShownBox>& boxes() const { return boxes_; }
  QStringList boxTexts() const;
  // Handlers still waiting for a window.
  std::size_t pendingHandlers() const { return handlers_.size(); }
  // Modal widgets that appeared with nothing to answer them (closed by force).
  int unexpectedWindows() const { return unexpected_; }

  // Describes a message box.
  static ShownBox Describe(const QMessageBox& box);

 private:
  void Check();

  QTimer timer_;
  std::deque<Handler> handlers_;
  QMessageBox::StandardButton defaultAnswer_ = QMessageBox::NoButton;
  std::vector<ShownBox> boxes_;
  int unexpected_ = 0;
};

}  // namespace notora::testing
