#include "iges/record_reader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "iges/source_stream.h"
#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"

namespace notora {
namespace {

using testing::Rec;

// Reads every record of `bytes`, as a pass does, and describes each one:
// its length and letter, or the error that ended the pass.
std::vector<std::string> ReadAll(const std::string& bytes, std::size_t chunk = 1 << 20,
                                 std::int64_t failAfter = -1) {
  testing::StringInput sourceFile(bytes, chunk, failAfter);
  SourceStream source(&sourceFile);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui);
  std::vector<std::string> seen;
  Record record;
  while (!reader.atEnd()) {
    Status status = reader.Next(&record);
    if (!status.ok()) {
      seen.push_back(status.message());
      break;
    }
    seen.push_back(std::to_string(record.text.size()) + std::string(1, record.letter ? record.letter : '0'));
  }
  return seen;
}

const std::string kS1 = Rec("start", 'S', 1);
const std::string kG1 = Rec("1H,,1H;;", 'G', 1);

TEST(RecordReaderTest, RecordsOfEightyCharactersWithAndWithoutFinalLineFeed) {
  // The end of the file after the final line feed is one more record of no
  // characters, with the letter of the record before it.
  EXPECT_EQ(ReadAll(kS1 + "\n" + kG1 + "\n"), (std::vector<std::string>{"80S", "80G", "0G"}));
  EXPECT_EQ(ReadAll(kS1 + "\n" + kG1), (std::vector<std::string>{"80S", "80G"}));
}

TEST(RecordReaderTest, LengthChecksQuoteTheRecordNumber) {
  EXPECT_EQ(ReadAll(kS1 + "\n" + kS1.substr(0, 79) + "\n").back(),
            "2行目の文字数が80未満です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(kS1 + "\n" + kS1 + "x\n").back(),
            "2行目の文字数が81以上です。\n　変換は出来ません。");
  // More text on the same line is still "81 or more".
  EXPECT_EQ(ReadAll(kS1 + std::string(300, 'x') + "\n").back(),
            "1行目の文字数が81以上です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(kS1 + "x").back(), "1行目の文字数が81以上です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll("x").back(), "1行目の文字数が80未満です。\n　変換は出来ません。");
}

TEST(RecordReaderTest, CarriageReturnBeforeLineFeedIsAbsorbed) {
  EXPECT_EQ(ReadAll(kS1 + "\r\n" + kG1 + "\r\n"), (std::vector<std::string>{"80S", "80G", "0G"}));
  // A CR elsewhere is a character of the record.
  EXPECT_EQ(ReadAll(kS1 + "\r\r\n").back(), "1行目の文字数が81以上です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(kS1.substr(0, 79) + "\r\n").back(),
            "1行目の文字数が80未満です。\n　変換は出来ません。");
  // The same with records after them, whose bytes are already at hand when
  // the first is read; a CR in column 80 before CR LF is a character.
  const std::string more = kG1 + "\n" + kG1 + "\n";
  EXPECT_EQ(ReadAll(kS1 + "\r\r\n" + more).back(), "1行目の文字数が81以上です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(kS1.substr(0, 79) + "\r\n" + more).back(),
            "1行目の文字数が80未満です。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(kS1.substr(0, 79) + "\r\r\n" + more),
            (std::vector<std::string>{"80S", "80G", "80G", "0G"}));
  EXPECT_EQ(ReadAll(kS1 + "\n" + kS1.substr(0, 40) + "\n" + std::string(39, 'x') + "\n" + more)[1],
            "2行目の文字数が80未満です。\n　変換は出来ません。");
}

TEST(RecordReaderTest, CtrlZEndsTheFile) {
  EXPECT_EQ(ReadAll(kS1 + "\n" + kG1 + "\n\x1a" + "garbage that is never read"),
            (std::vector<std::string>{"80S", "80G", "0G"}));
  EXPECT_EQ(ReadAll(kS1 + "\n" + kG1.substr(0, 10) + "\x1a" + kG1.substr(10)).back(),
            "2行目の文字数が80未満です。\n　変換は出来ません。");
}

TEST(RecordReaderTest, EmptyRecordKeepsThePreviousRecordInTheLineBuffer) {
  testing::StringInput sourceFile(kS1 + "\n\n", 1 << 20, -1);
  SourceStream source(&sourceFile);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui);
  Record record;
  ASSERT_TRUE(reader.Next(&record).ok());
  ASSERT_TRUE(reader.Next(&record).ok());
  EXPECT_EQ(record.text.size(), 0u);
  EXPECT_EQ(record.letter, 'S');
  EXPECT_EQ(record.column(1), '\0');
  EXPECT_EQ(record.columnRange(2, 5), "tart");
  EXPECT_EQ(record.number, 2);
}

TEST(RecordReaderTest, BlockBoundariesDoNotChangeTheRecords) {
  const std::string file = kS1 + "\r\n" + kG1 + "\n" + kG1 + "\r\n";
  for (std::size_t chunk : {1u, 2u, 7u, 79u, 80u, 81u, 82u, 83u}) {
    EXPECT_EQ(ReadAll(file, chunk), (std::vector<std::string>{"80S", "80G", "80G", "0G"}))
        << "chunk " << chunk;
  }
}

TEST(RecordReaderTest, ReadErrorNamesTheRecordBeingRead) {
  const std::string file = kS1 + "\n" + kG1 + "\n" + kG1 + "\n";
  EXPECT_EQ(ReadAll(file, 1 << 20, 81 + 40).back(),
            "2行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。");
  // An error just after a complete record surfaces at the next one.
  EXPECT_EQ(ReadAll(file, 1 << 20, 81).back(),
            "2行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。");
  EXPECT_EQ(ReadAll(file, 5, 0).back(),
            "1行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。");
}

TEST(RecordReaderTest, PollsOncePerRecordAndShowsProgressEveryHundred) {
  std::string file;
  for (int i = 1; i <= 250; ++i) file += Rec("", 'S', i) + "\n";
  testing::StringInput sourceFile(file, 1 << 20, -1);
  SourceStream source(&sourceFile);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui);
  Record record;
  while (!reader.atEnd()) ASSERT_TRUE(reader.Next(&record).ok());
  EXPECT_EQ(ui.polls, 251);
  EXPECT_EQ(ui.progress, (std::vector<std::int32_t>{100, 200}));

  // A cancel pending at the first record ends the reading there; a record that
  // fails its length check is reported before any poll.
  testing::StringInput againFile(file, 1 << 20, -1);
  SourceStream again(&againFile);
  testing::RecordingUi cancelling;
  cancelling.cancelAtPoll = 1;
  RecordReader first(&again, &cancelling);
  EXPECT_EQ(first.Next(&record).message(), "ESCｷｰにより処理を中止します。　変換は出来ません。");
}

TEST(RecordReaderTest, JapaneseBytesAreNoticed) {
  testing::StringInput sourceFile(
      Rec("plain", 'S', 1) + "\n" + Rec("\x8a\xbf", 'S', 2) + "\n" + Rec("\xb1", 'S', 3) +
          "\n" + Rec("\x80\xa0\xfd", 'S', 4) + "\n",
      1 << 20, -1);
  SourceStream source(&sourceFile);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui, /*watchJapaneseBytes=*/true);
  Record record;
  std::vector<bool> seen;
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(reader.Next(&record).ok());
    seen.push_back(record.hasJapaneseByte);
  }
  EXPECT_EQ(seen, (std::vector<bool>{false, true, true, false}));
}

}  // namespace
}  // namespace notora
