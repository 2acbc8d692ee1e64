// notora-microbench: where the time of a conversion goes, piece by piece.
//
// Every case runs over the same generated IGES text (8 MB, seed 1, held in
// memory), so the numbers are bytes per second of a realistic file. The
// baselines bound what a piece can cost (a memory copy, splitting records
// with memchr, strtod and snprintf); the notora cases time the project's own
// pieces where they exist in the build (NOTORA_MICROBENCH_HAVE_NOTE,
// NOTORA_MICROBENCH_HAVE_IGES).
//
//   notora-microbench [--benchmark_filter=REGEX] [--benchmark_min_time=0.5]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "bench/iges_generator.h"

#ifdef NOTORA_MICROBENCH_HAVE_NOTE
#include "note/cp932.h"
#include "note/parameter_emitter.h"
#endif
#ifdef NOTORA_MICROBENCH_HAVE_IGES
#include "iges/directory_table.h"
#include "iges/file_system.h"
#include "iges/numeric_field.h"
#include "iges/record_reader.h"
#include "iges/source_sweep.h"
#include "iges/section_scan.h"
#include "iges/source_stream.h"
#include "note/general_note.h"
#include "base/run_ui.h"
#include "bench/quiet_ui.h"
#endif

namespace {

constexpr std::size_t kRecordBytes = 81;

const std::string& Corpus() {
  static const std::string text = [] {
    notora::bench::GeneratorOptions options;
    options.seed = 1;
    options.targetBytes = 8'000'000;
    return notora::bench::GenerateIgesString(options);
  }();
  return text;
}

// The P records' columns 1-64, and the real fields found in them.
struct ParameterFields {
  std::vector<std::string_view> reals;  // field texts without the delimiter
  std::vector<double> values;
  std::size_t realBytes = 0;
};

const ParameterFields& Fields() {
  static const ParameterFields fields = [] {
    ParameterFields f;
    const std::string& text = Corpus();
    for (std::size_t at = 0; at + kRecordBytes <= text.size(); at += kRecordBytes) {
      if (text[at + 72] != 'P') continue;
      std::string_view data(text.data() + at, 64);
      std::size_t begin = 0;
      while (begin < data.size()) {
        std::size_t end = data.find_first_of(",;", begin);
        if (end == std::string_view::npos) break;
        std::string_view field = data.substr(begin, end - begin);
        // Reals only: a point or an exponent, nothing else but digits and signs.
        if (!field.empty() && field.find_first_not_of("0123456789.+-DE") == std::string_view::npos &&
            field.find_first_of(".DE") != std::string_view::npos) {
          f.reals.push_back(field);
          std::string copy(field);
          std::replace(copy.begin(), copy.end(), 'D', 'E');
          f.values.push_back(std::strtod(copy.c_str(), nullptr));
          f.realBytes += field.size() + 1;
        }
        begin = end + 1;
      }
    }
    return f;
  }();
  return fields;
}

void SetBytes(benchmark::State& state, std::size_t bytesPerIteration) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytesPerIteration));
}

// --- Baselines --------------------------------------------------------------

void BM_Generate(benchmark::State& state) {
  notora::bench::GeneratorOptions options;
  options.targetBytes = 2'000'000;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::string text = notora::bench::GenerateIgesString(options);
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  SetBytes(state, bytes);
}
BENCHMARK(BM_Generate)->Unit(benchmark::kMillisecond);

// The floor: one copy of the file in memory.
void BM_MemoryCopy(benchmark::State& state) {
  const std::string& text = Corpus();
  std::unique_ptr<char[]> copy(new char[text.size()]);
  for (auto _ : state) {
    std::memcpy(copy.get(), text.data(), text.size());
    benchmark::ClobberMemory();
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_MemoryCopy)->Unit(benchmark::kMillisecond);

// Splitting into records with memchr and checking length and column 73.
void BM_SplitRecords(benchmark::State& state) {
  const std::string& text = Corpus();
  for (auto _ : state) {
    const char* p = text.data();
    const char* end = p + text.size();
    std::size_t letters[128] = {};
    while (p < end) {
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p)));
      if (!lf) lf = end;
      if (lf - p == 80) ++letters[static_cast<unsigned char>(p[72]) & 127];
      p = lf + 1;
    }
    benchmark::DoNotOptimize(letters);
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_SplitRecords)->Unit(benchmark::kMillisecond);

// Reading one character at a time through a buffered stream, as the
// original reader does: the cost the record reader must stay clear of.
void BM_StreamGetc(benchmark::State& state) {
  const std::string& text = Corpus();
  for (auto _ : state) {
    std::FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    char line[82];
    std::size_t records = 0;
    for (;;) {
      int n = 0;
      int c;
      while (n < 81 && (c = std::getc(f)) != EOF && c != '\n') line[n++] = static_cast<char>(c);
      if (n == 0 && std::feof(f)) break;
      records += static_cast<unsigned char>(line[0]) != 0;
    }
    std::fclose(f);
    benchmark::DoNotOptimize(records);
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_StreamGetc)->Unit(benchmark::kMillisecond);

// Columns 74-80 of every record as a number (blanks skipped anywhere).
void BM_SequenceNumbers(benchmark::State& state) {
  const std::string& text = Corpus();
  const std::size_t records = text.size() / kRecordBytes;
  for (auto _ : state) {
    std::uint64_t sum = 0;
    for (std::size_t r = 0; r < records; ++r) {
      const char* field = text.data() + r * kRecordBytes + 73;
      std::uint32_t value = 0;
      for (int i = 0; i < 7; ++i) {
        const char c = field[i];
        if (c != ' ') value = value * 10 + static_cast<std::uint32_t>(c - '0');
      }
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_SequenceNumbers)->Unit(benchmark::kMillisecond);

// Joining columns 1-64 of the P records into one text.
void BM_JoinParameterColumns(benchmark::State& state) {
  const std::string& text = Corpus();
  std::string joined;
  joined.reserve(text.size());
  for (auto _ : state) {
    joined.clear();
    for (std::size_t at = 0; at + kRecordBytes <= text.size(); at += kRecordBytes)
      if (text[at + 72] == 'P') joined.append(text.data() + at, 64);
    benchmark::DoNotOptimize(joined.data());
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_JoinParameterColumns)->Unit(benchmark::kMillisecond);

void BM_ParseReal_strtod(benchmark::State& state) {
  const ParameterFields& f = Fields();
  for (auto _ : state) {
    double sum = 0;
    char buffer[32];
    for (std::string_view field : f.reals) {
      const std::size_t n = std::min(field.size(), sizeof buffer - 1);
      for (std::size_t i = 0; i < n; ++i) buffer[i] = field[i] == 'D' ? 'E' : field[i];
      buffer[n] = '\0';
      sum += std::strtod(buffer, nullptr);
    }
    benchmark::DoNotOptimize(sum);
  }
  SetBytes(state, f.realBytes);
  state.counters["fields"] = static_cast<double>(f.reals.size());
}
BENCHMARK(BM_ParseReal_strtod)->Unit(benchmark::kMillisecond);

void BM_ParseReal_from_chars(benchmark::State& state) {
  const ParameterFields& f = Fields();
  for (auto _ : state) {
    double sum = 0;
    char buffer[32];
    for (std::string_view field : f.reals) {
      const std::size_t n = std::min(field.size(), sizeof buffer);
      for (std::size_t i = 0; i < n; ++i) buffer[i] = field[i] == 'D' ? 'E' : field[i];
      double v = 0;
      std::from_chars(buffer, buffer + n, v);
      sum += v;
    }
    benchmark::DoNotOptimize(sum);
  }
  SetBytes(state, f.realBytes);
}
BENCHMARK(BM_ParseReal_from_chars)->Unit(benchmark::kMillisecond);

// "%.15g", read back, and the fixed or exponent form when it does not
// round-trip: the shape of the emitter's real field, with the C library.
void BM_FormatReal_snprintf(benchmark::State& state) {
  const ParameterFields& f = Fields();
  for (auto _ : state) {
    std::size_t total = 0;
    char buffer[64];
    for (double v : f.values) {
      int n = std::snprintf(buffer, sizeof buffer, "%.15g", v);
      if (std::strtod(buffer, nullptr) != v)
        n = std::snprintf(buffer, sizeof buffer, (std::abs(v) < 1e-3 || std::abs(v) >= 1e3) ? "%.15e" : "%.15f", v);
      total += static_cast<std::size_t>(n);
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * f.values.size()));
}
BENCHMARK(BM_FormatReal_snprintf)->Unit(benchmark::kMillisecond);

void BM_FormatReal_to_chars(benchmark::State& state) {
  const ParameterFields& f = Fields();
  for (auto _ : state) {
    std::size_t total = 0;
    char buffer[64];
    for (double v : f.values) {
      auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 15);
      total += static_cast<std::size_t>(r.ptr - buffer);
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * f.values.size()));
}
BENCHMARK(BM_FormatReal_to_chars)->Unit(benchmark::kMillisecond);

// --- notora's own pieces -----------------------------------------------------

#ifdef NOTORA_MICROBENCH_HAVE_NOTE
void BM_Notora_AppendRealField(benchmark::State& state) {
  const ParameterFields& f = Fields();
  std::string buffer;
  for (auto _ : state) {
    buffer.clear();
    for (double v : f.values) notora::AppendRealField(&buffer, v, ',');
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * f.values.size()));
}
BENCHMARK(BM_Notora_AppendRealField)->Unit(benchmark::kMillisecond);

void BM_Notora_AppendIntegerField(benchmark::State& state) {
  std::string buffer;
  constexpr int kCount = 100'000;
  for (auto _ : state) {
    buffer.clear();
    for (int i = 0; i < kCount; ++i) notora::AppendIntegerField(&buffer, i * 37, ',');
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kCount));
}
BENCHMARK(BM_Notora_AppendIntegerField)->Unit(benchmark::kMillisecond);

void BM_Notora_ShiftJisToJis(benchmark::State& state) {
  std::vector<std::uint16_t> codes;
  for (unsigned lead = 0x88; lead <= 0x9F; ++lead)
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail)
      if (trail != 0x7F) codes.push_back(static_cast<std::uint16_t>(lead << 8 | trail));
  for (auto _ : state) {
    std::uint32_t sum = 0;
    for (std::uint16_t c : codes) sum += notora::cp932::ShiftJisToJis(c);
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * codes.size()));
}
BENCHMARK(BM_Notora_ShiftJisToJis);
#endif

#ifdef NOTORA_MICROBENCH_HAVE_IGES
class MemoryInput : public notora::InputFile {
 public:
  explicit MemoryInput(std::string_view text) : text_(text) {}
  std::int64_t Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min(size, text_.size());
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    return static_cast<std::int64_t>(n);
  }
  std::uint64_t SizeHint() const override { return size_; }
  bool Close() override { return true; }

 private:
  std::string_view text_;
  std::uint64_t size_ = text_.size();
};

using notora_bench::QuietUi;

// One pass of the record reader over the whole file, read through the
// stream's blocks as in a run.
void BM_Notora_RecordReader(benchmark::State& state) {
  const std::string& text = Corpus();
  QuietUi ui;
  for (auto _ : state) {
    MemoryInput file(text);
    notora::SourceStream source(&file);
    notora::RecordReader reader(&source, &ui);
    notora::Record record;
    std::size_t records = 0;
    while (!reader.atEnd()) {
      if (!reader.Next(&record).ok()) break;
      ++records;
    }
    benchmark::DoNotOptimize(records);
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_Notora_RecordReader)->Unit(benchmark::kMillisecond);

// The numeric D and P fields: every sequence number and pointer of the file.
void BM_Notora_NumericColumns(benchmark::State& state) {
  const std::string& text = Corpus();
  std::vector<std::size_t> records;
  for (std::size_t at = 0; at + 80 <= text.size(); at = text.find('\n', at) + 1) {
    records.push_back(at);
    if (text.find('\n', at) == std::string::npos) break;
  }
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::size_t at : records) {
      const std::string_view line(text.data() + at, 80);
      std::int32_t value = 0;
      if (notora::ReadNumericColumns(line, 74, 80, &value)) sum += value;
      if (notora::ReadNumericColumns(line, 66, 72, &value)) sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * records.size() * 2));
}
BENCHMARK(BM_Notora_NumericColumns)->Unit(benchmark::kMillisecond);

// The sweep of a run over the file, nothing written: the records before the
// first P record, Directory Entry and Parameter Data checks, every General
// Note parsed and converted to JIS code.
void BM_Notora_Sweep(benchmark::State& state) {
  const std::string& text = Corpus();
  QuietUi ui;
  const notora::RunOptions options;
  for (auto _ : state) {
    MemoryInput file(text);
    notora::SourceStream source(&file);
    notora::RecordReader reader(&source, &ui, /*watchJapaneseBytes=*/true);
    notora::RunCounters counters;
    notora::SourceSweep sweep(&reader, &counters);
    if (!sweep.ReadHead().ok()) state.SkipWithError("head failed");
    notora::GeneralNoteConverter notes(options, counters, sweep.scan().parameterDelimiter,
                                       sweep.scan().recordDelimiter);
    if (!sweep.ReadEntities(&notes, nullptr).ok()) state.SkipWithError("sweep failed");
    benchmark::DoNotOptimize(counters.convertedEntities);
  }
  SetBytes(state, text.size());
}
BENCHMARK(BM_Notora_Sweep)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

BENCHMARK_MAIN();
