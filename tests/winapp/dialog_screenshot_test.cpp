// Tests of the Win32 dialog as it stands and is drawn on the screen, checked
// against the template: each control's window lies at the template's
// rectangle turned into pixels by the dialog's own units (MapDialogRect), and
// the picture of the dialog shows each control inside its rectangle and
// nothing outside them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/dialog_template.h"
#include "tests/winapp/dialog_fixture.h"
#include "tests/winapp/window_picture.h"

namespace notora::testing {
namespace {

// The dialog's child windows in their order, which is the template's.
std::vector<HWND> Children(HWND dialog) {
  std::vector<HWND> children;
  for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    children.push_back(child);
  }
  return children;
}

// Where a child stands, in the dialog's client coordinates.
RECT WindowRectInDialog(HWND dialog, HWND child) {
  RECT rect;
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// A control's template rectangle in the dialog's pixels.
RECT TemplateRect(HWND dialog, const ControlTemplate& control) {
  RECT rect = {control.x, control.y, control.x + control.width, control.y + control.height};
  ::MapDialogRect(dialog, &rect);
  return rect;
}

std::string Describe(const RECT& rect) {
  return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" +
         std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

bool Contains(const RECT& rect, int x, int y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

// Text is drawn dark on the dialog's face.
bool IsInk(COLORREF colour) {
  return GetRValue(colour) < 96 && GetGValue(colour) < 96 && GetBValue(colour) < 96;
}

class DialogScreenshotTest : public DialogFixture {
 protected:
  // The dialog as it is drawn after a full repaint, the pointer away from it
  // so that no control is drawn highlighted.
  WindowPicture Draw() {
    ::SetCursorPos(0, 0);
    ::RedrawWindow(hwnd(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    return CaptureWindow(hwnd(), /*frame=*/false);
  }
};

TEST_F(DialogScreenshotTest, ControlsStandAtTheTemplatesRectangles) {
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const RECT dialogRect = [&] {
    RECT rect = {0, 0, kDialogWidthUnits, kDialogHeightUnits};
    ::MapDialogRect(hwnd(), &rect);
    return rect;
  }();
  EXPECT_EQ(Describe(client), Describe(dialogRect));

  const auto controls = ConvertDialogTemplate();
  const std::vector<HWND> children = Children(hwnd());
  ASSERT_EQ(children.size(), controls.size());
  for (std::size_t index = 0; index < controls.size(); ++index) {
    const ControlTemplate& control = controls[index];
    SCOPED_TRACE(control.caption);
    if (control.id != kNoId) EXPECT_EQ(Control(control.id), children[index]) << control.id;
    EXPECT_EQ(Describe(WindowRectInDialog(hwnd(), children[index])),
              Describe(TemplateRect(hwnd(), control)));
  }
}

// What is drawn lies within the controls: every pixel off the dialog's face
// belongs to a control's rectangle, each control with a caption shows text
// in its own part of the dialog, and each display and the edit show their
// frames.
TEST_F(DialogScreenshotTest, PictureShowsEachControlInItsRectangle) {
  const WindowPicture picture = Draw();
  const auto controls = ConvertDialogTemplate();
  std::vector<RECT> rects;
  for (const ControlTemplate& control : controls) rects.push_back(TemplateRect(hwnd(), control));
  RECT client;
  ::GetClientRect(hwnd(), &client);
  ASSERT_EQ(picture.width, client.right);
  ASSERT_EQ(picture.height, client.bottom);

  const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
  // A pixel is a control's when the control's rectangle is the smallest
  // that holds it (a group box's radios are theirs, its frame and title its).
  std::vector<int> ink(controls.size(), 0);
  std::vector<int> drawn(controls.size(), 0);
  int strays = 0;
  std::string firstStray;
  for (int y = 0; y < picture.height; ++y) {
    for (int x = 0; x < picture.width; ++x) {
      const COLORREF colour = picture.At(x, y);
      int owner = -1;
      long ownerArea = 0;
      for (std::size_t index = 0; index < rects.size(); ++index) {
        const RECT& rect = rects[index];
        const long area = long(rect.right - rect.left) * (rect.bottom - rect.top);
        if (Contains(rect, x, y) && (owner < 0 || area < ownerArea)) {
          owner = static_cast<int>(index);
          ownerArea = area;
        }
      }
      if (colour == face) continue;
      if (owner < 0) {
        if (strays++ == 0) firstStray = "(" + std::to_string(x) + "," + std::to_string(y) + ")";
        continue;
      }
      ++drawn[owner];
      if (IsInk(colour)) ++ink[owner];
    }
  }
  EXPECT_EQ(strays, 0) << "drawn outside every control, first at " << firstStray;
  for (std::size_t index = 0; index < controls.size(); ++index) {
    const ControlTemplate& control = controls[index];
    SCOPED_TRACE(control.caption);
    if (*control.caption != '\0') {
      EXPECT_GT(ink[index], 0) << "no text drawn in " << Describe(rects[index]);
    } else {
      EXPECT_GT(drawn[index], 0) << "nothing drawn in " << Describe(rects[index]);
    }
  }
}

}  // namespace
}  // namespace notora::testing
