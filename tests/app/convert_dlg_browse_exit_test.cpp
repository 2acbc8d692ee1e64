// Tests of choosing the source (Browse and drop), the exit question and the
// help window.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <memory>

#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "tests/app/app_test_main.h"
#include "tests/app/modal_responder.h"

using notora::CConvertDlg;
using notora::testing::ModalResponder;
using notora::testing::ShownBox;

namespace {

// Sends a drag of `mime` over the dialog and drops it; whether the dialog
// accepted the drag.
bool DragAndDrop(QWidget* target, QMimeData* mime) {
  const QPoint at = target->rect().center();
  QDragEnterEvent enter(at, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(QPointF(at), Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &drop);
  return drop.isAccepted();
}

}  // namespace

class ConvertDlgBrowseExitTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    QVERIFY(files_.isValid());
    sourceFile_ = files_.filePath("部品.igs");
    QFile file(sourceFile_);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    help_ = std::make_unique<notora::HelpWindow>();
    dialog_ = std::make_unique<CConvertDlg>(*help_);
    QVERIFY(ShowActive(dialog_.get()));
    responder_ = std::make_unique<ModalResponder>();
  }

  void cleanup() {
    responder_.reset();
    dialog_.reset();
    help_.reset();
  }

  void browseShowsTheOpenDialogAndTakesTheChosenPath() {
    QString title;
    QStringList filters;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QString suffix;
    QString initialName;
    responder_->Expect([&](QWidget* window) {
      auto* fileDialog = qobject_cast<QFileDialog*>(window);
      QVERIFY(fileDialog != nullptr);
      title = fileDialog->windowTitle();
      filters = fileDialog->nameFilters();
      mode = fileDialog->fileMode();
      suffix = fileDialog->defaultSuffix();
      auto* nameEdit = fileDialog->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(nameEdit != nullptr);
      initialName = nameEdit->text();
      fileDialog->setDirectory(files_.path());
      fileDialog->selectFile(sourceFile_);
      static_cast<QDialog*>(fileDialog)->accept();  // as the Open button does
    });
    ClickButton(1000);
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
    QCOMPARE(title, QString("IGES元ﾌｧｲﾙ名を指定"));
    QCOMPARE(filters, (QStringList{"IGESﾌｧｲﾙ(.igs) (*.igs)", "すべてのﾌｧｲﾙ(*.*) (*)"}));
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(suffix, QString("igs"));
    QCOMPARE(initialName, QString("*.igs"));
    QCOMPARE(dialog_->sourcePath(), QFileInfo(sourceFile_).absoluteFilePath());
  }

  // Cancelling the file dialog empties a path chosen before.
  void cancellingBrowseEmptiesThePath() {
    QVERIFY(DragAndDrop(dialog_.get(), FileMime(sourceFile_)));
    QCOMPARE(dialog_->sourcePath(), sourceFile_);
    responder_->Expect([](QWidget* window) {
      QVERIFY(qobject_cast<QFileDialog*>(window) != nullptr);
      qobject_cast<QFileDialog*>(window)->reject();
    });
    ClickButton(1000);
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
    QCOMPARE(dialog_->sourcePath(), QString());
  }

  void droppingAFileSetsItsFullPath() {
    QVERIFY(DragAndDrop(dialog_.get(), FileMime(sourceFile_)));
    QCOMPARE(dialog_->sourcePath(), QFileInfo(sourceFile_).absoluteFilePath());
  }

  void droppingAFolderOrTwoFilesIsRefused() {
    const QString other = files_.filePath("other.igs");
    QFile file(other);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!DragAndDrop(dialog_.get(), FileMime(files_.path())));
    auto* two = new QMimeData;
    two->setUrls({QUrl::fromLocalFile(sourceFile_), QUrl::fromLocalFile(other)});
    QVERIFY(!DragAndDrop(dialog_.get(), two));
    delete two;
    QVERIFY(!DragAndDrop(dialog_.get(), FileMime(files_.filePath("missing.igs"))));
    QCOMPARE(dialog_->sourcePath(), QString());
  }

  // The exit question, and No keeps the dialog with all its values.
  void answeringNoKeepsTheDialogAndItsValues() {
    QVERIFY(DragAndDrop(dialog_.get(), FileMime(sourceFile_)));
    ClickIndicator(1011);
    ClickIndicator(1017);
    ClickIndicator(1009);
    auto* edit = dialog_->findChild<QLineEdit*>("ctl1001");
    edit->setText("out");
    ShownBox shown;
    responder_->Expect([&](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      QVERIFY(box != nullptr);
      shown = ModalResponder::Describe(*box);
      QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
      box->button(QMessageBox::No)->click();
    });
    ClickButton(2);
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
    QCOMPARE(shown.text, QString("notoraを終了します。"));
    QCOMPARE(shown.icon, QMessageBox::Question);
    QCOMPARE(shown.buttonTexts, (QStringList{"はい(&Y)", "いいえ(&N)"}));
    QVERIFY(dialog_->isVisible());
    QCOMPARE(dialog_->sourcePath(), sourceFile_);
    QVERIFY(Button(1011)->isChecked());
    QVERIFY(Button(1017)->isChecked());
    QVERIFY(Button(1009)->isChecked());
    QVERIFY(Button(1019)->isChecked());
    QCOMPARE(edit->text(), QString("out"));
  }

  void answeringYesClosesTheDialogAndTheHelp() {
    ClickButton(57670);
    QVERIFY(help_->isVisible());
    responder_->Expect([](QWidget* window) {
      qobject_cast<QMessageBox*>(window)->button(QMessageBox::Yes)->click();
    });
    ClickButton(2);
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(dialog_->result(), int(QDialog::Rejected));
    QVERIFY(!help_->isVisible());
  }

  void escapeAsksBeforeClosing() {
    responder_->Expect([](QWidget* window) {
      auto* box = qobject_cast<QMessageBox*>(window);
      QCOMPARE(box->text(), QString("notoraを終了します。"));
      box->button(QMessageBox::No)->click();
    });
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_Escape);
    QTRY_COMPARE(responder_->pendingHandlers(), std::size_t{0});
    QVERIFY(dialog_->isVisible());
    responder_->Expect([](QWidget* window) {
      qobject_cast<QMessageBox*>(window)->button(QMessageBox::Yes)->click();
    });
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!dialog_->isVisible());
  }

  void closeBoxAsksBeforeClosing() {
    responder_->Expect([](QWidget* window) {
      qobject_cast<QMessageBox*>(window)->button(QMessageBox::No)->click();
    });
    QVERIFY(!dialog_->close());
    QVERIFY(dialog_->isVisible());
    responder_->Expect([](QWidget* window) {
      qobject_cast<QMessageBox*>(window)->button(QMessageBox::Yes)->click();
    });
    QVERIFY(dialog_->close());
    QVERIFY(!dialog_->isVisible());
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
  }

  void helpShowsTheJapanesePage() {
    QVERIFY(!help_->isVisible());
    ClickButton(57670);
    QVERIFY(help_->isVisible());
    QCOMPARE(help_->source(), QUrl(notora::HelpWindow::kPageUrl));
    const QString page = help_->toPlainText();
    for (const char* word : {"notora の使い方", "全角⇒JISｺｰﾄﾞ(J)", "縦書き⇒横書き(V)", "列数ｾﾞﾛをｴﾗｰ(R)",
                             "2121(ｽﾍﾟｰｽ)(A)", "＂(D)", "ｴﾗｰ(Z)", "出力 後(4)", "例", "34413b7a"}) {
      QVERIFY2(page.contains(QString::fromUtf8(word)), word);
    }
  }

  void destroyingTheDialogClosesTheHelp() {
    ClickButton(57670);
    QVERIFY(help_->isVisible());
    dialog_.reset();
    QVERIFY(!help_->isVisible());
  }

 private:
  QAbstractButton* Button(int id) const {
    return dialog_->findChild<QAbstractButton*>(notora::ControlObjectName(id));
  }
  void ClickButton(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }
  void ClickIndicator(int id) {
    QTest::mouseClick(Button(id), Qt::LeftButton, {}, QPoint(6, Button(id)->height() / 2));
  }
  QMimeData* FileMime(const QString& path) {
    mime_ = std::make_unique<QMimeData>();
    mime_->setUrls({QUrl::fromLocalFile(path)});
    return mime_.get();
  }

  QTemporaryDir files_;
  QString sourceFile_;
  std::unique_ptr<QMimeData> mime_;
  std::unique_ptr<notora::HelpWindow> help_;
  std::unique_ptr<CConvertDlg> dialog_;
  std::unique_ptr<ModalResponder> responder_;
};

NOTORA_APP_TEST_MAIN(ConvertDlgBrowseExitTest)
#include "convert_dlg_browse_exit_test.moc"
