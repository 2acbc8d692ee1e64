#include "app/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>

namespace notora {
namespace {

// Windows rounds MulDiv results to the nearest integer, halves away from 0.
int MulDivRounded(int value, int multiplier, int divisor) {
  const long long product = static_cast<long long>(value) * multiplier;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor
                                       : -((-product + half) / divisor));
}

}  // namespace

QString DialogTitle() {
  return QString::fromUtf8(kDialogTitle.data(), static_cast<qsizetype>(kDialogTitle.size()));
}

QFont TemplateFont() {
  // Fontconfig lists a font under its Japanese and its Latin family name.
  const QStringList installed = QFontDatabase::families();
  QString family = QStringLiteral("IPAGothic");
  const QString templateFamily =
      QString::fromUtf8(kDialogFontFamily.data(), static_cast<qsizetype>(kDialogFontFamily.size()));
  for (const QString& candidate : {templateFamily, QStringLiteral("MS Gothic")}) {
    if (installed.contains(candidate)) {
      family = candidate;
      break;
    }
  }
  QFont font(family, kDialogFontPoints);
  font.setStyleHint(QFont::TypeWriter);
  return font;
}

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth =
      metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  // Half of the width of 26 letters, rounded: the average of 52.
  baseWidth_ = (alphabetWidth / 26 + 1) / 2;
  baseHeight_ = metrics.height();
}

int DialogUnits::ToPixelsX(int units) const { return MulDivRounded(units, baseWidth_, 4); }

int DialogUnits::ToPixelsY(int units) const { return MulDivRounded(units, baseHeight_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  // Position and size are converted each on its own, as the dialog manager
  // does when it creates the controls of a template.
  return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QString ControlObjectName(int id) { return QStringLiteral("ctl%1").arg(id); }

}  // namespace notora
