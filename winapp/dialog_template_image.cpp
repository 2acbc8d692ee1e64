#include "winapp/dialog_template_image.h"

#include <cstring>
#include <string>
#include <string_view>

#include "base/windows_text.h"

namespace notora {
namespace {

// Appends the little-endian fields of a template, keeping the alignment
// rules: the header and every control start on a DWORD boundary, strings
// and ordinals on a WORD boundary.
class TemplateWriter {
 public:
  void Word(WORD value) { Append(&value, sizeof value); }
  void Dword(DWORD value) { Append(&value, sizeof value); }
  void Short(short value) { Append(&value, sizeof value); }
  void Byte(BYTE value) { Append(&value, sizeof value); }
  // A zero-terminated UTF-16 string.
  void String(std::string_view utf8) {
    const std::wstring wide = WideText(utf8);
    Append(wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  }
  void AlignToDword() {
    while (bytes_.size() % sizeof(DWORD) != 0) bytes_.push_back(0);
  }
  const std::vector<BYTE>& bytes() const { return bytes_; }

 private:
  void Append(const void* data, std::size_t size) {
    const auto* first = static_cast<const BYTE*>(data);
    bytes_.insert(bytes_.end(), first, first + size);
  }

  std::vector<BYTE> bytes_;
};

}  // namespace

DWORD ControlStyle(const ControlTemplate& control) {
  DWORD style = WS_CHILD | WS_VISIBLE;
  switch (control.kind) {
    case ControlKind::kStatic:
      style |= SS_RIGHT | SS_CENTERIMAGE;
      break;
    case ControlKind::kSunkenStatic:
      style |= SS_RIGHT | SS_CENTERIMAGE | SS_SUNKEN | SS_NOPREFIX;
      break;
    case ControlKind::kPushButton:
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kDefaultButton:
      style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kEdit:
      style |= ES_RIGHT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
      break;
    case ControlKind::kGroupBox:
      style |= BS_GROUPBOX;
      break;
    case ControlKind::kRadio:
      style |= BS_AUTORADIOBUTTON;
      if (control.startsGroup) style |= WS_GROUP | WS_TABSTOP;
      return style;
    case ControlKind::kCheckBox:
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
  }
  return style | WS_GROUP;
}

WORD ControlClassAtom(ControlKind kind) {
  switch (kind) {
    case ControlKind::kEdit:
      return 0x0081;
    case ControlKind::kStatic:
    case ControlKind::kSunkenStatic:
      return 0x0082;
    default:
      return 0x0080;
  }
}

DialogTemplateImage::DialogTemplateImage() {
  const std::span<const ControlTemplate> controls = ConvertDialogTemplate();
  TemplateWriter writer;
  writer.Word(1);       // dlgVer
  writer.Word(0xFFFF);  // signature: an extended template
  writer.Dword(0);      // helpID
  writer.Dword(0);      // exStyle
  writer.Dword(kDialogStyle);
  writer.Word(static_cast<WORD>(controls.size()));
  writer.Short(0);
  writer.Short(0);
  writer.Short(static_cast<short>(kDialogWidthUnits));
  writer.Short(static_cast<short>(kDialogHeightUnits));
  writer.Word(0);  // no menu
  writer.Word(0);  // the predefined dialog class
  writer.String(kDialogTitle);
  writer.Word(static_cast<WORD>(kDialogFontPoints));
  writer.Word(FW_NORMAL);
  writer.Byte(FALSE);  // not italic
  writer.Byte(SHIFTJIS_CHARSET);
  writer.String(kDialogFontFamily);

  for (const ControlTemplate& control : controls) {
    writer.AlignToDword();
    writer.Dword(0);  // helpID
    writer.Dword(0);  // exStyle
    writer.Dword(ControlStyle(control));
    writer.Short(static_cast<short>(control.x));
    writer.Short(static_cast<short>(control.y));
    writer.Short(static_cast<short>(control.width));
    writer.Short(static_cast<short>(control.height));
    // Statics without an id get the conventional -1 (0xFFFF as a WORD id).
    writer.Dword(control.id == kNoId ? 0xFFFFFFFFu : static_cast<DWORD>(control.id));
    writer.Word(0xFFFF);
    writer.Word(ControlClassAtom(control.kind));
    writer.String(control.caption);
    writer.Word(0);  // no creation data
  }

  size_ = writer.bytes().size();
  storage_.resize((size_ + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(storage_.data(), writer.bytes().data(), size_);
}

}  // namespace notora
