// JsonWriter: builds one line of JSON text, with every string escaped.
//
// Values go into the innermost open object or array; inside an object each
// value follows its Key. Commas are put in by the writer. Strings must be
// UTF-8: an invalid byte is written as U+FFFD, so the output is always valid
// JSON.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace notora {

class JsonWriter {
 public:
  void BeginObject();
  void EndObject();
  void BeginArray();
  void EndArray();
  void Key(std::string_view name);
  void String(std::string_view utf8);
  void Integer(std::int64_t value);
  void Boolean(bool value);
  // A number in its shortest exact form; null when not finite (JSON has no
  // infinities).
  void Real(double value);

  // The text written so far.
  const std::string& text() const { return text_; }

 private:
  // Puts a comma before a value that is not the first of its container and
  // not the value after a key.
  void BeforeValue();
  void AppendQuoted(std::string_view utf8);

  std::string text_;
  // Per open container: whether it already holds a member.
  std::vector<bool> hasMember_;
  bool afterKey_ = false;
};

}  // namespace notora
