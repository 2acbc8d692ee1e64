// Inspecting a source: reading it as a conversion would (the same record
// reader, section checks and General Note parser) while changing nothing and
// writing nothing, with an observer that sees every string of every note.
#pragma once

#include <string_view>

#include "iges/file_system.h"
#include "note/note_observer.h"
#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/run_ui.h"

namespace notora {

struct InspectionResult {
  // True when the whole source was read and closed without a fault.
  bool completed = false;
  // As they stood when the reading ended; convertedEntities stays 0.
  RunCounters counters;
};

// Reads `sourcePath` through `files`, handing every string of every General
// Note to `observer` in file order. Of `parsing` only what decides how a
// note is read counts (zeroColumnsIsError, verticalValueInput); nothing is
// converted whatever its conversion choices say. A fault (no source, an
// unreadable source, a faulty record, section or note, a cancel) is shown
// through `ui` with the message a conversion would show, and ends the
// reading with `completed` false. No report is shown: the caller presents
// the counters.
InspectionResult InspectSource(std::string_view sourcePath, const RunOptions& parsing,
                               NoteObserver& observer, RunUi& ui,
                               FileSystem& files = SystemFileSystem());

}  // namespace notora
