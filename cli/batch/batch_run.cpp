#include "cli/batch/batch_run.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <thread>

#include "cli/shared/source_path.h"
#include "cli/shared/terminal_ui.h"
#include "view/text_table.h"

namespace notora {
namespace {

struct BatchJob {
  std::string sourcePath;  // absolute
  std::string outputName;
  // The earlier source with the same output path; empty when there is none.
  std::string clashesWith;
};

std::vector<BatchJob> PlanJobs(const std::vector<std::string>& sources, const std::string& suffix,
                               std::vector<BatchFileResult>* results) {
  std::vector<BatchJob> jobs(sources.size());
  std::map<std::string, std::string> firstSourceOfOutput;
  for (std::size_t i = 0; i < sources.size(); ++i) {
    BatchJob& job = jobs[i];
    job.sourcePath = MakeAbsolute(sources[i]);
    job.outputName = StemOf(sources[i]) + suffix;
    (*results)[i].source = sources[i];
    (*results)[i].outputPath = BuildOutputPath(job.sourcePath, job.outputName);
    const std::string key = Utf8Of(PathOf((*results)[i].outputPath).lexically_normal());
    const auto [first, inserted] = firstSourceOfOutput.emplace(key, sources[i]);
    if (!inserted) job.clashesWith = first->second;
  }
  return jobs;
}

void RunJob(const RunOptions& options, const BatchJob& job, BatchFileResult* result) {
  TerminalUi ui(result->source + ": ", /*showProgress=*/false);
  const auto started = std::chrono::steady_clock::now();
  if (!job.clashesWith.empty()) {
    ui.ShowMessage(MessageKind::kError, "not converted: " + job.clashesWith +
                                            " has the same output " + result->outputPath);
    result->outcome = RunOutcome::kFailed;
  } else {
    RunOptions named = options;
    named.outputName = job.outputName;
    const RunResult run = RunConversion(named, job.sourcePath, ui);
    result->outcome = run.outcome;
    result->convertedEntities = run.outcome == RunOutcome::kWritten ? run.counters.convertedEntities : 0;
  }
  result->seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

const char* ResultText(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kWritten:
      return "written";
    case RunOutcome::kNothingConverted:
      return "nothing to convert";
    case RunOutcome::kFailed:
      break;
  }
  return "failed";
}

}  // namespace

std::vector<BatchFileResult> RunBatch(const RunOptions& options,
                                      const std::vector<std::string>& sources,
                                      const std::string& suffix, int jobs) {
  std::vector<BatchFileResult> results(sources.size());
  const std::vector<BatchJob> planned = PlanJobs(sources, suffix, &results);
  std::atomic<std::size_t> next{0};
  const auto worker = [&] {
    for (std::size_t i = next++; i < planned.size(); i = next++) {
      RunJob(options, planned[i], &results[i]);
    }
  };
  const std::size_t threadCount =
      std::min(static_cast<std::size_t>(std::max(jobs, 1)), planned.size());
  std::vector<std::thread> threads;
  for (std::size_t i = 1; i < threadCount; ++i) threads.emplace_back(worker);
  worker();
  for (std::thread& thread : threads) thread.join();
  return results;
}

std::string BatchSummary(const std::vector<BatchFileResult>& results) {
  TextTable table({"FILE", "RESULT", "NOTES", "TIME", "OUTPUT"});
  table.AlignRight(2);
  table.AlignRight(3);
  int written = 0, nothing = 0, failed = 0;
  for (const BatchFileResult& result : results) {
    table.AddRow({result.source, ResultText(result.outcome),
                  result.outcome == RunOutcome::kFailed ? "-"
                                                        : std::to_string(result.convertedEntities),
                  SecondsText(result.seconds),
                  result.outcome == RunOutcome::kWritten ? result.outputPath : "-"});
    if (result.outcome == RunOutcome::kWritten) ++written;
    if (result.outcome == RunOutcome::kNothingConverted) ++nothing;
    if (result.outcome == RunOutcome::kFailed) ++failed;
  }
  return table.Render() + std::to_string(results.size()) + " files: " + std::to_string(written) +
         " written, " + std::to_string(nothing) + " nothing to convert, " +
         std::to_string(failed) + " failed\n";
}

bool BatchSucceeded(const std::vector<BatchFileResult>& results) {
  for (const BatchFileResult& result : results) {
    if (result.outcome == RunOutcome::kFailed) return false;
  }
  return true;
}

}  // namespace notora
