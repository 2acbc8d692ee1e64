// The promises of a whole run, checked over memory files: what the
// conversion fuzzer asserts on every input, and what the regression tests
// replay from the inputs it found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "run/conversion_run.h"
#include "base/run_options.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"

namespace notora::testing {

// A fuzz input: five header bytes, then the source file.
//   byte 0: bits 0-1 conversionMode (0 to JIS code, 1 to full width, 2 and 3
//           none), bit 2 verticalToHorizontal, bit 3 verticalValueInput and
//           bit 4 verticalValueOutput (set: after), bit 5 jisFallback (set:
//           FFFF), bit 6 fullWidthFallback (set: quote), bit 7 set:
//           zeroColumnsIsError false
//   byte 1: bits 0-1 negativeWidthMode (0 plus, 1 minus, 2 and 3 error), bits 2-7 the bytes
//           delivered per read (0: as many as asked for)
//   byte 2: from 0xE0 on, faults: bit 0 the source close fails, bit 1 the
//           output's close fails as it is given its name, bit 2 reads fail, bit 3 writes fail, bit 4
//           Escape is pressed
//   byte 3: where the faults strike: after 64 * byte 3 bytes, at poll byte 3 + 1
//   byte 4: bits 0-1 sourceEncoding, bits 2-3 outputEncoding (0 Shift-JIS,
//           1 EUC-JP, 2 and 3 UTF-8), bits 4-5 line ends (0 LF, 1 CR LF,
//           2 the source's or else LF, 3 the source's or else CR LF), bit 6
//           keepPointers
struct ConversionRequest {
  RunOptions options;
  FaultPlan faults;
  int cancelAtPoll = 0;
  std::string source;
};

inline constexpr std::size_t kRequestHeaderSize = 5;

ConversionRequest DecodeConversionRequest(std::string_view input);
// The options that header bytes 0, 1 and 4 name.
RunOptions DecodeRequestOptions(unsigned char byte0, unsigned char byte1, unsigned char byte4);
// The header bytes of a request with `options` and no faults.
std::string EncodeRequestHeader(const RunOptions& options);

// What one checked run did.
struct ConversionCheck {
  RunResult result;
  std::vector<std::string> messages;  // as RecordingUi records them
  bool outputCreated = false;
  std::string output;
  std::size_t outputOffered = 0;  // bytes the run handed to the output, fitting or not
  int polls = 0;                  // cancel polls: records read, and entities of the last section written
  // Empty when every promise held; otherwise the first that did not.
  std::string violation;
};

// Runs `request` from "/in/source.igs" to "/in/out.igs" over memory files and
// checks: the run ends with exactly one of written / nothing converted / one
// error (with the close message only after a failed close); no output stands
// under its name unless it was written, and nothing written aside is left; a
// written output passes every
// structure check when read back, has the input's entities, keeps every
// entity that was not changed byte for byte (columns 1-64 of its P records)
// and holds the rebuilt text of every changed one, and holds the Start and
// Global records and the copied D fields as the input read with the run's
// options gives them (copied, or carried over into the output encoding).
ConversionCheck CheckConversion(const ConversionRequest& request);
// The same for `source` under `options`, with no faults.
ConversionCheck CheckConversion(const RunOptions& options, std::string source);

}  // namespace notora::testing
