// The main() of a dialog test: the real application object (font, Japanese
// translation, icon) around one QTest class, always on the offscreen
// platform: no display is needed, no window appears on a developer's desktop,
// and window activation does not depend on a window manager.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QtGlobal>

#include "app/convert_app.h"

// Shows `window` and makes it the active window, as a user's click would;
// false when it did not become active.
inline bool ShowActive(QWidget* window) {
  window->show();
  QApplication::setActiveWindow(window);
  return QTest::qWaitForWindowActive(window);
}

#define NOTORA_APP_TEST_MAIN(TestClass)                                     \
  int main(int argc, char** argv) {                                         \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                \
    notora::CConvertApp app(argc, argv);                                    \
    TestClass test;                                                         \
    return QTest::qExec(&test, argc, argv);                                 \
  }
