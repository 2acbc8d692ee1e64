// UTF-8 text on a terminal and in the command line's JSON and XML: the room
// it takes, and invalid bytes made harmless.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace notora {

// The columns a terminal gives to `utf8`: two for East Asian Wide and
// Fullwidth characters, one for every other character (East Asian Ambiguous
// ones included, as most terminals show them) and for every byte that is not
// part of a valid UTF-8 sequence.
int DisplayWidth(std::string_view utf8);

// `text` with every byte that is not part of a valid UTF-8 sequence replaced
// by U+FFFD, so that it can be written where UTF-8 is required.
std::string ToValidUtf8(std::string_view text);

}  // namespace notora
