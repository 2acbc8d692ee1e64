// TextTable: rows of UTF-8 cells laid out in aligned columns for a terminal,
// measuring each cell by the columns it takes there (DisplayWidth), so that
// full-width characters do not push the columns after them out of line.
#pragma once

#include <string>
#include <vector>

namespace notora {

class TextTable {
 public:
  // A table with these column headings.
  explicit TextTable(std::vector<std::string> headings);

  // Right-aligns column `column` (from 0), as for numbers.
  void AlignRight(std::size_t column);
  // Adds a row; missing cells are blank, extra cells are dropped.
  void AddRow(std::vector<std::string> cells);

  // The headings and the rows, one line each, ending with a line feed.
  // Columns are separated by two spaces; the last column is not padded, so
  // that no line has trailing blanks.
  std::string Render() const;

 private:
  std::vector<std::vector<std::string>> rows_;  // headings first
  std::vector<bool> rightAligned_;
};

}  // namespace notora
