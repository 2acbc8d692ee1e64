// Tests of the notora program's own command line, run as a user runs it:
// --version, --help and unknown options without a display, --screenshot and its refusal to
// write over anything, and bad usage.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include "app/convert_app.h"
#include "app/convert_dlg.h"
#include "base/version.h"
#include "tests/app/app_test_main.h"

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
         {QStringList{QStringLiteral("--frobnicate")}, QStringList{QStringLiteral("drawing.igs")},
          QStringList{QStringLiteral("--screenshot")},
          QStringList{QStringLiteral("--screenshot=")}}) {
      const ProgramRun run = RunNotora(arguments, Offscreen());
      QCOMPARE(run.exitCode, 64);
      QVERIFY(run.err.contains("usage: notora"));
    }
  }
};

NOTORA_APP_TEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
