#include "platform/backends/headless/headless.h"

#include <algorithm>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/user/user.h"

namespace {

// Top-level windows of the screen, bottom first.
std::vector<HWND> TopLevelWindowsBottomFirst() {
  std::vector<HWND> Windows;
  EnumWindows(
      [](HWND Window, LPARAM Param) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Window);
        return TRUE;
      },
      LPARAM(&Windows));
  std::reverse(Windows.begin(), Windows.end());
  return Windows;
}

void PutPixel(TScreenImage& Image, int X, int Y, uint8_t R, uint8_t G, uint8_t B) {
  Image.Pixels[size_t(Y) * size_t(Image.Width) + size_t(X)] = (uint32_t(R) << 16) | (uint32_t(G) << 8) | B;
}

// Draws one top-level window onto Image, whose (0, 0) is the screen point Origin.
void ComposeWindow(TScreenImage& Image, POINT Origin, HWND Window) {
  if (!IsWindowVisible(Window) || IsIconic(Window)) return;
  std::vector<uint32_t> Pixels;
  int Width = 0, Height = 0;
  if (!CopyWindowPixels(Window, Pixels, Width, Height) || Width <= 0 || Height <= 0) return;
  RECT Bounds{};
  GetWindowRect(Window, &Bounds);

  std::optional<TRegion> Shape;
  HRGN Region = CreateRectRgn(0, 0, 0, 0);
  if (GetWindowRgn(Window, Region) != ERROR)
    if (TRegion* Found = GdiGetRegion(Region)) Shape = *Found;
  DeleteObject(Region);

  COLORREF Key = 0;
  BYTE Alpha = 255;
  DWORD Flags = 0;
  if (GetWindowLongA(Window, GWL_EXSTYLE) & WS_EX_LAYERED)
    GetLayeredWindowAttributes(Window, &Key, &Alpha, &Flags);
  const bool UseKey = Flags & LWA_COLORKEY;
  const int A = (Flags & LWA_ALPHA) ? Alpha : 255;

  for (int Y = 0; Y < Height; ++Y) {
    const int SY = Bounds.top + Y - Origin.y;
    if (SY < 0 || SY >= Image.Height) continue;
    for (int X = 0; X < Width; ++X) {
      const int SX = Bounds.left + X - Origin.x;
      if (SX < 0 || SX >= Image.Width) continue;
      if (Shape && !Shape->Contains(X, Y)) continue;
      const uint32_t Value = Pixels[size_t(Y) * size_t(Width) + size_t(X)];
      const uint8_t B = uint8_t(Value), G = uint8_t(Value >> 8), R = uint8_t(Value >> 16);
      if (UseKey && RGB(R, G, B) == (Key & 0xFFFFFF)) continue;
      if (A == 255) {
        PutPixel(Image, SX, SY, R, G, B);
        continue;
      }
      const uint32_t Under = Image.At(SX, SY);
      auto Mix = [A](uint8_t Top, uint8_t Bottom) {
        return uint8_t((Top * A + Bottom * (255 - A) + 127) / 255);
      };
      PutPixel(Image, SX, SY, Mix(R, uint8_t(Under >> 16)), Mix(G, uint8_t(Under >> 8)),
               Mix(B, uint8_t(Under)));
    }
  }
}

TScreenImage Compose(RECT Area) {
  TScreenImage Image;
  Image.Width = std::max<LONG>(Area.right - Area.left, 0);
  Image.Height = std::max<LONG>(Area.bottom - Area.top, 0);
  Image.Pixels.assign(size_t(Image.Width) * size_t(Image.Height), 0);
  const COLORREF Desktop = GetSysColor(COLOR_DESKTOP);
  for (int Y = 0; Y < Image.Height; ++Y)
    for (int X = 0; X < Image.Width; ++X)
      PutPixel(Image, X, Y, GetRValue(Desktop), GetGValue(Desktop), GetBValue(Desktop));
  for (HWND Window : TopLevelWindowsBottomFirst()) ComposeWindow(Image, POINT{Area.left, Area.top}, Window);
  return Image;
}

bool WritePng(const TScreenImage& Image, const std::string& FileName) {
  if (Image.Empty()) return false;
  SaveScreenImagePng(Image, FileName);
  return true;
}

}  // namespace

void SaveScreenImagePng(const TScreenImage& Image, const std::string& FileName) {
  // 0x00RRGGBB in memory is blue, green, red, unused: the layout PNG writing takes as Bgrx32.
  SavePngFile(FileName,
              TPixelView{reinterpret_cast<const uint8_t*>(Image.Pixels.data()), ptrdiff_t(Image.Width) * 4,
                         Image.Width, Image.Height, TPixelLayout::Bgrx32});
}

THeadlessBackend::THeadlessBackend(int Width, int Height) : FWidth(Width), FHeight(Height) {
  SetScreenSize(Width, Height);
  FPrevious = GetWindowDriver();
  SetWindowDriver(this);
}

THeadlessBackend::~THeadlessBackend() {
  if (GetWindowDriver() == this) SetWindowDriver(FPrevious);
}

void THeadlessBackend::SetScreenSize(int Width, int Height) {
  FWidth = Width;
  FHeight = Height;
  GdiSetScreenSize(Width, Height);
  RECT Work{0, 0, Width, Height};
  SystemParametersInfoA(SPI_SETWORKAREA, 0, &Work, 0);
}

void THeadlessBackend::KeyDown(int VirtualKey, std::optional<std::u32string> Text) {
  InjectKey(VirtualKey, true, std::move(Text));
}
void THeadlessBackend::KeyUp(int VirtualKey) {
  InjectKey(VirtualKey, false);
}
void THeadlessBackend::KeyPress(int VirtualKey, std::optional<std::u32string> Text) {
  InjectKeyStroke(VirtualKey, std::move(Text));
}
void THeadlessBackend::TypeText(const std::u32string& Text) {
  InjectText(Text);
}

void THeadlessBackend::Chord(std::initializer_list<int> Modifiers, int VirtualKey) {
  for (int Modifier : Modifiers) InjectKey(Modifier, true);
  InjectKeyStroke(VirtualKey);
  for (auto Walk = std::rbegin(Modifiers); Walk != std::rend(Modifiers); ++Walk) InjectKey(*Walk, false);
}

void THeadlessBackend::MouseMove(int X, int Y) {
  InjectMouseMove(X, Y);
}
void THeadlessBackend::MouseDown(int Button, int X, int Y) {
  InjectMouseButton(Button, true, X, Y);
}
void THeadlessBackend::MouseUp(int Button, int X, int Y) {
  InjectMouseButton(Button, false, X, Y);
}
void THeadlessBackend::Click(int Button, int X, int Y) {
  InjectMouseClick(Button, X, Y);
}
void THeadlessBackend::Wheel(int Delta, int X, int Y) {
  InjectMouseWheel(Delta, X, Y);
}

TScreenImage THeadlessBackend::CaptureScreen() const {
  return Compose(RECT{0, 0, FWidth, FHeight});
}

TScreenImage THeadlessBackend::CaptureWindow(HWND Window) const {
  if (!IsWindow(Window)) return TScreenImage{};
  RECT Bounds{};
  GetWindowRect(Window, &Bounds);
  return Compose(Bounds);
}

bool THeadlessBackend::SaveScreenPng(const std::string& FileName) const {
  return WritePng(CaptureScreen(), FileName);
}

bool THeadlessBackend::SaveWindowPng(HWND Window, const std::string& FileName) const {
  return WritePng(CaptureWindow(Window), FileName);
}

void THeadlessBackend::WindowChanged(HWND) {
  ++FChanges;
}
void THeadlessBackend::WindowDestroyed(HWND) {
  ++FChanges;
}
void THeadlessBackend::Flush() {
  ++FFlushes;
}
void THeadlessBackend::CursorChanged(HCURSOR Cursor) {
  FCursor = Cursor;
}
