// The second pass over the source: every record is read again and handed by
// its section letter to the Directory Entry or Parameter Data section.
#pragma once

#include "iges/directory_table.h"
#include "iges/entity_handler.h"
#include "iges/record_reader.h"
#include "iges/section_scan.h"
#include "base/run_counters.h"
#include "base/status.h"

namespace notora {

// Reads the whole source with `reader` (rewound here): D records fill
// `*table`, P records are checked and assembled into each entity's text, and
// every General Note goes to `*notes`. S and G records are skipped (those
// after the first P record do not reach the output), T records too; any other
// section letter fails. Counts parameterRecords and kanjiEntities.
Status ReadEntities(RecordReader* reader, const SectionScan& scan, DirectoryTable* table,
                    RunCounters* counters, EntityHandler* notes);

}  // namespace notora
