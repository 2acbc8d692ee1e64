#include "app/help_window.h"

#include <QUrl>

namespace notora {

HelpWindow::HelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowFlag(Qt::Window);
  setWindowTitle(QStringLiteral("notora ﾍﾙﾌﾟ"));
  setObjectName(QStringLiteral("helpWindow"));
  setOpenExternalLinks(false);
  resize(640, 560);
}

void HelpWindow::ShowHelp() {
  if (source().isEmpty()) setSource(QUrl(QString::fromLatin1(kPageUrl)));
  show();
  raise();
  activateWindow();
}

}  // namespace notora
