// The main dialog's template: its title, font, size and every control with
// its id, kind, caption and rectangle in dialog units, in tab order.
//
// Dialog units are the Windows dialog-template units: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an
// eighth of its character height. DialogUnits turns them into pixels.
#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <span>

namespace notora {

enum class ControlKind {
  kStatic,         // right-aligned text
  kSunkenStatic,   // right-aligned text in a sunken frame
  kPushButton,
  kDefaultButton,  // the push button that Enter presses
  kEdit,           // bordered, right-aligned, scrolls horizontally
  kGroupBox,
  kRadio,
  kCheckBox,
};

struct ControlTemplate {
  int id;               // control id; kNoId for statics and group boxes
  ControlKind kind;
  const char* caption;  // UTF-8; "&" marks the mnemonic
  int x, y, width, height;  // dialog units
  bool startsGroup;     // first radio (or check box) of a group
};

inline constexpr int kNoId = -1;

// Control ids the dialog refers to by name.
inline constexpr int kIdExecute = 1;
inline constexpr int kIdExit = 2;
inline constexpr int kIdBrowse = 1000;
inline constexpr int kIdOutputName = 1001;
inline constexpr int kIdSourceName = 1002;
inline constexpr int kIdProgress = 1003;
inline constexpr int kIdHelp = 57670;

// The dialog's title: "notora".
QString DialogTitle();
// Size of the dialog's client area in dialog units (324 x 143).
inline constexpr int kDialogWidthUnits = 324;
inline constexpr int kDialogHeightUnits = 143;

// Every control of the dialog in tab order.
std::span<const ControlTemplate> ConvertDialogTemplate();

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
