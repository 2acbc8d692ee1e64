// A step on a file that another program may hold for a moment. On Windows a
// virus scanner, the search indexer or a sync client (OneDrive, Dropbox)
// opens a file that has just been written or renamed, and while it holds the
// file, renaming or removing it is refused: a sharing or lock violation, or
// access denied. Such a step is tried again for a short while before its
// failure counts. Built on Windows only.
#pragma once

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <functional>

namespace notora {

// How long, in all, a held file is waited for, in milliseconds.
inline constexpr DWORD kHeldFilePatience = 2000;

// True for the errors of a file that another program holds open.
bool IsHeldFileError(DWORD error);

// Calls `step`, which returns ERROR_SUCCESS or the Win32 error that stopped
// it, until it succeeds, fails for another reason than a held file, or
// `patience` milliseconds have passed, pausing a little longer after each
// try. Returns what the last call returned.
DWORD RetryWhileHeld(const std::function<DWORD()>& step, DWORD patience = kHeldFilePatience);

}  // namespace notora
