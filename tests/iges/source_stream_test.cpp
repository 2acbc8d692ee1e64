#include "iges/source_stream.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "iges/record_reader.h"
#include "tests/support/iges_builder.h"
#include "tests/support/faulty_files.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {

using testing::Rec;

// A source of `count` S records, every seventh with CR LF.
std::string ManyRecords(int count) {
  std::string bytes;
  for (int i = 1; i <= count; ++i) bytes += Rec("record " + std::to_string(i), 'S', i) + (i % 7 == 0 ? "\r\n" : "\n");
  return bytes;
}

// The records a reading gives: each one's number and text, or the error
// that ended the reading.
std::vector<std::string> ReadAll(SourceStream* stream) {
  testing::RecordingUi ui;
  RecordReader reader(stream, &ui);
  std::vector<std::string> seen;
  Record record;
  while (!reader.atEnd()) {
    const Status status = reader.Next(&record);
    if (!status.ok()) {
      seen.push_back(status.message());
      break;
    }
    seen.push_back(std::to_string(record.number) + ":" + std::string(record.text));
  }
  return seen;
}

// A source whose size is not known, read as a pipe is.
class PipeInput : public InputFile {
 public:
  explicit PipeInput(std::string bytes, std::size_t chunk) : input_(std::move(bytes), chunk) {}
  std::int64_t Read(char* buffer, std::size_t size) override { return input_.Read(buffer, size); }
  std::uint64_t SizeHint() const override { return 0; }
  bool Close() override { return input_.Close(); }

 private:
  testing::StringInput input_;
};

TEST(SourceStreamTest, ReadingAheadThroughReusedBlocksGivesEveryRecordAsItStands) {
  // About 5.7 MB, through every block several times: read ahead on the
  // stream's thread when its size is known, by the caller as a pipe.
  const int count = 70000;
  const std::string bytes = ManyRecords(count);
  for (std::size_t chunk : {std::size_t{1} << 20, std::size_t{4093}}) {
    for (bool pipe : {false, true}) {
      std::unique_ptr<InputFile> file;
      if (pipe) {
        file = std::make_unique<PipeInput>(bytes, chunk);
      } else {
        file = std::make_unique<testing::StringInput>(bytes, chunk);
      }
      SourceStream stream(file.get());
      const std::vector<std::string> seen = ReadAll(&stream);
      ASSERT_EQ(seen.size(), static_cast<std::size_t>(count) + 1) << "chunk " << chunk;
      for (int i : {1, 7, 3236, 3237, 12945, 51772, count}) {
        EXPECT_EQ(seen[i - 1], std::to_string(i) + ":" + Rec("record " + std::to_string(i), 'S', i));
      }
      EXPECT_EQ(seen.back(), std::to_string(count + 1) + ":");  // the empty end
    }
  }
}

TEST(SourceStreamTest, ReadErrorDeepInTheFileNamesTheRecordThatNeededTheBytes) {
  std::string bytes;
  for (int i = 1; i <= 70000; ++i) bytes += Rec("", 'S', i) + "\n";
  for (std::size_t failAt : {std::size_t{300000}, std::size_t{1048576}, std::size_t{81 * 65000}}) {
    testing::StringInput file(bytes, std::size_t{1} << 20, static_cast<std::int64_t>(failAt));
    SourceStream stream(&file);
    EXPECT_EQ(ReadAll(&stream).back(), std::to_string(failAt / 81 + 1) +
                                           "行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。")
        << "fails at " << failAt;
  }
}

TEST(SourceStreamTest, CtrlZEndsTheFileWhereverItStands) {
  std::string bytes;
  for (int i = 1; i <= 70000; ++i) bytes += Rec("", 'S', i) + "\n";
  for (std::size_t at : {std::size_t{81 * 100}, std::size_t{(1 << 20) + 81 * 3}, std::size_t{81 * 60000}}) {
    const std::size_t recordStart = at / 81 * 81;
    const std::string marked = bytes.substr(0, recordStart) + "\x1a" + bytes.substr(recordStart);
    testing::StringInput file(marked);
    SourceStream stream(&file);
    const std::vector<std::string> seen = ReadAll(&stream);
    EXPECT_EQ(seen.size(), recordStart / 81 + 1) << at;
  }
}

}  // namespace
}  // namespace notora
