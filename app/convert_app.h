// CConvertApp: the application object. It prepares the application (the
// template font for every window, Qt's Japanese translation for the standard
// buttons, the application icon), runs the main dialog modally, on the file
// the program was started with if any, and ends when the dialog closes.
#pragma once

#include <QApplication>
#include <QIcon>
#include <QTranslator>
#include <memory>

namespace notora {

class HelpWindow;

class CConvertApp : public QApplication {
  Q_OBJECT

 public:
  // The icon file compiled into the program.
  static constexpr const char* kIconPath = ":/notora/notora.xpm";

  CConvertApp(int& argc, char** argv);
  ~CConvertApp() override;

  // Runs the main dialog until the user leaves it, with `sourcePath` as its
  // source when it is not empty (CConvertDlg::OpenSource); the program's
  // exit code.
  int Run(const QString& sourcePath = QString());

  // Renders the main dialog as a user first sees it into a new PNG file at
  // `path`, without putting it on the screen. The file is created
  // exclusively (never over a file or through a link); a picture that could
  // not be written whole is removed again. False when nothing was written.
  bool RenderDialog(const QString& path);

  // The application's help window, shared by every dialog it shows.
  HelpWindow& helpWindow() { return *helpWindow_; }

  // True when Qt's Japanese translation was found and installed, so message
  // boxes and the file dialog show Japanese standard buttons.
  bool hasJapaneseButtons() const { return hasJapaneseButtons_; }

  // The application icon, drawn by the project (resources/app/notora.xpm).
  static QIcon ApplicationIcon();

 private:
  QTranslator qtTranslator_;
  bool hasJapaneseButtons_ = false;
  std::unique_ptr<HelpWindow> helpWindow_;
};

}  // namespace notora
