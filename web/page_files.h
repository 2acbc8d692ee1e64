// PageFiles: the files of one run in the page's module: the source the user
// chose, its bytes already in the module's memory and read where they lie,
// and the output, written into memory that is taken for its whole expected
// size at once (the source's), so that a large output is not copied while it
// grows.
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

  // True for the source's path and for an output already created.
  bool Exists(const std::string& path, bool followLinks) override;
  // A reader over the source's bytes or a closed output's; null for any
  // other path.
  std::unique_ptr<InputFile> OpenInput(const std::string& path) override;
  // The output at `path`; null when something stands there already or an
  // output was made before (a run makes one).
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override;

  // The output's path and bytes (empty before CreateOutput).
  const std::string& outputPath() const { return outputPath_; }
  const std::string& output() const { return *output_; }
  // Hands the output's bytes over, leaving none here.
  std::string TakeOutput() { return std::move(*output_); }

 private:
  std::string sourcePath_;
  std::string_view source_;
  std::string outputPath_;
  // Shared with the writer, which may outlive a lookup.
  std::shared_ptr<std::string> output_ = std::make_shared<std::string>();
};

}  // namespace notora::web
