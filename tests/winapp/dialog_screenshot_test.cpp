// Draws the Win32 dialog as a user first sees it, frame and title included,
// and checks that it shows text; with NOTORA_SCREENSHOT set to a path, also
// writes the picture there as a 24-bit BMP file (scripts/test-windows turns
// it into docs/notora-dialog-windows.png).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <set>
#include <vector>

#include "tests/winapp/dialog_fixture.h"

namespace notora::testing {
namespace {

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // BGR, rows bottom-up, each padded to 4 bytes

  int stride() const { return (width * 3 + 3) / 4 * 4; }
};

Picture Capture(HWND window) {
  RECT frame;
  ::GetWindowRect(window, &frame);
  Picture picture;
  picture.width = frame.right - frame.left;
  picture.height = frame.bottom - frame.top;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const HDC screen = ::GetDC(nullptr);
  const HDC memory = ::CreateCompatibleDC(screen);
  const HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = ::SelectObject(memory, bitmap);
  // What the window shows on the screen, frame included.
  const HDC windowDc = ::GetWindowDC(window);
  ::BitBlt(memory, 0, 0, picture.width, picture.height, windowDc, 0, 0, SRCCOPY);
  ::ReleaseDC(window, windowDc);
  ::GdiFlush();
  const auto* first = static_cast<const std::uint8_t*>(bits);
  picture.pixels.assign(first, first + static_cast<std::size_t>(picture.stride()) * picture.height);
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return picture;
}

bool WriteBmp(const Picture& picture, const char* path) {
  const std::uint32_t imageSize = static_cast<std::uint32_t>(picture.pixels.size());
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = picture.width;
  header.biHeight = picture.height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  header.biSizeImage = imageSize;
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(picture.pixels.data()), imageSize);
  return static_cast<bool>(out);
}

using DialogScreenshotTest = DialogFixture;

TEST_F(DialogScreenshotTest, DialogDrawsItsControlsAndText) {
  // Keep the pointer off the controls, so that none is drawn highlighted.
  ::SetCursorPos(0, 0);
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  Pump();
  const Picture picture = Capture(hwnd());
  RECT frame;
  ::GetWindowRect(hwnd(), &frame);
  ASSERT_GT(picture.width, 300);
  ASSERT_GT(picture.height, 150);

  // The dialog face, dark text and more than a handful of shades (captions
  // are drawn antialiased or at least in more than one colour).
  std::set<std::uint32_t> colours;
  int darkPixels = 0;
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* row = picture.pixels.data() + static_cast<std::size_t>(y) * picture.stride();
    for (int x = 0; x < picture.width; ++x) {
      const std::uint8_t* pixel = row + 3 * x;
      colours.insert(pixel[0] | pixel[1] << 8 | pixel[2] << 16);
      if (pixel[0] < 64 && pixel[1] < 64 && pixel[2] < 64) ++darkPixels;
    }
  }
  EXPECT_GT(colours.size(), 3u);
  EXPECT_GT(darkPixels, 2000) << "too little text drawn";

  if (const char* path = std::getenv("NOTORA_SCREENSHOT"); path != nullptr && *path != '\0') {
    EXPECT_TRUE(WriteBmp(picture, path)) << path;
  }
}

}  // namespace
}  // namespace notora::testing
