// XmlWriter: writes an XML document element by element, escaping every
// attribute value and every piece of text, so that no byte of a note or a
// file name can break the markup.
//
// Names of elements and attributes are the program's own constants and are
// written as given. Values and text must be UTF-8; a byte that is not part
// of a valid sequence, and a character that XML 1.0 does not allow (the
// control characters other than tab, line feed and carriage return), is
// written as U+FFFD.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace notora {

class XmlWriter {
 public:
  // Writes the XML declaration.
  XmlWriter();

  // Opens an element inside the innermost open one; attributes follow.
  void Open(std::string_view name);
  // An attribute of the element just opened (before any content).
  void Attribute(std::string_view name, std::string_view value);
  // A number attribute with at most three decimals ("12.5", "-3").
  void Attribute(std::string_view name, double value);
  // Character data inside the innermost open element.
  void Text(std::string_view utf8);
  // Closes the innermost open element ("/>" when it has no content).
  void Close();

  // The document: every open element closed, a line feed at the end.
  std::string Finish();

 private:
  // Ends the start tag of the innermost element if it is still open.
  void EndStartTag();
  void AppendEscaped(std::string_view utf8, bool inAttribute);

  std::string out_;
  std::vector<std::string> open_;
  bool startTagOpen_ = false;
};

}  // namespace notora
