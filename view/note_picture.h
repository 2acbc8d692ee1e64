// The preview picture: the General Notes of a source drawn as SVG, as a CAD
// system would place them (LayOutString), each string's box outlined
// faintly and its start point marked, fitted to the drawing's extent, with
// a legend. The notes as a conversion would write them can be drawn beside
// the notes as read, or over them.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "base/run_options.h"
#include "run/inspection.h"

namespace notora {

// One set of notes to draw.
struct NoteSet {
  std::vector<InspectedNote> notes;
  // Where their vertical strings hold the variable box value.
  VerticalValue verticalValueInput = VerticalValue::kBefore;
  // What the set is, for its panel and the legend ("as read").
  std::string caption;
};

struct NotePictureRequest {
  // The source's name, for the legend.
  std::string title;
  NoteSet original;
  // The notes as converted, when a conversion was asked for.
  std::optional<NoteSet> converted;
  // Draws the converted notes over the original ones instead of beside.
  bool overlay = false;
};

// The picture as an SVG document (UTF-8). Every string is one <text>
// element of class "note original" or "note converted" with the attributes
// data-entry, data-d and data-string, placed by transform="matrix(...)"
// whose translation is the start point on the picture and whose linear part
// turns, mirrors and slants the text; a vertical string holds one <tspan>
// per character.
std::string DrawNotePicture(const NotePictureRequest& request);

}  // namespace notora
