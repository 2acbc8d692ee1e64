#include "tests/cli/json_reader.h"

#include <cstdlib>

#include "note/text_encoding.h"

namespace notora::testing {
namespace {

class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Document(JsonValue* value, std::string* error) {
    const bool ok = Value(value) && (SkipSpace(), at_ == text_.size());
    if (!ok) *error = "invalid JSON at byte " + std::to_string(at_);
    return ok;
  }

 private:
  void SkipSpace() {
    while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                  text_[at_] == '\n' || text_[at_] == '\r')) {
      ++at_;
    }
  }
  bool Take(char c) {
    SkipSpace();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool Literal(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(JsonValue* value) {
    SkipSpace();
    if (at_ >= text_.size()) return false;
    const char c = text_[at_];
    if (c == '{') return Object(value);
    if (c == '[') return Array(value);
    if (c == '"') {
      value->kind = JsonValue::Kind::kString;
      return String(&value->string);
    }
    if (c == 't' || c == 'f') {
      value->kind = JsonValue::Kind::kBool;
      value->boolean = c == 't';
      return Literal(c == 't' ? "true" : "false");
    }
    if (c == 'n') return Literal("null");
    return Number(value);
  }

  bool Object(JsonValue* value) {
    value->kind = JsonValue::Kind::kObject;
    ++at_;
    if (Take('}')) return true;
    do {
      SkipSpace();
      std::string key;
      if (at_ >= text_.size() || text_[at_] != '"' || !String(&key) || !Take(':')) return false;
      JsonValue member;
      if (!Value(&member)) return false;
      if (value->object.count(key) != 0) return false;  // a name given twice
      value->keys.push_back(key);
      value->object.emplace(key, std::move(member));
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue* value) {
    value->kind = JsonValue::Kind::kArray;
    ++at_;
    if (Take(']')) return true;
    do {
      JsonValue element;
      if (!Value(&element)) return false;
      value->array.push_back(std::move(element));
    } while (Take(','));
    return Take(']');
  }

  bool Hex4(std::uint32_t* code) {
    if (at_ + 4 > text_.size()) return false;
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      int digit = c >= '0' && c <= '9' ? c - '0'
                  : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                         : -1;
      if (digit < 0) return false;
      *code = *code * 16 + static_cast<std::uint32_t>(digit);
    }
    return true;
  }

  bool String(std::string* out) {
    ++at_;  // the opening quote
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escape = text_[at_++];
      switch (escape) {
        case '"': out->push_back('"'); break;
        case '\\': out->push_back('\\'); break;
        case '/': out->push_back('/'); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'u': {
          std::uint32_t code = 0;
          if (!Hex4(&code)) return false;
          if (code >= 0xD800 && code <= 0xDBFF) {
            std::uint32_t low = 0;
            if (!Literal("\\u") || !Hex4(&low) || low < 0xDC00 || low > 0xDFFF) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          AppendUtf8(static_cast<std::int32_t>(code), out);
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Number(JsonValue* value) {
    const std::size_t start = at_;
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ + 1 < text_.size() && text_[at_] == '0' && text_[at_ + 1] >= '0' &&
        text_[at_ + 1] <= '9') {
      return false;  // no leading zeros
    }
    const auto digits = [&] {
      const std::size_t first = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > first;
    };
    if (!digits()) return false;
    if (at_ < text_.size() && text_[at_] == '.') {
      ++at_;
      if (!digits()) return false;
    }
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    value->kind = JsonValue::Kind::kNumber;
    value->number = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
  static const JsonValue kNull;
  const auto found = object.find(name);
  return found == object.end() ? kNull : found->second;
}

bool ParseJson(std::string_view text, JsonValue* value, std::string* error) {
  *value = JsonValue();
  return Parser(text).Document(value, error);
}

}  // namespace notora::testing
