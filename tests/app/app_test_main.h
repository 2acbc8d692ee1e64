// The main() of a dialog test: the real application object (font, Japanese
// translation, icon) around one QTest class, always on the offscreen
// platform: no display is needed, no window appears on a developer's desktop,
// and window activation does not depend on a window manager.
#pragma once

#include <QTest>
#include <QtGlobal>

#include "app/convert_app.h"

#define NOTORA_APP_TEST_MAIN(TestClass)                                     \
  int main(int argc, char** argv) {                                         \
    qputenv("QT_QPA_PLATFORM", "offscreen");                                \
    notora::CConvertApp app(argc, argv);                                    \
    TestClass test;                                                         \
    return QTest::qExec(&test, argc, argv);                                 \
  }
