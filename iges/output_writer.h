// The output file: the Start and Global sections copied, the Directory Entry
// section rewritten with new parameter pointers and line counts, the
// Parameter Data section renumbered from 1, and a new Terminate record.
#pragma once

#include <string>

#include "iges/directory_table.h"
#include "iges/file_system.h"
#include "iges/section_scan.h"
#include "run/run_counters.h"
#include "run/run_ui.h"
#include "run/status.h"

namespace notora {

// What the output phase shows when it fails: the message, and after a close
// that failed while the file was being given up, a second one.
struct OutputFailure {
  std::string message;
  std::string closeMessage;  // empty unless that close failed
};

// Creates `outputPath` (never over anything that exists) and writes the
// output. Returns true when the file was written and closed. On failure
// fills `*failure`; a file that was created is left in place, closed.
// Sets every entry's parameterPointer to its new value and counts the P
// records written in counters->parameterRecords; shows progress every 100
// records through `ui`.
bool WriteOutput(const std::string& outputPath, const SectionScan& scan, DirectoryTable* table,
                 RunCounters* counters, FileSystem* files, RunUi* ui, OutputFailure* failure);

}  // namespace notora
