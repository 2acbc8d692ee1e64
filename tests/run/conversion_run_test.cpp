#include "run/conversion_run.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/iges_builder.h"
#include "tests/support/recording_ui.h"
#include "tests/support/faulty_files.h"
#include "tests/support/test_platform.h"

namespace notora {
namespace {

using testing::Rec;

const std::string kError = "error: ";
const std::string kReport = "report: ";

const std::string kNoteAbc =
    "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";  // AB漢C

// A source file in a fresh directory, and what a run over it showed.
class ConversionRunTest : public ::testing::Test {
 protected:
  std::string Source(const std::string& bytes, const std::string& name = "drawing.igs") {
    const std::string path = dir_.File(name);
    testing::WriteFile(path, bytes);
    return path;
  }
  RunResult Run(const std::string& sourcePath, RunOptions options = Named("out")) {
    return RunConversion(options, sourcePath, ui_, SystemFileSystem());
  }
  RunResult RunWith(FileSystem& files, const std::string& sourcePath) {
    return RunConversion(Named("out"), sourcePath, ui_, files);
  }
  static RunOptions Named(const std::string& outputName) {
    RunOptions options;
    options.outputName = outputName;
    return options;
  }
  bool OutputExists() const { return std::filesystem::exists(dir_.File("out.igs")); }

  testing::TempDir dir_;
  testing::RecordingUi ui_;
};

std::string NoteFile() { return testing::IgesFile().Entity(212, kNoteAbc).Build(); }
std::string PlainFile() {
  return testing::IgesFile().Entity(110, "110,0.,0.,0.,1.,1.,1.;").Build();
}

TEST_F(ConversionRunTest, OptionsThatAskForNothingAreRefused) {
  RunOptions options = Named("out");
  options.conversionMode = ConversionMode::kNone;
  options.negativeWidthMode = NegativeWidthMode::kMinus;
  Run("", options);
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              kError + "変換する様に指示されていません。\n"
                                       "変換または文字幅ﾏｲﾅｽ時または縦書きを見直して下さい。"}));
  // Changing any one of the four, or writing text in another encoding than
  // it is read in, lets the run go on to the file checks.
  for (int change = 0; change < 5; ++change) {
    RunOptions changed = options;
    if (change == 0) changed.conversionMode = ConversionMode::kToJisCode;
    if (change == 1) changed.verticalToHorizontal = true;
    if (change == 2) changed.verticalValueOutput = VerticalValue::kAfter;
    if (change == 3) changed.negativeWidthMode = NegativeWidthMode::kPlus;
    if (change == 4) changed.outputEncoding = TextEncoding::kUtf8;
    testing::RecordingUi ui;
    RunConversion(changed, "", ui);
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{kError + "元ﾌｧｲﾙが選択されていません。\n　変換は出来ません。"}))
        << change;
  }
}

TEST_F(ConversionRunTest, FileChecksInTheirOrder) {
  Run(dir_.File("missing.igs"));
  Run(Source(NoteFile()), Named(""));
  testing::WriteFile(dir_.File("out.igs"), "kept");
  Run(Source(NoteFile()));
  // The source itself, named as the output.
  Run(Source(NoteFile(), "same.igs"), Named("same"));
  std::filesystem::create_directory(dir_.File("folder.igs"));
  Run(dir_.File("folder.igs"), Named("other"));
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{
                kError + "元ﾌｧｲﾙ名で選択したﾌｧｲﾙが有りません。\n　変換は出来ません。",
                kError + "変換後ﾌｧｲﾙ名が指定されていません。\n　変換は出来ません。",
                kError + "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。",
                kError + "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。",
                kError + "元ﾌｧｲﾙ名で選択したﾌｧｲﾙを開くのに失敗しました。\n　変換は出来ません。"}));
  EXPECT_EQ(testing::ReadFile(dir_.File("out.igs")), "kept");
}

TEST_F(ConversionRunTest, OutputPathIsBuiltBesideTheSource) {
  const PathStyle posix = PathStyle::kPosix;
  EXPECT_EQ(BuildOutputPath("/home/cad/drawing.igs", "out", posix), "/home/cad/out.igs");
  EXPECT_EQ(BuildOutputPath("/home/cad/drawing.igs", "out.igs", posix), "/home/cad/out.igs.igs");
  EXPECT_EQ(BuildOutputPath("/drawing.igs", "out", posix), "/out.igs");
  EXPECT_EQ(BuildOutputPath("a/drawing.igs", "out", posix), "/out.igs");
  EXPECT_EQ(BuildOutputPath("ab/drawing.igs", "out", posix), "ab/out.igs");
  EXPECT_EQ(BuildOutputPath("drawing.igs", "out", posix), "/out.igs");
  // A backslash is part of a POSIX name.
  EXPECT_EQ(BuildOutputPath("/home/cad\\x\\drawing.igs", "out", posix), "/home/out.igs");
  EXPECT_EQ(BuildOutputPath("/home/cad/drawing.igs", "out"), "/home/cad/out.igs");
}

TEST_F(ConversionRunTest, WindowsOutputPathKeepsTheDriveOrShareAsItsFolder) {
  const PathStyle windows = PathStyle::kWindows;
  EXPECT_EQ(BuildOutputPath("C:\\d\\a.igs", "NAME", windows), "C:\\d\\NAME.igs");
  EXPECT_EQ(BuildOutputPath("C:\\a.igs", "NAME", windows), "C:\\NAME.igs");
  EXPECT_EQ(BuildOutputPath("\\\\server\\share\\a.igs", "NAME", windows),
            "\\\\server\\share\\NAME.igs");
  EXPECT_EQ(BuildOutputPath("\\\\server\\share\\d\\a.igs", "NAME", windows),
            "\\\\server\\share\\d\\NAME.igs");
  // "/" separates as well; the separator found is the one kept.
  EXPECT_EQ(BuildOutputPath("C:/d/e/a.igs", "NAME", windows), "C:/d/e/NAME.igs");
  EXPECT_EQ(BuildOutputPath("C:\\d/a.igs", "NAME", windows), "C:\\d/NAME.igs");
  EXPECT_EQ(BuildOutputPath("C:/d\\a.igs", "NAME", windows), "C:/d\\NAME.igs");
  // Japanese names pass through as the bytes they are.
  EXPECT_EQ(BuildOutputPath("C:\\図面\\部品.igs", "変換後", windows), "C:\\図面\\変換後.igs");
  // The last separator at index 0 or 1 leaves no folder, as on POSIX.
  EXPECT_EQ(BuildOutputPath("\\a.igs", "NAME", windows), "\\NAME.igs");
  EXPECT_EQ(BuildOutputPath("a.igs", "NAME", windows), "\\NAME.igs");
}

TEST_F(ConversionRunTest, SuccessfulRunShowsTheReportByteForByte) {
  RunResult result = Run(Source(NoteFile()));
  EXPECT_EQ(result.outcome, RunOutcome::kWritten);
  EXPECT_EQ(ui_.events, (std::vector<std::string>{
                            "cursor on",
                            kReport + "漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\n"
                                      "変換前JISｺｰﾄﾞ要素数 0\n"
                                      "変換前縦書き要素数 0\n"
                                      "変換前文字幅ﾏｲﾅｽ要素数 0\n"
                                      "変換不可文字数 0\n"
                                      "変換したﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\n"
                                      "IGESﾌｧｲﾙを作成しました。",
                            "cursor off"}));
  EXPECT_TRUE(OutputExists());
  // A second run with the same name stops at the existence check.
  Run(dir_.File("drawing.igs"));
  EXPECT_EQ(ui_.messages.back(), kError + "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。");
}

TEST_F(ConversionRunTest, NothingToConvertWritesNoFile) {
  RunResult result = Run(Source(PlainFile()));
  EXPECT_EQ(result.outcome, RunOutcome::kNothingConverted);
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              kReport + "漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 0\n"
                                        "変換前JISｺｰﾄﾞ要素数 0\n"
                                        "変換前縦書き要素数 0\n"
                                        "変換前文字幅ﾏｲﾅｽ要素数 0\n"
                                        "変換不可文字数 0\n"
                                        "変換出来るﾃﾞｰﾀが有りませんでした。変換後ﾌｧｲﾙは作成していません。"}));
  EXPECT_FALSE(OutputExists());
}

TEST_F(ConversionRunTest, FaultInTheFileEndsTheRunWithOneMessageAndNoFile) {
  std::string bytes = NoteFile();
  bytes.insert(bytes.size() - 81, Rec("", 'X', 2) + "\n");
  RunResult result = Run(Source(bytes));
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_EQ(ui_.events, (std::vector<std::string>{
                            "cursor on", kError + "7行目の73文字目が S,G,D,P,T 以外です。\n　変換は出来ません。",
                            "cursor off"}));
  EXPECT_FALSE(OutputExists());
}

TEST_F(ConversionRunTest, EscapeAtTheFirstRecordCancels) {
  ui_.cancelAtPoll = 1;
  Run(Source(NoteFile()));
  EXPECT_EQ(ui_.messages,
            (std::vector<std::string>{kError + "ESCｷｰにより処理を中止します。　変換は出来ません。"}));
  EXPECT_FALSE(OutputExists());
}

// A source large enough to be read ahead on a thread of its own: Escape at
// the first poll and within the sweep ends the run with its message, no
// file and nothing beside the source, the thread stopped with it. (The
// polls while the finished output is flushed depend on the disk's speed,
// so the count is taken from the sweep's share.)
TEST_F(ConversionRunTest, EscapeWhileTheSourceIsReadAheadCancels) {
  testing::IgesFile file;
  for (int i = 0; i < 12000; ++i) {
    file.Entity(126, "126," + std::string(300, '7') + ";");
    if (i % 100 == 0) file.Entity(212, kNoteAbc);
  }
  const std::string bytes = file.Build();
  ASSERT_GT(bytes.size(), 4u << 20);
  const std::string path = Source(bytes);
  testing::RecordingUi counting;
  ASSERT_EQ(RunConversion(Named("out"), path, counting).outcome, RunOutcome::kWritten);
  std::filesystem::remove(dir_.File("out.igs"));
  const int polls = counting.polls;
  ASSERT_GT(polls, 100);
  for (int poll : {1, polls / 3, 2 * polls / 3}) {
    SCOPED_TRACE("Escape at poll " + std::to_string(poll) + " of " + std::to_string(polls));
    testing::RecordingUi ui;
    ui.cancelAtPoll = poll;
    EXPECT_EQ(RunConversion(Named("out"), path, ui).outcome, RunOutcome::kFailed);
    EXPECT_EQ(ui.messages,
              (std::vector<std::string>{kError + "ESCｷｰにより処理を中止します。　変換は出来ません。"}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()),
                            std::filesystem::directory_iterator()),
              1);
  }
}

TEST_F(ConversionRunTest, ReadErrorsBeforeAndAfterTheFirstParameterRecord) {
  const std::string bytes = NoteFile();
  const std::string path = Source(bytes);
  // Before the first P record (record 2), and past it (record 7 of 8), where
  // the output has begun.
  for (auto [after, record] : {std::pair{100, 2}, std::pair{81 * 6 + 10, 7}}) {
    testing::FaultPlan plan;
    plan.failReadAfter = after;
    testing::FaultyFiles files(plan);
    testing::RecordingUi ui;
    RunResult result = RunConversion(Named("out"), path, ui, files);
    EXPECT_EQ(result.outcome, RunOutcome::kFailed);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kError + std::to_string(record) +
                                                     "行目でﾌｧｲﾙの読込みでｴﾗｰが発生しました。\n　変換は出来ません。"}));
    EXPECT_FALSE(OutputExists());
  }
}

TEST_F(ConversionRunTest, FailingCloseOfTheSource) {
  testing::FaultPlan plan;
  plan.failSourceClose = true;
  testing::FaultyFiles files(plan);
  // After a clean read: the close is a step of its own.
  RunWith(files, Source(NoteFile()));
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              kError + "元ﾌｧｲﾙ名で選択したﾌｧｲﾙを閉じるのに失敗しました。\n　変換は出来ません。"}));
  EXPECT_FALSE(OutputExists());
  // After an error: a second, one-line message.
  ui_.messages.clear();
  RunWith(files, Source("x\n", "broken.igs"));
  EXPECT_EQ(ui_.messages, (std::vector<std::string>{
                              kError + "1行目の文字数が80未満です。\n　変換は出来ません。",
                              kError + "元ﾌｧｲﾙ名で選択したﾌｧｲﾙを閉じるのに失敗しました。"}));
}

// A full disk still says that the IGES file is not complete; nothing of it
// is left, under its name or beside it.
TEST_F(ConversionRunTest, OutputErrorsLeaveNoFile) {
  testing::FaultPlan plan;
  plan.failWriteAfter = 200;
  testing::FaultyFiles files(plan);
  const std::string source = Source(NoteFile());
  RunResult result = RunWith(files, source);
  EXPECT_EQ(result.outcome, RunOutcome::kFailed);
  EXPECT_EQ(ui_.events, (std::vector<std::string>{
                            "cursor on",
                            kError + "ﾌｧｲﾙの書込みでｴﾗｰが発生しました。\n　IGESﾌｧｲﾙは完成していません。",
                            "cursor off"}));
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename(), std::filesystem::path(source).filename());
  }
}

TEST_F(ConversionRunTest, OutputFolderWithoutWritePermission) {
  if (testing::HowToProtectFolders() != testing::FolderProtection::kPermissions) {
    // root (and anyone on Windows) writes anywhere; a file standing where
    // the folder should be makes the creation fail the same way.
    const std::string source = Source(NoteFile());
    RunOptions options = Named("sub/out");
    testing::WriteFile(dir_.File("sub"), "not a folder");
    Run(source, options);
  } else {
    std::filesystem::create_directory(dir_.File("ro"));
    const std::string source = Source(NoteFile(), "ro/drawing.igs");
    std::filesystem::permissions(dir_.File("ro"), std::filesystem::perms::owner_read |
                                                      std::filesystem::perms::owner_exec);
    Run(source);
    std::filesystem::permissions(dir_.File("ro"), std::filesystem::perms::owner_all);
  }
  EXPECT_EQ(ui_.messages.back(),
            kError + "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙを開くのに失敗しました。\n　変換は出来ません。");
}

TEST_F(ConversionRunTest, ProgressEveryHundredRecordsOfTheSweep) {
  testing::IgesFile file;
  for (int i = 0; i < 120; ++i) file.Entity(116, "116,0.,0.,0.;");
  file.Entity(212, kNoteAbc);
  Run(Source(file.Build()));
  // The source's 368 records, read once.
  EXPECT_EQ(ui_.progress, (std::vector<std::int32_t>{100, 200, 300}));
}

}  // namespace
}  // namespace notora
