// The exit statuses of notora-cli, shared by its subcommands.
#pragma once

namespace notora {

inline constexpr int kExitWritten = 0;            // done: output written, listing shown
inline constexpr int kExitNothingConverted = 1;   // convert: nothing to convert, no file
inline constexpr int kExitFailed = 2;             // an error, a refusal or a cancel
inline constexpr int kExitUsage = 64;             // bad usage

}  // namespace notora
