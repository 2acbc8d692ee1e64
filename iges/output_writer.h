// The output file: the Start and Global sections copied, the Directory Entry
// section rewritten with new parameter pointers and line counts, the
// Parameter Data section renumbered from 1, and a new Terminate record.
#pragma once

#include <string>

#include "iges/directory_table.h"
#include "iges/file_system.h"
#include "iges/section_scan.h"
#include "iges/source_replay.h"
#include "base/platform.h"
#include "base/run_counters.h"
#include "base/run_ui.h"
#include "base/status.h"

namespace notora {

// Creates `outputPath` (never over anything that exists) and writes the
// output, every line ended by `lineEnd`, reading the D records and the parameter texts of the source back
// through `source`. Succeeds when the file was written and closed. On
// failure (a write error, or a record that cannot be read back as it was
// checked) a file that was created is left in place, closed; when that close
// failed too, the status is followed by OutputCloseFailedAfterError.
// Sets every entry's parameterPointer to its new value and counts the P
// records written in counters->parameterRecords; shows progress every
// kProgressInterval records through `ui`.
Status WriteOutput(const std::string& outputPath, const SectionScan& scan, DirectoryTable* table,
                   RunCounters* counters, LineEnd lineEnd, FileSystem* files, RunUi* ui,
                   SourceReplay* source);

}  // namespace notora
