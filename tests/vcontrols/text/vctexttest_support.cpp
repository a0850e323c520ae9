#include "tests/vcontrols/text/vctexttest.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/forms/canvas.h"
#include "platform/forms/imagecodec.h"
#include "platform/user/user.h"

namespace VcTest {

void TVcFormTest::SetUp() {
  TFormsTest::SetUp();
  Form = new TForm(nullptr, 0);
  Form->SetName("Form");
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 240, 160);
  Form->SetColor(clWhite);
}

void TVcFormTest::TearDown() {
  Form->Free();
  TFormsTest::TearDown();
}

uint32_t ScreenColor(TWinControl* Control, int X, int Y) {
  POINT Point{X, Y};
  ClientToScreen(Control->Handle(), &Point);
  HWND Top = GetAncestor(Control->Handle(), GA_ROOT);
  RECT Window{};
  GetWindowRect(Top, &Window);
  const TPixelSurface Surface = GetWindowSurface(Top);
  const int SX = Point.x - Window.left, SY = Point.y - Window.top;
  if (!Surface.IsValid() || SX < 0 || SY < 0 || SX >= Surface.Width || SY >= Surface.Height) return 0xFFFFFFFF;
  const uint8_t* Pixel = Surface.Row(SY) + SX * 4;
  return uint32_t(Pixel[2]) << 16 | uint32_t(Pixel[1]) << 8 | Pixel[0];
}

uint32_t BitmapColor(TBitmap& Bitmap, int X, int Y) {
  const TColor Color = ColorToRGB(Bitmap.Canvas()->Pixels(X, Y));
  return uint32_t(Color & 0xFF) << 16 | uint32_t(Color & 0xFF00) | uint32_t(Color >> 16 & 0xFF);
}

std::unique_ptr<TBitmap> WhiteBitmap(int Width, int Height) {
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->SetSize(Width, Height);
  Bitmap->Canvas()->Brush()->SetColor(clWhite);
  Bitmap->Canvas()->FillRect(RECT{0, 0, Width, Height});
  return Bitmap;
}

namespace {

void Add(TPixelCount& Result, int X, int Y) {
  if (Result.Count == 0) {
    Result.Bounds = RECT{X, Y, X + 1, Y + 1};
  } else {
    Result.Bounds.left = std::min<LONG>(Result.Bounds.left, X);
    Result.Bounds.top = std::min<LONG>(Result.Bounds.top, Y);
    Result.Bounds.right = std::max<LONG>(Result.Bounds.right, X + 1);
    Result.Bounds.bottom = std::max<LONG>(Result.Bounds.bottom, Y + 1);
  }
  ++Result.Count;
}

std::string ImageFolder() {
  const char* Setting = std::getenv("KORCAM_TEST_IMAGES");
  const std::filesystem::path Folder = Setting && *Setting ? Setting : "/tmp/korcam-vc-images";
  std::filesystem::create_directories(Folder);
  return Folder.string();
}

std::string SavePixels(const std::string& Name, int Width, int Height, int Scale,
                       const std::function<uint32_t(int, int)>& Color) {
  const std::string Path = ImageFolder() + "/" + Name + ".png";
  const int W = Width * Scale, H = Height * Scale;
  std::vector<uint8_t> Pixels(size_t(W) * size_t(H) * 4);
  for (int Y = 0; Y < H; ++Y)
    for (int X = 0; X < W; ++X) {
      const uint32_t C = Color(X / Scale, Y / Scale);
      uint8_t* P = Pixels.data() + (size_t(Y) * size_t(W) + size_t(X)) * 4;
      P[0] = uint8_t(C), P[1] = uint8_t(C >> 8), P[2] = uint8_t(C >> 16), P[3] = 255;
    }
  imagecodec::SavePng(Path, Pixels.data(), ptrdiff_t(W) * 4, W, H, 4);
  return Path;
}

}  // namespace

TPixelCount CountPixels(TBitmap& Bitmap, const std::function<bool(uint32_t)>& Test) {
  TPixelCount Result;
  for (int Y = 0; Y < Bitmap.Height(); ++Y)
    for (int X = 0; X < Bitmap.Width(); ++X)
      if (Test(BitmapColor(Bitmap, X, Y))) Add(Result, X, Y);
  return Result;
}

TPixelCount CountFormPixels(TWinControl* Control, const RECT& Area, const std::function<bool(uint32_t)>& Test) {
  TPixelCount Result;
  for (int Y = Area.top; Y < Area.bottom; ++Y)
    for (int X = Area.left; X < Area.right; ++X)
      if (Test(ScreenColor(Control, X, Y))) Add(Result, X, Y);
  return Result;
}

std::string SaveBitmapPng(TBitmap& Bitmap, const std::string& Name, int Scale) {
  return SavePixels(Name, Bitmap.Width(), Bitmap.Height(), Scale,
                    [&](int X, int Y) { return BitmapColor(Bitmap, X, Y); });
}

std::string SaveFormPng(TForm* Form, const std::string& Name, int Scale) {
  return SavePixels(Name, Form->ClientWidth(), Form->ClientHeight(), Scale,
                    [&](int X, int Y) { return ScreenColor(Form, X, Y); });
}

}  // namespace VcTest
