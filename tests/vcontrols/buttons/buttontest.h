#pragma once
// The button tests' fixture: the form fixture of the caption tests with shaped and image buttons
// to put on it, the mouse driven through the window system's input (so the button sees the
// messages and key states a real press gives), the window region a button ended up with, and
// colour helpers.

#include <string>

#include "platform/gdi/region.h"
#include "tests/vcontrols/text/vctexttest.h"
#include "vcontrols/buttons/vcshapebtn.h"

namespace VcTest {

class TButtonTest : public TVcFormTest {
 protected:
  TvcShapeBtn* AddButton(const std::string& Name, RECT Bounds);
  TvcImageBtn* AddImageButton(const std::string& Name, RECT Bounds);
  // Left button down, moves and up at client points of Control, each followed by the messages.
  void MouseDown(TControl* Control, int X, int Y);
  void MouseMove(TControl* Control, int X, int Y);
  void MouseUp(TControl* Control, int X, int Y);
  void Click(TControl* Control, int X, int Y);
};

// The window region of a windowed control (empty when it has none).
TRegion WindowRegion(TWinControl* Control);
bool HasWindowRegion(TWinControl* Control);
// 0xRRGGBB of a TColor (system colours resolved).
uint32_t Rgb(TColor Color);
// A 24-bit picture: Pattern(x, y) gives each pixel as 0xRRGGBB.
template <class TPattern>
void PaintPicture(TvcBitmap& Picture, int Width, int Height, TPattern Pattern) {
  Picture.CreateDib(Width, Height);
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const uint32_t Color = Pattern(X, Y);
      uint8_t* Pixel = Picture.RowStart(Y) + 3 * X;
      Pixel[0] = uint8_t(Color), Pixel[1] = uint8_t(Color >> 8), Pixel[2] = uint8_t(Color >> 16);
    }
}
// The colour (0xRRGGBB) of a pixel of a picture.
uint32_t PictureColor(TvcBitmap& Picture, int X, int Y);

}  // namespace VcTest
