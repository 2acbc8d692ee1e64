// NoteString: the fields of one text string of a General Note.
#pragma once

#include <cstdint>

namespace notora {

// One text string as the General Note parser hands it to the conversion.
// Field names are those of the IGES General Note.
struct NoteString {
  // The number of characters; once TEXT has been read, its byte count.
  std::int32_t NC = 0;
  std::int32_t FC = 0;  // font code; 2001 is JIS-code text
  std::int32_t M = 0;   // mirror flag, 0 to 2
  std::int32_t VH = 0;  // 0 horizontal, 1 vertical
  double WT = 0.0;      // box width (for a vertical string its variable value)
  double HT = 0.0;      // box height
  double SL = 0.0;      // slant angle
  double A = 0.0;       // rotation angle
  double XS = 0.0;      // start point of the text
  double YS = 0.0;
  double ZS = 0.0;
};

}  // namespace notora
