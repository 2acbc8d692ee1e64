// The help page: the Japanese page about the dialog's options
// (resources/app/help/index.html), compiled into the program and shown in
// the user's default browser.
#pragma once

#include <windows.h>

#include <string>

namespace notora {

// Writes the page compiled into `module` to "notora-help.html" in the
// user's temporary folder, replacing an older copy, and returns its path;
// empty when the page or the folder cannot be had.
std::wstring WriteHelpPage(HMODULE module);

}  // namespace notora
