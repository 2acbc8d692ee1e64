// A PNG reader for tests: 8-bit greyscale, RGB or RGBA images without
// interlacing (what a browser's screenshot is), decoded with zlib.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace notora::testing {

struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
};

class PngImage {
 public:
  // Decodes `bytes`; false, with `*error` saying why, when they are no PNG
  // image of a supported kind.
  bool Decode(std::string_view bytes, std::string* error);

  int width() const { return width_; }
  int height() const { return height_; }
  // The pixel at column `x`, row `y` (0,0 top left), composed over white.
  Rgb At(int x, int y) const;

 private:
  int width_ = 0;
  int height_ = 0;
  int channels_ = 0;
  std::vector<std::uint8_t> pixels_;  // rows without their filter bytes
};

}  // namespace notora::testing
