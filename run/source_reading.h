// SourceReading: the phases of a run that read the source, shared by a
// conversion and an inspection: opening the source, the one sweep over it,
// closing it, and the one way out that shows an error, closes the source
// after it, takes the wait cursor down and releases everything read.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/run_counters.h"
#include "base/run_options.h"
#include "base/run_ui.h"
#include "base/status.h"
#include "iges/file_system.h"
#include "iges/entity_output.h"
#include "iges/record_reader.h"
#include "iges/source_stream.h"
#include "iges/source_sweep.h"
#include "note/drawing_text.h"
#include "note/general_note.h"
#include "note/note_observer.h"

namespace notora {

// The checks on the source's path before anything is opened: a path was
// given (else NoSourceSelected) and something stands at it, a link followed
// (else SourceMissing).
Status CheckSource(std::string_view sourcePath, FileSystem& files);

class SourceReading {
 public:
  // `options` and the pointers must outlive this object. `observer`, when
  // not null, sees every string of every General Note as it is parsed;
  // `textHandling` says what the General Note parser does with their TEXT.
  SourceReading(const RunOptions& options, std::string sourcePath, RunUi* ui, FileSystem* files,
                NoteObserver* observer = nullptr,
                TextHandling textHandling = TextHandling::kConvert);
  ~SourceReading();

  // Opens the source and clears the counters.
  Status Open();
  // Raises the wait cursor and reads the source once: the records before
  // the first P record, then the entities, every General Note parsed and
  // converted by the options and every entity handed to `output` (may be
  // null), which is begun at the first P record. When the options write
  // another encoding than they read, every other text of the drawing is
  // carried over too (DrawingTexts); an observer that asks for them sees
  // them all.
  Status Read(EntityOutput* output);
  // Closes the source after a clean read.
  Status Close();
  // Ends the run: when `*status` failed, closes the source if it is still
  // open (a failing close adds SourceCloseFailedAfterError to `*status` as
  // its follow-up) and shows the message and its follow-up; then takes the
  // wait cursor down and releases the source and the table.
  void End(Status* status);

  RunCounters& counters() { return counters_; }

 private:
  const RunOptions& options_;
  const std::string sourcePath_;
  RunUi* ui_;
  FileSystem* files_;
  NoteObserver* observer_;
  TextHandling textHandling_;

  std::unique_ptr<InputFile> file_;
  std::unique_ptr<SourceStream> source_;
  std::unique_ptr<RecordReader> reader_;
  std::unique_ptr<SourceSweep> sweep_;
  // The texts besides the notes' strings, when they are read.
  std::unique_ptr<DrawingTexts> drawing_;
  bool sourceOpen_ = false;
  bool waitCursorUp_ = false;
  RunCounters counters_;
};

}  // namespace notora
