#include "tests/cli/xml_reader.h"

#include <cstdlib>

#include "note/text_encoding.h"

namespace notora::testing {
namespace {

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         c == '-' || c == '_' || c == ':' || c == '.';
}

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Document(XmlElement* root, std::string* error) {
    bool ok = true;
    if (text_.substr(0, 5) == "<?xml") {
      const std::size_t end = text_.find("?>");
      ok = end != std::string_view::npos;
      at_ = ok ? end + 2 : at_;
    }
    SkipSpace();
    ok = ok && Element(root);
    SkipSpace();
    ok = ok && at_ == text_.size();
    if (!ok) *error = "not well-formed at byte " + std::to_string(at_);
    return ok;
  }

 private:
  void SkipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                  text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }

  bool Name(std::string* name) {
    const std::size_t start = at_;
    while (at_ < text_.size() && IsNameChar(text_[at_])) ++at_;
    *name = std::string(text_.substr(start, at_ - start));
    return !name->empty();
  }

  // A reference after its "&", appended to `*out`.
  bool Reference(std::string* out) {
    const std::size_t end = text_.find(';', at_);
    if (end == std::string_view::npos) return false;
    const std::string_view name = text_.substr(at_, end - at_);
    at_ = end + 1;
    if (name == "amp") *out += '&';
    else if (name == "lt") *out += '<';
    else if (name == "gt") *out += '>';
    else if (name == "quot") *out += '"';
    else if (name == "apos") *out += '\'';
    else if (name.size() > 1 && name[0] == '#') {
      const bool hex = name[1] == 'x';
      const std::string digits(name.substr(hex ? 2 : 1));
      if (digits.empty()) return false;
      char* stop = nullptr;
      const unsigned long code = std::strtoul(digits.c_str(), &stop, hex ? 16 : 10);
      if (*stop != '\0' || code == 0 || code > 0x10FFFF) return false;
      AppendUtf8(static_cast<std::int32_t>(code), out);
    } else {
      return false;
    }
    return true;
  }

  bool AttributeValue(std::string* value) {
    if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) return false;
    const char quote = text_[at_++];
    while (at_ < text_.size() && text_[at_] != quote) {
      const char c = text_[at_++];
      if (c == '<') return false;
      if (c == '&') {
        if (!Reference(value)) return false;
      } else {
        *value += c;
      }
    }
    if (at_ >= text_.size()) return false;
    ++at_;
    return true;
  }

  bool Element(XmlElement* element) {
    if (at_ >= text_.size() || text_[at_] != '<') return false;
    ++at_;
    if (!Name(&element->name)) return false;
    while (true) {
      const std::size_t before = at_;
      SkipSpace();
      if (at_ >= text_.size()) return false;
      if (text_.substr(at_, 2) == "/>") {
        at_ += 2;
        return true;
      }
      if (text_[at_] == '>') {
        ++at_;
        break;
      }
      if (at_ == before) return false;  // attributes are separated by space
      std::string name, value;
      if (!Name(&name) || at_ >= text_.size() || text_[at_++] != '=' ||
          !AttributeValue(&value)) {
        return false;
      }
      if (!element->attributes.emplace(name, value).second) return false;
    }
    while (at_ < text_.size()) {
      const char c = text_[at_];
      if (text_.substr(at_, 2) == "</") {
        at_ += 2;
        std::string name;
        if (!Name(&name) || name != element->name) return false;
        SkipSpace();
        return at_ < text_.size() && text_[at_++] == '>';
      }
      if (c == '<') {
        if (text_.substr(at_, 2) == "<!" || text_.substr(at_, 2) == "<?") return false;
        element->children.emplace_back();
        if (!Element(&element->children.back())) return false;
      } else if (c == '&') {
        ++at_;
        if (!Reference(&element->text)) return false;
      } else if (c == '>' && text_.substr(at_ - 2, 2) == "]]") {
        return false;
      } else {
        element->text += c;
        ++at_;
      }
    }
    return false;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

void CollectText(const XmlElement& element, std::string* out) {
  // An element's own character data first, then its children's: enough for
  // elements that hold either text or child elements, as notora's do.
  *out += element.text;
  for (const XmlElement& child : element.children) CollectText(child, out);
}

void Collect(const XmlElement& element, const std::string& name,
             std::vector<const XmlElement*>* found) {
  if (element.name == name) found->push_back(&element);
  for (const XmlElement& child : element.children) Collect(child, name, found);
}

}  // namespace

std::string XmlElement::Attribute(const std::string& name) const {
  const auto found = attributes.find(name);
  return found == attributes.end() ? std::string() : found->second;
}

std::string XmlElement::AllText() const {
  std::string out;
  CollectText(*this, &out);
  return out;
}

std::vector<const XmlElement*> XmlElement::FindAll(const std::string& name) const {
  std::vector<const XmlElement*> found;
  Collect(*this, name, &found);
  return found;
}

bool ParseXml(std::string_view text, XmlElement* root, std::string* error) {
  *root = XmlElement();
  return Parser(text).Document(root, error);
}

}  // namespace notora::testing
