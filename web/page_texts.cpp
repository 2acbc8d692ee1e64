#include "web/page_texts.h"

namespace notora::web {
namespace {

constexpr PageText kTexts[] = {
    {"lead", "IGESﾌｧｲﾙの注記を、このﾌﾞﾗｳｻﾞの中だけで変換します。ﾌｧｲﾙはどこにも送られません。"},
    {"drop", "ここにIGESﾌｧｲﾙをﾄﾞﾛｯﾌﾟできます（複数可）。"},
    {"chosenCount", "{}個のﾌｧｲﾙ"},
    {"sourceEncoding", "元ﾌｧｲﾙの文字ｺｰﾄﾞ:"},
    {"outputEncoding", "変換後の文字ｺｰﾄﾞ:"},
    {"lineEnd", "変換後の行末:"},
    {"keepPointers", "注記のﾎﾟｲﾝﾀを残す"},
    {"cancel", "中止(Esc)"},
    {"results", "変換結果"},
    {"download", "ﾀﾞｳﾝﾛｰﾄﾞ"},
    {"showNotes", "注記と図を表示"},
    {"notesOriginal", "元ﾌｧｲﾙの注記"},
    {"notesConverted", "変換後の注記"},
    {"picture", "変換前と変換後"},
    {"running", "変換中"},
    {"waiting", "待機中"},
    {"tooLarge", "ﾌｧｲﾙが大きすぎて、このﾌﾞﾗｳｻﾞのﾒﾓﾘでは変換できません。\n　変換は出来ません。"},
    {"unreadable", "ﾌｧｲﾙを読み込めませんでした。\n　変換は出来ません。"},
    {"help", "ﾍﾙﾌﾟ"},
};

}  // namespace

std::span<const PageText> PageTexts() { return kTexts; }

}  // namespace notora::web
