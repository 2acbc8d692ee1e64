#include "view/text_table.h"

#include <algorithm>

#include "view/utf8_text.h"

namespace notora {

TextTable::TextTable(std::vector<std::string> headings)
    : rightAligned_(headings.size(), false) {
  rows_.push_back(std::move(headings));
}

void TextTable::AlignRight(std::size_t column) {
  if (column < rightAligned_.size()) rightAligned_[column] = true;
}

void TextTable::AddRow(std::vector<std::string> cells) {
  cells.resize(rightAligned_.size());
  rows_.push_back(std::move(cells));
}

std::string TextTable::Render() const {
  const std::size_t columns = rightAligned_.size();
  std::vector<int> widths(columns, 0);
  for (const auto& row : rows_) {
    for (std::size_t column = 0; column < columns; ++column) {
      widths[column] = std::max(widths[column], DisplayWidth(row[column]));
    }
  }
  std::string out;
  for (const auto& row : rows_) {
    std::string line;
    for (std::size_t column = 0; column < columns; ++column) {
      const bool last = column + 1 == columns;
      const int padding = widths[column] - DisplayWidth(row[column]);
      if (rightAligned_[column]) line.append(static_cast<std::size_t>(padding), ' ');
      line += row[column];
      if (!last) {
        if (!rightAligned_[column]) line.append(static_cast<std::size_t>(padding), ' ');
        line += "  ";
      }
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line;
    out += '\n';
  }
  return out;
}

}  // namespace notora
