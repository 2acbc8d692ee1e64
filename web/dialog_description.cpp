#include "web/dialog_description.h"


#include "base/messages.h"
#include "base/run_options.h"
#include "base/version.h"
#include "dialog/dialog_template.h"
#include "dialog/option_exchange.h"
#include "view/conversion_flags.h"
#include "view/json_writer.h"

namespace notora::web {
namespace {

std::string_view KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kStatic:
      return "static";
    case ControlKind::kSunkenStatic:
      return "sunkenStatic";
    case ControlKind::kPushButton:
      return "pushButton";
    case ControlKind::kDefaultButton:
      return "defaultButton";
    case ControlKind::kEdit:
      return "edit";
    case ControlKind::kGroupBox:
      return "groupBox";
    case ControlKind::kRadio:
      return "radio";
    case ControlKind::kCheckBox:
      return "checkBox";
  }
  return "static";
}

void Strings(JsonWriter* json, std::string_view key, const std::vector<std::string>& values) {
  json->Key(key);
  json->BeginArray();
  for (const std::string& value : values) json->String(value);
  json->EndArray();
}

}  // namespace

std::string ShownCaption(std::string_view caption) {
  std::string shown;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

std::string Mnemonic(std::string_view caption) {
  for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return std::string(1, caption[i + 1]);
    ++i;
  }
  return std::string();
}

std::string DescribeDialog() {
  HeldControls states;
  LoadOptions(RunOptions(), states);

  JsonWriter json;
  json.BeginObject();
  json.Key("version");
  json.String(kVersion);
  json.Key("title");
  json.String(kDialogTitle);
  json.Key("fontFamily");
  json.String(kDialogFontFamily);
  json.Key("fontPoints");
  json.Integer(kDialogFontPoints);
  json.Key("width");
  json.Integer(kDialogWidthUnits);
  json.Key("height");
  json.Integer(kDialogHeightUnits);
  json.Key("controls");
  json.BeginArray();
  for (const ControlTemplate& control : ConvertDialogTemplate()) {
    json.BeginObject();
    json.Key("id");
    json.Integer(control.id);
    json.Key("kind");
    json.String(KindName(control.kind));
    json.Key("caption");
    json.String(control.caption);
    json.Key("label");
    json.String(ShownCaption(control.caption));
    json.Key("mnemonic");
    json.String(Mnemonic(control.caption));
    json.Key("x");
    json.Integer(control.x);
    json.Key("y");
    json.Integer(control.y);
    json.Key("width");
    json.Integer(control.width);
    json.Key("height");
    json.Integer(control.height);
    json.Key("startsGroup");
    json.Boolean(control.startsGroup);
    if (control.kind == ControlKind::kRadio || control.kind == ControlKind::kCheckBox) {
      json.Key("checked");
      json.Boolean(states.IsChecked(control.id));
    }
    if (control.kind == ControlKind::kEdit) {
      json.Key("text");
      json.String(states.Text(control.id));
    }
    json.EndObject();
  }
  json.EndArray();
  json.Key("ids");
  json.BeginObject();
  for (const auto& [name, id] :
       {std::pair<std::string_view, int>{"execute", kIdExecute}, {"exit", kIdExit},
        {"browse", kIdBrowse}, {"outputName", kIdOutputName}, {"sourceName", kIdSourceName},
        {"progress", kIdProgress}, {"help", kIdHelp},
        {"verticalToHorizontal", kIdVerticalToHorizontal},
        {"zeroColumnsIsError", kIdZeroColumnsIsError}}) {
    json.Key(name);
    json.Integer(id);
  }
  json.EndObject();
  json.Key("browseFilters");
  json.BeginArray();
  for (const BrowseFilter& filter : BrowseFilters()) {
    json.BeginObject();
    json.Key("description");
    json.String(filter.description);
    json.Key("pattern");
    json.String(filter.pattern);
    json.EndObject();
  }
  json.EndArray();
  json.Key("browseTitle");
  json.String(MessageText(MessageId::BrowseTitle));
  json.Key("cancelled");
  json.String(FormatMessage(MessageId::Cancelled));
  Strings(&json, "encodings", EncodingNames());
  Strings(&json, "lineEnds", LineEndNames());
  json.EndObject();
  return json.text();
}

}  // namespace notora::web
