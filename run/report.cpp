#include "run/report.h"

#include "base/messages.h"

namespace notora {

std::string BuildReport(const RunCounters& counters, bool written) {
  std::string report;
  report += FormatMessage(MessageId::ReportKanjiEntities, {counters.kanjiEntities});
  report += FormatMessage(MessageId::ReportJisCodeElements, {counters.jisCodeElements});
  report += FormatMessage(MessageId::ReportVerticalElements, {counters.verticalElements});
  report += FormatMessage(MessageId::ReportNegativeWidthElements, {counters.negativeWidthElements});
  report += FormatMessage(MessageId::ReportUnconvertibleChars, {counters.unconvertibleChars});
  if (written) {
    report += FormatMessage(MessageId::ReportConvertedEntities, {counters.convertedEntities});
    report += FormatMessage(MessageId::ReportWritten);
  } else {
    report += FormatMessage(MessageId::ReportNothingConverted);
  }
  return report;
}

}  // namespace notora
