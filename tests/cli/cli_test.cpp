// notora-cli as its callers see it: exit status, standard output and
// standard error, and the files it leaves.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/version.h"
#include "tests/cli/cli_runner.h"
#include "tests/support/iges_builder.h"

namespace notora {
namespace {

using testing::CliRun;
using testing::CliTest;

const std::string kNote = "212,1,5,5.,2.,1,0.,0.,0,0,0.,0.,0.,5HAB\x8a\xbf" "C;";
const std::string kReportHead =
    "漢字を含むﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\n変換前JISｺｰﾄﾞ要素数 0\n変換前縦書き要素数 0\n"
    "変換前文字幅ﾏｲﾅｽ要素数 0\n変換不可文字数 0\n";

TEST_F(CliTest, ConvertWritesBesideTheSourceAndReportsOnStandardOutput) {
  testing::WriteFile(dir_.File("drawing.igs"), testing::IgesFile().Entity(212, kNote).Build());
  CliRun run = Cli({"convert", "drawing.igs", "converted"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, kReportHead + "変換したﾊﾟﾗﾒｰﾀｾｸｼｮﾝ数 1\nIGESﾌｧｲﾙを作成しました。\n");
  EXPECT_EQ(run.err, "");
  const std::string output = testing::ReadFile(dir_.File("converted.igs"));
  EXPECT_NE(output.find("4H3441"), std::string::npos);  // 漢 in JIS code

  // Never over an existing file: exit 2, message on standard error.
  run = Cli({"convert", "drawing.igs", "converted"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "変換後ﾌｧｲﾙ名で指定したﾌｧｲﾙが有ります。\n　変換は出来ません。\n");
  EXPECT_EQ(testing::ReadFile(dir_.File("converted.igs")), output);
}

TEST_F(CliTest, NothingToConvertExitsOne) {
  testing::WriteFile(dir_.File("plain.igs"),
                     testing::IgesFile().Entity(110, "110,0.,0.,0.,1.,1.,1.;").Build());
  CliRun run = Cli({"convert", "plain.igs", "x"});
  EXPECT_EQ(run.exitStatus, 1);
  EXPECT_NE(run.out.find("変換出来るﾃﾞｰﾀが有りませんでした。変換後ﾌｧｲﾙは作成していません。\n"),
            std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_.File("x.igs")));
}

TEST_F(CliTest, OptionsReachTheRun) {
  testing::WriteFile(dir_.File("jis.igs"),
                     testing::IgesFile().Entity(212, "212,1,4,2.,2.,2001,0.,0.,0,0,0.,0.,0.,4HFFFF;").Build());
  CliRun run = Cli({"convert", "--mode", "fullwidth", "--fullwidth-fallback", "quote", "jis.igs", "q"});
  EXPECT_EQ(run.exitStatus, 0) << run.err;
  EXPECT_NE(testing::ReadFile(dir_.File("q.igs")).find("2H\xfa\x57"), std::string::npos);

  run = Cli({"convert", "-m", "none", "--negative-width", "minus", "jis.igs", "r"});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err,
            "変換する様に指示されていません。\n変換または文字幅ﾏｲﾅｽ時または縦書きを見直して下さい。\n");
}

TEST_F(CliTest, EmptyNamesReachTheRunsOwnChecks) {
  EXPECT_EQ(Cli({"convert", "", "x"}).err, "元ﾌｧｲﾙが選択されていません。\n　変換は出来ません。\n");
  testing::WriteFile(dir_.File("a.igs"), "x");
  CliRun run = Cli({"convert", "a.igs", ""});
  EXPECT_EQ(run.exitStatus, 2);
  EXPECT_EQ(run.err, "変換後ﾌｧｲﾙ名が指定されていません。\n　変換は出来ません。\n");
  std::filesystem::create_directory(dir_.File("folder"));
  EXPECT_EQ(Cli({"convert", "folder", "x"}).err,
            "元ﾌｧｲﾙ名で選択したﾌｧｲﾙを開くのに失敗しました。\n　変換は出来ません。\n");
  EXPECT_EQ(Cli({"convert", "missing.igs", "x"}).err,
            "元ﾌｧｲﾙ名で選択したﾌｧｲﾙが有りません。\n　変換は出来ません。\n");
}

TEST_F(CliTest, UsageErrorsExitSixtyFourAndHelpExitsZero) {
  EXPECT_EQ(Cli({}).exitStatus, 64);
  EXPECT_EQ(Cli({"convert", "only-one"}).exitStatus, 64);
  EXPECT_EQ(Cli({"convert", "--mode", "sideways", "a", "b"}).exitStatus, 64);
  EXPECT_EQ(Cli({"frobnicate"}).exitStatus, 64);
  CliRun help = Cli({"convert", "--help"});
  EXPECT_EQ(help.exitStatus, 0) << help.err;
  EXPECT_NE(help.out.find("--vertical-to-horizontal"), std::string::npos);
  EXPECT_NE(help.out.find("OUTPUT_NAME"), std::string::npos);
}

TEST_F(CliTest, VersionIsTheProjectsAndNeedsNoSubcommand) {
  CliRun run = Cli({"--version"});
  EXPECT_EQ(run.exitStatus, 0);
  EXPECT_EQ(run.out, std::string("notora-cli ") + kVersion + "\n");
  EXPECT_EQ(run.err, "");
  EXPECT_NE(std::string(kVersion), "");
  EXPECT_NE(Cli({"--help"}).out.find("--version"), std::string::npos);
}

}  // namespace
}  // namespace notora
