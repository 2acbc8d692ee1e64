// Resource numbers of notora.exe, shared by notora.rc and the code.
#pragma once

// The application icon (the dialog template's icon resource).
#define NOTORA_ICON 128
// The help page, resources/app/help/index.html (RCDATA, UTF-8).
#define NOTORA_HELP_PAGE 200
