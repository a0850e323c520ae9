#include "tests/vcontrols/imaging/imager_support.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/forms/clipboard.h"
#include "platform/forms/controlcanvas.h"
#include "platform/forms/imagecodec.h"
#include "platform/gdi/sysmetrics.h"
#include "platform/user/input.h"
#include "platform/user/paint.h"
#include "platform/user/user.h"

void TImagerTest::SetUp() {
  GdiSetScreenSize(800, 600);
  BYTE keys[256] = {};
  SetKeyboardState(keys);
  FSavedApplication = Application;
  Application = new TApplication(nullptr);
  FSavedClipboard = SetClipboard(new TClipboard);
  Form = new TForm(nullptr, 0);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 200, 150);
  Form->SetColor(clWhite);
}

void TImagerTest::TearDown() {
  Form->Free();
  delete SetClipboard(FSavedClipboard);
  Application->Free();
  Application = FSavedApplication;
  FreeDeviceContexts();
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  BYTE keys[256] = {};
  SetKeyboardState(keys);
}

uint32_t ScreenColor(TWinControl* Control, int X, int Y) {
  POINT point{X, Y};
  ClientToScreen(Control->Handle(), &point);
  HWND top = GetAncestor(Control->Handle(), GA_ROOT);
  RECT window{};
  GetWindowRect(top, &window);
  const TPixelSurface surface = GetWindowSurface(top);
  const int x = point.x - window.left, y = point.y - window.top;
  if (!surface.IsValid() || x < 0 || y < 0 || x >= surface.Width || y >= surface.Height) return 0xFFFFFFFF;
  const uint8_t* pixel = surface.Row(y) + x * 4;
  return uint32_t(pixel[2]) << 16 | uint32_t(pixel[1]) << 8 | pixel[0];
}

uint32_t BitmapColor(TBitmap& Bitmap, int X, int Y) {
  const TColor color = ColorToRGB(Bitmap.Canvas()->Pixels(X, Y));
  return uint32_t(color & 0xFF) << 16 | uint32_t(color & 0xFF00) | uint32_t(color >> 16 & 0xFF);
}

std::string SaveFormPng(TForm* Form, const std::string& Name, int Scale) {
  const char* folderSetting = std::getenv("KORCAM_TEST_IMAGES");
  const std::filesystem::path folder =
      folderSetting && *folderSetting ? folderSetting : "/tmp/korcam-imager-images";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / (Name + ".png")).string();
  const int width = Form->ClientWidth() * Scale, height = Form->ClientHeight() * Scale;
  std::vector<uint8_t> pixels(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t color = ScreenColor(Form, x / Scale, y / Scale);
      uint8_t* pixel = pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
      pixel[0] = uint8_t(color), pixel[1] = uint8_t(color >> 8), pixel[2] = uint8_t(color >> 16),
      pixel[3] = 255;
    }
  imagecodec::SavePng(path, pixels.data(), ptrdiff_t(width) * 4, width, height, 4);
  return path;
}
