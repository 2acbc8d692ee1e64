// Tests of DialogRunUi on its own: polling, draining and the wait cursor,
// with events queued exactly where a run would meet them.
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <memory>

#include "app/dialog_run_ui.h"
#include "tests/app/app_test_main.h"
#include "tests/app/modal_responder.h"

using notora::DialogRunUi;
using notora::MessageKind;
using notora::testing::ModalResponder;

namespace {

// A dialog that counts the Escape presses (rejects) that reach it.
class CountingDialog : public QDialog {
 public:
  void reject() override { ++rejects; }
  int rejects = 0;
};

void PostKey(QWidget* target, Qt::Key key) {
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
  QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

}  // namespace

class DialogRunUiTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dialog_ = std::make_unique<CountingDialog>();
    progress_ = new QLabel(dialog_.get());
    QVERIFY(ShowActive(dialog_.get()));
    responder_ = std::make_unique<ModalResponder>();
    responder_->AnswerAllBoxesWith(QMessageBox::Ok);
  }

  void cleanup() {
    responder_.reset();
    dialog_.reset();
  }

  void pendingEscapeCancels() {
    DialogRunUi ui(dialog_.get(), progress_);
    PostKey(dialog_.get(), Qt::Key_Escape);
    QVERIFY(ui.PollCancel());
    QCOMPARE(dialog_->rejects, 0);
  }

  void otherKeysAreDiscardedWithoutCancelling() {
    bool cancelled = true;
    {
      DialogRunUi ui(dialog_.get(), progress_);
      PostKey(dialog_.get(), Qt::Key_A);
      PostKey(dialog_.get(), Qt::Key_Return);
      cancelled = ui.PollCancel();
    }
    QVERIFY(!cancelled);
    QCoreApplication::processEvents();
    QCOMPARE(dialog_->rejects, 0);
  }

  void closeRequestCancels() {
    DialogRunUi ui(dialog_.get(), progress_);
    QCoreApplication::postEvent(dialog_.get(), new QCloseEvent);
    QVERIFY(ui.PollCancel());
    QVERIFY(dialog_->isVisible());
  }

  // Polls close together do not enter the event loop each time.
  void pollsAreSpacedOut() {
    DialogRunUi ui(dialog_.get(), progress_);
    QVERIFY(!ui.PollCancel());
    PostKey(dialog_.get(), Qt::Key_Escape);
    QVERIFY(!ui.PollCancel());
    QTest::qSleep(DialogRunUi::kPollIntervalMs + 5);
    QVERIFY(ui.PollCancel());
  }

  // An Escape that arrives after the last poll is drained when the run
  // ends; it must not reach the dialog afterwards.
  void lateEscapeIsDrainedAtTheEnd() {
    {
      DialogRunUi ui(dialog_.get(), progress_);
      QVERIFY(!ui.PollCancel());
      PostKey(dialog_.get(), Qt::Key_Escape);
    }
    QCoreApplication::processEvents();
    QCOMPARE(dialog_->rejects, 0);
  }

  // Input waiting when a message comes is discarded before the box shows.
  void messageBoxIgnoresEarlierInput() {
    DialogRunUi ui(dialog_.get(), progress_);
    PostKey(dialog_.get(), Qt::Key_Escape);
    ui.ShowMessage(MessageKind::kReport, "報告");
    QCOMPARE(responder_->boxTexts(), QStringList{"報告"});
    QCOMPARE(responder_->boxes().front().icon, QMessageBox::Information);
    QCOMPARE(responder_->unexpectedWindows(), 0);
    QCOMPARE(dialog_->rejects, 0);
  }

  void waitCursorIsLoweredOnceEvenIfTheRunForgets() {
    {
      DialogRunUi ui(dialog_.get(), progress_);
      ui.BeginWaitCursor();
      ui.BeginWaitCursor();
      QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    {
      DialogRunUi ui(dialog_.get(), progress_);
      ui.BeginWaitCursor();
      ui.EndWaitCursor();
      ui.EndWaitCursor();
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
  }

 private:
  std::unique_ptr<CountingDialog> dialog_;
  QLabel* progress_ = nullptr;
  std::unique_ptr<ModalResponder> responder_;
};

NOTORA_APP_TEST_MAIN(DialogRunUiTest)
#include "dialog_run_ui_test.moc"
