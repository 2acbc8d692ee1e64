// What `notora-cli inspect` prints: the notes of a source as an aligned
// table or as JSON lines, and the counters of the reading.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/run_counters.h"
#include "run/inspection.h"

namespace notora {

// One row per string: ENTRY, D, STRING (number/NS), NC, WT, HT, FC, SL, A,
// M, VH, XS, YS, ZS and TEXT, the numbers right-aligned; a note with no
// strings has one row with "-/0" for its string and nothing after; a text
// whose bytes are invalid in `encodingName` is followed by
// "  [invalid <encodingName>]". A line saying so when there are no notes.
std::string InspectionTable(const std::vector<InspectedNote>& notes,
                            std::string_view encodingName = "shift_jis");

// One row per note whose pointers could be read and that has any: ENTRY,
// D, BACK (the associativities that point back to it) and PROPERTIES, each
// pointer as "<d> (<type>/<form>)". Empty when no note has one.
std::string NotePointersTable(const std::vector<InspectedNote>& notes);

// One row per text of the drawing besides the notes' strings: PLACE and
// TEXT. The place is "S <record>", "G <parameter>", "D <d> <type> <field>"
// for an entity's string (its D number, entity type and parameter number)
// or "D <d> <type> label"; a text invalid in `encodingName` is marked as in
// InspectionTable. Empty when there are none.
std::string DrawingTextsTable(const std::vector<InspectedText>& texts,
                              std::string_view encodingName = "shift_jis");

// One text of the drawing as one line of JSON (without a line feed):
// {"place":"start","record":n,"text":".."}, {"place":"global","field":n,..},
// {"place":"entity","entry":k,"d":2k-1,"type":t,"field":n,..} or
// {"place":"label","entry":k,"d":2k-1,"type":t,..}, with "invalid":true as
// a note's string has it.
std::string DrawingTextJson(const InspectedText& text);

// What inspect prints without --json: the notes' table, the pointers'
// table and the other texts' table (each followed by a blank line, the last
// two only when they hold a row), then InspectionCounters.
std::string InspectionListing(const InspectedNotes& inspected, const RunCounters& counters,
                              std::string_view encodingName);

// The count of notes and strings, then the counter lines of the report.
std::string InspectionCounters(const std::vector<InspectedNote>& notes,
                               const RunCounters& counters);

// One note as one line of JSON (without a line feed):
// {"entry":k,"d":2k-1,"NS":n,"strings":[{"string":i,"NC":..,"WT":..,"HT":..,
//  "FC":..,"SL":..,"A":..,"M":..,"VH":..,"XS":..,"YS":..,"ZS":..,"text":".."}]}
// A string whose bytes are invalid in the encoding it was read in has
// "invalid":true after its text. A note with pointers after its strings
// has "backPointers" and "properties" after "strings", each a list of
// {"d":..,"type":..,"form":..}.
std::string NoteJson(const InspectedNote& note);

// The closing line of JSON output (without a line feed):
// {"counters":{"generalNotes":..,"strings":..,"startRecords":..,
//  "globalRecords":..,"directoryRecords":..,"parameterRecords":..,
//  "kanjiEntities":..,"jisCodeElements":..,"verticalElements":..,
//  "negativeWidthElements":..,"unconvertibleChars":..}}
std::string CountersJson(const std::vector<InspectedNote>& notes, const RunCounters& counters);

}  // namespace notora
