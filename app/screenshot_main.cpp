// notora_screenshot: renders the main dialog as a user first sees it into a
// PNG file, without a display (run with QT_QPA_PLATFORM=offscreen).
#include <QPixmap>
#include <cstdio>

#include "app/convert_app.h"
#include "app/convert_dlg.h"

int main(int argc, char** argv) {
  notora::CConvertApp app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (arguments.size() != 2) {
    std::fprintf(stderr, "usage: notora_screenshot OUTPUT.png\n");
    return 2;
  }
  notora::CConvertDlg dialog(app.helpWindow());
  dialog.show();
  QCoreApplication::processEvents();
  const QPixmap image = dialog.grab();
  if (!image.save(arguments.at(1), "PNG")) {
    std::fprintf(stderr, "notora_screenshot: cannot write %s\n", qPrintable(arguments.at(1)));
    return 1;
  }
  return 0;
}
