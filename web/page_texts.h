// The page's own words: what the page shows beyond the dialog's template and
// the engine's messages (the file list, the notes and the picture, cancel,
// and the page's answers to files the browser cannot hand over). UTF-8,
// half-width katakana as the dialog writes them.
#pragma once

#include <span>
#include <string_view>

namespace notora::web {

struct PageText {
  std::string_view key;
  std::string_view text;
};

// Every text of the page, by key.
std::span<const PageText> PageTexts();

}  // namespace notora::web
