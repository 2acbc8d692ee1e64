// A small, strict XML reader for tests: elements, attributes, character
// data and the five predefined and numeric character references. Comments,
// processing instructions after the declaration and DTDs are refused, as
// notora-cli writes none.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace notora::testing {

struct XmlElement {
  std::string name;
  std::map<std::string, std::string> attributes;  // references resolved
  std::vector<XmlElement> children;
  // The character data directly inside this element, references resolved.
  std::string text;

  // The attribute `name`, or "" when there is none.
  std::string Attribute(const std::string& name) const;
  // This element's character data, then that of its children in order.
  std::string AllText() const;
  // Every descendant (and this element) named `name`, in document order.
  std::vector<const XmlElement*> FindAll(const std::string& name) const;
};

// Parses the document `text` into `*root`; false, with `*error` saying
// where, when it is not well-formed.
bool ParseXml(std::string_view text, XmlElement* root, std::string* error);

}  // namespace notora::testing
