#include "iges/source_stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "iges/record_reader.h"
#include "tests/support/iges_builder.h"
#include "tests/support/faulty_files.h"
#include "tests/support/recording_ui.h"

namespace notora {
namespace {

using testing::Rec;

// A source of `count` S records, every seventh with CR LF: large enough
// that it is read ahead on the stream's thread, through every block of the
// ring several times over.
std::string ManyRecords(int count) {
  std::string bytes;
  for (int i = 1; i <= count; ++i) bytes += Rec("record " + std::to_string(i), 'S', i) + (i % 7 == 0 ? "\r\n" : "\n");
  return bytes;
}

// The records a pass reads: each one's number and text, or the error that
// ended the pass.
std::vector<std::string> ReadAll(SourceStream* stream, SourceStream::Check check = SourceStream::Check::kNone) {
  testing::RecordingUi ui;
  RecordReader reader(stream, &ui);
  reader.Rewind(false, check);
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

TEST(SourceStreamTest, ReadingAheadThroughReusedBlocksGivesEveryRecordAsItStands) {
  const int count = 20000;  // about 1.6 MB
  const std::string bytes = ManyRecords(count);
  for (std::size_t chunk : {std::size_t{1} << 20, std::size_t{4093}}) {
    testing::StringInput file(bytes, chunk);
    SourceStream stream(&file, nullptr);
    for (int pass = 0; pass < 2; ++pass) {  // a second pass reads it all again
      const std::vector<std::string> seen = ReadAll(&stream);
      ASSERT_EQ(seen.size(), static_cast<std::size_t>(count) + 1) << "chunk " << chunk;
      for (int i : {1, 7, 3236, 3237, 12945, count}) {
        EXPECT_EQ(seen[i - 1], std::to_string(i) + ":" + Rec("record " + std::to_string(i), 'S', i));
      }
      EXPECT_EQ(seen.back(), std::to_string(count + 1) + ":");  // the empty end
    }
  }
}

TEST(SourceStreamTest, ReadErrorDeepInTheFileNamesTheRecordThatNeededTheBytes) {
  std::string bytes;
  for (int i = 1; i <= 20000; ++i) bytes += Rec("", 'S', i) + "\n";
  for (std::size_t failAt : {std::size_t{300000}, std::size_t{1048576}, std::size_t{81 * 15000}}) {
    testing::StringInput file(bytes, std::size_t{1} << 20, static_cast<std::int64_t>(failAt));
    SourceStream stream(&file, nullptr);
    EXPECT_EQ(ReadAll(&stream).back(), std::to_string(failAt / 81 + 1) +
                                           "行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。")
        << "fails at " << failAt;
  }
}

// What a verifying stream gives back of `again` after a checking pass over
// `checked`: the number of bytes it let through and whether it ended there
// (rather than failed).
struct ReadBack {
  std::uint64_t bytes = 0;
  bool ended = false;
};

ReadBack VerifyAgainst(const std::string& checked, const std::string& again) {
  BlockSums sums;
  testing::StringInput first(checked);
  SourceStream stream(&first, &sums);
  ReadAll(&stream, SourceStream::Check::kRecord);
  testing::StringInput second(again);
  stream.SwitchFile(&second);
  stream.Restart(0, SourceStream::Check::kVerify);
  ReadBack result;
  for (std::uint64_t at = 0;; at += 1000) {
    stream.Keep(at);
    const bool ok = stream.Ensure(at + 1000);
    if (!ok || stream.available() < at + 1000) {
      result.bytes = stream.available();
      result.ended = ok && stream.ended();
      return result;
    }
  }
}

TEST(SourceStreamTest, ReadingBackRefusesBytesThatDifferFromTheCheckedOnes) {
  const std::string bytes = ManyRecords(20000);
  const std::uint64_t size = bytes.size();
  constexpr std::uint64_t kSpan = BlockSums::kSumSpan;

  ReadBack same = VerifyAgainst(bytes, bytes);
  EXPECT_EQ(same.bytes, size);
  EXPECT_TRUE(same.ended);

  // A changed byte: everything before its 4 KB comes back, nothing after.
  for (std::uint64_t at : {std::uint64_t{0}, std::uint64_t{5000}, std::uint64_t{262143},
                           std::uint64_t{262144}, size - 1}) {
    std::string changed = bytes;
    changed[at] ^= 0x20;
    ReadBack back = VerifyAgainst(bytes, changed);
    EXPECT_EQ(back.bytes, at / kSpan * kSpan) << "changed at " << at;
    EXPECT_FALSE(back.ended);
  }
  // A file that shrank fails where it is short; one that grew gives what
  // was checked and ends there.
  ReadBack shrunk = VerifyAgainst(bytes, bytes.substr(0, 700000));
  EXPECT_EQ(shrunk.bytes, 700000 / kSpan * kSpan);
  EXPECT_FALSE(shrunk.ended);
  ReadBack grown = VerifyAgainst(bytes, bytes + "more");
  EXPECT_EQ(grown.bytes, size);
  EXPECT_TRUE(grown.ended);
  // What a Ctrl-Z ended is all that counts, in both readings.
  ReadBack marked = VerifyAgainst(bytes.substr(0, 100000) + "\x1a" + "rest", bytes.substr(0, 100000) + "\x1a");
  EXPECT_EQ(marked.bytes, 100000u);
  EXPECT_TRUE(marked.ended);
}

}  // namespace
}  // namespace notora
