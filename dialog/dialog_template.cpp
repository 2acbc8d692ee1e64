#include "dialog/dialog_template.h"

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
    {kIdVerticalToHorizontal, kCheckBox, "縦書き⇒横書き(&V)", 10, 95, 80, 15, true},
    {kIdZeroColumnsIsError, kCheckBox, "列数ｾﾞﾛをｴﾗｰ(&R)", 10, 115, 80, 15, true},
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

constexpr BrowseFilter kBrowseFilters[] = {
    {"IGESﾌｧｲﾙ(.igs)", "*.igs"},
    {"すべてのﾌｧｲﾙ(*.*)", "*.*"},
};

}  // namespace

std::span<const ControlTemplate> ConvertDialogTemplate() { return kControls; }

const ControlTemplate* FindControl(int id) {
  for (const ControlTemplate& control : kControls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

std::span<const ControlTemplate> RadioGroup(int firstId) {
  const std::span<const ControlTemplate> controls = kControls;
  for (std::size_t first = 0; first < controls.size(); ++first) {
    if (controls[first].id != firstId) continue;
    if (controls[first].kind != kRadio || !controls[first].startsGroup) return {};
    std::size_t end = first + 1;
    while (end < controls.size() && controls[end].kind == kRadio && !controls[end].startsGroup) ++end;
    return controls.subspan(first, end - first);
  }
  return {};
}

std::span<const BrowseFilter> BrowseFilters() { return kBrowseFilters; }

}  // namespace notora
