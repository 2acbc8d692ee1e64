#include "app/convert_app.h"

#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QStyleFactory>

#include "app/convert_dlg.h"
#include "app/dialog_units.h"
#include "app/help_window.h"

namespace notora {

CConvertApp::CConvertApp(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("notora"));
  setApplicationDisplayName(QStringLiteral("notora"));
  // One style everywhere, so the template's pixel sizes hold on every desktop.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion"))) setStyle(fusion);
  // Message boxes and the file dialog use the template's font as well.
  setFont(TemplateFont());
  setWindowIcon(ApplicationIcon());
  // Dates and sizes in the file dialog read as the rest of the interface.
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));

  hasJapaneseButtons_ = qtTranslator_.load(QLocale(QLocale::Japanese, QLocale::Japan),
                                           QStringLiteral("qtbase"), QStringLiteral("_"),
                                           QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (hasJapaneseButtons_) {
    installTranslator(&qtTranslator_);
  } else {
    qWarning("notora: Qt's Japanese translation (qtbase_ja.qm) was not found; "
             "standard buttons stay in English");
  }
  helpWindow_ = std::make_unique<HelpWindow>();
}

CConvertApp::~CConvertApp() = default;

QIcon CConvertApp::ApplicationIcon() { return QIcon(QString::fromLatin1(kIconPath)); }

int CConvertApp::Run(const QString& sourcePath) {
  CConvertDlg dialog(*helpWindow_);
  dialog.setWindowIcon(ApplicationIcon());
  if (!sourcePath.isEmpty()) dialog.OpenSource(sourcePath);
  dialog.exec();
  return 0;
}

bool CConvertApp::RenderDialog(const QString& path) {
  CConvertDlg dialog(*helpWindow_);
  dialog.setWindowIcon(ApplicationIcon());
  // Laid out and painted as when shown, but never mapped on a display.
  dialog.setAttribute(Qt::WA_DontShowOnScreen);
  dialog.show();
  processEvents();
  const QPixmap image = dialog.grab();

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return false;
  const bool written = image.save(&file, "PNG") && file.flush();
  file.close();
  if (written && file.error() == QFileDevice::NoError) return true;
  file.remove();
  return false;
}

}  // namespace notora
