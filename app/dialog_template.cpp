#include "app/dialog_template.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QStringList>
#include <array>

namespace notora {
namespace {

using enum ControlKind;

// Dialog template 102, control by control in tab order.
constexpr std::array<ControlTemplate, 30> kControls = {{
    {kNoId, kStatic, "元ファイル名:", 5, 5, 55, 15, false},
    {kIdSourceName, kSunkenStatic, "", 65, 5, 215, 15, false},
    {kIdBrowse, kPushButton, "参照(&S)", 285, 5, 35, 15, false},
    {kNoId, kStatic, "変換後ファイル名(&F):", 5, 25, 80, 15, false},
    {kIdOutputName, kEdit, "", 85, 25, 75, 15, false},
    {kNoId, kGroupBox, "変換", 5, 40, 90, 95, false},
    {1008, kRadio, "全角⇒JISｺｰﾄﾞ(&J)", 10, 50, 80, 15, true},
    {1011, kRadio, "JISｺｰﾄﾞ⇒全角(&M)", 10, 65, 80, 15, false},
    {1010, kRadio, "なし(&O)", 10, 80, 80, 15, false},
    {1009, kCheckBox, "縦書き⇒横書き(&V)", 10, 95, 80, 15, true},
    {1019, kCheckBox, "列数ｾﾞﾛをｴﾗｰ(&R)", 10, 115, 80, 15, true},
    {kNoId, kGroupBox, "JISｺｰﾄﾞ変換不可時", 100, 45, 80, 45, false},
    {1012, kRadio, "2121(ｽﾍﾟｰｽ)(&A)", 105, 54, 70, 15, true},
    {1013, kRadio, "FFFF(&B)", 105, 70, 70, 15, false},
    {kNoId, kGroupBox, "全角変換不可時", 100, 95, 80, 45, false},
    {1014, kRadio, "ｽﾍﾟｰｽ(&C)", 105, 105, 70, 15, true},
    {1015, kRadio, "＂(&D)", 105, 120, 70, 15, false},
    {kNoId, kGroupBox, "文字幅ﾏｲﾅｽ時", 185, 45, 55, 60, false},
    {1018, kRadio, "ﾌﾟﾗｽ(&X)", 190, 54, 45, 15, true},
    {1016, kRadio, "ﾏｲﾅｽ(&Y)", 190, 70, 45, 15, false},
    {1017, kRadio, "ｴﾗｰ(&Z)", 190, 85, 45, 15, false},
    {kNoId, kGroupBox, "縦書き 可変値", 245, 45, 65, 75, false},
    {1004, kRadio, "入力 前(&1)", 250, 54, 55, 15, true},
    {1005, kRadio, "入力 後(&2)", 250, 70, 55, 15, false},
    {1006, kRadio, "出力 前(&3)", 250, 85, 55, 15, true},
    {1007, kRadio, "出力 後(&4)", 250, 100, 55, 15, false},
    {kIdExecute, kDefaultButton, "実行", 165, 25, 35, 15, false},
    {kIdExit, kPushButton, "終了", 205, 25, 35, 15, false},
    {kIdProgress, kSunkenStatic, "", 245, 25, 35, 15, false},
    {kIdHelp, kPushButton, "ﾍﾙﾌﾟ(&H)", 285, 25, 35, 15, false},
}};

// Windows rounds MulDiv results to the nearest integer, halves away from 0.
int MulDivRounded(int value, int multiplier, int divisor) {
  const long long product = static_cast<long long>(value) * multiplier;
  const long long half = divisor / 2;
  return static_cast<int>(product >= 0 ? (product + half) / divisor
                                       : -((-product + half) / divisor));
}

}  // namespace

QString DialogTitle() { return QStringLiteral("notora"); }

std::span<const ControlTemplate> ConvertDialogTemplate() { return kControls; }

QFont TemplateFont() {
  // Fontconfig lists a font under its Japanese and its Latin family name.
  const QStringList installed = QFontDatabase::families();
  QString family = QStringLiteral("IPAGothic");
  for (const QString& candidate : {QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic")}) {
    if (installed.contains(candidate)) {
      family = candidate;
      break;
    }
  }
  QFont font(family, 11);
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
