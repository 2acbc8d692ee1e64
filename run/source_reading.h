// SourceReading: the phases of a run that read the source, shared by a
// conversion and an inspection: opening the source, both passes, closing it,
// and the one way out that shows an error, closes the source after it, takes
// the wait cursor down and releases everything read.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "iges/directory_table.h"
#include "iges/file_system.h"
#include "iges/section_scan.h"
#include "iges/source_replay.h"
#include "iges/source_stream.h"
#include "note/note_observer.h"
#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/run_ui.h"
#include "base/status.h"

namespace notora {

// The checks on the source's path before anything is opened: a path was
// given (else NoSourceSelected) and something stands at it, a link followed
// (else SourceMissing).
Status CheckSource(std::string_view sourcePath, FileSystem& files);

class SourceReading {
 public:
  // `options` and the pointers must outlive this object. `observer`, when
  // not null, sees every string of every General Note as it is parsed. With
  // `readBack`, a second handle on the source is kept from the open on, so
  // that the output can read the records back after the source was closed.
  SourceReading(const RunOptions& options, std::string sourcePath, RunUi* ui, FileSystem* files,
                NoteObserver* observer = nullptr, bool readBack = false);
  ~SourceReading();

  // Opens the source (and its second handle) and clears the counters.
  Status Open();
  // Raises the wait cursor and reads both passes: the section scan, then the
  // entities, every General Note parsed and converted by the options.
  Status Read();
  // Closes the source after a clean read.
  Status Close();
  // Ends the run: when `*status` failed, closes the source if it is still
  // open (a failing close adds SourceCloseFailedAfterError to `*status` as
  // its follow-up) and shows the message and its follow-up; then takes the
  // wait cursor down and releases the source and the table.
  void End(Status* status);

  RunCounters& counters() { return counters_; }
  const SectionScan& scan() const { return scan_; }
  // The entries read; valid after Read and until End.
  DirectoryTable* table() { return table_ ? &*table_ : nullptr; }
  // The records read back from the source through its second handle, as
  // they were checked; valid after Close (with readBack) and until End.
  SourceReplay* replay();

 private:
  const RunOptions& options_;
  const std::string sourcePath_;
  RunUi* ui_;
  FileSystem* files_;
  NoteObserver* observer_;

  const bool readBack_;

  std::unique_ptr<InputFile> file_;
  std::unique_ptr<InputFile> readBackFile_;
  BlockSums sums_;
  std::unique_ptr<SourceStream> source_;
  std::optional<SourceReplay> replay_;
  bool sourceOpen_ = false;
  bool waitCursorUp_ = false;
  RunCounters counters_;
  SectionScan scan_;
  std::optional<DirectoryTable> table_;
};

}  // namespace notora
