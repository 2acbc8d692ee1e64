// A small, strict JSON reader for tests: enough to read back what
// notora-cli writes and to refuse anything that is not JSON.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace notora::testing {

struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0.0;
  std::string string;  // UTF-8, escapes resolved
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;
  // The member names in the order they were written.
  std::vector<std::string> keys;

  // The member `name` of an object; a null value when there is none.
  const JsonValue& operator[](const std::string& name) const;
  const JsonValue& operator[](std::size_t index) const { return array.at(index); }
};

// Parses `text` (one JSON value with optional white space around it) into
// `*value`; false, with `*error` saying where, when it is not valid JSON.
bool ParseJson(std::string_view text, JsonValue* value, std::string* error);

}  // namespace notora::testing
