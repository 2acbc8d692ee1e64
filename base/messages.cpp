#include "base/messages.h"

#include "base/byte_classes.h"

#include <array>
#include <string>
#include <vector>

namespace notora {
namespace {

// The compiled-in copy of resources/messages.txt (generated at build time):
// defines kCatalogueSource.
#include "messages_data.inc"

constexpr std::array kMessageKeys = {
#define NOTORA_MESSAGE_KEY(name) std::string_view(#name),
    NOTORA_MESSAGE_IDS(NOTORA_MESSAGE_KEY)
#undef NOTORA_MESSAGE_KEY
};

struct Catalogue {
  std::array<std::string, kMessageKeys.size()> texts;
  std::string problems;
};

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out.push_back('\n');
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

Catalogue LoadCatalogue() {
  Catalogue catalogue;
  std::array<bool, kMessageKeys.size()> seen{};
  std::string_view source(kCatalogueSource);
  while (!source.empty()) {
    std::size_t end = source.find('\n');
    std::string_view line = source.substr(0, end);
    source = end == std::string_view::npos ? std::string_view() : source.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) {
      catalogue.problems += "line without a tab: " + std::string(line) + "\n";
      continue;
    }
    std::string_view key = line.substr(0, tab);
    bool known = false;
    for (std::size_t i = 0; i < kMessageKeys.size(); ++i) {
      if (kMessageKeys[i] == key) {
        if (seen[i]) catalogue.problems += "duplicate key: " + std::string(key) + "\n";
        catalogue.texts[i] = Unescape(line.substr(tab + 1));
        seen[i] = true;
        known = true;
        break;
      }
    }
    if (!known) catalogue.problems += "unknown key: " + std::string(key) + "\n";
  }
  for (std::size_t i = 0; i < kMessageKeys.size(); ++i) {
    if (!seen[i]) catalogue.problems += "missing key: " + std::string(kMessageKeys[i]) + "\n";
  }
  return catalogue;
}

const Catalogue& TheCatalogue() {
  static const Catalogue catalogue = LoadCatalogue();
  return catalogue;
}

}  // namespace

std::string_view MessageText(MessageId id) {
  return TheCatalogue().texts[static_cast<std::size_t>(id)];
}

namespace {

// Fills the "{}" placeholders of `id`'s text with the texts `next()` yields.
template <typename Next>
std::string Compose(MessageId id, std::size_t count, Next next) {
  std::string_view text = MessageText(id);
  std::string out;
  out.reserve(text.size() + 16);
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && used < count) {
      out += next(used++);
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

}  // namespace

std::string FormatMessage(MessageId id, std::initializer_list<MessageArg> args) {
  return Compose(id, args.size(), [&](std::size_t i) -> const std::string& {
    return args.begin()[i].text();
  });
}

std::string FormatMessage(MessageId id, const std::vector<std::string>& args) {
  return Compose(id, args.size(), [&](std::size_t i) -> const std::string& { return args[i]; });
}

std::string DescribeFileByte(char byte) {
  const auto value = static_cast<unsigned char>(byte);
  if (value < 0x80) return std::string(1, byte);
  if (cp932::IsHalfWidthKatakana(value)) {
    // U+FF61..U+FF9F, three bytes in UTF-8.
    const unsigned code = 0xFF61 + (value - 0xA1);
    std::string out;
    out.push_back(static_cast<char>(0xE0 | (code >> 12)));
    out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    return out;
  }
  return "\xEF\xBF\xBD";
}

std::string CatalogueProblems() { return TheCatalogue().problems; }

}  // namespace notora
