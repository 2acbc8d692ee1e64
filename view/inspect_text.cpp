#include "view/inspect_text.h"

#include "run/report.h"
#include "view/json_writer.h"
#include "view/number_text.h"
#include "view/text_table.h"

namespace notora {
namespace {

// A text for a table: followed by "  [invalid <encodingName>]" when its
// bytes were not valid.
std::string Marked(const std::string& text, bool valid, std::string_view encodingName) {
  return valid ? text : text + "  [invalid " + std::string(encodingName) + "]";
}

// "text", and "invalid":true after it when its bytes were not valid.
void PutText(JsonWriter* json, const std::string& text, bool valid) {
  json->Key("text");
  json->String(text);
  if (!valid) {
    json->Key("invalid");
    json->Boolean(true);
  }
}

std::string PlaceText(const DrawingTextPlace& place) {
  using Section = DrawingTextPlace::Section;
  const std::string entity = "D " + std::to_string(FirstDirectoryRecord(place.entry)) + " " +
                             std::to_string(place.entityType) + " ";
  switch (place.section) {
    case Section::kStart:
      return "S " + std::to_string(place.field);
    case Section::kGlobal:
      return "G " + std::to_string(place.field);
    case Section::kEntity:
      return entity + std::to_string(place.field);
    case Section::kLabel:
      break;
  }
  return entity + "label";
}

}  // namespace

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
                    Marked(string.text, string.validText, encodingName)});
    }
  }
  return table.Render();
}

std::string DrawingTextsTable(const std::vector<InspectedText>& texts,
                              std::string_view encodingName) {
  if (texts.empty()) return {};
  TextTable table({"PLACE", "TEXT"});
  for (const InspectedText& text : texts) {
    table.AddRow({PlaceText(text.place), Marked(text.text, text.validText, encodingName)});
  }
  return table.Render();
}

std::string DrawingTextJson(const InspectedText& text) {
  using Section = DrawingTextPlace::Section;
  const DrawingTextPlace& place = text.place;
  JsonWriter json;
  json.BeginObject();
  json.Key("place");
  switch (place.section) {
    case Section::kStart:
      json.String("start");
      json.Key("record");
      json.Integer(place.field);
      break;
    case Section::kGlobal:
      json.String("global");
      json.Key("field");
      json.Integer(place.field);
      break;
    case Section::kEntity:
    case Section::kLabel:
      json.String(place.section == Section::kEntity ? "entity" : "label");
      json.Key("entry");
      json.Integer(place.entry);
      json.Key("d");
      json.Integer(FirstDirectoryRecord(place.entry));
      json.Key("type");
      json.Integer(place.entityType);
      if (place.section == Section::kEntity) {
        json.Key("field");
        json.Integer(place.field);
      }
      break;
  }
  PutText(&json, text.text, text.validText);
  json.EndObject();
  return json.text();
}

std::string NotePointersTable(const std::vector<InspectedNote>& notes) {
  const auto list = [](const std::vector<InspectedPointer>& pointers) {
    std::string text;
    for (const InspectedPointer& pointer : pointers) {
      if (!text.empty()) text += ", ";
      text += std::to_string(pointer.d) + " (" + std::to_string(pointer.type) + "/" +
              std::to_string(pointer.form) + ")";
    }
    return text;
  };
  TextTable table({"ENTRY", "D", "BACK", "PROPERTIES"});
  table.AlignRight(0);
  table.AlignRight(1);
  bool any = false;
  for (const InspectedNote& note : notes) {
    if (note.backPointers.empty() && note.properties.empty()) continue;
    any = true;
    table.AddRow({std::to_string(note.entry), std::to_string(note.directoryNumber()),
                  list(note.backPointers), list(note.properties)});
  }
  return any ? table.Render() : std::string();
}

std::string InspectionListing(const InspectedNotes& inspected, const RunCounters& counters,
                              std::string_view encodingName) {
  std::string text = InspectionTable(inspected.notes(), encodingName) + "\n";
  for (const std::string& table :
       {NotePointersTable(inspected.notes()), DrawingTextsTable(inspected.texts(), encodingName)}) {
    if (!table.empty()) text += table + "\n";
  }
  return text + InspectionCounters(inspected.notes(), counters);
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
    PutText(&json, string.text, string.validText);
    json.EndObject();
  }
  json.EndArray();
  const auto pointers = [&](std::string_view key, const std::vector<InspectedPointer>& list) {
    json.Key(key);
    json.BeginArray();
    for (const InspectedPointer& pointer : list) {
      json.BeginObject();
      json.Key("d");
      json.Integer(pointer.d);
      json.Key("type");
      json.Integer(pointer.type);
      json.Key("form");
      json.Integer(pointer.form);
      json.EndObject();
    }
    json.EndArray();
  };
  if (!note.backPointers.empty() || !note.properties.empty()) {
    pointers("backPointers", note.backPointers);
    pointers("properties", note.properties);
  }
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
