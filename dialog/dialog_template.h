// The main dialog's template, as every front end builds it: its title, font
// and size, and every control with its id, kind, caption and rectangle in
// dialog units, in tab order; and what the Browse button asks the system's
// file-open dialog for.
//
// Dialog units are the Windows dialog-template units: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an
// eighth of its character height. Each front end turns them into pixels for
// the font it shows.
#pragma once

#include <span>
#include <string_view>

namespace notora {

enum class ControlKind {
  kStatic,         // right-aligned text
  kSunkenStatic,   // right-aligned text in a sunken frame
  kPushButton,
  kDefaultButton,  // the push button that Enter presses
  kEdit,           // bordered, right-aligned, scrolls horizontally
  kGroupBox,
  kRadio,          // toggles itself; one of a group
  kCheckBox,       // toggles itself
};

struct ControlTemplate {
  int id;               // control id; kNoId for statics and group boxes
  ControlKind kind;
  const char* caption;  // UTF-8; "&" marks the mnemonic
  int x, y, width, height;  // dialog units
  bool startsGroup;     // first radio (or check box) of a group
};

inline constexpr int kNoId = -1;

// Control ids the front ends refer to by name.
inline constexpr int kIdExecute = 1;
inline constexpr int kIdExit = 2;
inline constexpr int kIdBrowse = 1000;
inline constexpr int kIdOutputName = 1001;
inline constexpr int kIdSourceName = 1002;
inline constexpr int kIdProgress = 1003;
inline constexpr int kIdVerticalToHorizontal = 1009;
inline constexpr int kIdZeroColumnsIsError = 1019;
inline constexpr int kIdHelp = 57670;

// The resource numbers of the template and of the application icon.
inline constexpr int kDialogTemplateResource = 102;
inline constexpr int kIconResource = 128;

// The dialog's title, font (UTF-8 family name and size in points) and the
// size of its client area in dialog units.
inline constexpr std::string_view kDialogTitle = "notora";
inline constexpr std::string_view kDialogFontFamily = "ＭＳ ゴシック";
inline constexpr int kDialogFontPoints = 11;
inline constexpr int kDialogWidthUnits = 324;
inline constexpr int kDialogHeightUnits = 143;

// Every control of the dialog in tab order.
std::span<const ControlTemplate> ConvertDialogTemplate();

// The control with `id`, or nullptr.
const ControlTemplate* FindControl(int id);

// The ids of the radio group whose first button is `firstId`, in template
// order: the radios from `firstId` up to the next control that starts a
// group or is no radio. Empty when `firstId` starts no radio group.
std::span<const ControlTemplate> RadioGroup(int firstId);

// One choice of the file-open dialog's type list (UTF-8).
struct BrowseFilter {
  const char* description;
  const char* pattern;  // "*.igs", or "*.*" for every file
};

// What Browse asks for: the type list in order, the name the file name box
// starts with and the extension added to a name typed without one. The
// title is the message catalogue's BrowseTitle.
std::span<const BrowseFilter> BrowseFilters();
inline constexpr std::string_view kBrowseInitialName = "*.igs";
inline constexpr std::string_view kBrowseDefaultExtension = "igs";

}  // namespace notora
