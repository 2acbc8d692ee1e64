// Tests of a run started from the dialog: the messages it shows, progress,
// the wait cursor, and the input rules while it holds the dialog's thread
// (Escape cancels, a close request cancels, clicks and mnemonics are lost).
#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"
#include "run/conversion_run.h"
#include "tests/app/app_test_main.h"
#include "tests/app/modal_responder.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"

using notora::CConvertDlg;
using notora::testing::IgesFile;
using notora::testing::ModalResponder;
using notora::testing::TempDir;

namespace {

// A General Note whose text holds 漢 between Latin letters.
const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";

const QString kReportHead = QString::fromUtf8(
    "漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\n変換前JISｺｰﾄﾞ要素数 0\n変換前縦書き要素数 0\n"
    "変換前文字幅ﾏｲﾅｽ要素数 0\n変換不可文字数 0\n");
const QString kCancelled = QString::fromUtf8("ESCｷｰにより処理を中止します。　変換は出来ません。");

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace

class ConvertDlgRunTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<TempDir>();
    help_ = std::make_unique<notora::HelpWindow>();
    dialog_ = std::make_unique<CConvertDlg>(*help_);
    QVERIFY(ShowActive(dialog_.get()));
    responder_ = std::make_unique<ModalResponder>();
    responder_->AnswerAllBoxesWith(QMessageBox::Ok);
  }

  void cleanup() {
    responder_.reset();
    dialog_.reset();
    help_.reset();
    dir_.reset();
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
  }

  // The dialog shows exactly what the run reports, as notora-cli prints it.
  void goodFileEndsWithTheReport() {
    const std::string source = dir_->File("drawing.igs");
    notora::testing::WriteFile(source, IgesFile().Entity(212, kNote).Build());
    const QStringList expected = Recorded(IgesFile().Entity(212, kNote).Build(), "converted");
    QCOMPARE(expected,
             QStringList{"report: " + kReportHead +
                         QString::fromUtf8("変換したﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\nIGESﾌｧｲﾙを作成しました。")});

    ChooseSource(source);
    SetOutputName("converted");
    Execute();
    QCOMPARE(Shown(), expected);
    QCOMPARE(responder_->boxes().front().buttonTexts, QStringList{"OK"});
    QCOMPARE(responder_->boxes().front().title, QString("notora"));
    QVERIFY(Exists(dir_->File("converted.igs")));
    QVERIFY(dialog_->isVisible());
    QVERIFY(!dialog_->isRunning());

    // The output now exists: the next run refuses to overwrite it.
    ResetResponder();
    Execute();
    QCOMPARE(responder_->boxTexts(),
             QStringList{QString::fromUtf8("変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。")});
  }

  void faultyFileEndsWithItsRecordError() {
    const std::string source = dir_->File("short.igs");
    notora::testing::WriteFile(source, "too short a record\n");
    ChooseSource(source);
    SetOutputName("out");
    Execute();
    QCOMPARE(Shown(), QStringList{"error: " +
                                  QString::fromUtf8("1行目の文字数が80未満です。\n　変換は出来ません。")});
    QCOMPARE(responder_->boxes().front().icon, QMessageBox::Warning);
    QVERIFY(!Exists(dir_->File("out.igs")));
  }

  void nothingToConvertReportsSoAndWritesNothing() {
    const std::string bytes = IgesFile().Entity(212, "212,1,3,3.,2.,1,0.,0.,0,0,0.,0.,0.,3HABC;").Build();
    const std::string source = dir_->File("plain.igs");
    notora::testing::WriteFile(source, bytes);
    const QStringList expected = Recorded(bytes, "out");
    QVERIFY(expected.size() == 1 && expected.front().endsWith(QString::fromUtf8(
                                        "変換出来るﾃﾞｰﾀが有りませんでした。変換後ﾌｧｲﾙは作成していません。")));
    ChooseSource(source);
    SetOutputName("out");
    Execute();
    QCOMPARE(Shown(), expected);
    QVERIFY(!Exists(dir_->File("out.igs")));
  }

  // Progress every 100 records, the wait cursor for the run, an arrow over
  // its message box.
  void progressAndWaitCursor() {
    std::vector<std::string> start(250, "start record");
    const std::string bytes = IgesFile().Start(start).Entity(212, kNote).Build();
    const std::string source = dir_->File("long.igs");
    notora::testing::WriteFile(source, bytes);
    notora::testing::RecordingUi recording;
    RecordRun(bytes, "long_out", &recording);
    QVERIFY(!recording.progress.empty());

    ChooseSource(source);
    SetOutputName("long_out");
    Qt::CursorShape duringRun = Qt::BitmapCursor;
    QTimer::singleShot(0, [&] {
      if (QGuiApplication::overrideCursor()) duringRun = QGuiApplication::overrideCursor()->shape();
    });
    Qt::CursorShape overBox = Qt::BitmapCursor;
    responder_->Expect([&](QWidget* window) {
      if (QGuiApplication::overrideCursor()) overBox = QGuiApplication::overrideCursor()->shape();
      qobject_cast<QMessageBox*>(window)->button(QMessageBox::Ok)->click();
    });
    Execute();
    QCOMPARE(responder_->pendingHandlers(), std::size_t{0});
    QCOMPARE(duringRun, Qt::WaitCursor);
    QCOMPARE(overBox, Qt::ArrowCursor);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QCOMPARE(dialog_->findChild<QLabel*>("ctl1003")->text(), QString::number(recording.progress.back()));
  }

  // An Escape key press during the run cancels it; it does not ask to exit.
  void escapeDuringTheRunCancelsIt() {
    PrepareGoodRun();
    QTimer::singleShot(0, [&] { QTest::keyClick(dialog_->windowHandle(), Qt::Key_Escape); });
    Execute();
    QCOMPARE(Shown(), QStringList{"error: " + kCancelled});
    QCOMPARE(responder_->unexpectedWindows(), 0);
    QTest::qWait(50);
    QCOMPARE(responder_->unexpectedWindows(), 0);
    QVERIFY(dialog_->isVisible());
    QVERIFY(!Exists(dir_->File("converted.igs")));
  }

  // An Escape already queued when Execute is pressed cancels at the first
  // record.
  void escapeQueuedBeforeExecuteCancels() {
    PrepareGoodRun();
    QCoreApplication::postEvent(dialog_.get(),
                                new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    dialog_->findChild<QPushButton*>("ctl1")->click();
    QCOMPARE(Shown(), QStringList{"error: " + kCancelled});
    QVERIFY(dialog_->isVisible());
  }

  // Closing the window during the run cancels the run, not the dialog.
  void closeDuringTheRunCancelsIt() {
    PrepareGoodRun();
    bool closed = true;
    QTimer::singleShot(0, [&] { closed = dialog_->close(); });
    Execute();
    QVERIFY(!closed);
    QCOMPARE(Shown(), QStringList{"error: " + kCancelled});
    QCOMPARE(responder_->unexpectedWindows(), 0);
    QVERIFY(dialog_->isVisible());
  }

  // Clicks and Alt mnemonics during a run change nothing; the run goes on.
  void inputDuringTheRunIsDiscarded() {
    PrepareGoodRun();
    auto* radio = dialog_->findChild<QAbstractButton*>("ctl1011");
    QTimer::singleShot(0, [&] {
      QTest::keyClick(dialog_->windowHandle(), Qt::Key_Z, Qt::AltModifier);
      QTest::keyClick(dialog_->windowHandle(), Qt::Key_4, Qt::AltModifier);
      QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
      QTest::keyClick(dialog_->windowHandle(), Qt::Key_B);
    });
    Execute();
    QTest::qWait(300);  // longer than a mnemonic's animated click
    QCOMPARE(Shown().size(), 1);
    QVERIFY(Shown().front().startsWith("report: "));
    QCOMPARE(responder_->unexpectedWindows(), 0);
    for (const char* id : {"ctl1008", "ctl1018", "ctl1006"}) {
      QVERIFY2(dialog_->findChild<QAbstractButton*>(id)->isChecked(), id);
    }
    QVERIFY(!radio->isChecked());
    // After the run, the same mnemonic works again.
    QTest::keyClick(dialog_->windowHandle(), Qt::Key_Z, Qt::AltModifier);
    QTRY_VERIFY(dialog_->findChild<QAbstractButton*>("ctl1017")->isChecked());
  }

  void dropDuringTheRunIsIgnored() {
    PrepareGoodRun();
    const std::string other = dir_->File("other.igs");
    notora::testing::WriteFile(other, "x");
    QString pathDuringRun;
    QTimer::singleShot(0, [&] {
      QMimeData mime;
      mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(other))});
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(dialog_.get(), &enter);
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QApplication::sendEvent(dialog_.get(), &drop);
      pathDuringRun = dialog_->sourcePath();
    });
    Execute();
    QCOMPARE(pathDuringRun, QString::fromStdString(dir_->File("drawing.igs")));
    QCOMPARE(dialog_->sourcePath(), QString::fromStdString(dir_->File("drawing.igs")));
  }

 private:
  void PrepareGoodRun() {
    const std::string source = dir_->File("drawing.igs");
    notora::testing::WriteFile(source, IgesFile().Entity(212, kNote).Build());
    ChooseSource(source);
    SetOutputName("converted");
  }

  // Runs the driver directly on a copy of `bytes`, as the command line does.
  void RecordRun(const std::string& bytes, const std::string& outputName,
                 notora::testing::RecordingUi* recording) {
    TempDir elsewhere;
    const std::string source = elsewhere.File("source.igs");
    notora::testing::WriteFile(source, bytes);
    notora::RunOptions options;
    options.outputName = outputName;
    notora::RunConversion(options, source, *recording);
  }
  QStringList Recorded(const std::string& bytes, const std::string& outputName) {
    notora::testing::RecordingUi recording;
    RecordRun(bytes, outputName, &recording);
    QStringList messages;
    for (const std::string& message : recording.messages) messages << QString::fromStdString(message);
    return messages;
  }

  // The boxes shown by the last Execute, marked as RecordingUi marks them.
  QStringList Shown() const {
    QStringList shown;
    for (const notora::testing::ShownBox& box : responder_->boxes()) {
      shown << (box.icon == QMessageBox::Information ? "report: " : "error: ") + box.text;
    }
    return shown;
  }

  void ChooseSource(const std::string& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog_.get(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(dialog_.get(), &drop);
    QCOMPARE(dialog_->sourcePath(), QString::fromStdString(path));
  }
  void SetOutputName(const QString& name) { dialog_->findChild<QLineEdit*>("ctl1001")->setText(name); }
  // Forgets the boxes shown so far.
  void ResetResponder() {
    responder_ = std::make_unique<ModalResponder>();
    responder_->AnswerAllBoxesWith(QMessageBox::Ok);
  }
  void Execute() {
    QTest::mouseClick(dialog_->findChild<QPushButton*>("ctl1"), Qt::LeftButton);
  }

  std::unique_ptr<TempDir> dir_;  // fresh for every test
  std::unique_ptr<notora::HelpWindow> help_;
  std::unique_ptr<CConvertDlg> dialog_;
  std::unique_ptr<ModalResponder> responder_;
};

NOTORA_APP_TEST_MAIN(ConvertDlgRunTest)
#include "convert_dlg_run_test.moc"
