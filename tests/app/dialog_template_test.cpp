// Tests of the dialog template: its font and the dialog-unit conversion.
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QObject>
#include <QRawFont>
#include <QTest>

#include "app/dialog_units.h"
#include "tests/app/app_test_main.h"

using notora::ConvertDialogTemplate;
using notora::ControlTemplate;
using notora::DialogUnits;

class DialogTemplateTest : public QObject {
  Q_OBJECT

 private slots:
  void fontIsAJapaneseGothicAtElevenPoints() {
    const QFont font = notora::TemplateFont();
    QCOMPARE(font.pointSize(), 11);
    const QString resolved = QFontInfo(font).family();
    QVERIFY2(resolved == "IPAGothic" || resolved == "ＭＳ ゴシック" || resolved == "MS Gothic",
             qPrintable("resolved to " + resolved));
  }

  // Every character of every caption must come from the template font
  // itself, not from a fallback font that happens to have it.
  void fontCoversEveryCaption() {
    const QFont font = notora::TemplateFont();
    const QFontMetrics metrics(font);
    const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::Japanese);
    QVERIFY(raw.isValid());
    QCOMPARE(raw.familyName(), QFontInfo(font).family());
    for (const ControlTemplate& control : ConvertDialogTemplate()) {
      const QString caption = QString::fromUtf8(control.caption);
      for (const char32_t character : caption.toUcs4()) {
        if (character == U'&') continue;
        const QString where = caption + " U+" + QString::number(character, 16);
        QVERIFY2(metrics.inFontUcs4(character), qPrintable(where));
        QVERIFY2(raw.supportsCharacter(character), qPrintable(where));
      }
    }
  }

  void baseUnitsFollowTheLatinAlphabet() {
    const QFont font = notora::TemplateFont();
    const QFontMetrics metrics(font);
    const DialogUnits units(font);
    const int alphabet =
        metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    QCOMPARE(units.baseWidth(), (alphabet / 26 + 1) / 2);
    QCOMPARE(units.baseHeight(), metrics.height());
    // A Gothic font at 11 pt: about 7 pixels wide and 15 high at 96 dpi.
    QVERIFY(units.baseWidth() >= 5 && units.baseWidth() <= 10);
    QVERIFY(units.baseHeight() >= 12 && units.baseHeight() <= 20);
  }

  void conversionScalesAndRoundsAsWindowsDoes() {
    QFont font = notora::TemplateFont();
    const DialogUnits units(font);
    const int w = units.baseWidth();
    const int h = units.baseHeight();
    QCOMPARE(units.ToPixelsX(4), w);
    QCOMPARE(units.ToPixelsY(8), h);
    QCOMPARE(units.ToPixelsX(0), 0);
    QCOMPARE(units.ToPixelsX(324), (324 * w + 2) / 4);
    QCOMPARE(units.ToPixelsY(143), (143 * h + 4) / 8);
    // Results are rounded to the nearest pixel, halves up.
    for (int x = 1; x <= 9; ++x) {
      const double exact = static_cast<double>(x) * w / 4;
      QCOMPARE(units.ToPixelsX(x), static_cast<int>(exact + 0.5));
    }
    const QRect rect = units.ToPixels(65, 5, 215, 15);
    QCOMPARE(rect, QRect(units.ToPixelsX(65), units.ToPixelsY(5), units.ToPixelsX(215),
                         units.ToPixelsY(15)));
  }
};

NOTORA_APP_TEST_MAIN(DialogTemplateTest)
#include "dialog_template_test.moc"
