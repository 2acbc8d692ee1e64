#include "view/inspect_text.h"

#include "run/report.h"
#include "view/json_writer.h"
#include "view/number_text.h"
#include "view/text_table.h"

namespace notora {

std::string InspectionTable(const std::vector<InspectedNote>& notes,
                            std::string_view encodingName) {
  if (notes.empty()) return "No General Notes.\n";
  TextTable table({"ENTRY", "D", "STRING", "NC", "WT", "HT", "FC", "SL", "A", "M", "VH", "XS",
                   "YS", "ZS", "TEXT"});
  for (std::size_t column = 0; column < 14; ++column) table.AlignRight(column);
  for (const InspectedNote& note : notes) {
    if (note.strings.empty()) {
      table.AddRow({std::to_string(note.entry), std::to_string(note.directoryNumber()),
                    "-/" + std::to_string(note.stringCount), "", "", "", "", "", "", "", "", "",
                    "", "", ""});
    }
    for (const InspectedString& string : note.strings) {
      const NoteString& f = string.fields;
      table.AddRow({std::to_string(note.entry), std::to_string(note.directoryNumber()),
                    std::to_string(string.number) + "/" + std::to_string(note.stringCount),
                    std::to_string(f.NC), ShortestReal(f.WT), ShortestReal(f.HT),
                    std::to_string(f.FC), ShortestReal(f.SL), ShortestReal(f.A),
                    std::to_string(f.M), std::to_string(f.VH), ShortestReal(f.XS),
                    ShortestReal(f.YS), ShortestReal(f.ZS),
                    string.validText
                        ? string.text
                        : string.text + "  [invalid " + std::string(encodingName) + "]"});
    }
  }
  return table.Render();
}

std::string InspectionCounters(const std::vector<InspectedNote>& notes,
                               const RunCounters& counters) {
  std::string text = std::to_string(notes.size()) + " General Notes, " +
                     std::to_string(CountStrings(notes)) + " strings\n";
  return text + BuildCounterLines(counters);
}

std::string NoteJson(const InspectedNote& note) {
  JsonWriter json;
  json.BeginObject();
  json.Key("entry");
  json.Integer(note.entry);
  json.Key("d");
  json.Integer(note.directoryNumber());
  json.Key("NS");
  json.Integer(note.stringCount);
  json.Key("strings");
  json.BeginArray();
  for (const InspectedString& string : note.strings) {
    const NoteString& f = string.fields;
    json.BeginObject();
    json.Key("string");
    json.Integer(string.number);
    json.Key("NC");
    json.Integer(f.NC);
    json.Key("WT");
    json.Real(f.WT);
    json.Key("HT");
    json.Real(f.HT);
    json.Key("FC");
    json.Integer(f.FC);
    json.Key("SL");
    json.Real(f.SL);
    json.Key("A");
    json.Real(f.A);
    json.Key("M");
    json.Integer(f.M);
    json.Key("VH");
    json.Integer(f.VH);
    json.Key("XS");
    json.Real(f.XS);
    json.Key("YS");
    json.Real(f.YS);
    json.Key("ZS");
    json.Real(f.ZS);
    json.Key("text");
    json.String(string.text);
    if (!string.validText) {
      json.Key("invalid");
      json.Boolean(true);
    }
    json.EndObject();
  }
  json.EndArray();
  json.EndObject();
  return json.text();
}

std::string CountersJson(const std::vector<InspectedNote>& notes, const RunCounters& counters) {
  JsonWriter json;
  json.BeginObject();
  json.Key("counters");
  json.BeginObject();
  const auto count = [&](std::string_view name, std::int64_t value) {
    json.Key(name);
    json.Integer(value);
  };
  count("generalNotes", static_cast<std::int64_t>(notes.size()));
  count("strings", CountStrings(notes));
  count("startRecords", counters.startRecords);
  count("globalRecords", counters.globalRecords);
  count("directoryRecords", counters.directoryRecords);
  count("parameterRecords", counters.parameterRecords);
  count("kanjiEntities", counters.kanjiEntities);
  count("jisCodeElements", counters.jisCodeElements);
  count("verticalElements", counters.verticalElements);
  count("negativeWidthElements", counters.negativeWidthElements);
  count("unconvertibleChars", counters.unconvertibleChars);
  json.EndObject();
  json.EndObject();
  return json.text();
}

}  // namespace notora
