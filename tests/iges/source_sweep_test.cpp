#include "iges/source_sweep.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/iges_builder.h"
#include "tests/support/iges_reading.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"

namespace notora {
namespace {

using testing::DRecs;
using testing::Lines;
using testing::PRec;
using testing::Rec;

// Records the General Notes it is handed and leaves them unchanged.
class NoteRecorder : public EntityHandler {
 public:
  Status HandleGeneralNote(const ParameterEntity& note, RebuiltNote* rebuilt) override {
    notes.push_back(note);
    texts.emplace_back(note.parameterText);
    rebuilt->changed = false;
    return Status::Ok();
  }
  std::vector<ParameterEntity> notes;
  std::vector<std::string> texts;
};

// Keeps the text of every entity as it completes.
class TextRecorder : public EntityOutput {
 public:
  void Begin(const SectionScan&, const DirectoryTable*, std::int32_t) override {}
  EntityRoute Route(std::int32_t) const override { return EntityRoute::kHold; }
  void StreamLine(const char*) override {}
  void EntityStreamed(std::int32_t) override {}
  void EntityText(std::int32_t k, std::string_view text, std::int32_t) override {
    texts[k] = std::string(text);
  }
  void RecordsPassed(std::int32_t) override {}
  std::map<std::int32_t, std::string> texts;
};

struct PassOutcome {
  Status status = Status::Ok();
  RunCounters counters;
  NoteRecorder notes;
  std::vector<std::string> entityTexts;  // text of entries 1..n
  std::vector<std::int32_t> entityTypes;
};

PassOutcome RunPasses(const std::string& bytes) {
  PassOutcome outcome;
  testing::StringInput file(bytes);
  SourceStream source(&file);
  testing::RecordingUi ui;
  RecordReader reader(&source, &ui, /*watchJapaneseBytes=*/true);
  SourceSweep sweep(&reader, &outcome.counters);
  outcome.status = sweep.ReadHead();
  if (!outcome.status.ok()) return outcome;
  TextRecorder texts;
  outcome.status = sweep.ReadEntities(&outcome.notes, &texts);
  const DirectoryTable& table = *sweep.table();
  for (std::int32_t k = 1; k <= table.entityCount(); ++k) {
    outcome.entityTexts.push_back(texts.texts[k]);
    outcome.entityTypes.push_back(table.entry(k).entityType);
  }
  return outcome;
}

const std::string kHead = Lines({Rec("s", 'S', 1), Rec("1H,,1H;;", 'G', 1)});
const std::string kTail = Rec("S      1G      1", 'T', 1) + "\n";

std::string OneEntity(const std::string& d, const std::vector<std::string>& p) {
  return kHead + d + "\n" + Lines(p) + kTail;
}

std::string Message(const std::string& bytes) { return RunPasses(bytes).status.message(); }

TEST(DirectorySectionTest, SequenceNumbersMustRunFromOne) {
  std::string pair = DRecs(110, 1, 1, 1);
  std::string first = pair.substr(0, 80);
  std::string second = pair.substr(81);
  const std::string p = PRec("110,0,0,0,1,1,1;", 1, 1);
  // A gap: record 2 numbered 3 quotes 2, the number expected.
  EXPECT_EQ(Message(OneEntity(first + "\n" + second.substr(0, 73) + "      3", {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ2行目のﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝの番号が昇順ではありません。\n変換は出来ません。");
  // Blank reads as 0, which is not 1.
  EXPECT_EQ(Message(OneEntity(first.substr(0, 73) + "       \n" + second, {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝの番号が昇順ではありません。\n変換は出来ません。");
  // Leading zeros and digits anywhere among blanks are fine.
  EXPECT_TRUE(RunPasses(OneEntity(first.substr(0, 73) + "0000001\n" + second.substr(0, 73) + " 2     ", {p}))
                  .status.ok());
  EXPECT_EQ(Message(OneEntity(first.substr(0, 73) + "     1a\n" + second, {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝの番号を数値として取得出来ません。\n変換は出来ません。");
}

TEST(DirectorySectionTest, FieldChecksQuoteTheRecordWithinTheSection) {
  const std::string p = PRec("110,0,0,0,1,1,1;", 1, 1);
  auto withFirst = [&](std::string columns1to16) {
    std::string pair = DRecs(110, 1, 1, 1);
    return OneEntity(columns1to16 + pair.substr(16), {p});
  };
  EXPECT_EQ(Message(withFirst("     11a       1")),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ1行目の要素ﾀｲﾌﾟを数値として取得出来ません。\n変換は出来ません。");
  EXPECT_EQ(Message(withFirst("     110      -1")),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ1行目のﾊﾟﾗﾒｰﾀ番号を数値として取得出来ません。\n変換は出来ません。");
  std::string pair = DRecs(110, 1, 1, 1);
  EXPECT_EQ(Message(OneEntity(pair.substr(0, 81) + "     212" + pair.substr(89), {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ2行目の要素ﾀｲﾌﾟと前行の要素ﾀｲﾌﾟが一致しません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(pair.substr(0, 81 + 24) + "      +1" + pair.substr(81 + 32), {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ2行目のﾊﾟﾗﾒｰﾀ使用行数を数値として取得出来ません。\n変換は出来ません。");
  // The second record's type is the same number however it is written, and
  // read afresh whenever its columns differ from the first record's.
  EXPECT_TRUE(RunPasses(OneEntity(pair.substr(0, 81) + "00000110" + pair.substr(89), {p})).status.ok());
  EXPECT_EQ(Message(OneEntity(pair.substr(0, 81) + "    1 0a" + pair.substr(89), {p})),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ2行目の要素ﾀｲﾌﾟを数値として取得出来ません。\n変換は出来ません。");
}

TEST(DirectorySectionTest, DirectoryRecordAfterTheParameterSection) {
  const std::string bytes = kHead + DRecs(110, 1, 1, 1) + "\n" +
                            Lines({PRec("110,0,0,0,1,1,1;", 1, 1), Rec("", 'D', 3)}) + kTail;
  EXPECT_EQ(Message(bytes), "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ3行目はﾊﾟﾗﾒｰﾀｾｸｼｮﾝの後です。\n変換は出来ません。");
}

TEST(DirectorySectionTest, CopiedFieldsAndBlankTypesPassAsTheyStand) {
  // Blank entity types read as 0 in both records.
  std::string pair = DRecs(0, 1, 1, 1);
  pair.replace(0, 8, "        ");
  pair.replace(81, 8, "        ");
  PassOutcome outcome = RunPasses(OneEntity(pair, {PRec("000,1;", 1, 1)}));
  ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
  EXPECT_EQ(outcome.entityTypes, (std::vector<std::int32_t>{0}));
}

TEST(ParameterSectionTest, ChecksInTheirOrder) {
  const std::string d = DRecs(110, 1, 1, 1);
  // Column 65 is looked at before the sequence number.
  std::string p = PRec("110,0,0,0,1,1,1;", 1, 9);
  p[64] = 'x';
  EXPECT_EQ(Message(OneEntity(d, {p})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の65文字目がｽﾍﾟｰｽではありません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 1, 2)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾊﾟﾗﾒｰﾀｾｸｼｮﾝの番号が昇順ではありません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 1, 1).substr(0, 73) + "      x"})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾊﾟﾗﾒｰﾀｾｸｼｮﾝの番号を数値として取得出来ません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 1, 1).replace(70, 1, "?")})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘ番号を数値として取得出来ません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 2, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘ番号が偶数になっています。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 0, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘ番号が偶数になっています。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110,0,0,0,1,1,1;", 3, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目のﾃﾞｨﾚｸﾄﾘ番号がﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ行数の範囲外です。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec("110;0,0,0,1,1,1;", 1, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の4文字目が区切り文字 , では有りません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(d, {PRec(" 10,0,0,0,1,1,1;", 1, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の要素ﾀｲﾌﾟを数値として取得出来ません。\n変換は出来ません。");
  EXPECT_EQ(Message(OneEntity(DRecs(212, 1, 1, 1), {PRec("213,1;", 1, 1)})),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の要素ﾀｲﾌﾟとﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝの要素ﾀｲﾌﾟが一致しません。\n変換は出来ません。");
}

TEST(ParameterSectionTest, SequenceGapQuotesTheExpectedNumber) {
  const std::string bytes = kHead + DRecs(110, 1, 3, 1) + "\n" +
                            Lines({PRec("110,", 1, 1), PRec("0,", 1, 2), PRec("1;", 1, 4)}) + kTail;
  EXPECT_EQ(Message(bytes),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目のﾊﾟﾗﾒｰﾀｾｸｼｮﾝの番号が昇順ではありません。\n変換は出来ません。");
}

TEST(ParameterSectionTest, EntityEndingShortQuotesItsFirstDirectoryRecord) {
  const std::string bytes = kHead + DRecs(110, 1, 2, 1) + "\n" + DRecs(110, 2, 1, 3) + "\n" +
                            Lines({PRec("110,0,", 1, 1), PRec("110,1;", 3, 2)}) + kTail;
  EXPECT_EQ(Message(bytes),
            "ﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝ1行目のﾊﾟﾗﾒｰﾀ使用行数がﾊﾟﾗﾒｰﾀｾｸｼｮﾝの使用行数を超過しています。\n"
            "変換は出来ません。");
}

TEST(ParameterSectionTest, SurplusRecordFailsTheRangeCheck) {
  const std::string bytes = kHead + DRecs(110, 1, 1, 1) + "\n" +
                            Lines({PRec("110,0;", 1, 1), PRec("more", 1, 2)}) + kTail;
  EXPECT_EQ(Message(bytes),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ2行目のﾃﾞｨﾚｸﾄﾘ番号とﾃﾞｨﾚｸﾄﾘｾｸｼｮﾝのﾊﾟﾗﾒｰﾀ番号が一致しません。\n"
            "変換は出来ません。");
}

TEST(ParameterSectionTest, EveryRecordsPointerIsReadWhateverItsColumnsLookLike) {
  // The same pointer written another way, then a pointer that cannot be read
  // after records whose pointer columns were the same.
  const std::string d = DRecs(110, 1, 3, 1);
  std::string second = PRec("0,", 1, 2);
  second.replace(65, 7, "0000001");
  EXPECT_TRUE(RunPasses(kHead + d + "\n" + Lines({PRec("110,", 1, 1), second, PRec("1;", 1, 3)}) + kTail)
                  .status.ok());
  std::string third = PRec("1;", 1, 3);
  third.replace(65, 7, "     1-");
  EXPECT_EQ(Message(kHead + d + "\n" + Lines({PRec("110,", 1, 1), PRec("0,", 1, 2), third}) + kTail),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ3行目のﾃﾞｨﾚｸﾄﾘ番号を数値として取得出来ません。\n変換は出来ません。");
}

TEST(ParameterSectionTest, DelimiterInMessageNineIsTheFilesOwn) {
  const std::string bytes = Lines({Rec("s", 'S', 1), Rec("1H\xb1,1H;;", 'G', 1)}) +
                            DRecs(110, 1, 1, 1) + "\n" + Lines({PRec("110,1;", 1, 1)}) + kTail;
  EXPECT_EQ(Message(bytes),
            "ﾊﾟﾗﾒｰﾀｾｸｼｮﾝ1行目の4文字目が区切り文字 ｱ では有りません。\n変換は出来ません。");
}

TEST(ParameterSectionTest, AssemblesTextsAndHandsOverGeneralNotes) {
  const std::string line1 = "110,0.,0.,0.,";
  const std::string line2 = "1.,1.,1.;";
  // Entities stand in the P section in another order than in the D section,
  // and a T record stands between the records of one entity.
  const std::string bytes =
      kHead + DRecs(212, 3, 1, 1) + "\n" + DRecs(110, 1, 2, 3) + "\n" +
      Lines({PRec(line1, 3, 1), Rec("interleaved", 'T', 9), PRec(line2, 3, 2),
             PRec("212,1,2,1.,1.,1,0.,0.,0,0,0.,0.,0.,2H\x8a\xbf;", 1, 3)}) +
      kTail;
  PassOutcome outcome = RunPasses(bytes);
  ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
  ASSERT_EQ(outcome.entityTexts.size(), 2u);
  EXPECT_EQ(outcome.entityTexts[1], testing::PadTo64(line1) + testing::PadTo64(line2));
  EXPECT_EQ(outcome.entityTexts[0], testing::PadTo64("212,1,2,1.,1.,1,0.,0.,0,0,0.,0.,0.,2H\x8a\xbf;"));
  ASSERT_EQ(outcome.notes.notes.size(), 1u);
  EXPECT_EQ(outcome.notes.notes[0].entryIndex, 1);
  EXPECT_EQ(outcome.notes.notes[0].parameterLineCount, 1);
  EXPECT_EQ(outcome.notes.notes[0].lastRecordNumber, 3);
  EXPECT_EQ(outcome.notes.texts[0], outcome.entityTexts[0]);
  EXPECT_EQ(outcome.counters.parameterRecords, 3);
  EXPECT_EQ(outcome.counters.kanjiEntities, 1);
}

TEST(ParameterSectionTest, JapaneseBytesCountOncePerEntityOfAnyType) {
  const std::string bytes = kHead + DRecs(110, 1, 2, 1) + "\n" + DRecs(406, 3, 1, 3) + "\n" +
                            Lines({PRec("110,\x8a\xbf", 1, 1), PRec("\xb1;", 1, 2),
                                   PRec("406,1;", 3, 3)}) +
                            kTail;
  PassOutcome outcome = RunPasses(bytes);
  ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
  EXPECT_EQ(outcome.counters.kanjiEntities, 1);
  EXPECT_EQ(outcome.entityTexts[0], testing::PadTo64("110,\x8a\xbf") + testing::PadTo64("\xb1;"));
  EXPECT_TRUE(outcome.notes.notes.empty());
  EXPECT_EQ(RunPasses(OneEntity(DRecs(110, 1, 1, 1), {PRec("110,1;", 1, 1)})).counters.kanjiEntities, 0);
}

TEST(ParameterSectionTest, MissingLastRecordRaisesNothingHere) {
  const std::string bytes = kHead + DRecs(110, 1, 2, 1) + "\n" + Lines({PRec("110,0,", 1, 1)}) + kTail;
  PassOutcome outcome = RunPasses(bytes);
  ASSERT_TRUE(outcome.status.ok()) << outcome.status.message();
  EXPECT_EQ(outcome.entityTexts[0], "");
}

TEST(SecondPassTest, UnknownLetterQuotesTheRecordsNumberInTheFile) {
  const std::string bytes = kHead + DRecs(110, 1, 1, 1) + "\n" +
                            Lines({PRec("110,1;", 1, 1), Rec("", 'X', 2)}) + kTail;
  EXPECT_EQ(Message(bytes), "6行目の73文字目が S,G,D,P,T 以外です。\n　変換は出来ません。");
}

}  // namespace
}  // namespace notora
