// PageFiles: the files of one run in the page's module: the source the user
// chose, its bytes already in the module's memory and read where they lie,
// and the output, written aside into memory that is taken for its whole
// expected size at once (the source's), so that a large output is not
// copied while it grows, and given its name when the run publishes it.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "iges/file_system.h"

namespace notora::web {

class PageFiles : public FileSystem {
 public:
  // The source at `sourcePath`, its bytes `source` (which must stay live
  // while this object is in use).
  PageFiles(std::string sourcePath, std::string_view source);

  // True for the source's path and for a published output's.
  bool Exists(const std::string& path, bool followLinks) override;
  // A reader over the source's bytes or a published output's; null for any
  // other path.
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // The output for `path`, written aside; null when an output was made
  // before (a run makes one).
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // The published output's bytes (empty before Publish).
  const std::string& output() const { return *published_; }

 private:
  friend class PageOutput;
  std::string sourcePath_;
  std::string_view source_;
  bool outputCreated_ = false;
  std::string outputPath_;  // set when the output is published
  std::shared_ptr<std::string> published_ = std::make_shared<std::string>();
};

}  // namespace notora::web
