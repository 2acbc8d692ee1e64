// HelpWindow: the application's help, a Japanese page about what each option
// of the dialog does, with a worked example. One window per application; the
// dialog opens it with its help button and closes it when it goes.
#pragma once

#include <QTextBrowser>

namespace notora {

class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  // The page compiled into the program.
  static constexpr const char* kPageUrl = "qrc:/notora/help/index.html";

  explicit HelpWindow(QWidget* parent = nullptr);

  // Shows the window (loading the page the first time) and brings it to front.
  void ShowHelp();
};

}  // namespace notora
