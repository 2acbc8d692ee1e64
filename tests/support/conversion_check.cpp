#include "tests/support/conversion_check.h"

#include <cstdio>

#include "iges/memory_file_system.h"
#include "tests/support/iges_builder.h"
#include "tests/support/iges_reading.h"
#include "base/messages.h"

namespace notora::testing {
namespace {

const std::string kSourcePath = "/in/source.igs";

// The option value each value of the header's bits stands for.
constexpr ConversionMode kModeOfBits[] = {ConversionMode::kToJisCode, ConversionMode::kToFullWidth,
                                          ConversionMode::kNone, ConversionMode::kNone};
constexpr NegativeWidthMode kNegativeWidthOfBits[] = {
    NegativeWidthMode::kPlus, NegativeWidthMode::kMinus, NegativeWidthMode::kError,
    NegativeWidthMode::kError};
constexpr VerticalValue kVerticalValueOfBit[] = {VerticalValue::kBefore, VerticalValue::kAfter};
constexpr JisFallback kJisFallbackOfBit[] = {JisFallback::k2121, JisFallback::kFFFF};
constexpr FullWidthFallback kFullWidthFallbackOfBit[] = {FullWidthFallback::kSpace,
                                                         FullWidthFallback::kQuote};
constexpr TextEncoding kEncodingOfBits[] = {TextEncoding::kShiftJis, TextEncoding::kEucJp,
                                            TextEncoding::kUtf8, TextEncoding::kUtf8};

// The bits that stand for `value`: its first place in `ofBits`.
template <typename Value, std::size_t N>
int BitsOf(const Value (&ofBits)[N], Value value) {
  for (std::size_t bits = 0; bits < N; ++bits) {
    if (ofBits[bits] == value) return static_cast<int>(bits);
  }
  return 0;
}
const std::string kOutputPath = "/in/out.igs";

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The errors only the output phase ends a run with.
bool IsOutputPhaseError(MessageId error) {
  for (MessageId id : {MessageId::OutputOpenFailed, MessageId::OutputTextLengthMismatch,
                       MessageId::OutputPointerMismatch, MessageId::OutputWriteError,
                       MessageId::OutputCloseFailed}) {
    if (error == id) return true;
  }
  return false;
}

std::string ExpectedTerminateRecord(const RunCounters& counters) {
  char text[96];
  std::snprintf(text, sizeof text, "S%7dG%7dD%7dP%7d%40sT      1", counters.startRecords,
                counters.globalRecords, counters.directoryRecords, counters.parameterRecords, "");
  return text;
}

std::string CheckMessages(const ConversionRequest& request, const ConversionCheck& check,
                          const RecordingUi& ui, const MemoryFileSystem& files) {
  const auto& messages = check.messages;
  const std::string& report = messages.empty() ? std::string() : messages.front();
  // Labels kept as read are counted on a line after the report.
  const std::int32_t keptLabels = check.result.counters.keptLabels;
  const std::string keptLine =
      keptLabels > 0 ? FormatMessage(MessageId::ReportKeptLabels, {keptLabels}) : std::string();
  switch (check.result.outcome) {
    case RunOutcome::kWritten:
      if (messages.size() != 1 || report.rfind("report: ", 0) != 0 ||
          !EndsWith(report, FormatMessage(MessageId::ReportWritten) + keptLine)) {
        return "written, but not with the one success report";
      }
      if (!check.outputCreated) return "written, but no output was created";
      break;
    case RunOutcome::kNothingConverted:
      if (messages.size() != 1 || report.rfind("report: ", 0) != 0 ||
          !EndsWith(report, FormatMessage(MessageId::ReportNothingConverted) + keptLine)) {
        return "nothing converted, but not with the one no-data report";
      }
      if (check.outputCreated) return "nothing converted, but an output was created";
      break;
    case RunOutcome::kFailed: {
      const Status& status = check.result.status;
      if (status.ok()) return "failed without the error that ended it";
      if (messages.size() != (status.hasFollowUp() ? 2u : 1u)) {
        return "failed with other than one error (and its close message)";
      }
      if (messages[0] != "error: " + status.message()) return "failed, but showed another message";
      if (status.hasFollowUp() && messages[1] != "error: " + FormatMessage(status.followUp())) {
        return "failed, but showed another second message";
      }
      const MessageId error = status.id();
      // The output is written only once the source has been read and closed:
      // a close that fails after an error is always the source's.
      if (status.hasFollowUp() && (status.followUp() != MessageId::SourceCloseFailedAfterError ||
                                   !request.faults.failSourceClose || IsOutputPhaseError(error))) {
        return "a second message that is not the close message after a failed close";
      }
      if (check.outputCreated) return "an output stands under its name after an error";
      if (error == MessageId::OutputWriteError && request.faults.failWriteAfter < 0 &&
          !request.faults.failSync) {
        return "a write error without a fault";
      }
      if (error == MessageId::OutputCloseFailed && !request.faults.failOutputClose) {
        return "a close error without a fault";
      }
      break;
    }
  }
  // Nothing written aside outlives the run.
  if (files.outputsAside() != 0) return "an output written aside was left behind";
  // The wait cursor comes down once for each time it went up, at the end.
  int up = 0;
  for (const std::string& event : ui.events) {
    if (event == "cursor on") ++up;
    if (event == "cursor off" && --up < 0) return "the wait cursor came down before it went up";
  }
  if (up != 0) return "the wait cursor was left up";
  return {};
}

// True when the output's records should end with CR LF: when the options
// choose it, or choose the source's line end and the source's first record
// (80 characters at most) ends so.
bool ExpectsCrLf(const RunOptions& options, std::string_view source) {
  if (options.lineEndFromSource) {
    const std::size_t lineFeed = source.find('\n');
    if (lineFeed != std::string_view::npos) {
      const bool crLf = lineFeed > 0 && source[lineFeed - 1] == '\r';
      if (lineFeed - (crLf ? 1 : 0) <= 80) return crLf;
    }
  }
  return options.outputLineEnd == LineEnd::kCrLf;
}

// A written output ends its records as the options ask: with CR LF it is the
// output of the same run with LF line ends, every LF preceded by a CR.
std::string CheckLineEnds(const ConversionRequest& request, const ConversionCheck& check) {
  if (!ExpectsCrLf(request.options, request.source)) {
    if (check.output.find("\r\n") != std::string::npos &&
        request.source.find('\r') == std::string::npos) {
      return "an output asked for LF line ends holds CR LF";
    }
    return {};
  }
  ConversionRequest withLf;
  withLf.options = request.options;
  withLf.options.outputLineEnd = LineEnd::kLf;
  withLf.options.lineEndFromSource = false;
  withLf.source = request.source;
  MemoryFileSystem files;
  files.AddFile(kSourcePath, withLf.source);
  RecordingUi ui;
  RunConversion(withLf.options, kSourcePath, ui, files);
  const MemoryFileSystem::File* output = files.Find(kOutputPath);
  if (output == nullptr) return "a run with LF line ends wrote nothing";
  if (check.output != WithCrLf(output->bytes)) return "the CR LF output is not the LF output with CR LF";
  return {};
}

std::string CheckOutput(const ConversionRequest& request, const ConversionCheck& check) {
  const IgesReading output = ReadIgesBytes(check.output, nullptr);
  if (!output.status.ok()) return "the output fails a structure check: " + output.status.message();
  const IgesReading converted = ReadIgesBytes(request.source, &request.options);
  if (!converted.status.ok()) return "the input fails when read again: " + converted.status.message();
  const IgesReading asRead = ReadIgesBytes(request.source, nullptr);
  if (!asRead.status.ok()) return "the input's structure fails when read again";

  if (output.entities.size() != asRead.entities.size()) return "the output's entity count differs";
  // Copied, or carried over into the output encoding as a run reads them.
  if (output.scan.startText != converted.scan.startText ||
      output.scan.globalText != converted.scan.globalText) {
    return "the Start or Global section is not as read";
  }
  if (output.terminateRecord != ExpectedTerminateRecord(output.counters)) {
    return "the T record does not count the output's sections";
  }
  for (std::size_t i = 0; i < output.entities.size(); ++i) {
    const EntityReading& out = output.entities[i];
    const EntityReading& in = asRead.entities[i];
    const EntityReading& rebuilt = converted.entities[i];
    const std::string entity = " (entity " + std::to_string(i + 1) + ")";
    if (out.entityType != in.entityType) return "an entity type changed" + entity;
    if (out.copiedDirectoryFields != rebuilt.copiedDirectoryFields) {
      return "a copied Directory Entry field changed" + entity;
    }
    if (!rebuilt.changed && out.parameterText != in.parameterText) {
      return "an entity that was not converted changed" + entity;
    }
    if (rebuilt.changed && out.parameterText != rebuilt.parameterText) {
      return "a converted entity is not its rebuilt text" + entity;
    }
    if (out.lineCount * std::int64_t{64} != static_cast<std::int64_t>(out.parameterText.size())) {
      return "a line count does not match the text" + entity;
    }
  }
  if (converted.counters.convertedEntities != check.result.counters.convertedEntities) {
    return "the converted count differs when the input is read again";
  }
  return CheckLineEnds(request, check);
}

}  // namespace

RunOptions DecodeRequestOptions(unsigned char byte0, unsigned char byte1, unsigned char byte4) {
  RunOptions options;
  options.outputName = "out";
  options.conversionMode = kModeOfBits[byte0 & 3];
  options.verticalToHorizontal = (byte0 >> 2) & 1;
  options.verticalValueInput = kVerticalValueOfBit[(byte0 >> 3) & 1];
  options.verticalValueOutput = kVerticalValueOfBit[(byte0 >> 4) & 1];
  options.jisFallback = kJisFallbackOfBit[(byte0 >> 5) & 1];
  options.fullWidthFallback = kFullWidthFallbackOfBit[(byte0 >> 6) & 1];
  options.zeroColumnsIsError = (byte0 >> 7) == 0;
  options.negativeWidthMode = kNegativeWidthOfBits[byte1 & 3];
  options.sourceEncoding = kEncodingOfBits[byte4 & 3];
  options.outputEncoding = kEncodingOfBits[(byte4 >> 2) & 3];
  options.outputLineEnd = (byte4 >> 4) & 1 ? LineEnd::kCrLf : LineEnd::kLf;
  options.lineEndFromSource = (byte4 >> 5) & 1;
  options.keepPointers = (byte4 >> 6) & 1;
  return options;
}

ConversionRequest DecodeConversionRequest(std::string_view input) {
  unsigned char header[kRequestHeaderSize] = {};
  for (std::size_t i = 0; i < kRequestHeaderSize && i < input.size(); ++i) {
    header[i] = static_cast<unsigned char>(input[i]);
  }
  ConversionRequest request;
  request.options = DecodeRequestOptions(header[0], header[1], header[4]);
  if (const int chunk = header[1] >> 2) request.faults.readChunk = static_cast<std::size_t>(chunk);
  if (header[2] >= 0xE0) {
    const std::int64_t position = std::int64_t{64} * header[3];
    request.faults.failSourceClose = header[2] & 1;
    request.faults.failOutputClose = (header[2] >> 1) & 1;
    if ((header[2] >> 2) & 1) request.faults.failReadAfter = position;
    if ((header[2] >> 3) & 1) request.faults.failWriteAfter = position;
    if ((header[2] >> 4) & 1) request.cancelAtPoll = header[3] + 1;
  }
  if (input.size() > kRequestHeaderSize) request.source = std::string(input.substr(kRequestHeaderSize));
  return request;
}

std::string EncodeRequestHeader(const RunOptions& options) {
  std::string header(kRequestHeaderSize, '\0');
  header[0] = static_cast<char>(BitsOf(kModeOfBits, options.conversionMode) |
                                (options.verticalToHorizontal ? 1 : 0) << 2 |
                                BitsOf(kVerticalValueOfBit, options.verticalValueInput) << 3 |
                                BitsOf(kVerticalValueOfBit, options.verticalValueOutput) << 4 |
                                BitsOf(kJisFallbackOfBit, options.jisFallback) << 5 |
                                BitsOf(kFullWidthFallbackOfBit, options.fullWidthFallback) << 6 |
                                (options.zeroColumnsIsError ? 0 : 1) << 7);
  header[1] = static_cast<char>(BitsOf(kNegativeWidthOfBits, options.negativeWidthMode));
  header[4] = static_cast<char>(BitsOf(kEncodingOfBits, options.sourceEncoding) |
                                BitsOf(kEncodingOfBits, options.outputEncoding) << 2 |
                                (options.outputLineEnd == LineEnd::kCrLf ? 1 : 0) << 4 |
                                (options.lineEndFromSource ? 1 : 0) << 5 |
                                (options.keepPointers ? 1 : 0) << 6);
  return header;
}

ConversionCheck CheckConversion(const ConversionRequest& request) {
  MemoryFileSystem files;
  files.AddFile(kSourcePath, request.source);
  FaultyFiles faulty(request.faults, &files, &files);
  RecordingUi ui;
  ui.cancelAtPoll = request.cancelAtPoll;
  ConversionCheck check;
  check.result = RunConversion(request.options, kSourcePath, ui, faulty);
  check.messages = ui.messages;
  check.polls = ui.polls;
  if (const MemoryFileSystem::File* output = files.Find(kOutputPath)) {
    check.outputCreated = true;
    check.output = output->bytes;
    check.outputOffered = faulty.offered(kOutputPath);
  }
  if (files.createdPaths().size() > 1 ||
      (files.createdPaths().size() == 1 && files.createdPaths()[0] != kOutputPath)) {
    check.violation = "a file other than the output was created";
    return check;
  }
  // The path is worked out once the option and source checks have passed.
  if (!check.result.outputPath.empty() && check.result.outputPath != kOutputPath) {
    check.violation = "the output path is not beside the source";
    return check;
  }
  check.violation = CheckMessages(request, check, ui, files);
  if (check.violation.empty() && check.result.outcome == RunOutcome::kWritten) {
    check.violation = CheckOutput(request, check);
  }
  return check;
}

ConversionCheck CheckConversion(const RunOptions& options, std::string source) {
  ConversionRequest request;
  request.options = options;
  request.source = std::move(source);
  return CheckConversion(request);
}

}  // namespace notora::testing
