// Tests of the notora program's own command line, run as a user runs it:
// --version, --help and unknown options without a display, --screenshot and its refusal to
// write over anything, and bad usage; and the dialog a file argument opens, as the
// application runs it.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QProcess>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "app/convert_app.h"
#include "app/convert_dlg.h"
#include "base/version.h"
#include "tests/app/app_test_main.h"
#include "tests/app/modal_responder.h"
#include "tests/support/iges_builder.h"

namespace {

struct ProgramRun {
  int exitCode = -1;
  QByteArray out;
  QByteArray err;
};

// Runs the notora program with `arguments` in `environment` and waits for it.
ProgramRun RunNotora(const QStringList& arguments, const QProcessEnvironment& environment) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(NOTORA_APP_PATH), arguments);
  ProgramRun run;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
    process.kill();
    process.waitForFinished();
    return run;
  }
  run.exitCode = process.exitCode();
  run.out = process.readAllStandardOutput();
  run.err = process.readAllStandardError();
  return run;
}

// What a user sees of the dialog that the application opens on `argument`
// (run from the current folder): the source shown, and the message boxes of
// Execute with `outputName` as the output's name.
struct OpenedDialog {
  bool shown = false;
  QString source;
  QStringList boxes;
};

OpenedDialog OpenAndExecute(const QString& argument, const QString& outputName) {
  OpenedDialog opened;
  notora::testing::ModalResponder dialogs;
  dialogs.Expect([&](QWidget* window) {
    auto* dialog = qobject_cast<notora::CConvertDlg*>(window);
    if (dialog == nullptr) return;
    opened.shown = true;
    opened.source = dialog->sourcePath();
    dialog->findChild<QLineEdit*>(QStringLiteral("ctl1001"))->setText(outputName);
    {
      // The run's boxes come up inside this handler: a responder of their own.
      notora::testing::ModalResponder boxes;
      boxes.AnswerAllBoxesWith(QMessageBox::Ok);
      QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("ctl1")), Qt::LeftButton);
      opened.boxes = boxes.boxTexts();
    }
    dialog->done(QDialog::Rejected);
  });
  static_cast<notora::CConvertApp*>(qApp)->Run(argument);
  return opened;
}

// A General Note whose text holds 漢 between Latin letters.
const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";

QProcessEnvironment Offscreen() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  return environment;
}

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void versionAndHelpNeedNoDisplay() {
    // A window system that cannot start: the application must not be made.
    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    noDisplay.remove(QStringLiteral("DISPLAY"));
    noDisplay.remove(QStringLiteral("WAYLAND_DISPLAY"));
    noDisplay.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));

    const ProgramRun version = RunNotora({QStringLiteral("--version")}, noDisplay);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("notora ") + notora::kVersion + "\n");
    QCOMPARE(version.err, QByteArray());

    const ProgramRun help = RunNotora({QStringLiteral("--help")}, noDisplay);
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains("--screenshot FILE.png"));
    QVERIFY(help.out.contains("usage: notora [FILE]\n"));

    const ProgramRun unknown = RunNotora({QStringLiteral("--frobnicate")}, noDisplay);
    QCOMPARE(unknown.exitCode, 64);
    QVERIFY(unknown.err.contains("--frobnicate"));
  }

  void screenshotIsTheDialogAsItOpens() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picture = dir.filePath(QStringLiteral("ダイアログ.png"));
    const ProgramRun run = RunNotora({QStringLiteral("--screenshot"), picture}, Offscreen());
    QCOMPARE(run.exitCode, 0);

    const QImage image(picture);
    QVERIFY(!image.isNull());
    notora::CConvertDlg dialog(static_cast<notora::CConvertApp*>(qApp)->helpWindow());
    QCOMPARE(image.size(), dialog.size());
    // Drawn, not blank: captions and frames bring several colours.
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 4) {
      for (int x = 0; x < image.width(); x += 4) colours.insert(image.pixel(x, y));
    }
    QVERIFY(colours.size() > 3);
  }

  void screenshotNeverWritesOverAFileOrThroughALink() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("existing.png"));
    {
      QFile file(existing);
      QVERIFY(file.open(QIODevice::WriteOnly));
      file.write("keep");
    }
    ProgramRun run = RunNotora({QStringLiteral("--screenshot"), existing}, Offscreen());
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains("existing.png"));
    QFile kept(existing);
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray("keep"));

    const QString target = dir.filePath(QStringLiteral("target.png"));
    const QString link = dir.filePath(QStringLiteral("link.png"));
    QVERIFY(QFile::link(target, link));
    run = RunNotora({QStringLiteral("--screenshot=") + link}, Offscreen());
    QCOMPARE(run.exitCode, 2);
    QVERIFY(!QFile::exists(target));
  }

  void badUsageExitsSixtyFour() {
    for (const QStringList& arguments :
         {QStringList{QStringLiteral("--frobnicate")},
          QStringList{QStringLiteral("a.igs"), QStringLiteral("b.igs")},
          QStringList{QStringLiteral("--screenshot")},
          QStringList{QStringLiteral("--screenshot=")}}) {
      const ProgramRun run = RunNotora(arguments, Offscreen());
      QCOMPARE(run.exitCode, 64);
      QVERIFY(run.err.contains("usage: notora"));
    }
  }

  // notora FILE, as a file manager's "Open with" starts it: the dialog opens
  // with FILE, made absolute, as its source, and Execute converts it. The
  // folder and the file have Japanese names.
  void fileArgumentIsTheSource() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("図面")));
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("図面"));
    const QString source = QDir(folder).filePath(QStringLiteral("部品.igs"));
    notora::testing::WriteFile(QFile::encodeName(source).toStdString(),
                               notora::testing::IgesFile().Entity(212, kNote).Build());
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    const OpenedDialog opened =
        OpenAndExecute(QStringLiteral("図面/部品.igs"), QStringLiteral("変換後"));
    QVERIFY(QDir::setCurrent(previous));
    QVERIFY(opened.shown);
    QCOMPARE(opened.source, source);
    QCOMPARE(opened.boxes.size(), 1);
    QVERIFY2(opened.boxes.front().endsWith(QString::fromUtf8("IGESﾌｧｲﾙを作成しました。")),
             qPrintable(opened.boxes.front()));
    QVERIFY(QFile::exists(QDir(folder).filePath(QStringLiteral("変換後.igs"))));

    // An absolute path is shown as given.
    QCOMPARE(OpenAndExecute(source, QStringLiteral("変換後")).source, source);
  }

  // A file that is not there is shown all the same, and Execute says it is
  // missing, as for a chosen file that went away.
  void missingFileIsReportedOnExecute() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = QDir(dir.path()).filePath(QStringLiteral("無い図面.igs"));
    const OpenedDialog opened = OpenAndExecute(missing, QStringLiteral("out"));
    QVERIFY(opened.shown);
    QCOMPARE(opened.source, missing);
    QCOMPARE(opened.boxes,
             QStringList{QString::fromUtf8("元ﾌｧｲﾙ名で選択したﾌｧｲﾙが有りません。\n　変換は出来ません。")});
    QVERIFY(!QFile::exists(QDir(dir.path()).filePath(QStringLiteral("out.igs"))));
  }
};

NOTORA_APP_TEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
