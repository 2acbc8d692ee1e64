// libFuzzer target: the field readers and the General Note parser and
// converter on any parameter text, with the options and delimiters the first
// bytes name.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "tests/support/note_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace notora::testing;
  const NoteCheck check =
      CheckGeneralNote(DecodeNoteRequest(std::string_view(reinterpret_cast<const char*>(data), size)));
  if (!check.violation.empty()) {
    std::fprintf(stderr, "General Note promise broken: %s\n", check.violation.c_str());
    std::abort();
  }
  return 0;
}
