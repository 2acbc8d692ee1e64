#include "iges/output_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <chrono>
#include <thread>
#include <filesystem>
#include <new>

#include "base/memory_guard.h"
#include "iges/memory_file_system.h"
#include "iges/source_sweep.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

using testing::DRecs;
using testing::Lines;
using testing::PRec;
using testing::Rec;

// Replaces every General Note by `replacement` (a multiple of 64 bytes).
class NoteReplacer : public EntityHandler {
 public:
  explicit NoteReplacer(std::string replacement) : replacement_(std::move(replacement)) {}
  Status HandleGeneralNote(const ParameterEntity&, RebuiltNote* rebuilt) override {
    rebuilt->changed = true;
    rebuilt->parameterText = replacement_;
    rebuilt->lineCount = static_cast<std::int32_t>(replacement_.size() / 64);
    return Status::Ok();
  }

 private:
  std::string replacement_;
};

// What the output phase shows when it fails: its message, and the second one
// after a close that failed while the file was being given up.
struct OutputFailure {
  std::string message;
  std::string closeMessage;
};

OutputFailure Shown(const Status& status) {
  OutputFailure failure;
  failure.message = status.message();
  if (status.hasFollowUp()) failure.closeMessage = FormatMessage(status.followUp());
  return failure;
}

struct WriteOutcome {
  bool written = false;
  OutputFailure failure;
  RunCounters counters;
  std::string output;
  std::vector<std::int32_t> progress;
};

// Reads `source` with every General Note replaced by `replacement`, writing
// the output beside the reading as a run does, and finishes it at `path` in
// a folder of its own.
WriteOutcome Convert(const std::string& source, const std::string& replacement,
                     testing::FaultPlan plan = {}, LineEnd lineEnd = LineEnd::kLf,
                     std::uint64_t heldMemoryBudget = EntityOrder::kMemoryBudget) {
  testing::TempDir dir;
  WriteOutcome outcome;
  testing::StringInput file(source);
  SourceStream stream(&file);
  testing::RecordingUi ui;
  RecordReader reader(&stream, &ui, /*watchJapaneseBytes=*/true);
  SourceSweep sweep(&reader, &outcome.counters);
  EXPECT_TRUE(sweep.ReadHead().ok());
  testing::FaultyFiles files(plan);
  const std::string path = dir.File("out.igs");
  OutputWriter output(&files, path, lineEnd, /*lineEndFromSource=*/false, &ui);
  output.SetHeldMemoryBudget(heldMemoryBudget);
  NoteReplacer notes(replacement);
  Status read = sweep.ReadEntities(&notes, &output);
  EXPECT_TRUE(read.ok()) << read.message();
  const Status written = output.Finish(&outcome.counters);
  outcome.written = written.ok();
  outcome.failure = Shown(written);
  outcome.output = testing::ReadFile(path);
  outcome.progress = ui.progress;
  // Nothing but the output itself is left in its folder.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().filename().string(), "out.igs");
  }
  return outcome;
}

const std::string kNoteText = "212,1,1,1.,1.,1,0.,0.,0,0,0.,0.,0.,1HA;";

std::string Source() {
  return testing::IgesFile()
      .Entity(110, "110,0.,0.,0.,1.,1.,1.;")
      .Entity(212, kNoteText)
      .Entity(126, "126," + std::string(96, '7') + ";")
      .Build();
}

TEST(OutputWriterTest, RewritesPointersAndLineCountsAfterANoteGrows) {
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("A") + testing::PadTo64("B;");
  WriteOutcome outcome = Convert(Source(), grown);
  ASSERT_TRUE(outcome.written) << outcome.failure.message;
  std::vector<std::string> expected = {Rec("notora test file", 'S', 1)};
  const std::vector<std::string> source = testing::IgesFile().Records();
  expected.push_back(source[1]);
  expected.push_back(source[2]);
  std::string d1 = DRecs(110, 1, 1, 1), d2 = DRecs(212, 2, 3, 3), d3 = DRecs(126, 5, 2, 5);
  for (const std::string& pair : {d1, d2, d3}) {
    expected.push_back(pair.substr(0, 80));
    expected.push_back(pair.substr(81));
  }
  expected.push_back(PRec("110,0.,0.,0.,1.,1.,1.;", 1, 1));
  expected.push_back(PRec("212,2,", 3, 2));
  expected.push_back(PRec("A", 3, 3));
  expected.push_back(PRec("B;", 3, 4));
  expected.push_back(PRec("126," + std::string(60, '7'), 5, 5));
  expected.push_back(PRec(std::string(36, '7') + ";", 5, 6));
  expected.push_back(Rec("S      1G      2D      6P      6", 'T', 1));
  EXPECT_EQ(outcome.output, Lines(expected));
  EXPECT_EQ(outcome.counters.parameterRecords, 6);
}

TEST(OutputWriterTest, TerminateRecordLayout) {
  testing::IgesFile file;
  file.Start({"a", "b", "c", "d"});
  file.Global("1H,,1H;," + std::string(12 * 72 - 9, 'x') + ";");
  for (int i = 0; i < 9; ++i) file.Entity(116, "116,0.,0.,0.;");
  file.Entity(212, kNoteText);
  WriteOutcome outcome = Convert(file.Build(), testing::PadTo64("212,0;") + std::string(25 * 64, ' '));
  ASSERT_TRUE(outcome.written);
  const std::string last = outcome.output.substr(outcome.output.size() - 81);
  EXPECT_EQ(last, "S      4G     12D     20P     35" + std::string(40, ' ') + "T      1\n");
}

TEST(OutputWriterTest, EveryLineEndsAsAsked) {
  testing::IgesFile file;
  file.Start({"a", "b"});
  file.Global("1H,,1H;," + std::string(3 * 72, 'x') + ";");
  file.Entity(110, "110,0.,0.,0.,1.,1.,1.;").Entity(212, kNoteText);
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("A;");
  const WriteOutcome lf = Convert(file.Build(), grown, {}, LineEnd::kLf);
  const WriteOutcome crLf = Convert(file.Build(), grown, {}, LineEnd::kCrLf);
  ASSERT_TRUE(lf.written && crLf.written);
  // The same records, each with a carriage return before its line feed.
  EXPECT_EQ(crLf.output, testing::WithCrLf(lf.output));
  EXPECT_EQ(std::count(lf.output.begin(), lf.output.end(), '\r'), 0);
}

TEST(OutputWriterTest, SourceColumnsPastSixtyFourAreRewritten) {
  std::string source = Source();
  // Spoil columns 66-72 of a P record's pointer with leading zeros: the
  // record reads the same and comes out in the standard layout.
  const std::size_t at = source.find("110,0.,0.,0.");
  source.replace(at + 65, 7, "0000001");
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  ASSERT_TRUE(outcome.written);
  EXPECT_NE(outcome.output.find(PRec("110,0.,0.,0.,1.,1.,1.;", 1, 1)), std::string::npos);
}

TEST(OutputWriterTest, EveryRecordIsEightyColumns) {
  std::string source = Source();
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  ASSERT_TRUE(outcome.written);
  // Every record is exactly 80 columns when the numbers fit.
  std::size_t start = 0;
  while (start < outcome.output.size()) {
    const std::size_t end = outcome.output.find('\n', start);
    EXPECT_EQ(end - start, 80u);
    start = end + 1;
  }
}

TEST(OutputWriterTest, TextLengthMismatchLeavesNoFile) {
  // The last entity is missing its second P record: its text stays empty.
  std::string source = testing::IgesFile()
                           .Entity(212, kNoteText)
                           .EntityLines(110, {"110,0.,0.,0.,", "1.,1.,1.;"})
                           .Build();
  const std::size_t at = source.find("1.,1.,1.;");
  source.erase(at, 81);
  WriteOutcome outcome = Convert(source, testing::PadTo64("212,0;"));
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "作成したﾊﾟﾗﾒｰﾀｾｸｼｮﾝの文字数とﾊﾟﾗﾒｰﾀ使用行数が一致しません。\n"
            "　IGESﾌｧｲﾙは完成していません。");
  EXPECT_TRUE(outcome.failure.closeMessage.empty());
  EXPECT_EQ(outcome.output, "");
}

// Entities whose P records stand in another order than their entries come
// out in the order of the entries, each renumbered.
TEST(OutputWriterTest, EntitiesReadOutOfOrderAreWrittenInTheOrderOfTheEntries) {
  const testing::IgesFile in = testing::IgesFile()
                             .Entity(110, "110,0.,0.,0.,1.,1.,1.;")
                             .Entity(212, kNoteText)
                             .Entity(116, "116,1.,2.,3.;")
                             ;
  std::vector<std::string> records = in.Records();
  // D records 3-8 of the three entities, P records 9-11; the P records go
  // in the order 3, 1, 2, with the pointers of the D records to match.
  const std::string p1 = records[9], p2 = records[10], p3 = records[11];
  records[9] = p3.substr(0, 73) + "      1";
  records[10] = p1.substr(0, 73) + "      2";
  records[11] = p2.substr(0, 73) + "      3";
  records[3].replace(8, 8, "       2");
  records[5].replace(8, 8, "       3");
  records[7].replace(8, 8, "       1");
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("B;");
  WriteOutcome outcome = Convert(Lines(records), grown);
  ASSERT_TRUE(outcome.written) << outcome.failure.message;
  std::vector<std::string> out;
  for (std::size_t at = 0; at < outcome.output.size(); at += 81) out.push_back(outcome.output.substr(at, 80));
  EXPECT_EQ(out[3].substr(0, 16), "     110       1");
  EXPECT_EQ(out[5].substr(0, 16), "     212       2");
  EXPECT_EQ(out[7].substr(0, 16), "     116       4");
  EXPECT_EQ(out[9], PRec("110,0.,0.,0.,1.,1.,1.;", 1, 1));
  EXPECT_EQ(out[10], PRec("212,2,", 3, 2));
  EXPECT_EQ(out[11], PRec("B;", 3, 3));
  EXPECT_EQ(out[12], PRec("116,1.,2.,3.;", 5, 4));
}

// A drawing whose P records run in the reverse of its entries converts to
// the very bytes of the same drawing in order, whether the entities held
// meanwhile stay in memory or go to the scratch file; the output spans
// many blocks, so that the D records go out on the writing thread.
TEST(OutputWriterTest, ADrawingInReverseOrderConvertsAsInOrder) {
  testing::IgesFile in;
  constexpr std::int64_t kEntities = 20000;
  for (std::int64_t k = 1; k <= kEntities; ++k) {
    if (k % 1000 == 0) {
      in.Entity(212, kNoteText);
    } else {
      in.Entity(110, "110,0.,0.," + std::to_string(k) + ".,1.,1.,1.;");
    }
  }
  std::vector<std::string> records = in.Records();
  // One P record per entity.
  const auto firstOf = [&records](char letter) {
    return static_cast<std::size_t>(std::find_if(records.begin(), records.end(),
                                                 [letter](const std::string& record) {
                                                   return record[72] == letter;
                                                 }) -
                                    records.begin());
  };
  const std::size_t firstD = firstOf('D');
  const std::size_t firstP = firstOf('P');
  std::vector<std::string> reversed = records;
  for (std::int64_t k = 1; k <= kEntities; ++k) {
    const std::int64_t at = kEntities + 1 - k;  // where its record goes
    reversed[firstP + at - 1] = PRec(records[firstP + k - 1].substr(0, 64), 2 * k - 1, at);
    char pointer[9];
    std::snprintf(pointer, sizeof pointer, "%8lld", static_cast<long long>(at));
    reversed[firstD + 2 * (k - 1)].replace(8, 8, pointer);
  }
  const std::string grown = testing::PadTo64("212,2,") + testing::PadTo64("B;");
  const WriteOutcome inOrder = Convert(Lines(records), grown);
  ASSERT_TRUE(inOrder.written) << inOrder.failure.message;
  ASSERT_GT(inOrder.output.size(), 2u << 20);
  for (std::uint64_t budget : {EntityOrder::kMemoryBudget, std::uint64_t{0}}) {
    SCOPED_TRACE("held in memory up to " + std::to_string(budget) + " bytes");
    const WriteOutcome outOfOrder = Convert(Lines(reversed), grown, {}, LineEnd::kLf, budget);
    ASSERT_TRUE(outOfOrder.written) << outOfOrder.failure.message;
    EXPECT_TRUE(outOfOrder.output == inOrder.output);
  }
}

TEST(OutputWriterTest, WriteAndFlushErrorsLeaveNoFile) {
  testing::FaultPlan plan;
  plan.failWriteAfter = 100;
  WriteOutcome outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_EQ(outcome.output, "");

  plan = {};
  plan.failSync = true;
  outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_EQ(outcome.failure.message,
            "ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_EQ(outcome.output, "");
}

TEST(OutputWriterTest, FailingCloseAtTheEnd) {
  testing::FaultPlan plan;
  plan.failOutputClose = true;
  WriteOutcome outcome = Convert(Source(), testing::PadTo64("212,0;"), plan);
  EXPECT_FALSE(outcome.written);
  EXPECT_EQ(outcome.failure.message,
            "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙを閉じるのに失敗しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_TRUE(outcome.failure.closeMessage.empty());
  EXPECT_EQ(outcome.output, "");
}

// What comes to stand at the output's name while the output is written,
// a file, a link or a dangling link, is left as it is.
TEST(OutputWriterTest, NeverWritesOverOrThroughAnythingAtThePath) {
  testing::TempDir dir;
  testing::WriteFile(dir.File("target"), "precious");
  testing::WriteFile(dir.File("existing.igs"), "precious");
  const bool linksMade = testing::MakeSymbolicLink(dir.File("target"), dir.File("link.igs")) &&
                         testing::MakeSymbolicLink(dir.File("nowhere"), dir.File("dangling.igs"));
  std::vector<const char*> names = {"existing.igs"};
  if (linksMade) names.insert(names.end(), {"link.igs", "dangling.igs"});
  for (const char* name : names) {
    testing::StringInput file(Source());
    SourceStream stream(&file);
    testing::RecordingUi ui;
    RecordReader reader(&stream, &ui);
    RunCounters counters;
    SourceSweep sweep(&reader, &counters);
    ASSERT_TRUE(sweep.ReadHead().ok());
    OutputWriter output(&SystemFileSystem(), dir.File(name), LineEnd::kLf, false, &ui);
    NoteReplacer notes(testing::PadTo64("212,0;"));
    ASSERT_TRUE(sweep.ReadEntities(&notes, &output).ok());
    const Status written = output.Finish(&counters);
    EXPECT_EQ(written.message(), "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。");
  }
  EXPECT_EQ(testing::ReadFile(dir.File("target")), "precious");
  EXPECT_EQ(testing::ReadFile(dir.File("existing.igs")), "precious");
  EXPECT_FALSE(std::filesystem::exists(dir.File("nowhere")));
  // Nothing written aside was left behind.
  std::size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, linksMade ? 4u : 2u);
  if (!linksMade) GTEST_SKIP() << "a file checked; links not: " << testing::kNoSymbolicLinks;
}

// A flush that lasts until the user interface has been polled: the run
// keeps polling while the output goes onto the disk, and a cancel then ends
// it with nothing under the output's name.
struct FlushState {
  std::atomic<bool> flushing{false};
  std::atomic<bool> polled{false};
};

class CancelDuringFlushUi : public testing::RecordingUi {
 public:
  explicit CancelDuringFlushUi(FlushState* state) : state_(state) {}
  bool PollCancel() override {
    if (!state_->flushing) return false;
    state_->polled = true;
    return true;
  }

 private:
  FlushState* state_;
};

class SlowFlush : public OutputFile {
 public:
  SlowFlush(std::unique_ptr<OutputFile> inner, FlushState* state)
      : inner_(std::move(inner)), state_(state) {}
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    return inner_->WriteAt(offset, data, size);
  }
  std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
    return inner_->ReadAt(offset, buffer, size);
  }
  bool Sync() override {
    state_->flushing = true;
    // Without a thread to flush on, no poll can come: give up after a while
    // rather than hang (the test then fails on the message).
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!state_->polled && std::chrono::steady_clock::now() < giveUp) std::this_thread::yield();
    return inner_->Sync();
  }
  PublishResult Publish() override { return inner_->Publish(); }
  bool Discard() override { return inner_->Discard(); }

 private:
  std::unique_ptr<OutputFile> inner_;
  FlushState* state_;
};

class SlowFlushFiles : public MemoryFileSystem {
 public:
  explicit SlowFlushFiles(FlushState* state) : state_(state) {}
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    return std::make_unique<SlowFlush>(MemoryFileSystem::CreateOutput(path), state_);
  }

 private:
  FlushState* state_;
};

TEST(OutputWriterTest, TheUserInterfaceIsPolledDuringTheFlush) {
  FlushState state;
  SlowFlushFiles files(&state);
  testing::StringInput file(Source());
  SourceStream stream(&file);
  CancelDuringFlushUi ui(&state);
  RecordReader reader(&stream, &ui);
  RunCounters counters;
  SourceSweep sweep(&reader, &counters);
  ASSERT_TRUE(sweep.ReadHead().ok());
  OutputWriter output(&files, "/out.igs", LineEnd::kLf, false, &ui);
  NoteReplacer notes(testing::PadTo64("212,0;"));
  ASSERT_TRUE(sweep.ReadEntities(&notes, &output).ok());
  const Status finished = output.Finish(&counters);
  EXPECT_EQ(finished.message(), "ESCｷｰにより処理を中止します。　変換は出来ません。");
  EXPECT_EQ(files.Find("/out.igs"), nullptr);
  EXPECT_EQ(files.outputsAside(), 0);
}

// Reads `source` with every note replaced by `replacement` and finishes the
// output at "/out.igs" of `files`.
Status WriteThrough(FileSystem* files, const std::string& source, const std::string& replacement,
                    RunCounters* counters) {
  testing::StringInput file(source);
  SourceStream stream(&file);
  testing::RecordingUi ui;
  RecordReader reader(&stream, &ui);
  SourceSweep sweep(&reader, counters);
  EXPECT_TRUE(sweep.ReadHead().ok());
  OutputWriter output(files, "/out.igs", LineEnd::kLf, false, &ui);
  output.Open();
  NoteReplacer notes(replacement);
  EXPECT_TRUE(sweep.ReadEntities(&notes, &output).ok());
  return output.Finish(counters);
}

// Outputs of a gigabyte, kept as their size and their last 81 bytes.
class SizeOnlyOutput : public OutputFile {
 public:
  explicit SizeOnlyOutput(std::string* tail) : tail_(tail) {}
  bool WriteAt(std::uint64_t offset, const char* data, std::size_t size) override {
    if (offset + size >= end_) {
      end_ = offset + size;
      tail_->assign(data + size - std::min<std::size_t>(size, 81), std::min<std::size_t>(size, 81));
    }
    return true;
  }
  std::int64_t ReadAt(std::uint64_t, char*, std::size_t) override { return -1; }
  bool Sync() override { return true; }
  PublishResult Publish() override { return PublishResult::kPublished; }
  bool Discard() override {
    tail_->clear();
    return true;
  }

 private:
  std::string* tail_;
  std::uint64_t end_ = 0;
};

class SizeOnlyFiles : public MemoryFileSystem {
 public:
  std::unique_ptr<OutputFile> CreateOutput(const std::string&) override {
    return std::make_unique<SizeOnlyOutput>(&tail);
  }
  std::string tail;  // of the last output: its Terminate record
};

// Sequence numbers have seven columns: an output of 9,999,999 P records is
// written, one of a record more is refused with its message and never
// published (its records would be 81 columns wide).
TEST(OutputWriterTest, AParameterSectionBeyondSevenColumnsIsRefused) {
  const std::string replacement(std::size_t{3333333} * 64, 'A');
  testing::IgesFile notesOnly;
  for (int i = 0; i < 3; ++i) notesOnly.Entity(212, kNoteText);
  SizeOnlyFiles files;
  RunCounters counters;
  const Status fits = WriteThrough(&files, notesOnly.Build(), replacement, &counters);
  ASSERT_TRUE(fits.ok()) << fits.message();
  EXPECT_EQ(files.tail.substr(24, 8), "P9999999");
  EXPECT_EQ(files.tail.size(), 81u);

  testing::IgesFile oneMore;
  oneMore.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  for (int i = 0; i < 3; ++i) oneMore.Entity(212, kNoteText);
  counters = RunCounters();
  const Status refused = WriteThrough(&files, oneMore.Build(), replacement, &counters);
  EXPECT_EQ(refused.message(),
            "作成したﾊﾟﾗﾒｰﾀｾｸｼｮﾝの行数が9999999を超えます。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_EQ(files.tail, "");
}

// Memory that runs out while the output is written on the writer's own
// thread (a file kept in memory grows as it is written) ends the run with
// the out-of-memory message, not the process, and nothing is published.
class MemoryStarvedFiles : public MemoryFileSystem {
 public:
  class Output : public OutputFile {
   public:
    explicit Output(std::unique_ptr<OutputFile> inner) : inner_(std::move(inner)) {}
    bool WriteAt(std::uint64_t, const char*, std::size_t) override { throw std::bad_alloc(); }
    std::int64_t ReadAt(std::uint64_t offset, char* buffer, std::size_t size) override {
      return inner_->ReadAt(offset, buffer, size);
    }
    bool Sync() override { return inner_->Sync(); }
    PublishResult Publish() override { return inner_->Publish(); }
    bool Discard() override { return inner_->Discard(); }

   private:
    std::unique_ptr<OutputFile> inner_;
  };
  std::unique_ptr<OutputFile> CreateOutput(const std::string& path) override {
    return std::make_unique<Output>(MemoryFileSystem::CreateOutput(path));
  }
};

TEST(OutputWriterTest, MemoryRunningOutOnTheWriterThreadIsReported) {
  MemoryStarvedFiles files;
  RunCounters counters;
  // Output enough to fill the first block, which goes to the thread.
  testing::IgesFile large;
  for (int i = 0; i < 10000; ++i) large.Entity(110, "110,0.,0.,0.,1.,1.,1.;");
  large.Entity(212, kNoteText);
  const Status written = GuardMemory([&] {
    return WriteThrough(&files, large.Build(), testing::PadTo64("212,0;"), &counters);
  });
  EXPECT_EQ(written.message(), "ﾒﾓﾘが不足しました。\n　IGESﾌｧｲﾙは完成していません。");
  EXPECT_EQ(files.Find("/out.igs"), nullptr);
  EXPECT_EQ(files.outputsAside(), 0);
}

}  // namespace
}  // namespace notora
