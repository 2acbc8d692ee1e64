// The conversion options declared on a CLI11 command: each option of
// ConversionFlags as a flag of the command line, checked against its words.
#pragma once

#include <string>

#include "view/conversion_flags.h"

namespace CLI {
class App;
}

namespace notora {

// Declares --allow-zero-columns on `command`, bound to `*allowZeroColumns`:
// off by default; given, a General Note with no strings is accepted
// (zeroColumnsIsError false).
void AddAllowZeroColumnsFlag(CLI::App* command, bool* allowZeroColumns);

// Adds --source-encoding to `command`, bound to `name`.
void AddSourceEncodingOption(CLI::App* command, std::string* name);

// Declares the options of `*flags` on `command`, bound to it; --line-end
// only with `withLineEnd` (for the commands that write IGES files).
void AddConversionFlags(CLI::App* command, ConversionFlags* flags, bool withLineEnd = true);

// True when the command line of `command` (on which AddConversionFlags
// declared the flags) gave any of them that changes what a conversion writes
// (all but --source-encoding, which says how the source is read).
bool AnyConversionFlagGiven(const CLI::App& command);

}  // namespace notora
