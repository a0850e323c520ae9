#include "tests/kvcontrols/picker/pickertest.h"

#include "platform/forms/bitmap.h"
#include "platform/forms/canvas.h"
#include "tests/platform/forms/controltest.h"
#include "tests/platform/forms/forms_fixture.h"

namespace FormsTest {

std::string SaveControlPng(TWinControl* Control, const std::string& Name, int Scale) {
  const RECT Client = Control->ClientRect();
  TBitmap Bitmap;
  Bitmap.SetPixelFormat(pf24bit);
  Bitmap.SetSize(Client.right, Client.bottom);
  for (int Y = 0; Y < Client.bottom; ++Y)
    for (int X = 0; X < Client.right; ++X) Bitmap.Canvas()->SetPixels(X, Y, PixelAt(Control, X, Y));
  return SavePng(Bitmap, Name, Scale);
}

}  // namespace FormsTest
