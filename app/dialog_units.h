// The dialog template (dialog/dialog_template.h) as Qt shows it: the
// template's font and the conversion of dialog units to pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>

#include "dialog/dialog_template.h"

namespace notora {

// The dialog's title: "notora".
QString DialogTitle();

// The template's font: "ＭＳ ゴシック" 11 pt when it is installed, otherwise the
// Japanese Gothic font "IPAGothic" at the same size, whose metrics are closest.
QFont TemplateFont();

// Converts dialog units to pixels for one font, as Windows does: the base
// width is the average width of the 52 Latin letters rounded to whole pixels,
// the base height the font's line height; x pixels = x * width / 4 and
// y pixels = y * height / 8, rounded to the nearest pixel.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);

  int baseWidth() const { return baseWidth_; }
  int baseHeight() const { return baseHeight_; }

  int ToPixelsX(int units) const;
  int ToPixelsY(int units) const;
  // The pixel rectangle of a control placed at (x, y) with the given size.
  QRect ToPixels(int x, int y, int width, int height) const;

 private:
  int baseWidth_;
  int baseHeight_;
};

// The object name a control gets: "ctl" + its id (e.g. "ctl1008").
QString ControlObjectName(int id);

}  // namespace notora
