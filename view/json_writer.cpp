#include "view/json_writer.h"

#include <cmath>

#include "view/number_text.h"
#include "view/utf8_text.h"

namespace notora {

void JsonWriter::BeforeValue() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (!hasMember_.empty()) {
    if (hasMember_.back()) text_ += ',';
    hasMember_.back() = true;
  }
}

void JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  hasMember_.push_back(false);
}

void JsonWriter::EndObject() {
  text_ += '}';
  if (!hasMember_.empty()) hasMember_.pop_back();
}

void JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  hasMember_.push_back(false);
}

void JsonWriter::EndArray() {
  text_ += ']';
  if (!hasMember_.empty()) hasMember_.pop_back();
}

void JsonWriter::Key(std::string_view name) {
  BeforeValue();
  AppendQuoted(name);
  text_ += ':';
  afterKey_ = true;
}

void JsonWriter::String(std::string_view utf8) {
  BeforeValue();
  AppendQuoted(utf8);
}

void JsonWriter::Integer(std::int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
}

void JsonWriter::Boolean(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
}

void JsonWriter::Real(double value) {
  BeforeValue();
  text_ += std::isfinite(value) ? ShortestReal(value) : "null";
}

void JsonWriter::AppendQuoted(std::string_view utf8) {
  static constexpr char kHex[] = "0123456789abcdef";
  text_ += '"';
  for (const char c : ToValidUtf8(utf8)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': text_ += "\\\""; break;
      case '\\': text_ += "\\\\"; break;
      case '\n': text_ += "\\n"; break;
      case '\r': text_ += "\\r"; break;
      case '\t': text_ += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          text_ += "\\u00";
          text_ += kHex[byte >> 4];
          text_ += kHex[byte & 0x0F];
        } else {
          text_ += c;
        }
    }
  }
  text_ += '"';
}

}  // namespace notora
