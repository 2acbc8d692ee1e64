// notora-read-floor: what a conversion costs before a single field is read.
//
//   notora-read-floor SOURCE COPY
//
// Reads SOURCE the way a conversion does, once, through the engine's own
// stream (read ahead on its thread) and record reader, Japanese bytes
// watched, and writes every record with its line end through the output's
// own file seam and block writer: aside under a name of its own, in blocks
// of 512 KB written behind the reading on a thread of their own, flushed to
// stable storage and given the name COPY at the end. Nothing is parsed and nothing
// is converted, so its time is the least any run of notora-cli convert can
// take on the same file and machine: bench/run times it beside
// `cat FILE > COPY`. COPY must not exist; it is the source's records again.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

#include "base/platform.h"
#include "bench/quiet_ui.h"
#include "iges/block_writer.h"
#include "iges/file_system.h"
#include "iges/record_reader.h"
#include "iges/source_stream.h"

namespace {

int Fail(const char* what, std::int64_t record) {
  std::fprintf(stderr, "notora-read-floor: %s (record %lld)\n", what,
               static_cast<long long>(record));
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: notora-read-floor SOURCE COPY\n");
    return 2;
  }
  notora::FileSystem& files = notora::SystemFileSystem();
  std::unique_ptr<notora::InputFile> input = files.OpenInput(argv[1]);
  if (input == nullptr) return Fail("cannot open the source", 0);
  if (files.Exists(argv[2], /*followLinks=*/false)) return Fail("the copy exists", 0);
  std::unique_ptr<notora::OutputFile> output = files.CreateOutput(argv[2]);
  if (output == nullptr) return Fail("cannot create the copy", 0);

  notora::SourceStream stream(input.get());
  notora_bench::QuietUi ui;
  notora::RecordReader reader(&stream, &ui, /*watchJapaneseBytes=*/true);
  notora::Record record;
  bool synced = false;
  {
    // The output's own block writer: blocks of 512 KB written behind the
    // reading by a thread of their own, as a conversion's are.
    notora::BlockWriter blocks(output.get(), /*background=*/nullptr);
    while (!reader.atEnd()) {
      if (!reader.Next(&record).ok()) return Fail("reading failed", record.number);
      const std::size_t size = record.text.size() + record.lineEnd.size();
      char* out = blocks.Reserve(size);
      std::memcpy(out, record.text.data(), record.text.size());
      std::memcpy(out + record.text.size(), record.lineEnd.data(), record.lineEnd.size());
      blocks.Commit(size);
    }
    synced = blocks.Sync([] {}) && !blocks.failed();
  }
  if (!synced) {
    output->Discard();
    return Fail("cannot write the copy", 0);
  }
  if (output->Publish() != notora::PublishResult::kPublished) return Fail("cannot name the copy", 0);
  return 0;
}
