// The main dialog as the page builds it, described in JSON for the page's
// script: the template's title, font, size and controls (each with its
// caption as written, its caption as shown with the mnemonic marker taken
// out, and its mnemonic), the state every control starts in (the default
// options as both dialogs load them), what Browse offers, the command line's
// encodings and line ends, and the messages the page shows itself.
#pragma once

#include <string>
#include <string_view>

namespace notora::web {

// The caption as shown: "&X" becomes "X" (X is the mnemonic), "&&" "&".
std::string ShownCaption(std::string_view caption);
// The mnemonic of `caption` (the character after a single "&"), or "".
std::string Mnemonic(std::string_view caption);

// The whole description, one JSON object.
std::string DescribeDialog();

}  // namespace notora::web
