// The exit statuses of notora-cli, shared by its subcommands.
#pragma once

namespace notora {

// inspect, preview and batch: done (notes listed, picture written, every
// file of a batch written or with nothing to convert).
inline constexpr int kExitSuccess = 0;
// convert: the output was written.
inline constexpr int kExitWritten = 0;
// convert: nothing to convert, no file made.
inline constexpr int kExitNothingConverted = 1;
// An error, a refusal or a cancel.
inline constexpr int kExitFailed = 2;
// Bad usage.
inline constexpr int kExitUsage = 64;

}  // namespace notora
