// The main dialog's template as the Windows dialog manager reads it: an
// extended dialog template (DLGTEMPLATEEX) in memory, built from the shared
// template (dialog/dialog_template.h), for DialogBoxIndirectParamW and
// CreateDialogIndirectParamW.
//
// The font is the template's, "ＭＳ ゴシック" 11 pt with the Shift-JIS
// character set; controls keep the template's ids, captions, rectangles and
// order, which is the tab order.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "dialog/dialog_template.h"

namespace notora {

// The dialog's own style: a modal frame with a title bar, the system menu
// and a minimise box, three-dimensional controls, centred on the screen,
// with the template's font.
inline constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                                      DS_MODALFRAME | DS_SETFONT | DS_3DLOOK | DS_CENTER;

// The window style of a control.
//
// Radios toggle themselves; the first radio of a group starts the group and
// is the group's tab stop (the dialog manager moves the tab stop to whichever
// radio gets checked). Every control that is not a radio starts a group of
// its own, so that a group of radios is exactly its radios and the arrow keys
// never leave it. Statics are right-aligned and centred vertically; the
// sunken ones show file names and numbers, so "&" is no mnemonic there.
DWORD ControlStyle(const ControlTemplate& control);

// The predefined window class of a control (0x0080 button, 0x0081 edit,
// 0x0082 static).
WORD ControlClassAtom(ControlKind kind);

class DialogTemplateImage {
 public:
  // Builds the image of the main dialog's template.
  DialogTemplateImage();

  // The template, aligned as the dialog manager requires.
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage_.data()); }
  // Size of the template in bytes.
  std::size_t size() const { return size_; }

 private:
  std::vector<DWORD> storage_;
  std::size_t size_ = 0;
};

}  // namespace notora
