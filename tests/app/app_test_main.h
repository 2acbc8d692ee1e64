// The main() of a dialog test: the real application object (font, Japanese
// translation, icon) around one QTest class, on the offscreen platform unless
// another is chosen.
#pragma once

#include <QTest>
#include <QtGlobal>

#include "app/convert_app.h"

#define NOTORA_APP_TEST_MAIN(TestClass)                                     \
  int main(int argc, char** argv) {                                         \
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {                   \
      qputenv("QT_QPA_PLATFORM", "offscreen");                              \
    }                                                                       \
    notora::CConvertApp app(argc, argv);                                    \
    TestClass test;                                                         \
    return QTest::qExec(&test, argc, argv);                                 \
  }
