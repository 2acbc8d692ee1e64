#include "run/report.h"

#include "base/messages.h"

namespace notora {

std::string BuildCounterLines(const RunCounters& counters) {
  std::string lines;
  lines += FormatMessage(MessageId::ReportKanjiEntities, {counters.kanjiEntities});
  lines += FormatMessage(MessageId::ReportJisCodeElements, {counters.jisCodeElements});
  lines += FormatMessage(MessageId::ReportVerticalElements, {counters.verticalElements});
  lines += FormatMessage(MessageId::ReportNegativeWidthElements, {counters.negativeWidthElements});
  lines += FormatMessage(MessageId::ReportUnconvertibleChars, {counters.unconvertibleChars});
  return lines;
}

std::string BuildReport(const RunCounters& counters, bool written) {
  std::string report = BuildCounterLines(counters);
  if (written) {
    report += FormatMessage(MessageId::ReportConvertedEntities, {counters.convertedEntities});
    report += FormatMessage(MessageId::ReportWritten);
  } else {
    report += FormatMessage(MessageId::ReportNothingConverted);
  }
  if (counters.keptLabels > 0) {
    report += FormatMessage(MessageId::ReportKeptLabels, {counters.keptLabels});
  }
  return report;
}

}  // namespace notora
