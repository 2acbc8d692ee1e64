#include "tests/cli/png_image.h"

#include <zlib.h>

#include <cstdlib>

namespace notora::testing {
namespace {

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + 3]));
}

int Paeth(int left, int up, int upLeft) {
  const int estimate = left + up - upLeft;
  const int toLeft = std::abs(estimate - left);
  const int toUp = std::abs(estimate - up);
  const int toUpLeft = std::abs(estimate - upLeft);
  if (toLeft <= toUp && toLeft <= toUpLeft) return left;
  if (toUp <= toUpLeft) return up;
  return upLeft;
}

}  // namespace

bool PngImage::Decode(std::string_view bytes, std::string* error) {
  static constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
  if (bytes.substr(0, 8) != kSignature) {
    *error = "no PNG signature";
    return false;
  }
  std::string compressed;
  int bitDepth = 0, colourType = -1, interlace = 0;
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint32_t length = BigEndian32(bytes, at);
    const std::string_view type = bytes.substr(at + 4, 4);
    if (at + 12 + length > bytes.size()) break;
    const std::string_view data = bytes.substr(at + 8, length);
    if (type == "IHDR" && length >= 13) {
      width_ = static_cast<int>(BigEndian32(data, 0));
      height_ = static_cast<int>(BigEndian32(data, 4));
      bitDepth = static_cast<unsigned char>(data[8]);
      colourType = static_cast<unsigned char>(data[9]);
      interlace = static_cast<unsigned char>(data[12]);
    } else if (type == "IDAT") {
      compressed.append(data);
    } else if (type == "IEND") {
      break;
    }
    at += 12 + length;
  }
  channels_ = colourType == 0 ? 1 : colourType == 2 ? 3 : colourType == 6 ? 4 : 0;
  if (bitDepth != 8 || channels_ == 0 || interlace != 0 || width_ <= 0 || height_ <= 0) {
    *error = "unsupported PNG kind";
    return false;
  }
  const std::size_t stride = static_cast<std::size_t>(width_) * channels_;
  std::vector<std::uint8_t> raw((stride + 1) * static_cast<std::size_t>(height_));
  uLongf rawSize = raw.size();
  if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(compressed.data()),
                 compressed.size()) != Z_OK ||
      rawSize != raw.size()) {
    *error = "image data do not inflate to the image size";
    return false;
  }
  pixels_.assign(stride * static_cast<std::size_t>(height_), 0);
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t filter = raw[static_cast<std::size_t>(y) * (stride + 1)];
    const std::uint8_t* in = &raw[static_cast<std::size_t>(y) * (stride + 1) + 1];
    std::uint8_t* row = &pixels_[static_cast<std::size_t>(y) * stride];
    const std::uint8_t* above = y > 0 ? row - stride : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      const int left = i >= static_cast<std::size_t>(channels_) ? row[i - channels_] : 0;
      const int up = above != nullptr ? above[i] : 0;
      const int upLeft =
          above != nullptr && i >= static_cast<std::size_t>(channels_) ? above[i - channels_] : 0;
      int predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = left; break;
        case 2: predictor = up; break;
        case 3: predictor = (left + up) / 2; break;
        case 4: predictor = Paeth(left, up, upLeft); break;
        default:
          *error = "unknown row filter";
          return false;
      }
      row[i] = static_cast<std::uint8_t>(in[i] + predictor);
    }
  }
  return true;
}

Rgb PngImage::At(int x, int y) const {
  const std::uint8_t* p =
      &pixels_[(static_cast<std::size_t>(y) * width_ + static_cast<std::size_t>(x)) * channels_];
  if (channels_ == 1) return {p[0], p[0], p[0]};
  if (channels_ == 3) return {p[0], p[1], p[2]};
  const auto over = [&](std::uint8_t value) {
    return static_cast<std::uint8_t>((value * p[3] + 255 * (255 - p[3])) / 255);
  };
  return {over(p[0]), over(p[1]), over(p[2])};
}

}  // namespace notora::testing
