// Where a CAD system puts the text of a General Note string, in the
// drawing's own coordinates (x to the right, y up).
//
// A string's frame has its origin at the start point (XS, YS), u along the
// base line and v up from it, turned by the rotation angle A about the
// start point. Mirror flag 1 mirrors it about the line through the start
// point perpendicular to the base line, flag 2 about the base line. The
// slant angle SL is the angle between the base line and the upright strokes
// of the characters: pi/2 is upright, less leans them forward. An SL of 0,
// which many systems write for upright text, or any value outside (0, pi)
// is drawn upright.
//
// A horizontal string (VH 0) fills its box, |WT| by HT, from the start
// point. A vertical string (VH 1) is written top to bottom: its variable
// box value V (WT, or HT when the file carries it in the height field) is
// the length of the column, the other value its width, and character i of
// n has a cell V/n high whose lower left corner lies i cells below the
// start point, where a conversion to horizontal writing puts its block.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/run_options.h"
#include "note/note_string.h"

namespace notora {

struct Point {
  double x = 0.0;
  double y = 0.0;
};

// p -> (a x + c y + e, b x + d y + f), the order of SVG's matrix().
struct Affine {
  double a = 1.0, b = 0.0, c = 0.0, d = 1.0, e = 0.0, f = 0.0;

  Point Apply(Point p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // This map followed by `next`.
  Affine Then(const Affine& next) const;
};

// Text placed on a base line in the string's frame.
struct GlyphRun {
  std::string text;  // UTF-8
  Point origin;      // where the base line starts (or, when centred, its middle)
  double length = 0.0;  // > 0: the run is stretched or squeezed to this length
  bool centred = false;
};

struct StringLayout {
  Point start;
  // The string's frame without its origin: rotation and mirror, in the
  // drawing's coordinates (y up).
  Affine frame;
  // Added to u for every unit of v: the lean of the characters.
  double slant = 0.0;
  // The character height in drawing units.
  double fontSize = 0.0;
  // The string's box in drawing coordinates: its lower left, lower right,
  // upper right and upper left corner in the string's frame.
  std::array<Point, 4> box;
  std::vector<GlyphRun> runs;
};

// The layout of one string with the fields `fields` and the decoded text
// `text`. `verticalValueInput` says where a vertical string holds its
// variable box value: kBefore in WT, kAfter in HT.
StringLayout LayOutString(const NoteString& fields, std::string_view text,
                          VerticalValue verticalValueInput);

}  // namespace notora
