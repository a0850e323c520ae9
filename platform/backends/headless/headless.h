#pragma once
// The headless back end: a screen that exists only in memory. Tests (and runs without a
// display) set its size, feed it input -- keys with the characters they type, mouse moves,
// clicks and wheel turns -- and take screenshots of a window or of the whole screen as PNG.
//
// The window system keeps every top-level window's pixels in its backing store; this back end
// only composes them for a screenshot: bottom window first, each through its window region,
// its colour key and its alpha, over the desktop colour. Input goes through the window
// system's own input entry points, so it is handled exactly as a real back end's would be.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/user/paint.h"
#include "platform/user/winuser.h"

// Pixels of the screen or of a part of it: rows top-down, each pixel 0x00RRGGBB.
struct TScreenImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int X, int Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Writes an image as a PNG file (raises on a write failure).
void SaveScreenImagePng(const TScreenImage& Image, const std::string& FileName);

class THeadlessBackend : public TWindowDriver {
 public:
  // Installs itself as the window system's driver and sets the screen size.
  explicit THeadlessBackend(int Width = 1024, int Height = 768);
  ~THeadlessBackend() override;
  THeadlessBackend(const THeadlessBackend&) = delete;
  THeadlessBackend& operator=(const THeadlessBackend&) = delete;

  // The screen size (the work area follows it).
  void SetScreenSize(int Width, int Height);
  int ScreenWidth() const { return FWidth; }
  int ScreenHeight() const { return FHeight; }

  // ---- input -------------------------------------------------------------------------------
  void KeyDown(int VirtualKey, std::optional<std::u32string> Text = std::nullopt);
  void KeyUp(int VirtualKey);
  // Down and up; Text is what the key types (its layout character when absent).
  void KeyPress(int VirtualKey, std::optional<std::u32string> Text = std::nullopt);
  // Characters without keys of their own, one press each (Cyrillic, symbols, emoji).
  void TypeText(const std::u32string& Text);
  // A key pressed with modifiers held around it (VK_CONTROL, VK_SHIFT, VK_MENU).
  void Chord(std::initializer_list<int> Modifiers, int VirtualKey);
  void MouseMove(int X, int Y);
  void MouseDown(int Button, int X, int Y);
  void MouseUp(int Button, int X, int Y);
  void Click(int Button, int X, int Y);
  void Wheel(int Delta, int X, int Y);

  // ---- screenshots ---------------------------------------------------------------------------
  // The screen as it would show now (straight colours, alpha 255).
  TScreenImage CaptureScreen() const;
  // One window's rectangle as the screen shows it (what is above it included); a child window
  // is taken from its top-level window's store.
  TScreenImage CaptureWindow(HWND Window) const;
  // Write them as PNG; false when there is nothing to write.
  bool SaveScreenPng(const std::string& FileName) const;
  bool SaveWindowPng(HWND Window, const std::string& FileName) const;

  // ---- what the window system reported -----------------------------------------------------
  int ChangeCount() const { return FChanges; }
  int FlushCount() const { return FFlushes; }
  HCURSOR Cursor() const { return FCursor; }

  void WindowChanged(HWND TopLevel) override;
  void WindowDestroyed(HWND TopLevel) override;
  void Flush() override;
  void CursorChanged(HCURSOR Cursor) override;

 private:
  int FWidth;
  int FHeight;
  int FChanges = 0;
  int FFlushes = 0;
  HCURSOR FCursor = nullptr;
  TWindowDriver* FPrevious = nullptr;
};
