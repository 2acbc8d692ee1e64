#include "tests/winapp/window_picture.h"

#include <filesystem>
#include <fstream>

namespace notora::testing {

COLORREF WindowPicture::At(int x, int y) const {
  // Rows are stored bottom-up.
  const std::size_t row = static_cast<std::size_t>(height - 1 - y) * stride();
  const std::uint8_t* pixel = pixels.data() + row + 3 * static_cast<std::size_t>(x);
  return RGB(pixel[2], pixel[1], pixel[0]);
}

WindowPicture CaptureWindow(HWND window, bool frame) {
  RECT area;
  if (frame) {
    ::GetWindowRect(window, &area);
  } else {
    ::GetClientRect(window, &area);
  }
  WindowPicture picture;
  picture.width = area.right - area.left;
  picture.height = area.bottom - area.top;
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
  // What the window shows on the screen: copied from its own device context.
  const HDC windowDc = frame ? ::GetWindowDC(window) : ::GetDC(window);
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

bool WriteBmp(const WindowPicture& picture, const std::wstring& path) {
  const auto imageSize = static_cast<std::uint32_t>(picture.pixels.size());
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
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(reinterpret_cast<const char*>(picture.pixels.data()), imageSize);
  out.close();
  return static_cast<bool>(out);
}

}  // namespace notora::testing
