#include "view/xml_writer.h"

#include "view/number_text.h"
#include "view/utf8_text.h"

namespace notora {

XmlWriter::XmlWriter() : out_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::Open(std::string_view name) {
  EndStartTag();
  out_ += '<';
  out_ += name;
  open_.emplace_back(name);
  startTagOpen_ = true;
}

void XmlWriter::Attribute(std::string_view name, std::string_view value) {
  if (!startTagOpen_) return;
  out_ += ' ';
  out_ += name;
  out_ += "=\"";
  AppendEscaped(value, /*inAttribute=*/true);
  out_ += '"';
}

void XmlWriter::Attribute(std::string_view name, double value) {
  Attribute(name, FixedReal(value, 3));
}

void XmlWriter::Text(std::string_view utf8) {
  if (open_.empty()) return;
  EndStartTag();
  AppendEscaped(utf8, /*inAttribute=*/false);
}

void XmlWriter::Close() {
  if (open_.empty()) return;
  if (startTagOpen_) {
    out_ += "/>";
    startTagOpen_ = false;
  } else {
    out_ += "</";
    out_ += open_.back();
    out_ += '>';
  }
  open_.pop_back();
}

std::string XmlWriter::Finish() {
  while (!open_.empty()) Close();
  out_ += '\n';
  return out_;
}

void XmlWriter::EndStartTag() {
  if (!startTagOpen_) return;
  out_ += '>';
  startTagOpen_ = false;
}

void XmlWriter::AppendEscaped(std::string_view utf8, bool inAttribute) {
  for (const char c : ToValidUtf8(utf8)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '&': out_ += "&amp;"; break;
      case '<': out_ += "&lt;"; break;
      case '>': out_ += "&gt;"; break;
      case '"': out_ += inAttribute ? "&quot;" : "\""; break;
      case '\t': out_ += inAttribute ? "&#9;" : "\t"; break;
      case '\n': out_ += inAttribute ? "&#10;" : "\n"; break;
      case '\r': out_ += "&#13;"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out_ += "\xEF\xBF\xBD";
        } else {
          out_ += c;
        }
    }
  }
}

}  // namespace notora
