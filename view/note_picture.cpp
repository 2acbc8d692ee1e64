#include "view/note_picture.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "note/note_layout.h"
#include "view/number_text.h"
#include "view/xml_writer.h"

namespace notora {
namespace {

constexpr double kMargin = 24.0;
constexpr double kPanelSize = 720.0;  // the longer side of a panel, in pixels
constexpr double kGap = 48.0;          // between the panels drawn side by side
constexpr double kCaptionHeight = 28.0;
constexpr double kLegendLine = 20.0;
constexpr double kMinimumWidth = 560.0;
constexpr char kFontFamily[] = "IPAGothic, 'IPAexGothic', sans-serif";

struct Palette {
  const char* text;
  const char* box;
  const char* cssClass;
};
constexpr Palette kOriginal = {"#1a1a1a", "#6b7785", "note original"};
constexpr Palette kConverted = {"#1f5fbf", "#5b8fd9", "note converted"};

struct PlacedString {
  const InspectedNote* note;
  const InspectedString* string;
  StringLayout layout;
};

std::vector<PlacedString> Place(const NoteSet& set) {
  std::vector<PlacedString> placed;
  for (const InspectedNote& note : set.notes) {
    for (const InspectedString& string : note.strings) {
      placed.push_back(
          {&note, &string, LayOutString(string.fields, string.text, set.verticalValueInput)});
    }
  }
  return placed;
}

struct Extent {
  double minX = std::numeric_limits<double>::infinity();
  double minY = std::numeric_limits<double>::infinity();
  double maxX = -std::numeric_limits<double>::infinity();
  double maxY = -std::numeric_limits<double>::infinity();

  void Add(Point p) {
    if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
    minX = std::min(minX, p.x);
    minY = std::min(minY, p.y);
    maxX = std::max(maxX, p.x);
    maxY = std::max(maxY, p.y);
  }
  bool empty() const { return !(minX <= maxX); }
  double width() const { return maxX - minX; }
  double height() const { return maxY - minY; }
};

// From drawing coordinates to the picture's pixels for one panel: the
// extent's upper left corner goes to `origin`, y turns downwards.
struct View {
  Extent extent;
  double scale = 1.0;
  Point origin;

  Point ToPicture(Point p) const {
    return {origin.x + (p.x - extent.minX) * scale, origin.y + (extent.maxY - p.y) * scale};
  }
};

Extent FittedExtent(const std::vector<const std::vector<PlacedString>*>& sets) {
  Extent extent;
  for (const auto* set : sets) {
    for (const PlacedString& placed : *set) {
      for (const Point& corner : placed.layout.box) extent.Add(corner);
      extent.Add(placed.layout.start);
    }
  }
  if (extent.empty()) return Extent{0.0, 0.0, 100.0, 100.0};
  // A little room around the notes, and never a panel without height or
  // width.
  const double side = std::max({extent.width(), extent.height(), 1e-9});
  const double padding = side * 0.04;
  extent.minX -= padding;
  extent.minY -= padding;
  extent.maxX += padding;
  extent.maxY += padding;
  return extent;
}

std::string MatrixText(const Affine& m) {
  return "matrix(" + FixedReal(m.a, 6) + " " + FixedReal(m.b, 6) + " " + FixedReal(m.c, 6) + " " +
         FixedReal(m.d, 6) + " " + FixedReal(m.e, 3) + " " + FixedReal(m.f, 3) + ")";
}

// The map from a text element's own coordinates (pixels, y down, base line
// start at 0,0) to the picture: slant, the string's frame, and the start
// point on the picture.
Affine TextTransform(const StringLayout& layout, const View& view) {
  const Affine flip{1.0, 0.0, 0.0, -1.0, 0.0, 0.0};
  const Affine slant{1.0, 0.0, layout.slant, 1.0, 0.0, 0.0};
  Affine transform = flip.Then(slant).Then(layout.frame).Then(flip);
  const Point start = view.ToPicture(layout.start);
  transform.e = start.x;
  transform.f = start.y;
  return transform;
}

void DrawBoxes(const std::vector<PlacedString>& set, const View& view, const Palette& palette,
               XmlWriter* xml) {
  xml->Open("g");
  xml->Attribute("class", "boxes");
  xml->Attribute("fill", "none");
  xml->Attribute("stroke", palette.box);
  xml->Attribute("stroke-opacity", "0.45");
  xml->Attribute("stroke-width", "0.75");
  for (const PlacedString& placed : set) {
    std::string points;
    for (const Point& corner : placed.layout.box) {
      const Point p = view.ToPicture(corner);
      if (!points.empty()) points += ' ';
      points += FixedReal(p.x, 3) + "," + FixedReal(p.y, 3);
    }
    xml->Open("polygon");
    xml->Attribute("points", points);
    xml->Close();
  }
  xml->Close();
}

void DrawTexts(const std::vector<PlacedString>& set, const View& view, const Palette& palette,
               double opacity, XmlWriter* xml) {
  xml->Open("g");
  xml->Attribute("class", "notes");
  xml->Attribute("fill", palette.text);
  if (opacity < 1.0) xml->Attribute("fill-opacity", opacity);
  for (const PlacedString& placed : set) {
    const StringLayout& layout = placed.layout;
    xml->Open("text");
    xml->Attribute("class", palette.cssClass);
    xml->Attribute("data-entry", std::to_string(placed.note->entry));
    xml->Attribute("data-d", std::to_string(placed.note->directoryNumber()));
    xml->Attribute("data-string", std::to_string(placed.string->number));
    xml->Attribute("transform", MatrixText(TextTransform(layout, view)));
    xml->Attribute("font-size", layout.fontSize * view.scale);
    xml->Attribute("xml:space", "preserve");
    if (layout.runs.size() == 1 && !layout.runs.front().centred) {
      const GlyphRun& run = layout.runs.front();
      xml->Attribute("x", run.origin.x * view.scale);
      xml->Attribute("y", -run.origin.y * view.scale);
      if (run.length > 0.0) {
        xml->Attribute("textLength", run.length * view.scale);
        xml->Attribute("lengthAdjust", "spacingAndGlyphs");
      }
      xml->Text(run.text);
    } else {
      for (const GlyphRun& run : layout.runs) {
        xml->Open("tspan");
        xml->Attribute("x", run.origin.x * view.scale);
        xml->Attribute("y", -run.origin.y * view.scale);
        if (run.centred) xml->Attribute("text-anchor", "middle");
        xml->Text(run.text);
        xml->Close();
      }
    }
    xml->Close();
  }
  xml->Close();
}

void DrawStartPoints(const std::vector<PlacedString>& set, const View& view, XmlWriter* xml) {
  xml->Open("g");
  xml->Attribute("class", "start-points");
  xml->Attribute("fill", "#c0392b");
  for (const PlacedString& placed : set) {
    const Point p = view.ToPicture(placed.layout.start);
    xml->Open("circle");
    xml->Attribute("cx", p.x);
    xml->Attribute("cy", p.y);
    xml->Attribute("r", 2.0);
    xml->Close();
  }
  xml->Close();
}

void DrawPanelFrame(const View& view, const std::string& caption, XmlWriter* xml) {
  xml->Open("text");
  xml->Attribute("class", "caption");
  xml->Attribute("x", view.origin.x);
  xml->Attribute("y", view.origin.y - 10.0);
  xml->Attribute("font-size", 14.0);
  xml->Attribute("fill", "#333333");
  xml->Text(caption);
  xml->Close();
  xml->Open("rect");
  xml->Attribute("class", "frame");
  xml->Attribute("x", view.origin.x);
  xml->Attribute("y", view.origin.y);
  xml->Attribute("width", view.extent.width() * view.scale);
  xml->Attribute("height", view.extent.height() * view.scale);
  xml->Attribute("fill", "none");
  xml->Attribute("stroke", "#d5d9de");
  xml->Close();
}

std::string CountText(const NoteSet& set) {
  return std::to_string(set.notes.size()) + " General Notes, " +
         std::to_string(CountStrings(set.notes)) + " strings";
}

void DrawLegendLine(double x, double y, const char* swatch, const std::string& text,
                    XmlWriter* xml) {
  double textX = x;
  if (swatch != nullptr) {
    xml->Open("rect");
    xml->Attribute("x", x);
    xml->Attribute("y", y - 10.0);
    xml->Attribute("width", 12.0);
    xml->Attribute("height", 12.0);
    xml->Attribute("fill", swatch);
    xml->Close();
    textX += 18.0;
  }
  xml->Open("text");
  xml->Attribute("x", textX);
  xml->Attribute("y", y);
  xml->Text(text);
  xml->Close();
}

}  // namespace

std::string DrawNotePicture(const NotePictureRequest& request) {
  const std::vector<PlacedString> original = Place(request.original);
  const std::vector<PlacedString> converted =
      request.converted ? Place(*request.converted) : std::vector<PlacedString>();
  const bool beside = request.converted.has_value() && !request.overlay;

  View first;
  first.extent = FittedExtent({&original, &converted});
  first.scale = kPanelSize / std::max(first.extent.width(), first.extent.height());
  first.origin = {kMargin, kMargin + kCaptionHeight};
  View second = first;
  const double panelWidth = first.extent.width() * first.scale;
  const double panelHeight = first.extent.height() * first.scale;
  if (beside) second.origin.x += panelWidth + kGap;

  const int legendLines = request.converted ? 4 : 3;
  const double width =
      std::max(kMinimumWidth, 2.0 * kMargin + panelWidth + (beside ? kGap + panelWidth : 0.0));
  const double legendTop = first.origin.y + panelHeight + 24.0;
  const double height = legendTop + legendLines * kLegendLine + kMargin;

  XmlWriter xml;
  xml.Open("svg");
  xml.Attribute("xmlns", "http://www.w3.org/2000/svg");
  xml.Attribute("width", std::ceil(width));
  xml.Attribute("height", std::ceil(height));
  xml.Attribute("viewBox", "0 0 " + FixedReal(std::ceil(width), 0) + " " +
                               FixedReal(std::ceil(height), 0));
  xml.Attribute("font-family", kFontFamily);
  xml.Open("title");
  xml.Text("notora-cli preview: " + request.title);
  xml.Close();
  xml.Open("rect");
  xml.Attribute("class", "background");
  xml.Attribute("width", "100%");
  xml.Attribute("height", "100%");
  xml.Attribute("fill", "#ffffff");
  xml.Close();

  xml.Open("g");
  xml.Attribute("class", "panel original");
  DrawPanelFrame(first, request.converted && request.overlay
                            ? request.original.caption + " / " + request.converted->caption
                            : request.original.caption,
                 &xml);
  DrawBoxes(original, first, kOriginal, &xml);
  DrawTexts(original, first, kOriginal, 1.0, &xml);
  DrawStartPoints(original, first, &xml);
  xml.Close();

  if (request.converted) {
    xml.Open("g");
    xml.Attribute("class", "panel converted");
    if (beside) DrawPanelFrame(second, request.converted->caption, &xml);
    DrawBoxes(converted, second, kConverted, &xml);
    DrawTexts(converted, second, kConverted, request.overlay ? 0.8 : 1.0, &xml);
    DrawStartPoints(converted, second, &xml);
    xml.Close();
  }

  xml.Open("g");
  xml.Attribute("class", "legend");
  xml.Attribute("font-size", 13.0);
  xml.Attribute("fill", "#333333");
  double y = legendTop;
  DrawLegendLine(kMargin, y, nullptr, "notora-cli preview: " + request.title, &xml);
  y += kLegendLine;
  DrawLegendLine(kMargin, y, kOriginal.text,
                 request.original.caption + ": " + CountText(request.original), &xml);
  if (request.converted) {
    y += kLegendLine;
    DrawLegendLine(kMargin, y, kConverted.text,
                   request.converted->caption + ": " + CountText(*request.converted), &xml);
  }
  y += kLegendLine;
  DrawLegendLine(kMargin, y, nullptr,
                 "faint outlines: character boxes; red dots: start points; 1 drawing unit = " +
                     FixedReal(first.scale, 3) + " px",
                 &xml);
  xml.Close();
  return xml.Finish();
}

}  // namespace notora
