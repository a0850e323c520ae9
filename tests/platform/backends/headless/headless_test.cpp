// The headless back end: screen size, injected input, and screenshots composed from the
// top-level windows' stores (z-order, window regions, colour keys, alpha).

#include "platform/backends/headless/headless.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/gdi/gdi.h"
#include "platform/gdi/imagefile/pngfile.h"
#include "platform/rtl/clock.h"
#include "platform/user/user.h"

namespace {

std::vector<std::string>* GKeys = nullptr;

// A window filled with the colour its class brush gives, recording typed characters.
LRESULT RecordingProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  if (GKeys && Message == WM_CHAR) GKeys->push_back("char " + std::to_string(WParam));
  if (GKeys && Message == WM_LBUTTONDOWN)
    GKeys->push_back("down " + std::to_string(GET_X_LPARAM(LParam)) + "," +
                     std::to_string(GET_Y_LPARAM(LParam)));
  if (GKeys && Message == WM_MOUSEWHEEL)
    GKeys->push_back("wheel " + std::to_string(GET_WHEEL_DELTA_WPARAM(WParam)));
  return DefWindowProcA(Window, Message, WParam, LParam);
}

class HeadlessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    BYTE Keys[256] = {};
    SetKeyboardState(Keys);
    GKeys = &Keys_;
  }
  void TearDown() override {
    GKeys = nullptr;
    for (HWND Window : Windows)
      if (IsWindow(Window)) DestroyWindow(Window);
    for (HBRUSH Brush : Brushes) DeleteObject(Brush);
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  // A top-level pop-up (no frame) filled with Color.
  HWND MakeWindow(RECT Bounds, COLORREF Color, DWORD ExStyle = 0) {
    const std::string ClassName = "HeadlessTestWindow" + std::to_string(Color);
    WNDCLASSA Class{};
    Class.lpfnWndProc = RecordingProc;
    HBRUSH Brush = CreateSolidBrush(Color);
    Brushes.push_back(Brush);
    Class.hbrBackground = Brush;
    Class.lpszClassName = ClassName.c_str();
    Class.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    RegisterClassA(&Class);
    HWND Window = CreateWindowExA(ExStyle, ClassName.c_str(), "", WS_POPUP | WS_VISIBLE, Bounds.left,
                                  Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top, nullptr,
                                  nullptr, nullptr, nullptr);
    Windows.push_back(Window);
    return Window;
  }
  void Drain() {
    MSG Message;
    while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&Message);
      DispatchMessageA(&Message);
    }
  }
  TScopedManualClock Clock;
  std::vector<HWND> Windows;
  std::vector<HBRUSH> Brushes;
  std::vector<std::string> Keys_;
};

TEST_F(HeadlessTest, ScreenSizeIsWhatTheBackEndSays) {
  THeadlessBackend Backend(640, 480);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 480);
  EXPECT_EQ(GetWorkArea(), (RECT{0, 0, 640, 480}));
  EXPECT_EQ(GetWindowDriver(), &Backend);
  Backend.SetScreenSize(320, 200);
  TScreenImage Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.Width, 320);
  EXPECT_EQ(Screen.Height, 200);
  // Nothing shown: the desktop colour everywhere.
  const COLORREF Desktop = GetSysColor(COLOR_DESKTOP);
  EXPECT_EQ(Screen.At(0, 0),
            (uint32_t(GetRValue(Desktop)) << 16) | (uint32_t(GetGValue(Desktop)) << 8) | GetBValue(Desktop));
}

TEST_F(HeadlessTest, ScreenshotsComposeWindowsInZOrderThroughRegionsKeysAndAlpha) {
  THeadlessBackend Backend(200, 100);
  HWND Red = MakeWindow(RECT{0, 0, 100, 100}, RGB(255, 0, 0));
  HWND Blue = MakeWindow(RECT{50, 0, 150, 100}, RGB(0, 0, 255));  // made later: on top
  PaintPendingWindows();
  EXPECT_GT(Backend.ChangeCount(), 0);
  TScreenImage Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.At(10, 10), 0xFF0000u);
  EXPECT_EQ(Screen.At(75, 10), 0x0000FFu);
  // Red comes to the top.
  BringWindowToTop(Red);
  PaintPendingWindows();
  Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.At(75, 10), 0xFF0000u);
  EXPECT_EQ(Screen.At(120, 10), 0x0000FFu);
  // A round window: the corner shows what is beneath.
  SetWindowRgn(Red, CreateEllipticRgn(0, 0, 100, 100), TRUE);
  PaintPendingWindows();
  Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.At(98, 2), 0x0000FFu);
  EXPECT_EQ(Screen.At(50, 50), 0xFF0000u);
  // Half transparent: the colours mix.
  SetWindowLongA(Red, GWL_EXSTYLE, GetWindowLongA(Red, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredWindowAttributes(Red, 0, 128, LWA_ALPHA);
  Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.At(75, 50), 0x80007Fu);
  // A colour key cuts the key colour out.
  SetLayeredWindowAttributes(Red, RGB(255, 0, 0), 255, LWA_COLORKEY);
  Screen = Backend.CaptureScreen();
  EXPECT_EQ(Screen.At(75, 50), 0x0000FFu);
  // One window alone, with what covers it.
  TScreenImage Part = Backend.CaptureWindow(Blue);
  EXPECT_EQ(Part.Width, 100);
  EXPECT_EQ(Part.At(0, 50), 0x0000FFu);
}

TEST_F(HeadlessTest, PngFilesHoldWhatTheScreenShows) {
  THeadlessBackend Backend(64, 48);
  MakeWindow(RECT{8, 8, 40, 30}, RGB(10, 200, 30));
  PaintPendingWindows();
  const std::string Folder = std::filesystem::temp_directory_path() / "korcam-headless-test";
  std::filesystem::create_directories(Folder);
  const std::string File = Folder + "/screen.png";
  ASSERT_TRUE(Backend.SaveScreenPng(File));
  std::ifstream In(File, std::ios::binary);
  std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  TBgraImage Read = DecodePng(Bytes);
  ASSERT_EQ(Read.Width, 64);
  ASSERT_EQ(Read.Height, 48);
  EXPECT_EQ(Read.PixelAt(10, 10), 0xFF0AC81Eu);  // alpha, red, green, blue
  EXPECT_EQ(Read.PixelAt(0, 0) & 0xFFFFFF, Backend.CaptureScreen().At(0, 0));
  EXPECT_FALSE(Backend.SaveWindowPng(nullptr, Folder + "/none.png"));
  std::filesystem::remove_all(Folder);
}

TEST_F(HeadlessTest, InputGoesThroughTheWindowSystem) {
  THeadlessBackend Backend(200, 100);
  HWND Window = MakeWindow(RECT{20, 10, 120, 90}, RGB(0, 0, 0));
  SetFocus(Window);
  Backend.KeyPress('A');
  Backend.TypeText(U"ж😀");
  Backend.KeyPress(VK_OEM_1, U"ü");
  Backend.Chord({VK_CONTROL}, 'C');
  Backend.Click(VK_LBUTTON, 30, 15);
  Backend.Wheel(-WHEEL_DELTA, 30, 15);
  Drain();
  EXPECT_EQ(Keys_, (std::vector<std::string>{"char 97", "char 1078", "char 128512", "char 252", "char 3",
                                             "down 10,5", "wheel -120"}));
  EXPECT_GE(GetKeyState(VK_CONTROL), 0);  // released again
  POINT Cursor{};
  GetCursorPos(&Cursor);
  EXPECT_EQ(Cursor.x, 30);
}

}  // namespace
