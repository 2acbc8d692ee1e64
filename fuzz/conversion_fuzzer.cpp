// libFuzzer target: a whole conversion over any bytes, with the options and
// faults the first bytes name, over memory files. Every promise of a run is
// checked; a broken one aborts with its description.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/support/conversion_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace notora::testing;
  const ConversionCheck check = CheckConversion(
      DecodeConversionRequest(std::string_view(reinterpret_cast<const char*>(data), size)));
  if (!check.violation.empty()) {
    std::fprintf(stderr, "conversion promise broken: %s\n", check.violation.c_str());
    for (const std::string& message : check.messages) std::fprintf(stderr, "  %s\n", message.c_str());
    std::abort();
  }
  return 0;
}
