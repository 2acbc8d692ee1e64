// Files whose numbers claim far more than they hold: a Directory Entry
// claiming millions of entries, line counts of 99999999, Hollerith counts of
// 2147483647, 25-digit numbers everywhere. Each run goes in a child process
// whose address space is limited to a small multiple of what the run must
// hold (its source, and the output it writes), and reads every record once
// (polling for a cancel at each, and at each entry of the Directory Entry
// section it writes last); the outcome shows it finished as it should within that bound.
// (Where the address space cannot be limited, on Windows and under the
// sanitizers, the same runs are checked without that limit.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "tests/support/conversion_check.h"
#include "tests/support/iges_builder.h"
#include "tests/support/note_fixtures.h"
#include "tests/support/test_platform.h"
#include "base/messages.h"

namespace notora {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSpaceCanBeLimited = false;  // the sanitizer's shadow memory is reserved up front
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSpaceCanBeLimited = false;
#else
constexpr bool kAddressSpaceCanBeLimited = true;
#endif
#else
constexpr bool kAddressSpaceCanBeLimited = true;
#endif

// Room beyond the source and the output for the run's fixed blocks (the
// read blocks and the write block, each in whole large pages of 2 MB, and
// 2 MB more while a mapping is aligned to them) and the process's own
// growth.
constexpr std::uint64_t kFixedRoom = 12ull << 20;
constexpr std::uint64_t kPerByte = 8;  // bytes of memory per byte of source and of output

std::string Error(MessageId id, std::initializer_list<MessageArg> args = {}) {
  return "error: " + FormatMessage(id, args);
}

std::string SourceNamed(const std::string& name) {
  for (const testing::NamedFile& file : testing::BoundsFiles()) {
    if (file.name == name) return file.bytes;
  }
  ADD_FAILURE() << "no bounds file " << name;
  return {};
}

// Bytes of output per byte of source a conversion may write at most (see
// BoundsGrowthTest).
constexpr std::uint64_t kMostGrowth = 200;

struct Bound {
  std::string file;
  RunOptions options;
  RunOutcome outcome;
  std::string lastMessage;  // the run's only message, or how the report ends
};

void PrintTo(const Bound& bound, std::ostream* out) { *out << bound.file; }

// In the child: limits the address space, runs, and exits 0 when the run
// kept its promises and ended as `bound` says.
void RunWithinBound(const Bound& bound) {
  testing::ConversionRequest request;
  request.options = bound.options;
  request.options.outputName = "out";
  request.source = SourceNamed(bound.file);
  if (kAddressSpaceCanBeLimited && testing::CanLimitAddressSpace()) {
    const std::uint64_t outputSize =
        bound.outcome == RunOutcome::kWritten ? kMostGrowth * request.source.size() : 0;
    const std::uint64_t room = kFixedRoom + kPerByte * (request.source.size() + outputSize);
    if (!testing::LimitAddressSpace(room)) std::_Exit(3);
  }
  const testing::ConversionCheck check = testing::CheckConversion(request);
  const std::size_t records = std::count(request.source.begin(), request.source.end(), '\n') + 1;
  bool asExpected = check.violation.empty() && check.result.outcome == bound.outcome &&
                    check.messages.size() == 1 &&
                    check.messages[0].size() >= bound.lastMessage.size() &&
                    check.messages[0].compare(check.messages[0].size() - bound.lastMessage.size(),
                                              std::string::npos, bound.lastMessage) == 0 &&
                    check.polls <= static_cast<int>(records) +
                                       check.result.counters.directoryRecords / 2;
  if (!asExpected) {
    std::fprintf(stderr, "violation: %s\npolls: %d of %zu records\n", check.violation.c_str(), check.polls,
                 records);
    for (const std::string& message : check.messages) std::fprintf(stderr, "%s\n", message.c_str());
  }
  std::_Exit(asExpected ? 0 : 1);
}

RunOptions Jis() { return RunOptions(); }
RunOptions JisVerticalToHorizontal() {
  RunOptions options;
  options.verticalToHorizontal = true;
  return options;
}

class BoundsTest : public ::testing::TestWithParam<Bound> {};

TEST_P(BoundsTest, RunsWithinASmallMultipleOfItsFilesAndReadsEachRecordOnce) {
  // Nothing is run before the child, so that all it holds is counted
  // against its limit.
  EXPECT_EXIT(RunWithinBound(GetParam()), ::testing::ExitedWithCode(0), "");
}

const std::string kNothing = FormatMessage(MessageId::ReportNothingConverted);
const std::string kWritten = FormatMessage(MessageId::ReportWritten);

INSTANTIATE_TEST_SUITE_P(
    ClaimingFiles, BoundsTest,
    ::testing::Values(
        Bound{"claims-millions.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::ParameterOutsideEntity, {1})},
        Bound{"line-counts-99999999.igs", Jis(), RunOutcome::kNothingConverted, kNothing},
        Bound{"line-counts-99999999-twice.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::ParameterEntityShort, {1})},
        Bound{"hollerith-2147483647.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::NoteTextCountBeyondEnd, {1})},
        Bound{"hollerith-beyond-int.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::NoteTextCountBeyondEnd, {1})},
        Bound{"digits-25.igs", Jis(), RunOutcome::kFailed, Error(MessageId::NoteMirrorOutOfRange, {4})},
        Bound{"digits-26.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::FieldTooLong, {1, MessageText(MessageId::FieldNameNS)})},
        Bound{"digits-25-valid.igs", Jis(), RunOutcome::kWritten, kWritten},
        Bound{"string-count-claims.igs", Jis(), RunOutcome::kFailed,
              Error(MessageId::NoteCharCountNotPositive, {337})},
        Bound{"vertical-growth.igs", JisVerticalToHorizontal(), RunOutcome::kWritten, kWritten}),
    [](const ::testing::TestParamInfo<Bound>& info) {
      std::string name = info.param.file.substr(0, info.param.file.find('.'));
      std::replace(name.begin(), name.end(), '-', '_');
      return name;
    });

// The largest growth a conversion can make: a vertical string of half-width
// characters made horizontal in JIS code, every character its own block.
// The output is bounded by a fixed number of bytes per source byte.
TEST(BoundsGrowthTest, OutputGrowsByAtMostAFixedFactor) {
  testing::ConversionRequest request;
  request.options = JisVerticalToHorizontal();
  request.options.outputName = "out";
  request.source = SourceNamed("vertical-growth.igs");
  const testing::ConversionCheck check = testing::CheckConversion(request);
  ASSERT_EQ(check.result.outcome, RunOutcome::kWritten);
  // Each character: NC, seven reals of up to 23 characters, FC, M, VH and
  // "4H" with four hex digits, each with its delimiter: under 200 bytes.
  EXPECT_LT(check.output.size(), kMostGrowth * request.source.size());
  EXPECT_GT(check.output.size(), 20 * request.source.size());  // the growth is there to bound
}

// In the child: a General Note of 30 million characters, converted with
// far less memory than its text needs beyond the source itself. Exits 0
// when the run ended with the out-of-memory message alone and no output.
void RunOutOfMemory() {
  const std::string text(30'000'000, 'A');
  testing::ConversionRequest request;
  request.options.outputName = "out";
  request.source = testing::IgesFile()
                       .Entity(212, "212,1,30000000,1.,1.,1,0.,0.,0,0,0.,0.,0.,30000000H" + text + ";")
                       .Build();
  if (!testing::LimitAddressSpace(16ull << 20)) std::_Exit(3);
  const testing::ConversionCheck check = testing::CheckConversion(request);
  const bool asExpected = check.violation.empty() && !check.outputCreated &&
                          check.messages == std::vector<std::string>{Error(MessageId::OutOfMemory)};
  if (!asExpected) {
    std::fprintf(stderr, "violation: %s\n", check.violation.c_str());
    for (const std::string& message : check.messages) std::fprintf(stderr, "%s\n", message.c_str());
  }
  std::_Exit(asExpected ? 0 : 1);
}

// In the child: a source of several MB whose read blocks (4 MB) cannot be
// had. Exits 0 when that is the out-of-memory message, not a read error of
// the first record, and no output.
void RunWithoutReadBlocks() {
  testing::ConversionRequest request;
  request.options.outputName = "out";
  testing::IgesFile file;
  for (int i = 0; i < 20000; ++i) file.Entity(126, "126," + std::string(200, '7') + ";");
  request.source = file.Build();
  if (!testing::LimitAddressSpace(2ull << 20)) std::_Exit(3);
  const testing::ConversionCheck check = testing::CheckConversion(request);
  const bool asExpected = !check.outputCreated &&
                          check.messages == std::vector<std::string>{Error(MessageId::OutOfMemory)};
  if (!asExpected) {
    for (const std::string& message : check.messages) std::fprintf(stderr, "%s\n", message.c_str());
  }
  std::_Exit(asExpected ? 0 : 1);
}

TEST(MemoryExhaustionTest, IsAMessageAndNoOutput) {
  if (!kAddressSpaceCanBeLimited || !testing::CanLimitAddressSpace()) {
    GTEST_SKIP() << "the address space cannot be limited here (Windows, whose job objects Wine "
                    "does not enforce, or a sanitizer's memory reserved up front)";
  }
  EXPECT_EXIT(RunOutOfMemory(), ::testing::ExitedWithCode(0), "");
  EXPECT_EXIT(RunWithoutReadBlocks(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace notora
