#include "note/note_layout.h"

#include <algorithm>
#include <cmath>

namespace notora {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Where the base line of a character lies in its cell, as a share of the
// character height: the descent of a Japanese Gothic face.
constexpr double kDescent = 0.12;

// Rotation by `angle`, then the mirror of `flag`.
Affine FrameOf(double angle, int mirrorFlag) {
  Affine mirror;
  if (mirrorFlag == 1) mirror.a = -1.0;
  if (mirrorFlag == 2) mirror.d = -1.0;
  Affine rotation;
  rotation.a = std::cos(angle);
  rotation.b = std::sin(angle);
  rotation.c = -rotation.b;
  rotation.d = rotation.a;
  return mirror.Then(rotation);
}

double SlantOf(double SL) {
  if (!(SL > 0.0 && SL < kPi)) return 0.0;
  const double lean = std::cos(SL) / std::sin(SL);
  return std::abs(lean) < 1e-12 ? 0.0 : lean;
}

// The UTF-8 characters of `text`, one string each.
std::vector<std::string> Characters(std::string_view text) {
  std::vector<std::string> characters;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    while (i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    characters.emplace_back(text.substr(i, length));
    i += length;
  }
  return characters;
}

}  // namespace

Affine Affine::Then(const Affine& next) const {
  Affine out;
  out.a = next.a * a + next.c * b;
  out.b = next.b * a + next.d * b;
  out.c = next.a * c + next.c * d;
  out.d = next.b * c + next.d * d;
  out.e = next.a * e + next.c * f + next.e;
  out.f = next.b * e + next.d * f + next.f;
  return out;
}

StringLayout LayOutString(const NoteString& fields, std::string_view text,
                          VerticalValue verticalValueInput) {
  StringLayout layout;
  layout.start = {fields.XS, fields.YS};
  layout.frame = FrameOf(fields.A, fields.M);
  layout.slant = SlantOf(fields.SL);

  double width = 0.0, bottom = 0.0, top = 0.0;
  if (fields.VH == 0) {
    width = std::abs(fields.WT);
    top = std::abs(fields.HT);
    layout.fontSize = top;
    layout.runs.push_back({std::string(text), {0.0, 0.0}, width, false});
  } else {
    const bool inHeight = verticalValueInput == VerticalValue::kAfter;
    const double variable = std::abs(inHeight ? fields.HT : fields.WT);
    width = std::abs(inHeight ? fields.WT : fields.HT);
    const std::vector<std::string> characters = Characters(text);
    const double count = static_cast<double>(std::max<std::size_t>(characters.size(), 1));
    const double cell = variable / count;
    layout.fontSize = std::min(width, cell);
    top = cell;
    bottom = -(count - 1.0) * cell;
    for (std::size_t i = 0; i < characters.size(); ++i) {
      const double cellBottom = -static_cast<double>(i) * cell;
      const double baseLine =
          cellBottom + (cell - layout.fontSize) / 2.0 + kDescent * layout.fontSize;
      layout.runs.push_back({characters[i], {width / 2.0, baseLine}, 0.0, true});
    }
  }
  const Point corners[4] = {{0.0, bottom}, {width, bottom}, {width, top}, {0.0, top}};
  Affine placed = layout.frame;
  placed.e = layout.start.x;
  placed.f = layout.start.y;
  for (int i = 0; i < 4; ++i) layout.box[i] = placed.Apply(corners[i]);
  return layout;
}

}  // namespace notora
