// WindowPicture: what a window shows on the screen, read back from it as
// 24-bit pixels, for tests that look at the drawn dialog and for the
// documentation's picture of it (scripts/screenshot-windows).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace notora::testing {

struct WindowPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // BGR, rows bottom-up, each padded to 4 bytes

  int stride() const { return (width * 3 + 3) / 4 * 4; }
  // The colour at (x, y), counted from the top left, as a COLORREF.
  COLORREF At(int x, int y) const;
};

// The window as it stands on the screen: with `frame`, its whole rectangle
// (title bar and borders included), else its client area alone.
WindowPicture CaptureWindow(HWND window, bool frame);

// Writes `picture` to `path` as an uncompressed 24-bit BMP file; false when
// it could not be written.
bool WriteBmp(const WindowPicture& picture, const std::wstring& path);

}  // namespace notora::testing
